#pragma once
// The process-wide number format: the decimal separator every figure of the program uses.
// It is read once from the user's locale at start-up, before any worker thread exists.

#include <string>

struct TFormatSettings {
  std::string DecimalSeparator = ".";
};

// The settings that FormatByteSize and the log's number texts use when none are given.
extern TFormatSettings FormatSettings;

// The decimal separator of the named locale ("" means the user's environment), or "." when
// that locale is not installed.
std::string DecimalSeparatorOfLocale(const char* LocaleName);

// Fills FormatSettings from the user's locale; called once by the program's entry point.
void InitFormatSettingsFromLocale();
