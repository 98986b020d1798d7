#pragma once
// The names of OpenCL's status codes, for messages a user reads.

#include <cstdint>
#include <string>

// "CL_OUT_OF_RESOURCES"; "OpenCL error -1234" for a code the API does not name.
std::string OpenCLErrorName(std::int32_t Code);
