#include "HelperQuobix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "ScopedDecimalSeparator.h"

namespace {

struct TIntegerCase {
  std::int64_t Bytes;
  const char* Text;
};

struct TFloatCase {
  double Bytes;
  const char* Text;
};

const TIntegerCase IntegerCases[] = {
    {0, "0 Byte"},
    {1, "1 Byte"},
    {512, "512 Byte"},
    {1023, "1023 Byte"},
    {1024, "1.00 KB"},
    {-5, "-5 Byte"},
    {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808 Byte"},
    {268435456, "256.00 MB"},
    {536870912, "512.00 MB"},
    {(std::int64_t{1} << 20) - 1, "1024.00 KB"},  // rounds up to 1024 but stays in KB
    {1048576, "1.00 MB"},
    {10485760000, "9.77 GB"},
    {13107200, "12.50 MB"},                        // 12.5 MB
    {123459747, "117.70 MB"},                      // 117.74 MB
    {1047962, "1023.00 KB"},                       // 1023.4 KB
    {std::int64_t{1} << 40, "1.00 TB"},
    {std::int64_t{1} << 50, "1.00 PB"},
    {std::int64_t{1} << 60, "1.00 EB"},
    {std::numeric_limits<std::int64_t>::max(), "8.00 EB"},
};

const TFloatCase FloatCases[] = {
    {0.0, "0 Byte"},
    {2.5, "2 Byte"},      // ties to even
    {3.5, "4 Byte"},
    {1023.4, "1023 Byte"},
    {1023.5, "1024 Byte"},  // still below 1024, so still bytes
    {-0.4, "0 Byte"},
    {-7.0, "-7 Byte"},
    {1024.0, "1.00 KB"},
    {11424736968.0, "10.64 GB"},
    {2975200000.0, "2.77 GB"},
    {0x1p70, "1.00 ZB"},
    {0x1p80, "1.00 YB"},
    {0x1p90, "1024.00 YB"},
    {0x1p93, "8192.00 YB"},
    {0x1p100, "1.049E06 YB"},
    {std::numeric_limits<double>::infinity(), "INF YB"},
    {std::nan(""), "NAN YB"},
};

TEST(FormatByteSize, FollowsTheUnitTable) {
  for (const TIntegerCase& Case : IntegerCases) EXPECT_EQ(FormatByteSize(Case.Bytes, "."), Case.Text) << Case.Bytes;
}

TEST(FormatByteSizeFloat, FollowsTheUnitTable) {
  for (const TFloatCase& Case : FloatCases) EXPECT_EQ(FormatByteSizeFloat(Case.Bytes, "."), Case.Text) << Case.Bytes;
}

TEST(FormatByteSize, WritesTheLocaleSeparator) {
  EXPECT_EQ(FormatByteSize(10485760000, ","), "9,77 GB");
  EXPECT_EQ(FormatByteSizeFloat(0x1p100, ","), "1,049E06 YB");
  EXPECT_EQ(FormatByteSize(1000, ","), "1000 Byte");
}

TEST(FormatByteSize, TakesTheProcessWideSeparatorByDefault) {
  TScopedDecimalSeparator Comma(",");
  EXPECT_EQ(FormatByteSize(268435456), "256,00 MB");
  EXPECT_EQ(FormatByteSizeFloat(11424736968.0), "10,64 GB");
}

}  // namespace
