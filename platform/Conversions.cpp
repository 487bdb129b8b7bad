#include "platform/Conversions.h"

#include "platform/Exceptions.h"

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace {

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

int HexValue(QChar c)
{
    if (IsDigit(c)) {
        return c.unicode() - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c.unicode() - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c.unicode() - u'A' + 10;
    }
    return -1;
}

// The C locale for strtod, so that "." is the decimal separator whatever
// LC_NUMERIC the program runs under.
locale_t CLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

// Copies the run of decimal digits starting at `at` to `out`; returns how
// many there were and moves `at` past them.
int TakeDigits(const QString& text, qsizetype& at, qsizetype end, std::string& out)
{
    int count = 0;
    while (at < end && IsDigit(text.at(at))) {
        out += static_cast<char>(text.at(at).unicode());
        ++at;
        ++count;
    }
    return count;
}

// Copies a "+" or "-" at `at` to `out` and moves past it.
void TakeSign(const QString& text, qsizetype& at, qsizetype end, std::string& out)
{
    if (at < end && (text.at(at) == u'+' || text.at(at) == u'-')) {
        out += static_cast<char>(text.at(at).unicode());
        ++at;
    }
}

// "1.500" -> "1.5", "2.000" -> "2"; a text without "." is left alone.
QString WithoutTrailingZeros(QString number)
{
    if (number.contains(u'.')) {
        while (number.endsWith(u'0')) {
            number.chop(1);
        }
        if (number.endsWith(u'.')) {
            number.chop(1);
        }
    }
    return number;
}

// The number of blanks the text starts with.
qsizetype LeadingSpaces(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u' ') {
        ++i;
    }
    return i;
}

} // namespace

std::optional<int> TryStrToInt(const QString& text)
{
    const qsizetype n = text.size();
    qsizetype i = LeadingSpaces(text);
    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    bool hex = false;
    if (i < n && text.at(i) == u'$') {
        hex = true;
        ++i;
    } else if (i + 1 < n && text.at(i) == u'0' && (text.at(i + 1) == u'x' || text.at(i + 1) == u'X')) {
        hex = true;
        i += 2;
    }
    if (i == n) {
        return std::nullopt;
    }

    // Magnitude limits: all 32 bits for hexadecimal, the signed range for
    // decimal.
    const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    const int base = hex ? 16 : 10;
    std::uint64_t magnitude = 0;
    for (; i < n; ++i) {
        const int digit = hex ? HexValue(text.at(i)) : (IsDigit(text.at(i)) ? text.at(i).unicode() - u'0' : -1);
        if (digit < 0) {
            return std::nullopt;
        }
        magnitude = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (magnitude > limit) {
            return std::nullopt;
        }
    }
    const auto bits = static_cast<std::uint32_t>(negative ? (0 - magnitude) : magnitude);
    return static_cast<int>(static_cast<std::int32_t>(bits));
}

std::optional<double> TryStrToFloat(const QString& text)
{
    const qsizetype n = text.size();
    const qsizetype i = LeadingSpaces(text);
    qsizetype end = n;
    while (end > i && text.at(end - 1) == u' ') {
        --end;
    }

    // Validate the syntax here; strtod accepts more (hex floats, "inf",
    // "nan", leading white space of every kind).
    std::string ascii;
    qsizetype j = i;
    TakeSign(text, j, end, ascii);
    int mantissaDigits = TakeDigits(text, j, end, ascii);
    if (j < end && text.at(j) == u'.') {
        ascii += '.';
        ++j;
        mantissaDigits += TakeDigits(text, j, end, ascii);
    }
    if (mantissaDigits == 0) {
        return std::nullopt;
    }
    if (j < end && (text.at(j) == u'e' || text.at(j) == u'E')) {
        ascii += 'e';
        ++j;
        TakeSign(text, j, end, ascii);
        if (TakeDigits(text, j, end, ascii) == 0) {
            return std::nullopt;
        }
    }
    if (j != end) {
        return std::nullopt;
    }

    const double value = strtod_l(ascii.c_str(), nullptr, CLocale());
    if (std::isinf(value)) {
        return std::nullopt;
    }
    return value;
}

int StrToInt(const QString& text)
{
    if (const auto value = TryStrToInt(text)) {
        return *value;
    }
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

double StrToFloat(const QString& text)
{
    if (const auto value = TryStrToFloat(text)) {
        return *value;
    }
    throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

QString FloatToStr(double value)
{
    if (std::isnan(value)) {
        return QStringLiteral("NAN");
    }
    if (std::isinf(value)) {
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    }
    if (value == 0.0) {
        return QStringLiteral("0");
    }
    // Scientific form with 15 significant digits tells the decimal exponent
    // after rounding.
    const QString sci = QString::number(value, 'e', 14);
    const qsizetype e = sci.indexOf(u'e');
    const int exponent = sci.mid(e + 1).toInt();
    const double magnitude = std::fabs(value);
    if (exponent < 15 && magnitude >= 0.00001) {
        const int decimals = exponent >= 14 ? 0 : 14 - exponent;
        return WithoutTrailingZeros(QString::number(value, 'f', decimals));
    }
    return WithoutTrailingZeros(sci.left(e)) + u'E' + QString::number(exponent);
}
