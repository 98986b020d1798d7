// The version table, from bytes that deserve no trust: it parses exactly when the bytes begin with
// a whole table of the documented layout, bytes after the table change nothing, every entry is
// found by its path in any ASCII case (the first of equal paths counts), and the translation and
// fixed-part values decode as documented.

#include <algorithm>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "VersionTable.h"

namespace {

// The layout of VersionTable.h, walked as it is written there; nullopt where the bytes end first.
std::optional<std::vector<std::pair<std::string_view, std::string_view>>> Walk(std::string_view Bytes) {
  auto Number = [&](std::size_t At) {
    return static_cast<std::size_t>(static_cast<unsigned char>(Bytes[At]) |
                                    (static_cast<unsigned char>(Bytes[At + 1]) << 8));
  };
  if (Bytes.size() < 8 || Bytes.substr(0, 4) != "VLVT" || Number(4) != 1) return std::nullopt;
  std::vector<std::pair<std::string_view, std::string_view>> Entries;
  std::size_t At = 8;
  for (std::size_t Count = Number(6); Count > 0; --Count) {
    if (Bytes.size() < At + 4) return std::nullopt;
    const std::size_t PathLength = Number(At);
    const std::size_t ValueLength = Number(At + 2);
    if (Bytes.size() < At + 4 + PathLength + ValueLength) return std::nullopt;
    Entries.emplace_back(Bytes.substr(At + 4, PathLength), Bytes.substr(At + 4 + PathLength, ValueLength));
    At += 4 + PathLength + ValueLength;
  }
  return Entries;
}

std::string Folded(std::string_view Text) {
  std::string Result(Text);
  for (char& Byte : Result)
    if (Byte >= 'A' && Byte <= 'Z') Byte = static_cast<char>(Byte - 'A' + 'a');
  return Result;
}

std::string SwapCase(std::string_view Text) {
  std::string Result(Text);
  for (char& Byte : Result) {
    if (Byte >= 'a' && Byte <= 'z') Byte = static_cast<char>(Byte - 'a' + 'A');
    else if (Byte >= 'A' && Byte <= 'Z') Byte = static_cast<char>(Byte - 'A' + 'a');
  }
  return Result;
}

void CheckValues(std::string_view Value) {
  const std::optional<TVersionTranslation> Translation = FirstVersionTranslation(Value);
  FUZZ_CHECK(Translation.has_value() == (Value.size() >= 4), "a translation from %zu bytes", Value.size());
  if (Translation) {
    const std::string Key = VersionStringBlockKey(*Translation);
    FUZZ_CHECK(Key.size() == 8 && Key.find_first_not_of("0123456789ABCDEF") == std::string::npos, "key %s",
               Key.c_str());
    FUZZ_CHECK(std::stoul(Key.substr(0, 4), nullptr, 16) == Translation->Language &&
                   std::stoul(Key.substr(4), nullptr, 16) == Translation->CodePage,
               "key %s does not read back", Key.c_str());
  }
  const std::optional<TVersionFixedPart> Fixed = DecodeVersionFixedPart(Value);
  FUZZ_CHECK(Fixed.has_value() == (Value.size() == 20), "a fixed part from %zu bytes", Value.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string_view Bytes(reinterpret_cast<const char*>(Data), Size);
  const std::optional<TVersionTable> Table = TVersionTable::Parse(Bytes);
  const auto Entries = Walk(Bytes);
  FUZZ_CHECK(Table.has_value() == (Entries.has_value() && Size <= VersionTableMaxSize),
             "parsed: %d, a whole table of at most 64 KiB: %d", Table.has_value(),
             Entries.has_value() && Size <= VersionTableMaxSize);
  CheckValues(Bytes);
  if (!Table) return 0;

  const std::string Longer = std::string(Bytes) + "trailing bytes";
  const std::optional<TVersionTable> WithTail = TVersionTable::Parse(Longer);
  FUZZ_CHECK(WithTail.has_value() == (Longer.size() <= VersionTableMaxSize), "bytes after the table count");

  // Of equal paths, in any ASCII case, the first counts. Lookups scan the table, so a table of
  // thousands of tiny entries is checked on its first ones.
  std::map<std::string, std::string_view> FirstValues;
  for (const auto& [Path, Value] : *Entries) FirstValues.emplace(Folded(Path), Value);
  for (std::size_t Index = 0; Index < std::min<std::size_t>(Entries->size(), 256); ++Index) {
    const auto& [Path, Value] = (*Entries)[Index];
    for (const std::string& Asked : {std::string(Path), SwapCase(Path)}) {
      const std::optional<std::string_view> Found = Table->Query(Asked);
      FUZZ_CHECK(Found.has_value() && *Found == FirstValues.at(Folded(Path)), "entry %zu is not found by its path",
                 Index);
      if (WithTail) FUZZ_CHECK(WithTail->Query(Asked) == Found, "bytes after the table changed entry %zu", Index);
    }
    CheckValues(Value);
  }
  return 0;
}
