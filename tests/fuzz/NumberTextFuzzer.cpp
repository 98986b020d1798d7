// The two figures of every memory-test log line: the time (two decimals, at most four significant
// digits, the exponent form once those round to 10000) and the rate (at most six significant digits, no
// trailing zeros, positional from 0.0001 to six integral digits). Each reads back as the value
// within its rounding, with either decimal separator.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "NumberFormat.h"
#include "NumberTexts.h"

namespace {

bool NonFiniteText(double Value, const std::string& Text) {
  if (std::isnan(Value)) return Text == "NAN";
  if (std::isinf(Value)) return Text == (Value < 0 ? "-INF" : "INF");
  return false;
}

void CheckExponentForm(const TNumberText& Number, double Value, std::size_t Digits, const std::string& Text) {
  FUZZ_CHECK(Number.Integral.size() == 1 && Number.Integral != "0", "mantissa of %s", Text.c_str());
  FUZZ_CHECK(!Number.Decimals || (!Number.Decimals->empty() && Number.Decimals->back() != '0'),
             "trailing zeros in %s", Text.c_str());
  FUZZ_CHECK(SignificantDigits(Number) <= Digits, "%s has more than %zu digits", Text.c_str(), Digits);
  FUZZ_CHECK(MantissaWithinRounding(Number, Value, Digits), "%s for %.17g", Text.c_str(), Value);
}

void CheckTime(double Value, char Separator) {
  const std::string Text = FormatFloatFixed(Value, 4, 2, std::string(1, Separator));
  if (!std::isfinite(Value)) {
    FUZZ_CHECK(NonFiniteText(Value, Text), "%s for %f", Text.c_str(), Value);
    return;
  }
  const std::optional<TNumberText> Number = ReadNumberText(Text, Separator);
  FUZZ_CHECK(Number.has_value(), "%s is no number", Text.c_str());
  FUZZ_CHECK(Number->Negative == (std::signbit(Value) && Number->Value != 0.0), "the sign of %s", Text.c_str());
  if (Number->Power) {
    // Four significant digits of 9999.5 and more are 10000: five integral digits.
    FUZZ_CHECK(std::fabs(Value) >= 9999.49, "%s for %.17g, which keeps four integral digits", Text.c_str(), Value);
    CheckExponentForm(*Number, Value, 4, Text);
    return;
  }
  FUZZ_CHECK(Number->Decimals && Number->Decimals->size() == 2, "%s has not two decimals", Text.c_str());
  FUZZ_CHECK(Number->Integral.size() <= 4 && (Number->Integral.size() == 1 || Number->Integral[0] != '0'),
             "integral digits of %s", Text.c_str());
  // The coarser of four significant digits and two decimals.
  const double Step = std::pow(10.0, std::max(-2, DecimalExponent(Value) - 4));
  FUZZ_CHECK(WithinRounding(Number->Value, Value, Step), "%s for %.17g", Text.c_str(), Value);
  FUZZ_CHECK(SignificantDigits(*Number) <= 4, "%s has more than four digits", Text.c_str());
}

void CheckRate(double Value, char Separator) {
  const std::string Text = FormatFloatGeneral(Value, 6, std::string(1, Separator));
  if (!std::isfinite(Value)) {
    FUZZ_CHECK(NonFiniteText(Value, Text), "%s for %f", Text.c_str(), Value);
    return;
  }
  const std::optional<TNumberText> Number = ReadNumberText(Text, Separator);
  FUZZ_CHECK(Number.has_value(), "%s is no number", Text.c_str());
  if (Value == 0.0) {
    FUZZ_CHECK(Text == "0", "%s for zero", Text.c_str());
    return;
  }
  FUZZ_CHECK(Number->Negative == std::signbit(Value), "the sign of %s", Text.c_str());
  if (Number->Power) {
    FUZZ_CHECK(*Number->Power >= 6 || *Number->Power <= -5, "%s could have been positional", Text.c_str());
    CheckExponentForm(*Number, Value, 6, Text);
    return;
  }
  FUZZ_CHECK(std::fabs(Number->Value) >= 0.0001 && Number->Integral.size() <= 6, "%s should be an exponent form",
             Text.c_str());
  FUZZ_CHECK(!Number->Decimals || (!Number->Decimals->empty() && Number->Decimals->back() != '0'),
             "trailing zeros in %s", Text.c_str());
  FUZZ_CHECK(SignificantDigits(*Number) <= 6, "%s has more than six digits", Text.c_str());
  FUZZ_CHECK(WithinRounding(Number->Value, Value, std::pow(10.0, DecimalExponent(Value) - 6)), "%s for %.17g",
             Text.c_str(), Value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  FuzzedDataProvider Input(Data, Size);
  const char Separator = Input.ConsumeBool() ? ',' : '.';
  // Any bit pattern, or a whole number of milliseconds or megabytes per second.
  double Value = 0.0;
  if (Input.ConsumeBool()) {
    const std::uint64_t Bits = Input.ConsumeIntegral<std::uint64_t>();
    std::memcpy(&Value, &Bits, sizeof Value);
  } else {
    Value = static_cast<double>(Input.ConsumeIntegral<std::int64_t>()) / std::pow(10.0, Input.ConsumeIntegralInRange(0, 8));
  }
  CheckTime(Value, Separator);
  CheckRate(Value, Separator);
  return 0;
}
