#include "core/form/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isBlank(QChar c)
{
    return c.unicode() <= 0x20;
}

} // namespace

std::optional<double> parseDecimal(QStringView text)
{
    // Check the shape first: std::from_chars alone would take "inf", "nan" and hex.
    // On the way, note the decimal exponent of the first significant digit, which
    // tells an underflow from an overflow however the number is written.
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype mantissaDigits = 0;
    qsizetype integerDigits = 0;   // from the first significant one
    qsizetype zerosAfterPoint = 0; // before the first significant one
    bool significant = false;
    while (i < n && isDigit(text[i])) {
        significant = significant || text[i] != u'0';
        integerDigits += significant ? 1 : 0;
        ++i;
        ++mantissaDigits;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            if (!significant && text[i] == u'0')
                ++zerosAfterPoint;
            significant = significant || text[i] != u'0';
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    long long exponent = 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            negativeExponent = text[i] == u'-';
            ++i;
        }
        qsizetype exponentDigits = 0;
        while (i < n && isDigit(text[i])) {
            // saturates far beyond any double; only the sign of the sum below matters
            exponent = std::min(exponent * 10 + (text[i].unicode() - u'0'), 1'000'000'000LL);
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return std::nullopt;
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != n)
        return std::nullopt;

    // The shape holds ASCII only: narrowed in place, on the stack for any ordinary
    // number (boxes are read many times a click).
    char shortText[64];
    std::string longText;
    char* ascii = shortText;
    if (n > qsizetype(sizeof shortText)) {
        longText.resize(size_t(n));
        ascii = longText.data();
    }
    for (qsizetype k = 0; k < n; ++k)
        ascii[k] = static_cast<char>(text[k].unicode());
    const char* first = ascii;
    const char* last = ascii + n;
    if (*first == '+')
        ++first; // from_chars takes no plus sign
    double value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range) {
        const long long leadingExponent = (integerDigits > 0 ? integerDigits - 1 : -(zerosAfterPoint + 1)) + exponent;
        if (leadingExponent >= 0)
            return std::nullopt; // beyond double precision
        return ascii[0] == '-' ? -0.0 : 0.0;
    }
    if (ec != std::errc() || end != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

namespace {

// Where the text remains once the blanks at its ends are taken off.
struct Span {
    qsizetype begin;
    qsizetype size;
};

Span trimmedSpan(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return {begin, end - begin};
}

} // namespace

QString trimmed(const QString& text)
{
    const Span s = trimmedSpan(text);
    return text.mid(s.begin, s.size);
}

std::optional<double> parseDecimalTrimmed(QStringView text)
{
    const Span s = trimmedSpan(text);
    return parseDecimal(text.sliced(s.begin, s.size));
}

double toNumber(const QString& text)
{
    if (const auto v = parseDecimal(text))
        return *v;
    throw GeneralError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

double toNumberTrimmed(const QString& text)
{
    if (const auto v = parseDecimalTrimmed(text))
        return *v;
    throw GeneralError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

float toSingle(double value)
{
    if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max())
        throw GeneralError(QStringLiteral("Floating point overflow"));
    return static_cast<float>(value);
}

namespace {

// The exact binary value of `value` rounded to `decimals` places, halves away from
// zero, as the magnitude scaled by 10^decimals; nothing where the integer arithmetic
// would not hold it (non-finite, 2^63 and more, over 9 places).
std::optional<std::uint64_t> scaledRounded(double value, int decimals)
{
    if (!std::isfinite(value) || decimals < 0 || decimals > 9)
        return std::nullopt;
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent); // |value| = fraction * 2^exponent
    if (exponent > 63 - 30)                                          // the scaled magnitude must stay below 2^63
        return std::nullopt;
    // |value| = mantissa * 2^shift exactly, the mantissa an integer below 2^53
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int shift = exponent - 53;
    std::uint64_t power = 1;
    for (int i = 0; i < decimals; ++i)
        power *= 10;
    const unsigned __int128 scaled = static_cast<unsigned __int128>(mantissa) * power; // below 2^83
    // shift is below -19 (exponent at most 33)
    if (shift <= -127)
        return 0; // below 2^83 * 2^-127: far under one half
    const unsigned __int128 whole = scaled >> -shift;
    const unsigned __int128 rest = scaled - (whole << -shift);
    const unsigned __int128 half = static_cast<unsigned __int128>(1) << (-shift - 1);
    return static_cast<std::uint64_t>(whole + (rest >= half ? 1 : 0));
}

} // namespace

QString formatFixed(double value, int decimals)
{
    if (const std::optional<std::uint64_t> scaled = scaledRounded(value, decimals)) {
        // the digits from the right, at least one before the point, then the sign
        char16_t text[40]; // at most 19 digits, the point, the sign and 9 zeros
        int at = 40;
        std::uint64_t rest = *scaled;
        for (int place = 0; rest > 0 || place <= decimals; ++place, rest /= 10) {
            if (place == decimals && decimals > 0)
                text[--at] = u'.';
            text[--at] = char16_t(u'0' + rest % 10);
        }
        if (std::signbit(value) && *scaled != 0) // no "-0.000"
            text[--at] = u'-';
        return QString(reinterpret_cast<const QChar*>(text + at), 40 - at);
    }
    // QString::number rounds the exact binary value, ties away from zero, in the C locale.
    QString s = QString::number(value, 'f', decimals);
    if (s.startsWith(u'-')) {
        bool allZero = true;
        for (qsizetype i = 1; i < s.size(); ++i) {
            if (s[i] != u'0' && s[i] != u'.') {
                allZero = false;
                break;
            }
        }
        if (allZero)
            s.remove(0, 1);
    }
    return s;
}

QString formatFixedTrimmed(double value, int decimals)
{
    QString text = formatFixed(value, decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text;
}
