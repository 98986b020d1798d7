// The program source reader: every line of the file, whether it ended in LF, in CR LF or at the
// end of the file, comes out followed by LF CR, and nothing else changes.

#include <string>

#include "FuzzCheck.h"
#include "ProgramSource.h"

namespace {

std::string Replaced(std::string Text, const std::string& From, const std::string& To) {
  std::string Result;
  for (std::size_t At = 0;;) {
    const std::size_t Found = Text.find(From, At);
    Result.append(Text, At, Found == std::string::npos ? std::string::npos : Found - At);
    if (Found == std::string::npos) return Result;
    Result += To;
    At = Found + From.size();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string File(reinterpret_cast<const char*>(Data), Size);
  const TFuzzFile Input(File);
  const std::string Source = ReadProgramSource(Input.Path());

  std::size_t Lines = 0;
  for (std::size_t At = 0; At < Source.size(); ++At) {
    if (Source[At] != '\n') continue;
    FUZZ_CHECK(At + 1 < Source.size() && Source[At + 1] == '\r', "an LF without its CR at %zu", At);
    ++Lines;
  }
  std::size_t FileLines = 0;
  for (const char Byte : File) FileLines += Byte == '\n';
  if (!File.empty() && File.back() != '\n') ++FileLines;
  FUZZ_CHECK(Lines == FileLines, "%zu lines out of a file of %zu", Lines, FileLines);

  // Back to LF endings, the file's CR LF endings as LF and a last line ended, both must agree.
  std::string Expected = Replaced(File, "\r\n", "\n");
  if (!Expected.empty() && Expected.back() != '\n') Expected += '\n';
  FUZZ_CHECK(Replaced(Source, "\n\r", "\n") == Expected, "the lines changed");
  return 0;
}
