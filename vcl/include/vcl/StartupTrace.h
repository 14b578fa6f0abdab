// Marks of the start-up's phases for the benchmark, compiled in only when
// VCL_STARTUP_TRACE is defined (cmake -DVCL_STARTUP_TRACE=ON); the program
// users get carries none. Each mark is one line on standard error:
// "vcl-trace <phase> <monotonic milliseconds>".
#pragma once

#ifdef VCL_STARTUP_TRACE
#include <cstdio>
#include <ctime>

namespace vcl {
inline void TraceStartup(const char *phase)
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "vcl-trace %s %.3f\n", phase, now.tv_sec * 1e3 + now.tv_nsec / 1e6);
}
} // namespace vcl
#define VCL_TRACE(phase) ::vcl::TraceStartup(phase)
#else
#define VCL_TRACE(phase) ((void)0)
#endif
