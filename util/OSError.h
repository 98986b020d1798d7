#pragma once
// An operating-system error as the product reports it: the error code, the system's text for it
// and, after that, what the program was doing when it happened.

#include <stdexcept>
#include <string>

class EOSError : public std::runtime_error {
 public:
  // Code is an errno value; Remainder follows the system's text unchanged (": reading ...").
  EOSError(int Code, const std::string& Remainder);

  int Code() const { return FCode; }

 private:
  int FCode;
};

// "System Error.  Code: <Code>.\r\n<system text><Remainder>"
std::string OSErrorMessage(int Code, const std::string& Remainder);
