#include "FileInformation.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "ElfFile.h"
#include "TemporaryDirectory.h"
#include "VersionTable.h"

namespace {

// True when Text is Count decimal numbers joined by dots, "1.0.0.0" for four.
bool IsDottedNumbers(const std::string& Text, int Count) {
  int Numbers = 0;
  bool InNumber = false;
  for (const char Letter : Text) {
    if (Letter >= '0' && Letter <= '9') {
      Numbers += InNumber ? 0 : 1;
      InNumber = true;
    } else if (Letter == '.' && InNumber) {
      InNumber = false;
    } else {
      return false;
    }
  }
  return InNumber && Numbers == Count;
}

// The table of a file as it is stored, for what the twelve strings do not show.
TVersionTable RawTable(const std::string& FileName) {
  const auto File = TElfFile::Open(FileName);
  if (!File) throw std::runtime_error("cannot open " + FileName);
  const auto Section = File->FindSection(VersionTableSectionName);
  if (!Section) throw std::runtime_error("no version table in " + FileName);
  std::string Bytes;
  if (File->ReadSection(*Section, Bytes) != 0) throw std::runtime_error("cannot read " + FileName);
  const auto Table = TVersionTable::Parse(Bytes);
  if (!Table) throw std::runtime_error("damaged version table in " + FileName);
  return *Table;
}

TEST(ReadEXEVersionData, TheProgramGivesItsOwnStrings) {
  const TEXEVersionData Data = ReadEXEVersionData(VELMORA_EXECUTABLE);
  EXPECT_EQ(Data.CompanyName, "Quobix");
  EXPECT_EQ(Data.FileDescription, "Velmora");
  EXPECT_EQ(Data.InternalName, "Velmora");
  EXPECT_EQ(Data.ProductName, "Velmora");
  EXPECT_EQ(Data.FileVersion, VELMORA_PROJECT_VERSION);
  EXPECT_TRUE(IsDottedNumbers(Data.FileVersion, 4)) << Data.FileVersion;
  EXPECT_EQ(Data.ProductVersion, VELMORA_PRODUCT_VERSION);
  EXPECT_TRUE(IsDottedNumbers(Data.ProductVersion, 2)) << Data.ProductVersion;
  // Stored as "OriginalFilename": found because version paths ignore case.
  EXPECT_EQ(Data.OriginalFileName, "velmora");
  EXPECT_NE(Data.LegalCopyright.find("Quobix"), std::string::npos) << Data.LegalCopyright;
  EXPECT_NE(Data.LegalTrademarks.find("Quobix"), std::string::npos) << Data.LegalTrademarks;
  EXPECT_EQ(Data.Comments, "");
  EXPECT_EQ(Data.PrivateBuild, "");
  EXPECT_EQ(Data.SpecialBuild, "");
}

TEST(ReadEXEVersionData, TheProgramsFixedPartHoldsTheSameNumbers) {
  const TVersionTable Table = RawTable(VELMORA_EXECUTABLE);
  const auto Fixed = DecodeVersionFixedPart(Table.Query(VersionFixedPartPath).value_or(""));
  ASSERT_TRUE(Fixed.has_value());
  const std::array<std::uint16_t, 4> FileVersion{VELMORA_FIXED_VERSION};
  EXPECT_EQ(Fixed->FileVersion, FileVersion);
  EXPECT_EQ(Fixed->ProductVersion, (std::array<std::uint16_t, 4>{FileVersion[0], FileVersion[1], 0, 0}));
  EXPECT_EQ(Fixed->FileType, VersionFileTypeApplication);
  const auto Translation = FirstVersionTranslation(Table.Query(VersionTranslationPath).value_or(""));
  ASSERT_TRUE(Translation.has_value());
  EXPECT_EQ(Translation->Language, 0x0409);
  EXPECT_EQ(Translation->CodePage, 0x04E4);
}

// Installed programs are usually stripped; the table is loaded data, not a symbol, and stays.
TEST(ReadEXEVersionData, AStrippedProgramKeepsItsStrings) {
  const TTemporaryDirectory Directory;
  const std::string Copy = Directory.Path("velmora");
  std::filesystem::copy_file(VELMORA_EXECUTABLE, Copy);
  ASSERT_EQ(std::system(("\"" STRIP_PROGRAM "\" --strip-all \"" + Copy + "\"").c_str()), 0);
  ASSERT_LT(std::filesystem::file_size(Copy), std::filesystem::file_size(VELMORA_EXECUTABLE));
  EXPECT_EQ(ReadEXEVersionData(Copy), ReadEXEVersionData(VELMORA_EXECUTABLE));
}

TEST(ReadEXEVersionData, FilesWithoutATableGiveTwelveEmptyFields) {
  const TTemporaryDirectory Directory;
  const std::string Fifo = Directory.Path("fifo");
  ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
  const std::string Files[] = {
      Directory.Write("plain.txt", "CompanyName=Quobix\nFileVersion=1.0.0.0\n"),
      Directory.Write("empty", ""),
      Directory.Write("three-bytes", "\x7F" "EL"),
      "/bin/true",            // an ELF program without the section
      ProgramExecutablePath,  // this test program, which has no table either
      Directory.Path("missing"),
      "",
      Directory.Path(""),     // a directory
      "/dev/null",
      Fifo,                   // must not wait for a writer
  };
  for (const std::string& File : Files) {
    EXPECT_EQ(ReadEXEVersionData(File), TEXEVersionData{}) << "file: " << File;
  }
  EXPECT_EQ(ProgramFileVersion(), "");
}

TEST(ReadEXEVersionData, TheFirstTranslationNamesTheStringBlock) {
  const TEXEVersionData Data = ReadEXEVersionData(VERSION_FIXTURE_PROGRAM);
  EXPECT_EQ(Data.FileVersion, "2.3.4.5");
  EXPECT_EQ(Data.ProductVersion, "2.3");
  EXPECT_EQ(Data.CompanyName, "Quobix");
  EXPECT_EQ(Data.OriginalFileName, "version_fixture_program");
  EXPECT_EQ(Data.Comments, "");

  // The strings came from the block 040704B0, the only one the fixture has.
  const TVersionTable Table = RawTable(VERSION_FIXTURE_PROGRAM);
  EXPECT_EQ(Table.Query("\\StringFileInfo\\040704B0\\FileVersion"), "2.3.4.5");
  EXPECT_EQ(Table.Query("\\StringFileInfo\\040904E4\\FileVersion"), std::nullopt);
}

TEST(ReadEXEVersionData, OnlyTheFirstOfTwoTranslationsIsRead) {
  const TEXEVersionData Data = ReadEXEVersionData(VERSION_FIXTURE_TWO_TRANSLATIONS);
  EXPECT_EQ(Data.FileDescription, "Speicher-Benchmark");
  EXPECT_EQ(Data.FileVersion, "3.1.0.0");
  EXPECT_EQ(Data.Comments, "");  // only the second translation's block has it
  EXPECT_EQ(Data.CompanyName, "");
}

TEST(ReadEXEVersionData, ReadsThirtyTwoBitAndBigEndianFiles) {
  const TEXEVersionData Expected = ReadEXEVersionData(VERSION_FIXTURE_PROGRAM);
  ASSERT_EQ(Expected.FileVersion, "2.3.4.5");
  for (const char* Format : {"elf32-i386", "elf32-big", "elf64-big"}) {
    const std::string File = std::string(VERSION_FIXTURE_DIR "/") + Format + ".o";
    EXPECT_EQ(ReadEXEVersionData(File), Expected) << "file: " << File;
  }
}

TEST(ProgramFileVersion, ReadsTheRunningProgramsOwnTable) {
  std::FILE* Output = ::popen("\"" VERSION_FIXTURE_PROGRAM "\"", "r");
  ASSERT_NE(Output, nullptr);
  std::string Text;
  char Buffer[256];
  while (const std::size_t Got = std::fread(Buffer, 1, sizeof Buffer, Output)) Text.append(Buffer, Got);
  const int Status = ::pclose(Output);
  EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0) << "status " << Status;
  EXPECT_EQ(Text, "2.3.4.5\n");
}

}  // namespace
