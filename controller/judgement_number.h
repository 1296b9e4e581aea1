#pragma once
// The numbers of a measurement group, read as the C library's conversions read them.
#include <string_view>

// The longest prefix that strtod would take: leading white space, an optional sign, then
// digits with an optional fraction and exponent, or "inf", "infinity", "nan", "nan(...)" in
// any case. Text without a number reads as 0, and sets `found`, when given, to false.
double ReadNumber(std::u16string_view text, bool* found = nullptr);

// Leading white space, an optional sign and decimal digits, saturated at the int range;
// no digits read as 0.
long long ReadInteger(std::u16string_view text);

// Narrowing to single precision with IEEE rounding, infinity beyond the float range.
float ToSingle(double value);
