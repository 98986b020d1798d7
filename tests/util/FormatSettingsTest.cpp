#include "FormatSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(DecimalSeparatorOfLocale, IsAPointInTheCLocaleAndForUnknownLocales) {
  EXPECT_EQ(DecimalSeparatorOfLocale("C"), ".");
  EXPECT_EQ(DecimalSeparatorOfLocale("xx_NOWHERE.UTF-8"), ".");
}

// Run by CTest with a German locale compiled into the build tree; CTest fails it if it skips.
TEST(LocaleSeparator, IsACommaInAGermanLocale) {
  const char* Locale = std::getenv("VELMORA_TEST_COMMA_LOCALE");
  if (Locale == nullptr) GTEST_SKIP() << "run through CTest, which compiles the locale";
  EXPECT_EQ(DecimalSeparatorOfLocale(Locale), ",");
  ASSERT_EQ(setenv("LC_ALL", Locale, 1), 0);
  InitFormatSettingsFromLocale();
  EXPECT_EQ(FormatSettings.DecimalSeparator, ",");
  FormatSettings.DecimalSeparator = ".";
}

}  // namespace
