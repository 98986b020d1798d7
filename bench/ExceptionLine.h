#pragma once
// The one line a test logs for an error it caught.

#include <exception>
#include <string>

// "Exception: " followed by the message of Error.
std::string ExceptionLine(std::exception_ptr Error);
