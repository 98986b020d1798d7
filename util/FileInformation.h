#pragma once
// The version strings of an executable file: the table that the build embeds into the program
// (VersionTable.h), read back from the file at any path. The window and the console show the
// FileVersion in their title line.

#include <string>

struct TEXEVersionData {
  std::string CompanyName;
  std::string FileDescription;
  std::string FileVersion;
  std::string InternalName;
  std::string LegalCopyright;
  std::string LegalTrademarks;
  std::string OriginalFileName;
  std::string ProductName;
  std::string ProductVersion;
  std::string Comments;
  std::string PrivateBuild;
  std::string SpecialBuild;

  bool operator==(const TEXEVersionData&) const = default;
};

// Reads the strings of the file's first translation; a value the table lacks leaves its field
// empty. A missing file, a file that is not ELF and an ELF file without a version table give twelve
// empty fields. Throws EOSError (OSError.h) when the file has a table that cannot be read, that is
// damaged or that has no translation.
TEXEVersionData ReadEXEVersionData(const std::string& FileName);

// The running program's own executable, whatever name it was started by.
inline constexpr const char* ProgramExecutablePath = "/proc/self/exe";

// The FileVersion of the running program; throws as ReadEXEVersionData does.
std::string ProgramFileVersion();
