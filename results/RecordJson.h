#pragma once
// A run's record as a JSON file (docs/velmora-result.schema.json describes it), with numbers in raw
// units and a decimal point whatever the user's locale.

#include <string>

#include "RunRecord.h"

// What the "format" field of every results file holds, and the version of its layout.
constexpr const char* ResultFormatName = "velmora-result";
constexpr int ResultFormatVersion = 1;

std::string RunRecordJson(const TRunRecord& Record);
