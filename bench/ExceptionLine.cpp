#include "ExceptionLine.h"

std::string ExceptionLine(std::exception_ptr Error) {
  try {
    std::rethrow_exception(Error);
  } catch (const std::exception& E) {
    return std::string("Exception: ") + E.what();
  } catch (...) {
    return "Exception: Unknown error";
  }
}
