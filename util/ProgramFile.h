#pragma once
// Where a file that travels with the program is looked for (the OpenCL kernel source): beside the
// executable, as in the build tree, then in ../share/velmora/, as an installed tree keeps it.

#include <string>

// The path of FileName for a program in ProgramFolder (with its trailing "/"): the copy beside
// the program when there is one (it wins), else the one in ProgramFolder/../share/velmora/; when
// neither is there, the path beside the program, which is where a missing file is reported.
std::string FindProgramFile(const std::string& ProgramFolder, const std::string& FileName);
