#include "TimedLoops.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

TEST(WriteTest, StoresThePatternIntoEveryWordAndNothingBeyond) {
  std::vector<std::uint64_t> Words(1024 + 1, 0);
  Words.back() = 0x1234;  // the word after the block
  const double Milliseconds = WriteTest(Words.data(), 1024 * 8 + 7);  // a tail of 7 bytes is not a word
  EXPECT_GE(Milliseconds, 0.0);
  for (std::size_t Index = 0; Index < 1024; ++Index) ASSERT_EQ(Words[Index], WritePattern) << Index;
  EXPECT_EQ(Words.back(), 0x1234u);
  const unsigned char LittleEndianBytes[8] = {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00};
  EXPECT_EQ(std::memcmp(Words.data(), LittleEndianBytes, 8), 0);
}

TEST(ReadTest, LeavesTheLastWordInTheFirstAndChangesNothingElse) {
  std::vector<std::uint64_t> Words(4096);
  for (std::size_t Index = 0; Index < Words.size(); ++Index) Words[Index] = Index * 3 + 1;
  EXPECT_GE(ReadTest(Words.data(), Words.size() * 8), 0.0);
  EXPECT_EQ(Words[0], (Words.size() - 1) * 3 + 1);
  for (std::size_t Index = 1; Index < Words.size(); ++Index) ASSERT_EQ(Words[Index], Index * 3 + 1) << Index;
}

TEST(ReadTest, OfAHalfBlockTakesItsOwnLastWord) {
  std::vector<std::uint64_t> Words{5, 6, 7, 8};
  ReadTest(Words.data(), 16);
  EXPECT_EQ(Words, (std::vector<std::uint64_t>{6, 6, 7, 8}));
}

}  // namespace
