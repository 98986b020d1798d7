#pragma once
// One ELF file opened for reading, 32 or 64 bit, either byte order: finds a section by name and
// reads its bytes. Every offset, size and count that the file states is checked against the
// file's real size before it is used, so a truncated or hostile file cannot make it read outside
// what it holds.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct TElfSection {
  std::uint64_t Offset = 0;
  std::uint64_t Size = 0;
};

class TElfFile {
 public:
  // nullopt when the path names no regular file or the file cannot be opened. Opening never
  // waits: a FIFO or a device is simply not a file.
  static std::optional<TElfFile> Open(const std::string& FileName);

  TElfFile(TElfFile&& Other) noexcept;
  TElfFile& operator=(TElfFile&& Other) noexcept;
  TElfFile(const TElfFile&) = delete;
  TElfFile& operator=(const TElfFile&) = delete;
  ~TElfFile();

  // The first section of that name with bytes in the file (its bounds still unchecked: see
  // ReadSection); nullopt when the file is no well-formed ELF file or has none.
  std::optional<TElfSection> FindSection(std::string_view Name) const;

  // Reads the section into Bytes. Returns 0, or the errno value of the failed read; EIO when the
  // file ends before the section does. Only for sections of a size the caller is ready to hold.
  int ReadSection(const TElfSection& Section, std::string& Bytes) const;

 private:
  TElfFile(int Descriptor, std::uint64_t Size) : FDescriptor(Descriptor), FSize(Size) {}

  // Reads exactly Length bytes at Offset: 0, an errno value, or EIO at the end of the file.
  int ReadAt(std::uint64_t Offset, void* Buffer, std::size_t Length) const;
  bool Holds(std::uint64_t Offset, std::uint64_t Length) const;

  int FDescriptor = -1;
  std::uint64_t FSize = 0;
};
