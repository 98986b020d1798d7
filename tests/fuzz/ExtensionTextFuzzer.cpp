// The OpenCL extension lists and texts. A platform's list has one entry per separator (a space or a
// NUL); a device's has one per run of separators, plus an empty first entry where the text starts
// with one. Entries hold no separator and no lower-case ASCII letter, and each is found again
// whatever the case it is asked in.

#include <string>
#include <vector>

#include "DCLText.h"
#include "FuzzCheck.h"

namespace {

bool IsSeparator(char Byte) { return Byte == ' ' || Byte == '\0'; }

std::string Upper(std::string Text) {
  for (char& Byte : Text)
    if (Byte >= 'a' && Byte <= 'z') Byte = static_cast<char>(Byte - 'a' + 'A');
  return Text;
}

std::string Lower(std::string Text) {
  for (char& Byte : Text)
    if (Byte >= 'A' && Byte <= 'Z') Byte = static_cast<char>(Byte - 'A' + 'a');
  return Text;
}

void CheckEntries(const std::vector<std::string>& Entries) {
  for (const std::string& Entry : Entries) {
    for (const char Byte : Entry) {
      FUZZ_CHECK(!IsSeparator(Byte), "an entry holds a separator");
      FUZZ_CHECK(!(Byte >= 'a' && Byte <= 'z'), "an entry holds a lower-case letter");
    }
    FUZZ_CHECK(IsExtensionInList(Entries, Lower(Entry)), "an entry is not found in lower case");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Text(reinterpret_cast<const char*>(Data), Size);
  const std::string Upped = Upper(Text);
  FUZZ_CHECK(UpperCaseAscii(Text) == Upped, "upper-casing touched more than a to z");

  // Platform: the text up to its last separator is the entries, each followed by its separator.
  const std::vector<std::string> Platform = SplitPlatformExtensions(Text);
  CheckEntries(Platform);
  std::string Rebuilt;
  std::size_t Separators = 0;
  for (const char Byte : Text) Separators += IsSeparator(Byte);
  FUZZ_CHECK(Platform.size() == Separators, "%zu platform entries for %zu separators", Platform.size(), Separators);
  for (const std::string& Entry : Platform) {
    const std::size_t Separator = Rebuilt.size() + Entry.size();
    FUZZ_CHECK(Separator < Text.size() && IsSeparator(Text[Separator]), "an entry does not end at a separator");
    Rebuilt += Entry + Text[Separator];
  }
  FUZZ_CHECK(Rebuilt == Upped.substr(0, Upped.find_last_of(std::string(" \0", 2)) + 1),
             "the platform entries are not the text up to its last separator");

  // Device: the words that a separator ends, after an empty entry for a leading separator.
  std::vector<std::string> Expected;
  if (!Text.empty() && IsSeparator(Text[0])) Expected.emplace_back();
  std::string Word;
  for (const char Byte : Upped) {
    if (!IsSeparator(Byte)) {
      Word += Byte;
    } else if (!Word.empty()) {
      Expected.push_back(Word);
      Word.clear();
    }
  }
  const std::vector<std::string> Device = SplitDeviceExtensions(Text);
  CheckEntries(Device);
  FUZZ_CHECK(Device == Expected, "%zu device entries, %zu words", Device.size(), Expected.size());

  const std::string Shown = DisplayText(Text);
  FUZZ_CHECK(Shown == Text.substr(0, Text.find('\0')), "the shown text is not the text before its NUL");
  return 0;
}
