#pragma once
// The record of a run in words, in the user's number format: the console's line on the passes
// after the first, and the plain-text summary that the window copies for a forum post or a bug
// report.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "LogNumbers.h"  // PercentText, which the tests' own lines use too
#include "RunRecord.h"

// "11.53 GB/s"
std::string RateText(double BytesPerSecond);
// Text with blanks after it up to Width characters: a column of a plain-text table.
std::string ColumnText(std::string Text, std::size_t Width);
// The width of a table's column of test names: the longest of Types' names and a blank, at least
// 11 ("sys-write" and two blanks), so that longer names ("opencl-h2d-pageable") keep the columns
// after them in line.
std::size_t TestColumnWidth(const std::vector<TBenchmarkType>& Types);

// How a test that gave no figures ended: its status, its message and, for a failure, its reason:
// "failed: List index out of bounds (0).  TList is empty (GFX RAM block of 4.00 GB does not fit:
// this adapter has only 2.00 GB of free memory)".
std::string OutcomeText(const TTestRecord& Test);

// The median and spread of the passes after the first, and the first pass's own rate, e.g.
// "Passes after the first (4): median 11.53 GB/s, min 11.24 GB/s, max 11.85 GB/s, CV 1.2 %; first
// pass 3.90 GB/s". Empty for a test that did not complete.
std::string WarmPassLine(const TTestRecord& Test);

// "Stopped: 2 tests not run (sys-write, sys-read)", each test the run skipped named by NameOf, in
// run order; empty where the run skipped none.
std::string SkippedTestsLine(const TRunRecord& Record, const std::function<std::string(TBenchmarkType)>& NameOf);

// The run, the machine, the settings and one line per test, then what each test ran on.
std::string ResultsSummaryText(const TRunRecord& Record);
