#pragma once
// Whole text files read and written with the system's own calls, so that a full disk or a closed
// pipe is noticed when it happens and reported with the system's reason.

#include <string>

// Replaces the file at Path with Text. std::system_error with the errno of the call that failed.
void WriteTextFile(const std::string& Path, const std::string& Text);

// The whole file at Path. std::system_error with the errno of the call that failed.
std::string ReadTextFile(const std::string& Path);
