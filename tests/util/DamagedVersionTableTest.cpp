// Hand-made files, whole, cut short and damaged: the reader gives the strings, twelve empty fields
// or an EOSError, and never anything else. Run under AddressSanitizer, these also show that no
// damaged field makes it read outside what it holds.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "FileInformation.h"
#include "HandMadeElf.h"
#include "OSError.h"
#include "TemporaryDirectory.h"

namespace {

constexpr std::size_t TableIndex = 2;  // .text is section 1, the table 2, .data 3

const std::string German = "\\StringFileInfo\\040704B0\\";

// German first; in the English block a string that must not be read. The lower-case path and the
// text with a zero inside show how stored values are matched and cut.
std::string GoodTable() {
  return HandMadeVersionTable({
      {"\\VarFileInfo\\Translation", std::string("\x07\x04\xB0\x04\x09\x04\xE4\x04", 8)},
      {"\\StringFileInfo\\040904E4\\CompanyName", "English block"},
      {"\\stringfileinfo\\040704b0\\fileversion", "9.8.7.6"},
      {German + "ProductName", std::string("Velmora\0junk", 12)},
      {German + "SpecialBuild", ""},
  });
}

TEXEVersionData GoodRecord() {
  TEXEVersionData Data;
  Data.FileVersion = "9.8.7.6";
  Data.ProductName = "Velmora";
  return Data;
}

THandMadeElf FileWithSection(const std::string& Name, const std::string& Bytes, TElfClass Class = TElfClass::Elf64,
                             TByteOrder Order = TByteOrder::Little, std::uint32_t Type = SectionTypeProgBits) {
  return THandMadeElf(Class, Order, {{".text", "\x90\x90\xC3"}, {Name, Bytes, Type}, {".data", "data"}});
}

THandMadeElf FileWithTable(const std::string& Table, TElfClass Class = TElfClass::Elf64,
                           TByteOrder Order = TByteOrder::Little) {
  return FileWithSection(".velmora.version", Table, Class, Order);
}

// What one call gave: the record, or the error code with the record left empty.
struct TOutcome {
  int ErrorCode = 0;
  TEXEVersionData Data;
  bool operator==(const TOutcome&) const = default;
};

std::ostream& operator<<(std::ostream& Stream, const TOutcome& Outcome) {
  return Stream << "{error " << Outcome.ErrorCode << ", FileVersion \"" << Outcome.Data.FileVersion
                << "\", ProductName \"" << Outcome.Data.ProductName << "\"}";
}

TOutcome Read(const std::string& FileName) {
  try {
    return {0, ReadEXEVersionData(FileName)};
  } catch (const EOSError& Error) {
    return {Error.Code(), {}};
  }
}

const TOutcome Good{0, GoodRecord()};
const TOutcome Empty{0, {}};

TEST(DamagedVersionTable, EveryKindOfElfFileGivesTheFirstTranslationsStrings) {
  const TTemporaryDirectory Directory;
  for (const TElfClass Class : {TElfClass::Elf32, TElfClass::Elf64}) {
    for (const TByteOrder Order : {TByteOrder::Little, TByteOrder::Big}) {
      const std::string File = Directory.Write("file", FileWithTable(GoodTable(), Class, Order).Bytes());
      EXPECT_EQ(Read(File), Good) << "class " << static_cast<int>(Class) << ", order " << static_cast<int>(Order);
    }
  }
}

TEST(DamagedVersionTable, ATableThatCannotBeUsedRaisesAnOSError) {
  struct TCase {
    const char* What;
    std::string Table;
    int Code;
    const char* Message;
  };
  const std::string Translation("\x09\x04\xE4\x04", 4);
  const std::string Whole = HandMadeVersionTable({{"\\VarFileInfo\\Translation", Translation}, {"\\X", "value"}});
  const TCase Cases[] = {
      {"no translation", HandMadeVersionTable({{German + "FileVersion", "1.0.0.0"}}), ENODATA, "has no translation"},
      {"translation of three bytes", HandMadeVersionTable({{"\\VarFileInfo\\Translation", Translation.substr(0, 3)}}),
       ENODATA, "has no translation"},
      {"empty table", HandMadeVersionTable({}), ENODATA, "has no translation"},
      {"other magic", HandMadeVersionTable({{"\\VarFileInfo\\Translation", Translation}}, "VLVX"), EBADMSG,
       "is damaged"},
      {"other format", HandMadeVersionTable({{"\\VarFileInfo\\Translation", Translation}}, "VLVT", 2), EBADMSG,
       "is damaged"},
      {"more entries counted than stored", HandMadeVersionTable({{"\\VarFileInfo\\Translation", Translation}}, "VLVT", 1, 2),
       EBADMSG, "is damaged"},
      {"last value cut short", Whole.substr(0, Whole.size() - 2), EBADMSG, "is damaged"},
      {"last path cut short", Whole.substr(0, Whole.size() - 6), EBADMSG, "is damaged"},
      {"header cut short", std::string("VLVT\x01\x00", 6), EBADMSG, "is damaged"},
      {"larger than 64 KiB", Whole + std::string(64 * 1024 + 1 - Whole.size(), '\0'), EBADMSG, "is damaged"},
  };
  const TTemporaryDirectory Directory;
  for (const TCase& Case : Cases) {
    const std::string File = Directory.Write("file", FileWithTable(Case.Table).Bytes());
    try {
      ReadEXEVersionData(File);
      ADD_FAILURE() << Case.What << ": no error";
    } catch (const EOSError& Error) {
      EXPECT_EQ(Error.Code(), Case.Code) << Case.What;
      EXPECT_STREQ(Error.what(),
                   OSErrorMessage(Case.Code, ": the version information of \"" + File + "\" " + Case.Message).c_str())
          << Case.What;
    }
  }
  // The whole message once in full, with the system's text for the code.
  const std::string File = Directory.Write("file", FileWithTable(Cases[0].Table).Bytes());
  try {
    ReadEXEVersionData(File);
    ADD_FAILURE() << "no error";
  } catch (const EOSError& Error) {
    EXPECT_EQ(std::string(Error.what()), "System Error.  Code: " + std::to_string(ENODATA) + ".\r\n" +
                                             std::strerror(ENODATA) + ": the version information of \"" + File +
                                             "\" has no translation");
  }
  // Trailing bytes after the last entry are padding, not damage.
  EXPECT_EQ(Read(Directory.Write("file", FileWithTable(GoodTable() + std::string(13, '\0')).Bytes())), Good);
}

TEST(DamagedVersionTable, SectionsThatHoldNoTableGiveEmptyFields) {
  const TTemporaryDirectory Directory;
  const THandMadeElf Files[] = {
      FileWithSection(".velmora.version", ""),
      FileWithSection(".velmora.version", GoodTable(), TElfClass::Elf64, TByteOrder::Little, SectionTypeNoBits),
      FileWithSection(".velmora.version2", GoodTable()),
      FileWithSection(".velmora.versio", GoodTable()),
      FileWithSection(".VELMORA.VERSION", GoodTable()),
  };
  for (const THandMadeElf& File : Files) {
    EXPECT_EQ(Read(Directory.Write("file", File.Bytes())), Empty);
  }
}

TEST(DamagedVersionTable, DamagedFileStructureNeverMisleadsTheReader) {
  struct TCase {
    const char* What;
    std::function<void(THandMadeElf&)> Damage;
    TOutcome Expected;
  };
  constexpr std::uint64_t Top = ~std::uint64_t{0};
  const std::size_t Names = 4;  // the null section, three sections, then the names
  const TCase Cases[] = {
      {"not ELF", [](THandMadeElf& Elf) { Elf.SetIdentByte(1, 'X'); }, Empty},
      {"unknown class", [](THandMadeElf& Elf) { Elf.SetIdentByte(4, 3); }, Empty},
      {"unknown byte order", [](THandMadeElf& Elf) { Elf.SetIdentByte(5, 0); }, Empty},
      {"unknown ELF version", [](THandMadeElf& Elf) { Elf.SetIdentByte(6, 2); }, Empty},
      {"no section table", [](THandMadeElf& Elf) { Elf.SetSectionTableOffset(0); }, Empty},
      {"section table past the end", [](THandMadeElf& Elf) { Elf.SetSectionTableOffset(1 << 20); }, Empty},
      {"section table offset wraps around", [](THandMadeElf& Elf) { Elf.SetSectionTableOffset(Top - 8); }, Empty},
      {"more sections than the file holds", [](THandMadeElf& Elf) { Elf.SetSectionCount(0xFF00); }, Empty},
      {"section headers too small", [](THandMadeElf& Elf) { Elf.SetSectionEntrySize(63); }, Empty},
      {"names index out of range", [](THandMadeElf& Elf) { Elf.SetNamesIndex(5); }, Empty},
      {"names past the end", [](THandMadeElf& Elf) { Elf.SetSectionSize(Names, 1 << 20); }, Empty},
      {"names offset wraps around",
       [](THandMadeElf& Elf) {
         Elf.SetSectionOffset(Names, Top - 4);
         Elf.SetSectionSize(Names, 64);
       },
       Empty},
      {"names without bytes in the file", [](THandMadeElf& Elf) { Elf.SetSectionType(Names, SectionTypeNoBits); }, Empty},
      {"table's name outside the names", [](THandMadeElf& Elf) { Elf.SetSectionName(TableIndex, 1 << 20); }, Empty},
      {"table's name offset wraps around", [](THandMadeElf& Elf) { Elf.SetSectionName(TableIndex, 0xFFFFFFFF); }, Empty},
      {"table past the end", [](THandMadeElf& Elf) { Elf.SetSectionOffset(TableIndex, 1 << 20); }, {EIO, {}}},
      {"table runs past the end",
       [](THandMadeElf& Elf) { Elf.SetSectionSize(TableIndex, Elf.Bytes().size() - Elf.DataBegin(TableIndex) + 1); },
       {EIO, {}}},
      {"table offset wraps around",
       [](THandMadeElf& Elf) {
         Elf.SetSectionOffset(TableIndex, Top - 15);
         Elf.SetSectionSize(TableIndex, 32);
       },
       {EIO, {}}},
      {"table of 2^63 bytes", [](THandMadeElf& Elf) { Elf.SetSectionSize(TableIndex, std::uint64_t{1} << 63); },
       {EBADMSG, {}}},
      {"count and names index kept in section 0, as in files with very many sections",
       [](THandMadeElf& Elf) {
         Elf.SetSectionCount(0);
         Elf.SetNamesIndex(0xFFFF);
         Elf.SetSectionSize(0, 5);
         Elf.SetSectionLink(0, Names);
       },
       Good},
      {"section 0 counts no sections",
       [](THandMadeElf& Elf) { Elf.SetSectionCount(0); }, Empty},
  };
  const TTemporaryDirectory Directory;
  for (const TCase& Case : Cases) {
    THandMadeElf Elf = FileWithTable(GoodTable());
    ASSERT_EQ(Elf.NamesIndex(), Names);
    Case.Damage(Elf);
    EXPECT_EQ(Read(Directory.Write("file", Elf.Bytes())), Case.Expected) << Case.What;
  }
}

// Cut before the end of the section names, a file has no table one can find; cut after that
// but inside the table, it has one that cannot be read; cut after the table, it reads in full.
TEST(DamagedVersionTable, AFileCutShortAtAnyLengthGivesEmptyFieldsOrAReadError) {
  const TTemporaryDirectory Directory;
  for (const auto& [Class, Order] : {std::pair{TElfClass::Elf64, TByteOrder::Little},
                                     std::pair{TElfClass::Elf32, TByteOrder::Big}}) {
    const THandMadeElf Elf = FileWithTable(GoodTable(), Class, Order);
    const std::size_t NamesEnd = Elf.DataEnd(Elf.NamesIndex());
    const std::size_t TableEnd = Elf.DataEnd(TableIndex);
    ASSERT_LT(NamesEnd, Elf.DataBegin(TableIndex));
    for (std::size_t Length = 0; Length < Elf.Bytes().size(); ++Length) {
      const TOutcome Expected = Length < NamesEnd ? Empty : Length < TableEnd ? TOutcome{EIO, {}} : Good;
      EXPECT_EQ(Read(Directory.Write("file", Elf.Bytes().substr(0, Length))), Expected) << "length " << Length;
    }
  }
}

// Every byte of the file set in turn to values that mark ends, signs and wrap-arounds.
TEST(DamagedVersionTable, NoSingleDamagedByteGivesAnythingButAResultOrAnOSError) {
  const TTemporaryDirectory Directory;
  const std::string File = Directory.Path("file");
  for (const auto& [Class, Order] : {std::pair{TElfClass::Elf64, TByteOrder::Little},
                                     std::pair{TElfClass::Elf32, TByteOrder::Big}}) {
    const std::string Bytes = FileWithTable(GoodTable(), Class, Order).Bytes();
    for (std::size_t At = 0; At < Bytes.size(); ++At) {
      for (const unsigned char Value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
        std::string Damaged = Bytes;
        Damaged[At] = static_cast<char>(Value);
        Directory.Write("file", Damaged);
        try {
          ReadEXEVersionData(File);
        } catch (const EOSError& Error) {
          EXPECT_TRUE(Error.Code() == EIO || Error.Code() == EBADMSG || Error.Code() == ENODATA)
              << "byte " << At << " = " << int{Value} << ": " << Error.what();
        } catch (const std::exception& Error) {
          ADD_FAILURE() << "byte " << At << " = " << int{Value} << ": " << Error.what();
        }
      }
    }
  }
}

}  // namespace
