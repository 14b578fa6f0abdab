# Compiles a file into the program as a named resource, for systems without
# a resource section: a generated source registers the bytes under NAME.
function(vcl_embed_resource target name file)
  get_filename_component(file "${file}" ABSOLUTE)
  set(out "${CMAKE_CURRENT_BINARY_DIR}/${target}_${name}_resource.cpp")
  add_custom_command(
    OUTPUT "${out}"
    COMMAND ${CMAKE_COMMAND} -DNAME=${name} -DINPUT=${file} -DOUTPUT=${out}
            -P "${PROJECT_SOURCE_DIR}/cmake/WriteResource.cmake"
    DEPENDS "${file}" "${PROJECT_SOURCE_DIR}/cmake/WriteResource.cmake"
    COMMENT "Embedding ${name} from ${file}"
    VERBATIM)
  target_sources(${target} PRIVATE "${out}")
endfunction()
