// Where the program's own files are found: beside it first, then in ../share/velmora/.

#include <gtest/gtest.h>

#include <filesystem>

#include "ProgramFile.h"
#include "TemporaryDirectory.h"

namespace {

struct TLayout {
  const char* Name;
  bool Beside;           // a copy in prefix/bin/
  bool Shared;           // a copy in prefix/share/velmora/
  const char* Expected;  // relative to the prefix
};

TEST(ProgramFile, BesideTheProgramWinsThenTheSharedFolder) {
  const TLayout Layouts[] = {
      {"build tree: beside only", true, false, "bin/SpeedReadWrite.cl"},
      {"installed tree: shared only", false, true, "share/velmora/SpeedReadWrite.cl"},
      {"a copy beside an installed tree wins", true, true, "bin/SpeedReadWrite.cl"},
      {"neither: reported beside the program", false, false, "bin/SpeedReadWrite.cl"},
  };
  for (const TLayout& Layout : Layouts) {
    SCOPED_TRACE(Layout.Name);
    TTemporaryDirectory Prefix;
    std::filesystem::create_directories(Prefix.Path("bin"));
    std::filesystem::create_directories(Prefix.Path("share/velmora"));
    if (Layout.Beside) Prefix.Write("bin/SpeedReadWrite.cl", "beside");
    if (Layout.Shared) Prefix.Write("share/velmora/SpeedReadWrite.cl", "shared");
    EXPECT_EQ(FindProgramFile(Prefix.Path("bin") + "/", "SpeedReadWrite.cl"), Prefix.Path(Layout.Expected));
  }
}

TEST(ProgramFile, AFolderOfThatNameIsNoFile) {
  TTemporaryDirectory Prefix;
  std::filesystem::create_directories(Prefix.Path("bin/SpeedReadWrite.cl"));
  std::filesystem::create_directories(Prefix.Path("share/velmora"));
  Prefix.Write("share/velmora/SpeedReadWrite.cl", "shared");
  EXPECT_EQ(FindProgramFile(Prefix.Path("bin") + "/", "SpeedReadWrite.cl"),
            Prefix.Path("share/velmora/SpeedReadWrite.cl"));
}

}  // namespace
