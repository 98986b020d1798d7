#include "SystemMemory.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "ResidentMemory.h"

namespace {

constexpr std::int64_t Size = 64 << 20;

TEST(SystemMemory, APopulatedBlockIsBackedByRealPagesBeforeItIsHandedOut) {
  const std::uint64_t Before = ResidentBytes();
  const auto Block = TSystemMemory().Allocate(Size, TBlockBacking::Populated);
  EXPECT_GE(ResidentBytes() - Before, static_cast<std::uint64_t>(Size) * 9 / 10);
  EXPECT_EQ(Block->Size(), static_cast<std::uint64_t>(Size));
  const auto* Words = static_cast<const std::uint64_t*>(Block->Address());
  for (std::uint64_t Index = 0; Index < Block->Size() / 8; Index += 511) ASSERT_EQ(Words[Index], 0u);
}

TEST(SystemMemory, AFirstTouchBlockIsNotTouchedByTheAllocation) {
  const std::uint64_t Before = ResidentBytes();
  const auto Block = TSystemMemory().Allocate(Size, TBlockBacking::OnFirstTouch);
  EXPECT_LT(ResidentBytes() - Before, static_cast<std::uint64_t>(Size) / 10);
}

TEST(SystemMemory, RefusesSizesThatAreNoBlock) {
  EXPECT_THROW(TSystemMemory().Allocate(0, TBlockBacking::OnFirstTouch), std::invalid_argument);
  EXPECT_THROW(TSystemMemory().Allocate(-4096, TBlockBacking::OnFirstTouch), std::invalid_argument);
}

}  // namespace
