#pragma once
// OpenCL C source files as the runtime is handed them.

#include <string>

// The file's bytes, line by line, each line followed by LF CR: a line may end in LF, in CR LF or at
// the end of the file. Raises std::runtime_error, naming the file, when it cannot be opened or read.
std::string ReadProgramSource(const std::string& FileName);
