#pragma once
// The version table that the build embeds into an executable (cmake/VersionTable.cmake) and that
// ReadEXEVersionData reads back: a short list of (query path, value) entries that lives in a section
// of the executable's own ELF file, ".velmora.version".
//
// Layout, every number little-endian, no padding or alignment:
//   "VLVT"              4 bytes, marks the table
//   format              2 bytes, 1
//   entry count         2 bytes
//   then, per entry:
//     path length       2 bytes
//     value length      2 bytes
//     path              UTF-8, no terminating zero
//     value             value length bytes
// Bytes after the last entry are ignored, so that padding a linker adds does no harm. A table is
// at most 64 KiB; a larger section is damaged, not a table.
//
// Paths and their values:
//   "\"                             the fixed part: the file version as four 2-byte numbers, the
//                                   product version as four 2-byte numbers, then the file type in
//                                   4 bytes (1: application)
//   "\VarFileInfo\Translation"      4 bytes per translation: language, then code page, 2 bytes each;
//                                   the first translation names the string block that is read
//   "\StringFileInfo\<key>\<name>"  a text in UTF-8; <key> is the language and the code page as
//                                   eight upper-case hex digits, "040904E4"
// Paths compare without regard to ASCII case, as version paths always have, so "OriginalFileName"
// finds the stored "OriginalFilename". Of two equal paths the first counts.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A macro only because a section attribute takes nothing but a string literal.
#define VELMORA_VERSION_SECTION ".velmora.version"

inline constexpr std::string_view VersionTableSectionName = VELMORA_VERSION_SECTION;
inline constexpr std::string_view VersionTableMagic = "VLVT";
inline constexpr std::uint16_t VersionTableFormat = 1;
inline constexpr std::size_t VersionTableHeaderSize = 8;
inline constexpr std::size_t VersionTableMaxSize = 64 * 1024;

inline constexpr std::string_view VersionFixedPartPath = "\\";
inline constexpr std::string_view VersionTranslationPath = "\\VarFileInfo\\Translation";
inline constexpr std::uint32_t VersionFileTypeApplication = 1;

struct TVersionEntry {
  std::string_view Path;
  std::string_view Value;
};

// ---- Writing, at compile time: a generated source puts the result into the section. ----

namespace VersionTableDetail {

template <typename TBytes>
constexpr void PutNumber(TBytes& Bytes, std::size_t& At, std::uint64_t Value, int Width) {
  for (int Byte = 0; Byte < Width; ++Byte) {
    Bytes[At++] = static_cast<typename TBytes::value_type>((Value >> (8 * Byte)) & 0xFF);
  }
}

}  // namespace VersionTableDetail

consteval std::size_t VersionTableSize(std::span<const TVersionEntry> Entries) {
  std::size_t Size = VersionTableHeaderSize;
  for (const TVersionEntry& Entry : Entries) Size += 4 + Entry.Path.size() + Entry.Value.size();
  return Size;
}

// MakeVersionTable<VersionTableSize(Entries)>(Entries). A table the reader would refuse does not
// compile: the throws below end the constant evaluation with an error at their line.
template <std::size_t Size>
consteval std::array<unsigned char, Size> MakeVersionTable(std::span<const TVersionEntry> Entries) {
  static_assert(Size <= VersionTableMaxSize, "a version table is at most 64 KiB");
  if (Entries.size() > 0xFFFF) throw "too many version entries";
  std::array<unsigned char, Size> Table{};
  std::size_t At = 0;
  for (const char Letter : VersionTableMagic) Table[At++] = static_cast<unsigned char>(Letter);
  VersionTableDetail::PutNumber(Table, At, VersionTableFormat, 2);
  VersionTableDetail::PutNumber(Table, At, Entries.size(), 2);
  for (const TVersionEntry& Entry : Entries) {
    if (Entry.Path.size() > 0xFFFF || Entry.Value.size() > 0xFFFF) throw "version entry too long";
    VersionTableDetail::PutNumber(Table, At, Entry.Path.size(), 2);
    VersionTableDetail::PutNumber(Table, At, Entry.Value.size(), 2);
    for (const char Letter : Entry.Path) Table[At++] = static_cast<unsigned char>(Letter);
    for (const char Letter : Entry.Value) Table[At++] = static_cast<unsigned char>(Letter);
  }
  if (At != Size) throw "size does not match VersionTableSize of the same entries";
  return Table;
}

consteval std::array<char, 4> VersionTranslation(std::uint16_t Language, std::uint16_t CodePage) {
  std::array<char, 4> Value{};
  std::size_t At = 0;
  VersionTableDetail::PutNumber(Value, At, Language, 2);
  VersionTableDetail::PutNumber(Value, At, CodePage, 2);
  return Value;
}

consteval std::array<char, 20> VersionFixedPart(std::array<std::uint16_t, 4> FileVersion,
                                                std::array<std::uint16_t, 4> ProductVersion,
                                                std::uint32_t FileType) {
  std::array<char, 20> Value{};
  std::size_t At = 0;
  for (const std::uint16_t Number : FileVersion) VersionTableDetail::PutNumber(Value, At, Number, 2);
  for (const std::uint16_t Number : ProductVersion) VersionTableDetail::PutNumber(Value, At, Number, 2);
  VersionTableDetail::PutNumber(Value, At, FileType, 4);
  return Value;
}

// A binary value as an entry's value; the array must outlive the entry (a constexpr variable).
template <std::size_t N>
constexpr std::string_view AsVersionValue(const std::array<char, N>& Value) {
  return std::string_view(Value.data(), Value.size());
}

// ---- Reading, from bytes that came out of a file and deserve no trust. ----

class TVersionTable {
 public:
  // nullopt unless the bytes start with a complete table of this layout.
  static std::optional<TVersionTable> Parse(std::string_view Bytes);

  // The value stored under Path, or nullopt.
  std::optional<std::string_view> Query(std::string_view Path) const;

 private:
  std::vector<std::pair<std::string, std::string>> FEntries;
};

struct TVersionTranslation {
  std::uint16_t Language = 0;
  std::uint16_t CodePage = 0;
};

// The first translation of a "\VarFileInfo\Translation" value; nullopt when it holds none.
std::optional<TVersionTranslation> FirstVersionTranslation(std::string_view Value);

// The string block's key: "%.4x%.4x" in upper case, language first ("040904E4").
std::string VersionStringBlockKey(TVersionTranslation Translation);

struct TVersionFixedPart {
  std::array<std::uint16_t, 4> FileVersion{};
  std::array<std::uint16_t, 4> ProductVersion{};
  std::uint32_t FileType = 0;
  bool operator==(const TVersionFixedPart&) const = default;
};

// nullopt when the value is not 20 bytes long.
std::optional<TVersionFixedPart> DecodeVersionFixedPart(std::string_view Value);
