#pragma once
// The folder of the running program, where the files that travel with it lie (the OpenCL
// kernel source). Found through the executable's own path, never the current directory.

#include <string>

// The folder part of /proc/self/exe with its trailing "/"; raises when it cannot be read.
std::string ExecutableFolder();
