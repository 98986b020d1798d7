#include "PageBacking.h"

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <cstdint>
#include <cstring>

#include "ResidentMemory.h"

namespace {

constexpr std::uint64_t Size = 16 << 20;

// A fresh anonymous mapping: nothing backed yet.
class PageBacking : public ::testing::Test {
 protected:
  void SetUp() override {
    FMapping = mmap(nullptr, Size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(FMapping, MAP_FAILED);
  }
  void TearDown() override { munmap(FMapping, Size); }
  unsigned char* Bytes() const { return static_cast<unsigned char*>(FMapping); }

  void* FMapping = MAP_FAILED;
};

TEST_F(PageBacking, BacksEveryPageOfAnUnalignedBlockAndKeepsItsContents) {
  // A block that starts and ends inside a page, as a driver's mapping may.
  unsigned char* const Block = Bytes() + 100;
  const std::uint64_t BlockSize = Size - 200;
  std::memcpy(Block, "kept", 4);
  const std::uint64_t Before = ResidentBytes();
  BackWithRealPages(Block, BlockSize);
  EXPECT_GE(ResidentBytes() - Before, Size * 9 / 10);
  EXPECT_EQ(std::memcmp(Block, "kept", 4), 0);
}

TEST_F(PageBacking, TouchingEveryPageBacksTheBlockAndStaysInsideIt) {
  unsigned char* const Block = Bytes() + 100;
  const std::uint64_t BlockSize = Size - 200;
  // In the first and the last page, but outside the block.
  Bytes()[0] = 0xAA;
  Bytes()[Size - 100] = 0xBB;
  const std::uint64_t Before = ResidentBytes();
  TouchEveryPage(Block, BlockSize);
  EXPECT_GE(ResidentBytes() - Before, Size * 9 / 10);
  EXPECT_EQ(Bytes()[0], 0xAA);
  EXPECT_EQ(Bytes()[Size - 100], 0xBB);
}

}  // namespace
