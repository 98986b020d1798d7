#include "OSError.h"

#include <cstring>

std::string OSErrorMessage(int Code, const std::string& Remainder) {
  return "System Error.  Code: " + std::to_string(Code) + ".\r\n" + std::strerror(Code) + Remainder;
}

EOSError::EOSError(int Code, const std::string& Remainder)
    : std::runtime_error(OSErrorMessage(Code, Remainder)), FCode(Code) {}
