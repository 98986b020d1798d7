#include "HandMadeElf.h"

THandMadeElf::THandMadeElf(TElfClass Class, TByteOrder Order, const std::vector<THandMadeSection>& Sections)
    : FIs64(Class == TElfClass::Elf64),
      FBigEndian(Order == TByteOrder::Big),
      FHeaderSize(FIs64 ? 64 : 52),
      FSectionHeaderSize(FIs64 ? 64 : 40),
      FAddressWidth(FIs64 ? 8 : 4),
      FSectionCount(Sections.size() + 2) {
  std::vector<THandMadeSection> All;
  All.push_back({"", "", 0});
  All.insert(All.end(), Sections.begin(), Sections.end());
  std::string Names(1, '\0');
  std::vector<std::size_t> NameAt;
  for (const THandMadeSection& Section : All) {
    NameAt.push_back(Section.Name.empty() ? 0 : Names.size());
    if (!Section.Name.empty()) Names += Section.Name + '\0';
  }
  NameAt.push_back(Names.size());
  Names += std::string(".shstrtab") + '\0';
  All.push_back({".shstrtab", Names, SectionTypeStringTable});

  FBytes.assign(FHeaderSize + FSectionCount * FSectionHeaderSize, '\0');
  const char Ident[] = {0x7F, 'E', 'L', 'F', static_cast<char>(FIs64 ? 2 : 1), static_cast<char>(FBigEndian ? 2 : 1), 1};
  FBytes.replace(0, sizeof Ident, Ident, sizeof Ident);
  Put(16, 1, 2);                                    // e_type: relocatable
  Put(20, 1, 4);                                    // e_version
  Put(FIs64 ? 0x34 : 0x28, FHeaderSize, 2);         // e_ehsize
  SetSectionTableOffset(FHeaderSize);
  SetSectionEntrySize(static_cast<std::uint16_t>(FSectionHeaderSize));
  SetSectionCount(static_cast<std::uint16_t>(FSectionCount));
  SetNamesIndex(static_cast<std::uint16_t>(NamesIndex()));

  // The names first, so that a file cut inside a table still has all its section names.
  std::vector<std::size_t> Placing{All.size() - 1};
  for (std::size_t Index = 1; Index + 1 < All.size(); ++Index) Placing.push_back(Index);
  FDataBegin.assign(All.size(), 0);
  FDataEnd.assign(All.size(), 0);
  for (const std::size_t Index : Placing) {
    FDataBegin[Index] = FBytes.size();
    if (All[Index].Type != SectionTypeNoBits) FBytes += All[Index].Bytes;
    FDataEnd[Index] = FBytes.size();
  }
  for (std::size_t Index = 1; Index < All.size(); ++Index) {
    SetSectionName(Index, static_cast<std::uint32_t>(NameAt[Index]));
    SetSectionType(Index, All[Index].Type);
    SetSectionOffset(Index, FDataBegin[Index]);
    SetSectionSize(Index, All[Index].Bytes.size());
  }
}

void THandMadeElf::Put(std::size_t At, std::uint64_t Value, std::size_t Width) {
  for (std::size_t Byte = 0; Byte < Width; ++Byte) {
    const std::size_t Shift = 8 * (FBigEndian ? Width - 1 - Byte : Byte);
    FBytes[At + Byte] = static_cast<char>((Value >> Shift) & 0xFF);
  }
}

void THandMadeElf::SetSectionTableOffset(std::uint64_t Value) { Put(FIs64 ? 0x28 : 0x20, Value, FAddressWidth); }
void THandMadeElf::SetSectionEntrySize(std::uint16_t Value) { Put(FIs64 ? 0x3A : 0x2E, Value, 2); }
void THandMadeElf::SetSectionCount(std::uint16_t Value) { Put(FIs64 ? 0x3C : 0x30, Value, 2); }
void THandMadeElf::SetNamesIndex(std::uint16_t Value) { Put(FIs64 ? 0x3E : 0x32, Value, 2); }

void THandMadeElf::SetSectionName(std::size_t Index, std::uint32_t Value) { Put(SectionHeader(Index), Value, 4); }
void THandMadeElf::SetSectionType(std::size_t Index, std::uint32_t Value) { Put(SectionHeader(Index) + 4, Value, 4); }
void THandMadeElf::SetSectionOffset(std::size_t Index, std::uint64_t Value) {
  Put(SectionHeader(Index) + (FIs64 ? 0x18 : 0x10), Value, FAddressWidth);
}
void THandMadeElf::SetSectionSize(std::size_t Index, std::uint64_t Value) {
  Put(SectionHeader(Index) + (FIs64 ? 0x20 : 0x14), Value, FAddressWidth);
}
void THandMadeElf::SetSectionLink(std::size_t Index, std::uint32_t Value) {
  Put(SectionHeader(Index) + (FIs64 ? 0x28 : 0x18), Value, 4);
}

namespace {

void PutLittleEndian16(std::string& Bytes, std::size_t Value) {
  Bytes += static_cast<char>(Value & 0xFF);
  Bytes += static_cast<char>((Value >> 8) & 0xFF);
}

}  // namespace

std::string HandMadeVersionTable(const std::vector<THandMadeTableEntry>& Entries, const std::string& Magic,
                                 std::uint16_t Format, int Count) {
  std::string Table = Magic;
  PutLittleEndian16(Table, Format);
  PutLittleEndian16(Table, Count < 0 ? Entries.size() : static_cast<std::size_t>(Count));
  for (const THandMadeTableEntry& Entry : Entries) {
    PutLittleEndian16(Table, Entry.Path.size());
    PutLittleEndian16(Table, Entry.Value.size());
    Table += Entry.Path + Entry.Value;
  }
  return Table;
}
