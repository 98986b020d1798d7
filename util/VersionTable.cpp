#include "VersionTable.h"

#include <cstdio>

namespace {

// Reads a little-endian number of Width bytes at At and moves At past it; false, with At
// unchanged, when the bytes end first.
bool TakeNumber(std::string_view Bytes, std::size_t& At, int Width, std::uint32_t& Number) {
  if (Bytes.size() - At < static_cast<std::size_t>(Width)) return false;
  Number = 0;
  for (int Byte = Width - 1; Byte >= 0; --Byte) {
    Number = (Number << 8) | static_cast<unsigned char>(Bytes[At + static_cast<std::size_t>(Byte)]);
  }
  At += static_cast<std::size_t>(Width);
  return true;
}

bool TakeText(std::string_view Bytes, std::size_t& At, std::uint32_t Length, std::string& Text) {
  if (Bytes.size() - At < Length) return false;
  Text.assign(Bytes.substr(At, Length));
  At += Length;
  return true;
}

char LowerAscii(char Letter) { return Letter >= 'A' && Letter <= 'Z' ? static_cast<char>(Letter - 'A' + 'a') : Letter; }

bool SamePath(std::string_view Left, std::string_view Right) {
  if (Left.size() != Right.size()) return false;
  for (std::size_t Index = 0; Index < Left.size(); ++Index) {
    if (LowerAscii(Left[Index]) != LowerAscii(Right[Index])) return false;
  }
  return true;
}

std::uint16_t LittleEndian16(std::string_view Bytes, std::size_t At) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(Bytes[At]) |
                                    (static_cast<unsigned char>(Bytes[At + 1]) << 8));
}

}  // namespace

std::optional<TVersionTable> TVersionTable::Parse(std::string_view Bytes) {
  if (Bytes.size() > VersionTableMaxSize) return std::nullopt;
  if (Bytes.substr(0, VersionTableMagic.size()) != VersionTableMagic) return std::nullopt;
  std::size_t At = VersionTableMagic.size();
  std::uint32_t Format = 0;
  std::uint32_t Count = 0;
  if (!TakeNumber(Bytes, At, 2, Format) || Format != VersionTableFormat) return std::nullopt;
  if (!TakeNumber(Bytes, At, 2, Count)) return std::nullopt;

  TVersionTable Table;
  for (std::uint32_t Index = 0; Index < Count; ++Index) {
    std::uint32_t PathLength = 0;
    std::uint32_t ValueLength = 0;
    std::string Path;
    std::string Value;
    if (!TakeNumber(Bytes, At, 2, PathLength) || !TakeNumber(Bytes, At, 2, ValueLength) ||
        !TakeText(Bytes, At, PathLength, Path) || !TakeText(Bytes, At, ValueLength, Value)) {
      return std::nullopt;
    }
    Table.FEntries.emplace_back(std::move(Path), std::move(Value));
  }
  return Table;
}

std::optional<std::string_view> TVersionTable::Query(std::string_view Path) const {
  for (const auto& [StoredPath, Value] : FEntries) {
    if (SamePath(StoredPath, Path)) return std::string_view(Value);
  }
  return std::nullopt;
}

std::optional<TVersionTranslation> FirstVersionTranslation(std::string_view Value) {
  if (Value.size() < 4) return std::nullopt;
  return TVersionTranslation{LittleEndian16(Value, 0), LittleEndian16(Value, 2)};
}

std::string VersionStringBlockKey(TVersionTranslation Translation) {
  char Key[9];
  std::snprintf(Key, sizeof Key, "%.4X%.4X", static_cast<unsigned>(Translation.Language),
                static_cast<unsigned>(Translation.CodePage));
  return Key;
}

std::optional<TVersionFixedPart> DecodeVersionFixedPart(std::string_view Value) {
  if (Value.size() != 20) return std::nullopt;
  TVersionFixedPart Fixed;
  for (std::size_t Index = 0; Index < 4; ++Index) {
    Fixed.FileVersion[Index] = LittleEndian16(Value, 2 * Index);
    Fixed.ProductVersion[Index] = LittleEndian16(Value, 8 + 2 * Index);
  }
  std::size_t At = 16;
  TakeNumber(Value, At, 4, Fixed.FileType);
  return Fixed;
}
