#include "ExceptionLine.h"

std::string ExceptionMessage(std::exception_ptr Error) {
  try {
    std::rethrow_exception(Error);
  } catch (const std::exception& E) {
    return E.what();
  } catch (...) {
    return "Unknown error";
  }
}

std::string ExceptionLine(std::exception_ptr Error) { return "Exception: " + ExceptionMessage(Error); }

void ReportTestException(TBenchmarkReporter& Reporter, std::exception_ptr Error) {
  const std::string Message = ExceptionMessage(Error);
  Reporter.Log("Exception: " + Message);
  Reporter.TestEnded(TTestStatus::Failed, Message);
}

void LogReason(TBenchmarkReporter& Reporter, const std::string& Line) {
  Reporter.Log(Line);
  Reporter.ReasonLogged(Line);
}
