#pragma once
// A run's record as a CSV file, made from the same tree as the JSON file: one table, one row per
// fact. "run" and "settings" rows and a "test" row per figure of a test carry a name and a value; a
// "pass" row per pass carries its figures in their own columns.

#include <string>

#include "RunRecord.h"

std::string RunRecordCsv(const TRunRecord& Record);

// Whether Text begins as a results file in CSV does: its header row.
bool IsRecordCsv(const std::string& Text);
