#pragma once
// Small ELF files put together byte by byte, so that a test can damage any field that a reader of
// untrusted files must check. Layout: file header, section headers (the null section, the given
// sections from index 1, the section names last), the section names, then each section's bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class TElfClass { Elf32, Elf64 };
enum class TByteOrder { Little, Big };

inline constexpr std::uint32_t SectionTypeProgBits = 1;
inline constexpr std::uint32_t SectionTypeStringTable = 3;
inline constexpr std::uint32_t SectionTypeNoBits = 8;

struct THandMadeSection {
  std::string Name;
  std::string Bytes;
  std::uint32_t Type = SectionTypeProgBits;
};

class THandMadeElf {
 public:
  THandMadeElf(TElfClass Class, TByteOrder Order, const std::vector<THandMadeSection>& Sections);

  const std::string& Bytes() const { return FBytes; }
  std::size_t NamesIndex() const { return FSectionCount - 1; }
  // Where the bytes of section Index (or the section names) start and end in the file.
  std::size_t DataBegin(std::size_t Index) const { return FDataBegin[Index]; }
  std::size_t DataEnd(std::size_t Index) const { return FDataEnd[Index]; }

  // File header fields.
  void SetSectionTableOffset(std::uint64_t Value);
  void SetSectionEntrySize(std::uint16_t Value);
  void SetSectionCount(std::uint16_t Value);
  void SetNamesIndex(std::uint16_t Value);
  void SetIdentByte(std::size_t At, unsigned char Value) { FBytes[At] = static_cast<char>(Value); }

  // Fields of section header Index.
  void SetSectionName(std::size_t Index, std::uint32_t Value);
  void SetSectionType(std::size_t Index, std::uint32_t Value);
  void SetSectionOffset(std::size_t Index, std::uint64_t Value);
  void SetSectionSize(std::size_t Index, std::uint64_t Value);
  void SetSectionLink(std::size_t Index, std::uint32_t Value);

 private:
  void Put(std::size_t At, std::uint64_t Value, std::size_t Width);
  std::size_t SectionHeader(std::size_t Index) const { return FHeaderSize + Index * FSectionHeaderSize; }

  bool FIs64;
  bool FBigEndian;
  std::size_t FHeaderSize;
  std::size_t FSectionHeaderSize;
  std::size_t FAddressWidth;
  std::size_t FSectionCount;
  std::vector<std::size_t> FDataBegin;
  std::vector<std::size_t> FDataEnd;
  std::string FBytes;
};

// A version table written field by field after the documented layout, independent of the
// program's own writer: entries as (path, value), the magic, format and count as given.
struct THandMadeTableEntry {
  std::string Path;
  std::string Value;
};
std::string HandMadeVersionTable(const std::vector<THandMadeTableEntry>& Entries, const std::string& Magic = "VLVT",
                                 std::uint16_t Format = 1, int Count = -1);
