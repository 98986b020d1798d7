// The results file reader behind --compare: any text is either refused with a message or read as a
// record that writes out as JSON which reads back to the same record; its CSV and its comparison
// with itself are made without a fault.

#include <string>

#include "FuzzCheck.h"
#include "RecordCsv.h"
#include "RecordJson.h"
#include "RecordReader.h"
#include "RunComparison.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Text(reinterpret_cast<const char*>(Data), Size);
  TRunRecord Record;
  try {
    Record = RunRecordFromJson(Text);
  } catch (const EResultFileError& Error) {
    FUZZ_CHECK(*Error.what() != '\0', "a refusal without a message");
    return 0;
  }
  const std::string Written = RunRecordJson(Record);
  TRunRecord Again;
  try {
    Again = RunRecordFromJson(Written);
  } catch (const EResultFileError& Error) {
    FUZZ_CHECK(false, "the record's own JSON is refused: %s", Error.what());
  }
  FUZZ_CHECK(RunRecordJson(Again) == Written, "the record's own JSON reads back to another record");
  FUZZ_CHECK(!RunRecordCsv(Record).empty(), "an empty CSV");
  const std::vector<TTestComparison> Comparisons = CompareRuns(Record, Again);
  FUZZ_CHECK(Comparisons.size() <= Record.Tests.size(), "%zu comparisons of %zu tests", Comparisons.size(),
             Record.Tests.size());
  FUZZ_CHECK(!ComparisonLines(Record, "base.json", Again, "new.json", Comparisons).empty(), "no comparison lines");
  return 0;
}
