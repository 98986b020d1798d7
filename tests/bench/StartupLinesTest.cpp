#include "StartupLines.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

TEST(StartupLines, TitleNamesTheVersionAndThePlatform) {
  const std::string Title = TitleLine("1.2.3.4");
  EXPECT_EQ(Title.rfind("Velmora 1.2.3.4 Linux64", 0), 0u) << Title;
  EXPECT_NE(Title.find(HomePageAddress), std::string::npos);
}

TEST(StartupLines, AdapterLineShowsTheFreeMemoryAsAByteSize) {
  EXPECT_EQ(AdapterLine("llvmpipe (LLVM 15.0.6, 256 bits)", std::uint64_t{3} << 30),
            "llvmpipe (LLVM 15.0.6, 256 bits) - Free texture memory: 3.00 GB");
  // More than 4 GiB is shown as it is.
  EXPECT_EQ(AdapterLine("GPU", std::uint64_t{24} << 30), "GPU - Free texture memory: 24.00 GB");
}

TEST(StartupLines, ProcessorNameIsTheFirstModelNameOrEmpty) {
  const std::string Path = ::testing::TempDir() + "cpuinfo";
  std::ofstream(Path) << "processor\t: 0\nvendor_id\t: GenuineIntel\nmodel name\t: Intel(R) Xeon(R) CPU @ 2.00GHz\n"
                         "processor\t: 1\nmodel name\t: Other\n";
  EXPECT_EQ(GetProcessorName(Path), "Intel(R) Xeon(R) CPU @ 2.00GHz");
  std::ofstream(Path) << "processor\t: 0\nHardware\t: BCM2835\n";
  EXPECT_EQ(GetProcessorName(Path), "");
  EXPECT_EQ(GetProcessorName(Path + ".missing"), "");
  std::remove(Path.c_str());
}

}  // namespace
