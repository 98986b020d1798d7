#include "FileInformation.h"

#include <cerrno>

#include "ElfFile.h"
#include "OSError.h"
#include "VersionTable.h"

namespace {

struct TField {
  const char* Name;
  std::string TEXEVersionData::*Text;
};

const TField Fields[] = {
    {"CompanyName", &TEXEVersionData::CompanyName},
    {"FileDescription", &TEXEVersionData::FileDescription},
    {"FileVersion", &TEXEVersionData::FileVersion},
    {"InternalName", &TEXEVersionData::InternalName},
    {"LegalCopyright", &TEXEVersionData::LegalCopyright},
    {"LegalTrademarks", &TEXEVersionData::LegalTrademarks},
    {"OriginalFileName", &TEXEVersionData::OriginalFileName},
    {"ProductName", &TEXEVersionData::ProductName},
    {"ProductVersion", &TEXEVersionData::ProductVersion},
    {"Comments", &TEXEVersionData::Comments},
    {"PrivateBuild", &TEXEVersionData::PrivateBuild},
    {"SpecialBuild", &TEXEVersionData::SpecialBuild},
};

std::string Remainder(const std::string& FileName, const char* What) {
  return ": the version information of \"" + FileName + "\" " + What;
}

// A text value ends at its first zero byte, if it has one.
std::string TextOf(std::string_view Value) { return std::string(Value.substr(0, Value.find('\0'))); }

}  // namespace

TEXEVersionData ReadEXEVersionData(const std::string& FileName) {
  TEXEVersionData Data;
  const std::optional<TElfFile> File = TElfFile::Open(FileName);
  if (!File) return Data;
  const std::optional<TElfSection> Section = File->FindSection(VersionTableSectionName);
  if (!Section) return Data;

  // Checked before reading, so that a hostile size cannot make the program hold gigabytes.
  if (Section->Size > VersionTableMaxSize) throw EOSError(EBADMSG, Remainder(FileName, "is damaged"));
  std::string Bytes;
  if (const int Error = File->ReadSection(*Section, Bytes); Error != 0) {
    throw EOSError(Error, Remainder(FileName, Error == EIO ? "cannot be read in full" : "cannot be read"));
  }
  const std::optional<TVersionTable> Table = TVersionTable::Parse(Bytes);
  if (!Table) throw EOSError(EBADMSG, Remainder(FileName, "is damaged"));

  const std::optional<std::string_view> Translations = Table->Query(VersionTranslationPath);
  const std::optional<TVersionTranslation> Translation =
      Translations ? FirstVersionTranslation(*Translations) : std::nullopt;
  if (!Translation) throw EOSError(ENODATA, Remainder(FileName, "has no translation"));

  const std::string Block = "\\StringFileInfo\\" + VersionStringBlockKey(*Translation) + "\\";
  for (const TField& Field : Fields) {
    if (const auto Value = Table->Query(Block + Field.Name)) Data.*Field.Text = TextOf(*Value);
  }
  return Data;
}

std::string ProgramFileVersion() { return ReadEXEVersionData(ProgramExecutablePath).FileVersion; }
