// Byte counts as texts: below 1024 the whole number and " Byte"; above, the unit of powers of 1024
// whose row the count falls in, a quotient from 1 to 1024 with two decimals rounded to at most
// four significant digits, and from 2^93 bytes the exponent form in YB. Each reads back as the
// count within its rounding, with either decimal separator.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "HelperQuobix.h"
#include "NumberTexts.h"

namespace {

constexpr const char* Units[] = {" KB", " MB", " GB", " TB", " PB", " EB", " ZB", " YB"};

// The quotient part of a text in Unit (1 for KB ... 8 for YB) of the count Bytes.
void CheckScaled(const std::string& Text, double Bytes, char Separator) {
  int Unit = 0;
  for (int Index = 0; Index < 8; ++Index)
    if (Text.size() > 3 && Text.compare(Text.size() - 3, 3, Units[Index]) == 0) Unit = Index + 1;
  FUZZ_CHECK(Unit > 0, "%s has no unit", Text.c_str());
  const double Quotient = Bytes / std::ldexp(1.0, 10 * Unit);
  // The row: below the next power of 1024, except that YB takes everything above.
  FUZZ_CHECK(Quotient >= 1.0 && (Quotient < 1024.0 || Unit == 8), "%s for %.17g bytes", Text.c_str(), Bytes);

  const std::optional<TNumberText> Number = ReadNumberText(Text.substr(0, Text.size() - 3), Separator);
  FUZZ_CHECK(Number.has_value() && !Number->Negative, "%s is no size", Text.c_str());
  if (Number->Power) {
    FUZZ_CHECK(Unit == 8 && Quotient >= 9999.49, "%s in exponent form", Text.c_str());
    FUZZ_CHECK(Number->Integral.size() == 1 && SignificantDigits(*Number) <= 4, "mantissa of %s", Text.c_str());
    FUZZ_CHECK(MantissaWithinRounding(*Number, Quotient, 4), "%s for %.17g bytes", Text.c_str(), Bytes);
    return;
  }
  FUZZ_CHECK(Number->Decimals && Number->Decimals->size() == 2, "%s has not two decimals", Text.c_str());
  FUZZ_CHECK(SignificantDigits(*Number) <= 4, "%s has more than four digits", Text.c_str());
  // min(4, D + 2) significant digits of a quotient with D integral digits.
  const int Integral = DecimalExponent(Quotient);
  const double Step = std::pow(10.0, Integral - std::min(4, Integral + 2));
  FUZZ_CHECK(WithinRounding(Number->Value, Quotient, Step), "%s for %.17g bytes", Text.c_str(), Bytes);
}

void CheckWhole(std::int64_t Bytes, char Separator) {
  const std::string Text = FormatByteSize(Bytes, std::string(1, Separator));
  if (Bytes < 1024) {
    FUZZ_CHECK(Text == std::to_string(Bytes) + " Byte", "%s for %lld", Text.c_str(), static_cast<long long>(Bytes));
    return;
  }
  FUZZ_CHECK(Text.compare(Text.size() - 3, 3, " ZB") != 0 && Text.compare(Text.size() - 3, 3, " YB") != 0,
             "%s: 64 bits never reach ZB", Text.c_str());
  CheckScaled(Text, static_cast<double>(Bytes), Separator);
}

void CheckFloat(double Bytes, char Separator) {
  const std::string Text = FormatByteSizeFloat(Bytes, std::string(1, Separator));
  if (std::isnan(Bytes)) {
    FUZZ_CHECK(Text == "NAN YB", "%s for NaN", Text.c_str());
  } else if (std::isinf(Bytes)) {
    FUZZ_CHECK(Text == (Bytes > 0 ? "INF YB" : "-INF Byte"), "%s for an infinity", Text.c_str());
  } else if (Bytes < 1024) {
    // The nearest whole number, ties to the even one, and never "-0".
    FUZZ_CHECK(Text.size() > 5 && Text.compare(Text.size() - 5, 5, " Byte") == 0, "%s", Text.c_str());
    const std::string Whole = Text.substr(0, Text.size() - 5);
    const std::optional<TNumberText> Number = ReadNumberText(Whole, Separator);
    FUZZ_CHECK(Number && !Number->Decimals && !Number->Power && Whole != "-0", "%s for %.17g", Text.c_str(), Bytes);
    FUZZ_CHECK(Number->Value == std::nearbyint(Bytes), "%s for %.17g", Text.c_str(), Bytes);
  } else {
    CheckScaled(Text, Bytes, Separator);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  FuzzedDataProvider Input(Data, Size);
  const char Separator = Input.ConsumeBool() ? ',' : '.';
  const std::uint64_t Bits = Input.ConsumeIntegral<std::uint64_t>();
  // The same bits as a signed count and as a double, and a count near a power of two.
  CheckWhole(static_cast<std::int64_t>(Bits), Separator);
  double Bytes = 0.0;
  std::memcpy(&Bytes, &Bits, sizeof Bytes);
  CheckFloat(Bytes, Separator);
  const int Power = Input.ConsumeIntegralInRange(0, 100);
  const double NearPower = std::ldexp(1.0, Power) + Input.ConsumeFloatingPointInRange(-4096.0, 4096.0);
  CheckFloat(NearPower, Separator);
  if (Power < 63) CheckWhole(static_cast<std::int64_t>(std::ldexp(1.0, Power)) - Input.ConsumeIntegralInRange(0, 8),
                             Separator);
  return 0;
}
