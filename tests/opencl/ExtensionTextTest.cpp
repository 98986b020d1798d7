#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DCLText.h"

using namespace std::string_literals;

namespace {

struct TSplitCase {
  std::string Text;  // as a query returns it, NUL included
  std::vector<std::string> Platform;
  std::vector<std::string> Device;
};

}  // namespace

TEST(ExtensionText, PlatformAndDeviceListsFollowTheirOwnSeparatorRules) {
  const std::vector<TSplitCase> Cases = {
      {"cl_khr_icd cl_khr_fp64\0"s, {"CL_KHR_ICD", "CL_KHR_FP64"}, {"CL_KHR_ICD", "CL_KHR_FP64"}},
      {"cl_khr_icd cl_khr_fp64 \0"s, {"CL_KHR_ICD", "CL_KHR_FP64", ""}, {"CL_KHR_ICD", "CL_KHR_FP64"}},
      {"cl_khr_icd  cl_khr_fp64\0"s, {"CL_KHR_ICD", "", "CL_KHR_FP64"}, {"CL_KHR_ICD", "CL_KHR_FP64"}},
      {" cl_khr_icd cl_khr_fp64\0"s, {"", "CL_KHR_ICD", "CL_KHR_FP64"}, {"", "CL_KHR_ICD", "CL_KHR_FP64"}},
      {"  cl_khr_icd\0"s, {"", "", "CL_KHR_ICD"}, {"", "CL_KHR_ICD"}},
      {"\0"s, {""}, {""}},
      {"", {}, {}},
      // Only a separator closes a name: the final NUL is what ends the last one.
      {"cl_khr_icd cl_khr_fp64", {"CL_KHR_ICD"}, {"CL_KHR_ICD"}},
  };
  for (const TSplitCase& Case : Cases) {
    SCOPED_TRACE(testing::PrintToString(Case.Text));
    EXPECT_EQ(SplitPlatformExtensions(Case.Text), Case.Platform);
    EXPECT_EQ(SplitDeviceExtensions(Case.Text), Case.Device);
  }
}

TEST(ExtensionText, UpperCasingTouchesOnlyTheLettersAToZ) {
  EXPECT_EQ(UpperCaseAscii("cl_khr_fp64 azAZ09`{@[\xe9\xc9"), "CL_KHR_FP64 AZAZ09`{@[\xe9\xc9");
}

TEST(ExtensionText, NamesCompareRegardlessOfTheCaseOfAsciiLettersOnly) {
  const std::vector<std::string> List = SplitPlatformExtensions("cl_khr_icd cl_khr_fp64 cl_\xe9xt\0"s);
  struct TCase {
    std::string Name;
    bool Present;
  };
  for (const TCase& Case : std::vector<TCase>{{"cl_khr_fp64", true},
                                              {"CL_KHR_FP64", true},
                                              {"Cl_KhR_fP64", true},
                                              {"cl_khr_fp6", false},
                                              {"cl_khr_fp64 ", false},
                                              {"cl_khr_fp64\0"s, false},
                                              {"", false},
                                              {"CL_\xe9XT", true},
                                              {"cl_\xc9xt", false}}) {
    SCOPED_TRACE(testing::PrintToString(Case.Name));
    EXPECT_EQ(IsExtensionInList(List, Case.Name), Case.Present);
  }
}

TEST(ExtensionText, DisplayTextEndsAtTheFirstNul) {
  EXPECT_EQ(DisplayText("Portable Computing Language\0"s), "Portable Computing Language");
  EXPECT_EQ(DisplayText("first\0second\0"s), "first");
  EXPECT_EQ(DisplayText(""), "");
  EXPECT_EQ(DisplayText("no terminator"), "no terminator");
}
