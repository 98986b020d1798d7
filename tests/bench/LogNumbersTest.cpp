#include "LogNumbers.h"

#include <gtest/gtest.h>

#include "ScopedDecimalSeparator.h"

namespace {

TEST(TimedLine, JoinsSizeTimeAndRateWithoutABlankBeforeTheUnit) {
  EXPECT_EQ(TimedLine("Read from system memory: ", 268435456, 23.4861),
            "Read from system memory: 256.00 MB 23.49 ms (10900.1MB/s)");
  // A speed that needs no decimals shows none.
  EXPECT_EQ(TimedLine("Read from system memory: ", 536870912, 40.0),
            "Read from system memory: 512.00 MB 40.00 ms (12800MB/s)");
}

TEST(TimedLine, SwitchesToTheExponentFormForLongTimesAndHighRates) {
  EXPECT_EQ(TimedLine("Write to system memory: ", 268435456, 12345.6),
            "Write to system memory: 256.00 MB 1.235E04 ms (20.7361MB/s)");
  // 256 MB in 0.2 ms: 1.28 million MB/s.
  EXPECT_EQ(TimedLine("Write to system memory: ", 268435456, 0.2),
            "Write to system memory: 256.00 MB 0.20 ms (1.28E06MB/s)");
}

TEST(TimedLine, UsesTheLocaleSeparator) {
  TScopedDecimalSeparator Comma(",");
  EXPECT_EQ(TimedLine("Read from system memory: ", 268435456, 23.4861),
            "Read from system memory: 256,00 MB 23,49 ms (10900,1MB/s)");
}

TEST(SpeedInMegabytesPerSecond, DividesMegabytesBySeconds) {
  EXPECT_DOUBLE_EQ(SpeedInMegabytesPerSecond(536870912, 40.0), 12800.0);
}

}  // namespace
