#pragma once
// A Velmora results file's JSON text read back into the record of its run, for a comparison. Every
// field is checked, so that what is not a Velmora result is refused with what is wrong with it.

#include <stdexcept>
#include <string>

#include "RunRecord.h"

// A text that is not a Velmora result; the message says what is wrong with it.
class EResultFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The record of a Velmora result's JSON text; EResultFileError when it is not one. Passes are read
// as recorded, so every figure is worked out anew from them.
TRunRecord RunRecordFromJson(const std::string& Text);
