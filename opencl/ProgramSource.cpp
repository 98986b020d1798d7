#include "ProgramSource.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace {

struct TCloseFile {
  void operator()(std::FILE* File) const { std::fclose(File); }
};

std::runtime_error FileError(const char* What, const std::string& FileName, int Error) {
  return std::runtime_error(std::string(What) + " \"" + FileName + "\": " + std::strerror(Error));
}

std::string ReadWholeFile(const std::string& FileName) {
  std::unique_ptr<std::FILE, TCloseFile> File(std::fopen(FileName.c_str(), "rb"));
  if (!File) throw FileError("Cannot open file", FileName, errno);
  std::string Bytes;
  char Chunk[65536];
  std::size_t Count;
  while ((Count = std::fread(Chunk, 1, sizeof Chunk, File.get())) > 0) Bytes.append(Chunk, Count);
  // A folder opens but does not read: without this check it would pass as an empty program.
  if (std::ferror(File.get())) throw FileError("Cannot read file", FileName, errno);
  return Bytes;
}

}  // namespace

std::string ReadProgramSource(const std::string& FileName) {
  const std::string Bytes = ReadWholeFile(FileName);
  std::string Source;
  std::size_t LineStart = 0;
  while (LineStart < Bytes.size()) {
    const std::size_t LineFeed = Bytes.find('\n', LineStart);
    std::size_t LineEnd = LineFeed == std::string::npos ? Bytes.size() : LineFeed;
    if (LineFeed != std::string::npos && LineEnd > LineStart && Bytes[LineEnd - 1] == '\r') --LineEnd;
    Source.append(Bytes, LineStart, LineEnd - LineStart);
    Source += "\n\r";
    LineStart = LineFeed == std::string::npos ? Bytes.size() : LineFeed + 1;
  }
  return Source;
}
