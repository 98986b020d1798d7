// The machine facts of a results file read from the kernel's files, and whole text files read and
// written with the system's reason when that fails.

#include "MachineFacts.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <system_error>

#include "TemporaryDirectory.h"
#include "TextFile.h"

namespace {

TEST(MachineFacts, ReadsTheChosenSettingAndMemInfoFields) {
  const TTemporaryDirectory Directory;
  struct TCase {
    const char* Text;
    const char* Setting;
  };
  const TCase Cases[] = {
      {"always [madvise] never\n", "madvise"},
      {"[always] madvise never\n", "always"},
      {"always madvise [never]", "never"},
      {"madvise\n", "madvise"},  // nothing bracketed: the whole text
      {"", ""},
  };
  for (const TCase& Case : Cases)
    EXPECT_EQ(ReadBracketedSetting(Directory.Write("enabled", Case.Text)), Case.Setting) << Case.Text;
  EXPECT_EQ(ReadBracketedSetting(Directory.Path("missing")), "");

  const std::string MemInfo = Directory.Write("meminfo",
                                              "MemTotal:       65536000 kB\n"
                                              "MemFree:         1024 kB\n"
                                              "MemAvailable:   60000000 kB\n");
  EXPECT_EQ(ReadMemInfoBytes("MemTotal", MemInfo), std::uint64_t{65536000} * 1024);
  EXPECT_EQ(ReadMemInfoBytes("MemAvailable", MemInfo), std::uint64_t{60000000} * 1024);
  EXPECT_FALSE(ReadMemInfoBytes("Mem", MemInfo));
  EXPECT_FALSE(ReadMemInfoBytes("MemTotal", Directory.Path("missing")));

  // The machine the tests run on has all of them.
  EXPECT_TRUE(ReadMemInfoBytes("MemTotal"));
  EXPECT_FALSE(KernelRelease().empty());
  EXPECT_GE(OnlineProcessorCount(), 1u);
}

std::error_code SystemErrorOf(const std::function<void()>& Call) {
  try {
    Call();
  } catch (const std::system_error& Error) {
    return Error.code();
  }
  return {};
}

TEST(TextFile, WritesAndReadsWholeFilesAndReportsTheSystemsReason) {
  const TTemporaryDirectory Directory;
  const std::string Path = Directory.Path("results.json");
  const std::string Text(200000, 'x');
  WriteTextFile(Path, Text);
  EXPECT_EQ(ReadTextFile(Path), Text);
  WriteTextFile(Path, "short");  // replaces, not appends
  EXPECT_EQ(ReadTextFile(Path), "short");
  EXPECT_EQ(SystemErrorOf([] { WriteTextFile("/dev/full", "x"); }), std::errc::no_space_on_device);
  EXPECT_EQ(SystemErrorOf([&] { ReadTextFile(Directory.Path("missing")); }), std::errc::no_such_file_or_directory);
  EXPECT_EQ(SystemErrorOf([&] { WriteTextFile(Directory.Path("no/such/folder"), "x"); }), std::errc::no_such_file_or_directory);
}

}  // namespace
