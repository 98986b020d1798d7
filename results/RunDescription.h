#pragma once
// What a run's record says of the program and the machine it ran on, and when it started.

#include <chrono>
#include <string>

#include "RunRecord.h"

// This machine as it is now, for a run of the given Velmora version that starts at Start.
TRunInfo DescribeRun(const std::string& VelmoraVersion,
                     std::chrono::system_clock::time_point Start = std::chrono::system_clock::now());

// "2026-01-31T17:04:05Z"
std::string FormatUTCTime(std::chrono::system_clock::time_point Time);
