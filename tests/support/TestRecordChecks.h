#pragma once
// Whether two records of one test agree on what a run keeps of it: its type, how it ended, its
// block and every pass's bytes and time.

#include <gtest/gtest.h>

#include "RunRecord.h"

inline void ExpectSameTestAndPasses(const TTestRecord& Expected, const TTestRecord& Actual) {
  EXPECT_EQ(Actual.Type, Expected.Type);
  EXPECT_EQ(Actual.Status, Expected.Status);
  EXPECT_EQ(Actual.Message, Expected.Message);
  EXPECT_EQ(Actual.BlockSize, Expected.BlockSize);
  ASSERT_EQ(Actual.Passes.size(), Expected.Passes.size());
  for (std::size_t Pass = 0; Pass < Expected.Passes.size(); ++Pass) {
    EXPECT_EQ(Actual.Passes[Pass].Nanoseconds, Expected.Passes[Pass].Nanoseconds);
    EXPECT_EQ(Actual.Passes[Pass].Bytes, Expected.Passes[Pass].Bytes);
  }
}
