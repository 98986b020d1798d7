#pragma once
// Reading back the number texts of the program (FormatFloatFixed, FormatFloatGeneral and the byte
// sizes built on them) for the properties the fuzz targets check.

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

// A number text taken apart: sign, integral digits, decimals, and the power of an exponent form.
struct TNumberText {
  bool Negative = false;
  std::string Integral;
  std::optional<std::string> Decimals;  // after the separator, when there is one
  std::optional<int> Power;             // after "E"
  double Value = 0.0;
};

inline bool AllDigits(std::string_view Text) {
  return !Text.empty() && Text.find_first_not_of("0123456789") == std::string_view::npos;
}

// nullopt unless Text is [-]digits[<separator>digits][E[-]digits] with nothing else; the power
// has at least two digits.
inline std::optional<TNumberText> ReadNumberText(std::string_view Text, char Separator) {
  TNumberText Number;
  if (!Text.empty() && Text.front() == '-') {
    Number.Negative = true;
    Text.remove_prefix(1);
  }
  const std::size_t Mark = Text.find('E');
  std::string_view Mantissa = Text.substr(0, Mark);
  if (Mark != std::string_view::npos) {
    std::string_view Power = Text.substr(Mark + 1);
    const bool NegativePower = !Power.empty() && Power.front() == '-';
    if (NegativePower) Power.remove_prefix(1);
    if (!AllDigits(Power) || Power.size() < 2) return std::nullopt;
    Number.Power = std::atoi(std::string(Power).c_str()) * (NegativePower ? -1 : 1);
  }
  const std::size_t Point = Mantissa.find(Separator);
  Number.Integral = std::string(Mantissa.substr(0, Point));
  if (!AllDigits(Number.Integral)) return std::nullopt;
  if (Point != std::string_view::npos) {
    Number.Decimals = std::string(Mantissa.substr(Point + 1));
    if (!AllDigits(*Number.Decimals)) return std::nullopt;
  }
  std::string Plain = (Number.Negative ? "-" : "") + Number.Integral;
  if (Number.Decimals) Plain += "." + *Number.Decimals;
  if (Number.Power) Plain += "e" + std::to_string(*Number.Power);
  Number.Value = std::strtod(Plain.c_str(), nullptr);
  return Number;
}

// The significant digits of the mantissa, leading and trailing zeros not counted.
inline std::size_t SignificantDigits(const TNumberText& Number) {
  std::string Digits = Number.Integral + Number.Decimals.value_or("");
  const std::size_t First = Digits.find_first_not_of('0');
  if (First == std::string::npos) return 0;
  return Digits.find_last_not_of('0') - First + 1;
}

// The power of ten just above |Value|: 10^(Exponent-1) <= |Value| < 10^Exponent; far below any
// double's for zero.
inline int DecimalExponent(double Value) {
  if (Value == 0.0) return -1000;
  return static_cast<int>(std::floor(std::log10(std::fabs(Value)))) + 1;
}

// An exponent form's mantissa against Value scaled by its power, in long double: the text of a
// value near the largest double may itself name a number beyond any double. Digits: how many
// significant digits the rounding kept.
inline bool MantissaWithinRounding(const TNumberText& Number, double Value, std::size_t Digits) {
  const long double Scale = std::pow(10.0L, static_cast<long double>(*Number.Power));
  const long double Mantissa = std::strtold((Number.Integral + "." + Number.Decimals.value_or("0")).c_str(), nullptr);
  const long double Exact = std::fabs(static_cast<long double>(Value)) / Scale;
  const long double Spacing =
      static_cast<long double>(std::nextafter(std::fabs(Value), INFINITY) - std::fabs(Value)) / Scale;
  const long double Step = std::pow(10.0L, 1.0L - static_cast<long double>(Digits));
  return std::fabs(Mantissa - Exact) <= Step / 2 * (1 + 1e-9L) + 4 * Spacing;
}

// Within half a step of the rounding, allowing for the last bits of a double (few near zero).
inline bool WithinRounding(double Shown, double Exact, double Step) {
  const double Spacing = std::nextafter(std::fabs(Exact), INFINITY) - std::fabs(Exact);
  return std::fabs(Shown - Exact) <= Step / 2 * (1 + 1e-9) + 4 * Spacing;
}
