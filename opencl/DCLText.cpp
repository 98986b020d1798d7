#include "DCLText.h"

#include <algorithm>

namespace {

bool IsSeparator(char Byte) { return Byte == ' ' || Byte == '\0'; }

}  // namespace

std::string DisplayText(const std::string& Text) { return Text.substr(0, Text.find('\0')); }

std::string UpperCaseAscii(std::string Text) {
  for (char& Byte : Text)
    if (Byte >= 'a' && Byte <= 'z') Byte = static_cast<char>(Byte - 0x20);
  return Text;
}

std::vector<std::string> SplitPlatformExtensions(const std::string& Text) {
  std::vector<std::string> Entries;
  std::size_t EntryStart = 0;
  for (std::size_t Position = 0; Position < Text.size(); ++Position) {
    if (!IsSeparator(Text[Position])) continue;
    Entries.push_back(UpperCaseAscii(Text.substr(EntryStart, Position - EntryStart)));
    EntryStart = Position + 1;
  }
  return Entries;
}

std::vector<std::string> SplitDeviceExtensions(const std::string& Text) {
  std::vector<std::string> Entries;
  std::size_t EntryStart = 0;
  for (std::size_t Position = 0; Position < Text.size(); ++Position) {
    if (!IsSeparator(Text[Position])) continue;
    const bool ClosesEntry = Position == 0 || !IsSeparator(Text[Position - 1]);
    if (ClosesEntry) Entries.push_back(UpperCaseAscii(Text.substr(EntryStart, Position - EntryStart)));
    EntryStart = Position + 1;
  }
  return Entries;
}

bool IsExtensionInList(const std::vector<std::string>& Extensions, const std::string& ExtensionName) {
  return std::ranges::find(Extensions, UpperCaseAscii(ExtensionName)) != Extensions.end();
}
