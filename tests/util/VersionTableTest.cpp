#include "VersionTable.h"

#include <gtest/gtest.h>

#include <string>

#include "HandMadeElf.h"

namespace {

constexpr auto Fixed = VersionFixedPart({1, 2, 3, 4}, {1, 2, 0, 0}, VersionFileTypeApplication);
constexpr auto Translation = VersionTranslation(0x0407, 0x04B0);
constexpr TVersionEntry Entries[] = {
    {VersionFixedPartPath, AsVersionValue(Fixed)},
    {VersionTranslationPath, AsVersionValue(Translation)},
    {"\\StringFileInfo\\040704B0\\FileVersion", "1.2.3.4"},
    {"\\StringFileInfo\\040704B0\\Comments", ""},
};
constexpr auto Table = MakeVersionTable<VersionTableSize(Entries)>(Entries);

std::string AsBytes(const auto& Array) { return std::string(reinterpret_cast<const char*>(Array.data()), Array.size()); }

TEST(VersionTable, WriterFollowsTheDocumentedLayout) {
  const std::string FixedBytes("\1\0\2\0\3\0\4\0\1\0\2\0\0\0\0\0\1\0\0\0", 20);
  const std::string Expected = HandMadeVersionTable({
      {"\\", FixedBytes},
      {"\\VarFileInfo\\Translation", std::string("\x07\x04\xB0\x04", 4)},
      {"\\StringFileInfo\\040704B0\\FileVersion", "1.2.3.4"},
      {"\\StringFileInfo\\040704B0\\Comments", ""},
  });
  EXPECT_EQ(AsBytes(Table), Expected);
}

TEST(VersionTable, ReaderFindsEveryValueTheWriterStored) {
  const auto Parsed = TVersionTable::Parse(AsBytes(Table));
  ASSERT_TRUE(Parsed.has_value());
  EXPECT_EQ(Parsed->Query("\\StringFileInfo\\040704B0\\FileVersion"), "1.2.3.4");
  EXPECT_EQ(Parsed->Query("\\STRINGFILEINFO\\040704b0\\fileversion"), "1.2.3.4");
  EXPECT_EQ(Parsed->Query("\\StringFileInfo\\040704B0\\Comments"), "");  // stored empty, so found
  EXPECT_EQ(Parsed->Query("\\StringFileInfo\\040704B0\\FileVersio"), std::nullopt);
  EXPECT_EQ(Parsed->Query("\\StringFileInfo\\040704B0\\FileVersionX"), std::nullopt);

  const auto Decoded = DecodeVersionFixedPart(Parsed->Query(VersionFixedPartPath).value());
  EXPECT_EQ(Decoded, (TVersionFixedPart{{1, 2, 3, 4}, {1, 2, 0, 0}, VersionFileTypeApplication}));
  const auto First = FirstVersionTranslation(Parsed->Query(VersionTranslationPath).value());
  ASSERT_TRUE(First.has_value());
  EXPECT_EQ(First->Language, 0x0407);
  EXPECT_EQ(First->CodePage, 0x04B0);
}

TEST(VersionTable, FirstOfTwoEqualPathsCounts) {
  const auto Parsed = TVersionTable::Parse(HandMadeVersionTable({{"\\A", "first"}, {"\\a", "second"}}));
  ASSERT_TRUE(Parsed.has_value());
  EXPECT_EQ(Parsed->Query("\\A"), "first");
}

TEST(VersionTable, StringBlockKeyIsEightUpperCaseHexDigitsLanguageFirst) {
  struct TCase {
    std::uint16_t Language;
    std::uint16_t CodePage;
    const char* Key;
  };
  const TCase Cases[] = {
      {0x0409, 0x04E4, "040904E4"},
      {0x0407, 0x04B0, "040704B0"},
      {0xABCD, 0x00EF, "ABCD00EF"},
      {0x0000, 0x0000, "00000000"},
      {0xFFFF, 0x0001, "FFFF0001"},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(VersionStringBlockKey({Case.Language, Case.CodePage}), Case.Key);
  }
}

TEST(VersionTable, ValuesTooShortForTheirKindDecodeToNothing) {
  EXPECT_EQ(FirstVersionTranslation(std::string("\x09\x04\xE4", 3)), std::nullopt);
  EXPECT_EQ(DecodeVersionFixedPart(std::string(19, '\0')), std::nullopt);
  EXPECT_EQ(DecodeVersionFixedPart(std::string(21, '\0')), std::nullopt);
}

}  // namespace
