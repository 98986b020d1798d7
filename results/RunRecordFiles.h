#pragma once
// A run's record as a file: JSON (docs/velmora-result.schema.json describes it) and CSV, with
// numbers in raw units and a decimal point whatever the user's locale; and a JSON file read back
// for a comparison.

#include <stdexcept>
#include <string>

#include "RunRecord.h"

// What the "format" field of every results file holds, and the version of its layout.
constexpr const char* ResultFormatName = "velmora-result";
constexpr int ResultFormatVersion = 1;

// A text that is not a Velmora result; the message says what is wrong with it.
class EResultFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string RunRecordJson(const TRunRecord& Record);

// One table, one row per fact: "run" and "settings" rows and a "test" row per figure of a test
// carry a name and a value; a "pass" row per pass carries its figures in their own columns.
std::string RunRecordCsv(const TRunRecord& Record);

// The record of a Velmora result's JSON text; EResultFileError when it is not one. Passes are read
// as recorded, so every figure is worked out anew from them.
TRunRecord RunRecordFromJson(const std::string& Text);
