#include "ElfFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <utility>

namespace {

constexpr std::uint32_t SectionTypeNoBits = 8;  // SHT_NOBITS: no bytes in the file, like .bss
constexpr std::uint64_t ExtendedIndex = 0xFFFF;  // SHN_XINDEX: the real index is kept in section 0

// Where the fields that the search needs sit in the file header and in a section header.
struct TElfLayout {
  std::size_t HeaderSize;
  std::size_t AddressWidth;  // of file offsets and section sizes
  std::size_t SectionTableAt;
  std::size_t SectionEntrySizeAt;
  std::size_t SectionCountAt;
  std::size_t StringTableIndexAt;
  std::size_t SectionHeaderSize;
  std::size_t NameAt;
  std::size_t TypeAt;
  std::size_t OffsetAt;
  std::size_t SizeAt;
  std::size_t LinkAt;
};

constexpr TElfLayout Elf32Layout{52, 4, 0x20, 0x2E, 0x30, 0x32, 40, 0x00, 0x04, 0x10, 0x14, 0x18};
constexpr TElfLayout Elf64Layout{64, 8, 0x28, 0x3A, 0x3C, 0x3E, 64, 0x00, 0x04, 0x18, 0x20, 0x28};

std::uint64_t Number(const unsigned char* Bytes, std::size_t Width, bool BigEndian) {
  std::uint64_t Value = 0;
  for (std::size_t Index = 0; Index < Width; ++Index) {
    Value = (Value << 8) | Bytes[BigEndian ? Index : Width - 1 - Index];
  }
  return Value;
}

}  // namespace

std::optional<TElfFile> TElfFile::Open(const std::string& FileName) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer that may never come.
  const int Descriptor = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (Descriptor < 0) return std::nullopt;
  struct stat Status {};
  if (::fstat(Descriptor, &Status) != 0 || !S_ISREG(Status.st_mode)) {
    ::close(Descriptor);
    return std::nullopt;
  }
  return TElfFile(Descriptor, static_cast<std::uint64_t>(Status.st_size));
}

TElfFile::TElfFile(TElfFile&& Other) noexcept
    : FDescriptor(std::exchange(Other.FDescriptor, -1)), FSize(Other.FSize) {}

TElfFile& TElfFile::operator=(TElfFile&& Other) noexcept {
  std::swap(FDescriptor, Other.FDescriptor);
  std::swap(FSize, Other.FSize);
  return *this;
}

TElfFile::~TElfFile() {
  if (FDescriptor >= 0) ::close(FDescriptor);
}

bool TElfFile::Holds(std::uint64_t Offset, std::uint64_t Length) const {
  // Written so that no sum can wrap around: a hostile offset near 2^64 plus a small length
  // must not look like a place inside the file.
  return Offset <= FSize && Length <= FSize - Offset;
}

int TElfFile::ReadAt(std::uint64_t Offset, void* Buffer, std::size_t Length) const {
  if (!Holds(Offset, Length)) return EIO;
  auto* Next = static_cast<unsigned char*>(Buffer);
  while (Length > 0) {
    const ssize_t Got = ::pread(FDescriptor, Next, Length, static_cast<off_t>(Offset));
    if (Got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    // The file shrank after it was opened.
    if (Got == 0) return EIO;
    Next += Got;
    Offset += static_cast<std::uint64_t>(Got);
    Length -= static_cast<std::size_t>(Got);
  }
  return 0;
}

std::optional<TElfSection> TElfFile::FindSection(std::string_view Name) const {
  std::array<unsigned char, 64> Header{};
  if (ReadAt(0, Header.data(), 16) != 0) return std::nullopt;
  if (Header[0] != 0x7F || Header[1] != 'E' || Header[2] != 'L' || Header[3] != 'F') return std::nullopt;
  if (Header[6] != 1) return std::nullopt;  // the only ELF version there is
  if (Header[4] != 1 && Header[4] != 2) return std::nullopt;
  if (Header[5] != 1 && Header[5] != 2) return std::nullopt;
  const TElfLayout& Layout = Header[4] == 1 ? Elf32Layout : Elf64Layout;
  const bool BigEndian = Header[5] == 2;
  if (ReadAt(0, Header.data(), Layout.HeaderSize) != 0) return std::nullopt;

  const auto Field = [BigEndian](const std::array<unsigned char, 64>& Bytes, std::size_t At, std::size_t Width) {
    return Number(Bytes.data() + At, Width, BigEndian);
  };
  const std::uint64_t TableOffset = Field(Header, Layout.SectionTableAt, Layout.AddressWidth);
  const std::uint64_t EntrySize = Field(Header, Layout.SectionEntrySizeAt, 2);
  std::uint64_t Count = Field(Header, Layout.SectionCountAt, 2);
  std::uint64_t StringTableIndex = Field(Header, Layout.StringTableIndexAt, 2);
  if (TableOffset == 0 || EntrySize < Layout.SectionHeaderSize) return std::nullopt;

  std::array<unsigned char, 64> Section{};
  // Files with 0xFF00 sections or more keep the count and the name table's index in section 0.
  if (Count == 0 || StringTableIndex == ExtendedIndex) {
    if (ReadAt(TableOffset, Section.data(), Layout.SectionHeaderSize) != 0) return std::nullopt;
    if (Count == 0) Count = Field(Section, Layout.SizeAt, Layout.AddressWidth);
    if (StringTableIndex == ExtendedIndex) StringTableIndex = Field(Section, Layout.LinkAt, 4);
  }
  // The whole section table must lie in the file; from here on no header read can overflow.
  if (TableOffset > FSize || Count > (FSize - TableOffset) / EntrySize) return std::nullopt;
  if (StringTableIndex >= Count) return std::nullopt;

  const auto ReadSectionHeader = [&](std::uint64_t Index) {
    return ReadAt(TableOffset + Index * EntrySize, Section.data(), Layout.SectionHeaderSize) == 0;
  };
  if (!ReadSectionHeader(StringTableIndex)) return std::nullopt;
  if (Field(Section, Layout.TypeAt, 4) == SectionTypeNoBits) return std::nullopt;
  const std::uint64_t NamesOffset = Field(Section, Layout.OffsetAt, Layout.AddressWidth);
  const std::uint64_t NamesSize = Field(Section, Layout.SizeAt, Layout.AddressWidth);
  if (!Holds(NamesOffset, NamesSize)) return std::nullopt;

  // The name with its terminating zero, so that ".velmora.version2" is not taken for it.
  std::string Wanted(Name);
  Wanted.push_back('\0');
  std::string Candidate(Wanted.size(), '\0');
  for (std::uint64_t Index = 0; Index < Count; ++Index) {
    if (!ReadSectionHeader(Index)) return std::nullopt;
    const std::uint64_t NameAt = Field(Section, Layout.NameAt, 4);
    if (NameAt > NamesSize || Wanted.size() > NamesSize - NameAt) continue;
    if (ReadAt(NamesOffset + NameAt, Candidate.data(), Candidate.size()) != 0) return std::nullopt;
    if (Candidate != Wanted) continue;
    const std::uint64_t Size = Field(Section, Layout.SizeAt, Layout.AddressWidth);
    if (Field(Section, Layout.TypeAt, 4) == SectionTypeNoBits || Size == 0) continue;
    return TElfSection{Field(Section, Layout.OffsetAt, Layout.AddressWidth), Size};
  }
  return std::nullopt;
}

int TElfFile::ReadSection(const TElfSection& Section, std::string& Bytes) const {
  if (!Holds(Section.Offset, Section.Size)) return EIO;
  Bytes.assign(static_cast<std::size_t>(Section.Size), '\0');
  return ReadAt(Section.Offset, Bytes.data(), Bytes.size());
}
