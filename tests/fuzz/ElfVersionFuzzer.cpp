// The version information of any file: a file that is not ELF, or has no version table, gives
// twelve empty fields; a damaged one raises the operating-system error and nothing else; a table
// that is read gives texts without NUL bytes. Nothing is read outside the file.

#include <string>

#include "FileInformation.h"
#include "FuzzCheck.h"
#include "OSError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Bytes(reinterpret_cast<const char*>(Data), Size);
  const TFuzzFile File(Bytes);
  TEXEVersionData Version;
  try {
    Version = ReadEXEVersionData(File.Path());
  } catch (const EOSError&) {
    FUZZ_CHECK(Bytes.rfind("\x7f" "ELF", 0) == 0, "an error for a file that is not ELF");
    return 0;
  }
  if (Bytes.rfind("\x7f" "ELF", 0) != 0) FUZZ_CHECK(Version == TEXEVersionData{}, "fields from a file that is not ELF");
  for (const std::string* Field : {&Version.CompanyName, &Version.FileDescription, &Version.FileVersion,
                                   &Version.InternalName, &Version.LegalCopyright, &Version.LegalTrademarks,
                                   &Version.OriginalFileName, &Version.ProductName, &Version.ProductVersion,
                                   &Version.Comments, &Version.PrivateBuild, &Version.SpecialBuild})
    FUZZ_CHECK(Field->find('\0') == std::string::npos, "a field holds a NUL");
  return 0;
}
