# cmake -DNAME=... -DINPUT=... -DOUTPUT=... -P WriteResource.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT}; do not edit.
#include <vcl/Resources.h>

namespace {
const unsigned char data[${size} + 1] = {
${bytes}0};
const vcl::TResourceRegistration registration(\"${NAME}\", data, ${size});
} // namespace
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
