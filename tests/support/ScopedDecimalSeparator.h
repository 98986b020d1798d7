#pragma once
// Sets the process-wide decimal separator for one test and puts the old one back.

#include <string>

#include "FormatSettings.h"

class TScopedDecimalSeparator {
 public:
  explicit TScopedDecimalSeparator(std::string Separator) : FSaved(FormatSettings.DecimalSeparator) {
    FormatSettings.DecimalSeparator = std::move(Separator);
  }
  ~TScopedDecimalSeparator() { FormatSettings.DecimalSeparator = FSaved; }
  TScopedDecimalSeparator(const TScopedDecimalSeparator&) = delete;
  TScopedDecimalSeparator& operator=(const TScopedDecimalSeparator&) = delete;

 private:
  std::string FSaved;
};
