#pragma once
// The console's results files: writing a run's record where --json and --csv say, reading a
// results file back, and taking a run's settings from one for --compare BASE.

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "ConsoleOptions.h"
#include "RunRecord.h"

// Writes Text to Out, standard output, whole. False, after one line on Err ("could not write " +
// What + "standard output: " and the system's reason), when it could not.
bool WriteStandardOutput(const std::string& ProgramName, const std::string& Text, const std::string& What,
                         std::ostream& Out, std::ostream& Err);

// Writes Text to the file Name, or to Out for "-". False, after one line on Err that says why,
// when it could not be written whole.
bool WriteResultsOutput(const std::string& ProgramName, const std::string& Name, const std::string& Text,
                        std::ostream& Out, std::ostream& Err);

// Draws the chart of a run as the bytes of a PNG file; empty when it could not. Only a program
// with Qt has one.
using TChartPngPainter = std::function<std::string(const TRunRecord& Record)>;

// Writes the chart of Record to the file Name, as SVG or as PNG (drawn by PaintPng) by the name's
// extension. False, after one line on Err that says why, when it could not be written whole.
bool WriteChartFile(const std::string& ProgramName, const std::string& Name, const TRunRecord& Record,
                    const TChartPngPainter& PaintPng, std::ostream& Err);

// Why the results or chart file Name cannot be written, found before the run so that a run of
// many minutes does not end in a file it cannot create: a folder on its path that is missing, a
// path through a file, a folder or file that cannot be written, a name that is a folder. Empty
// where nothing stands in the way, and for "-" (standard output).
std::optional<std::string> OutputFileProblem(const std::string& Name);

// The record in the results file Name; empty, after one line on Err that names the file and says
// what is wrong, when it cannot be read or is not a Velmora result.
std::optional<TRunRecord> ReadResultsFile(const std::string& ProgramName, const std::string& Name, std::ostream& Err);

// Sets the tests, block size, passes and OpenCL choices of Options to those of Record; the reason
// when Record's settings are not ones this program can run.
std::optional<std::string> TakeSettingsOf(const TRunRecord& Record, TConsoleOptions& Options);

// The system's text for the error number of a failed write ("No space left on device"); a plain
// one when the number is not known (0).
std::string WriteErrorText(int Error);
