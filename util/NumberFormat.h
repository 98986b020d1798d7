#pragma once
// Decimal renderings of doubles with the rounding of the program's figures: a decimal tie goes
// away from zero, judged on the shortest decimal text that reads back as the same double.

#include <string>
#include <string_view>

// Fixed notation with Digits decimals after rounding to the coarser of Precision significant
// digits and Digits decimals; a value with more than Precision integral digits falls back to the
// exponent form (1.235E04). Non-finite values give "INF", "-INF" and "NAN".
std::string FormatFloatFixed(double Value, int Precision, int Digits, std::string_view DecimalSeparator);

// General notation: rounded to Precision significant digits, trailing zeros dropped; positional
// for values from 0.0001 with at most Precision integral digits, else the exponent form.
std::string FormatFloatGeneral(double Value, int Precision, std::string_view DecimalSeparator);
