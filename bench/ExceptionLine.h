#pragma once
// The one line a test logs for an error it caught, and the failure it records with it.

#include <exception>
#include <string>

#include "BenchmarkReporter.h"

// The message of Error; "Unknown error" for anything that is not a std::exception.
std::string ExceptionMessage(std::exception_ptr Error);

// "Exception: " followed by the message of Error.
std::string ExceptionLine(std::exception_ptr Error);

// Logs the line of Error and records the test as failed with its message.
void ReportTestException(TBenchmarkReporter& Reporter, std::exception_ptr Error);

// Logs Line, which says why the test may fail, and has the record keep it as the failure's reason.
void LogReason(TBenchmarkReporter& Reporter, const std::string& Line);
