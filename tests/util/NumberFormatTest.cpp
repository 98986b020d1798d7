#include "NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct TCase {
  double Value;
  const char* Text;
};

// Fixed notation, precision 4, two decimals: the time figure of the log and the number of the
// byte sizes.
const TCase FixedCases[] = {
    {23.4861, "23.49"},     {26.9371, "26.94"},       {123.456, "123.50"},    {1234.567, "1235.00"},
    {0.123, "0.12"},        {0.125, "0.13"},          {0.135, "0.14"},        {2.675, "2.68"},
    {0.005, "0.01"},        {0.0049, "0.00"},         {0.0, "0.00"},          {9.765625, "9.77"},
    {12.5, "12.50"},        {117.74, "117.70"},       {1023.4, "1023.00"},    {1023.6, "1024.00"},
    {9999.4, "9999.00"},    {9999.995, "1E04"},       {10000.0, "1E04"},      {12345.6, "1.235E04"},
    {1048576.0, "1.049E06"}, {1.5e300, "1.5E300"},    {-23.4861, "-23.49"},   {-0.001, "0.00"},
    {-12345.6, "-1.235E04"},
};

// General notation, precision 6: the rate figure of the log.
const TCase GeneralCases[] = {
    {10900.1, "10900.1"},        {9503.6234, "9503.62"},  {12000.0, "12000"},     {0.5, "0.5"},
    {12800.0, "12800"},          {1234567.0, "1.23457E06"}, {0.00001234, "1.234E-05"}, {999999.4, "999999"},
    {999999.5, "1E06"},          {0.0001, "0.0001"},     {0.00012345, "0.00012345"}, {0.0000999999999, "0.0001"},
    {0.0, "0"},                  {10883.81, "10883.8"},  {1.000005, "1.00001"}, {-2.5, "-2.5"},
    {123456.5, "123457"},
};

TEST(FormatFloatFixed, RoundsAndPadsAsTheLogShows) {
  for (const TCase& Case : FixedCases) EXPECT_EQ(FormatFloatFixed(Case.Value, 4, 2, "."), Case.Text) << Case.Value;
}

TEST(FormatFloatGeneral, RoundsToSixSignificantDigits) {
  for (const TCase& Case : GeneralCases) EXPECT_EQ(FormatFloatGeneral(Case.Value, 6, "."), Case.Text) << Case.Value;
}

TEST(NumberFormat, UsesTheGivenDecimalSeparatorEverywhere) {
  EXPECT_EQ(FormatFloatFixed(23.4861, 4, 2, ","), "23,49");
  EXPECT_EQ(FormatFloatFixed(12345.6, 4, 2, ","), "1,235E04");
  EXPECT_EQ(FormatFloatGeneral(10900.1, 6, ","), "10900,1");
  EXPECT_EQ(FormatFloatGeneral(1234567.0, 6, ","), "1,23457E06");
  EXPECT_EQ(FormatFloatGeneral(12000.0, 6, ","), "12000");
}

TEST(NumberFormat, NamesValuesThatAreNoNumbers) {
  const double Infinity = std::numeric_limits<double>::infinity();
  EXPECT_EQ(FormatFloatFixed(Infinity, 4, 2, "."), "INF");
  EXPECT_EQ(FormatFloatFixed(-Infinity, 4, 2, "."), "-INF");
  EXPECT_EQ(FormatFloatFixed(std::nan(""), 4, 2, "."), "NAN");
  EXPECT_EQ(FormatFloatGeneral(Infinity, 6, "."), "INF");
  EXPECT_EQ(FormatFloatGeneral(std::nan(""), 6, "."), "NAN");
}

}  // namespace
