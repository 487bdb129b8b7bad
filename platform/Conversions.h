#pragma once

#include <QString>

#include <optional>

// Number conversions of the dialogs, with the error texts the user sees.
//
// Integer text: optional leading blanks, an optional sign ("+" or "-"), then
// decimal digits, or "$", "0x" or "0X" followed by hexadecimal digits.
// Nothing may follow the digits (not even blanks). Decimal values must lie
// in the 32-bit signed range; hexadecimal values may use all 32 bits
// ("$FFFFFFFF" is -1). Anything else is not an integer.
//
// Floating-point text: optional blanks around an optional sign, digits with
// an optional "." and fraction, and an optional exponent ("e" or "E",
// optional sign, digits). The decimal separator is always ".". Values whose
// magnitude exceeds the double range are refused; values too small for it
// become 0 or the nearest subnormal.

[[nodiscard]] std::optional<int> TryStrToInt(const QString& text);
[[nodiscard]] std::optional<double> TryStrToFloat(const QString& text);

// Throw EConvertError("'<text>' is not a valid integer value") and
// EConvertError("'<text>' is not a valid floating point value").
[[nodiscard]] int StrToInt(const QString& text);
[[nodiscard]] double StrToFloat(const QString& text);

// The general decimal form of a double: up to 15 significant digits, no
// trailing zeros ("1" for 1.0, "0.5" for 0.5); scientific ("1E20",
// "1.5E-6") when the value has more than 15 integer digits or is below
// 0.00001 in magnitude.
[[nodiscard]] QString FloatToStr(double value);
