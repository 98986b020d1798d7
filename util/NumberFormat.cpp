#include "NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace {

// A finite non-negative value as 0.<Digits> x 10^Exponent, Digits without leading or trailing
// zeros; Digits is empty for zero.
struct TDecimal {
  std::string Digits;
  int Exponent = 0;
};

TDecimal ShortestDecimal(double Magnitude) {
  TDecimal Result;
  if (Magnitude == 0.0) return Result;
  char Buffer[64];
  const auto [End, Error] = std::to_chars(Buffer, Buffer + sizeof Buffer, Magnitude, std::chars_format::scientific);
  (void)Error;  // 64 bytes always hold a double in scientific form
  const std::string_view Text(Buffer, static_cast<std::size_t>(End - Buffer));
  const std::size_t ExponentMark = Text.find('e');
  for (char C : Text.substr(0, ExponentMark))
    if (C != '.') Result.Digits += C;
  int Exponent10 = 0;
  const std::string_view ExponentText = Text.substr(ExponentMark + 1);
  const char* First = ExponentText.data() + (ExponentText.front() == '+' ? 1 : 0);
  std::from_chars(First, ExponentText.data() + ExponentText.size(), Exponent10);
  Result.Exponent = Exponent10 + 1;
  while (!Result.Digits.empty() && Result.Digits.back() == '0') Result.Digits.pop_back();
  return Result;
}

// Keeps Count significant digits, a tie going away from zero; Count may be 0 or negative, in
// which case the value becomes 0 or the next power of ten.
void RoundToSignificant(TDecimal& Number, int Count) {
  if (Number.Digits.empty() || static_cast<int>(Number.Digits.size()) <= Count) return;
  if (Count < 0) {
    Number.Digits.clear();
    return;
  }
  const bool RoundUp = Number.Digits[static_cast<std::size_t>(Count)] >= '5';
  Number.Digits.resize(static_cast<std::size_t>(Count));
  if (RoundUp) {
    int Position = Count - 1;
    while (Position >= 0 && Number.Digits[static_cast<std::size_t>(Position)] == '9') {
      Number.Digits[static_cast<std::size_t>(Position)] = '0';
      --Position;
    }
    if (Position >= 0) {
      ++Number.Digits[static_cast<std::size_t>(Position)];
    } else {
      Number.Digits.insert(Number.Digits.begin(), '1');
      ++Number.Exponent;
    }
  }
  while (!Number.Digits.empty() && Number.Digits.back() == '0') Number.Digits.pop_back();
}

std::string NonFinite(double Value) {
  if (std::isnan(Value)) return "NAN";
  return Value < 0 ? "-INF" : "INF";
}

// d[.ddd]E[-]XX
std::string ExponentForm(const TDecimal& Number, bool Negative, std::string_view DecimalSeparator) {
  std::string Text = Negative ? "-" : "";
  Text += Number.Digits.front();
  if (Number.Digits.size() > 1) {
    Text += DecimalSeparator;
    Text += Number.Digits.substr(1);
  }
  const int Power = Number.Exponent - 1;
  Text += 'E';
  if (Power < 0) Text += '-';
  const int PowerMagnitude = std::abs(Power);
  if (PowerMagnitude < 10) Text += '0';
  Text += std::to_string(PowerMagnitude);
  return Text;
}

// Integral digits, then Decimals digits after the separator (none and no separator when
// Decimals is negative: only the digits present are written).
std::string PositionalForm(const TDecimal& Number, bool Negative, int Decimals, std::string_view DecimalSeparator) {
  const int Count = static_cast<int>(Number.Digits.size());
  auto DigitAt = [&](int Position) {  // Position 0 is the first digit after the decimal point
    const int Index = Position + Number.Exponent;
    return (Index >= 0 && Index < Count) ? Number.Digits[static_cast<std::size_t>(Index)] : '0';
  };
  std::string Text = (Negative && !Number.Digits.empty()) ? "-" : "";
  if (Number.Exponent <= 0) {
    Text += '0';
  } else {
    for (int Position = -Number.Exponent; Position < 0; ++Position) Text += DigitAt(Position);
  }
  const int FractionDigits = Decimals >= 0 ? Decimals : Count - Number.Exponent;
  if (FractionDigits > 0) {
    Text += DecimalSeparator;
    for (int Position = 0; Position < FractionDigits; ++Position) Text += DigitAt(Position);
  }
  return Text;
}

}  // namespace

std::string FormatFloatFixed(double Value, int Precision, int Digits, std::string_view DecimalSeparator) {
  if (!std::isfinite(Value)) return NonFinite(Value);
  TDecimal Number = ShortestDecimal(std::fabs(Value));
  RoundToSignificant(Number, std::min(Precision, Number.Exponent + Digits));
  const bool Negative = std::signbit(Value);
  if (!Number.Digits.empty() && Number.Exponent > Precision) return ExponentForm(Number, Negative, DecimalSeparator);
  return PositionalForm(Number, Negative, Digits, DecimalSeparator);
}

std::string FormatFloatGeneral(double Value, int Precision, std::string_view DecimalSeparator) {
  if (!std::isfinite(Value)) return NonFinite(Value);
  TDecimal Number = ShortestDecimal(std::fabs(Value));
  RoundToSignificant(Number, Precision);
  if (Number.Digits.empty()) return "0";
  const bool Negative = std::signbit(Value);
  if (Number.Exponent > Precision || Number.Exponent < -3) return ExponentForm(Number, Negative, DecimalSeparator);
  return PositionalForm(Number, Negative, -1, DecimalSeparator);
}
