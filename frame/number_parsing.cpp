#include "frame/number_parsing.h"

#include <cstdint>
#include <limits>
#include <string>

namespace {

// A decimal number read from text: sign × digits × 10^exp10, kept exactly.
struct DecimalNumber {
    bool bNegative = false;
    std::string digits;        // the significant digits in order, '0' to '9'
    std::int64_t exp10 = 0;    // power of ten that applies to the last digit
};

// Exponents beyond this only decide whether the value is 0 or out of range.
constexpr std::int64_t kExponentLimit = 1'000'000'000'000;

std::optional<qint32> ToInt32(bool bNegative, std::uint64_t magnitude) {
    constexpr std::uint64_t kMaxPositive = std::numeric_limits<qint32>::max();
    if (!bNegative) {
        if (magnitude > kMaxPositive) return std::nullopt;
        return static_cast<qint32>(magnitude);
    }
    if (magnitude > kMaxPositive + 1) return std::nullopt;
    return static_cast<qint32>(-static_cast<std::int64_t>(magnitude));
}

// The nearest whole number, halves to the even neighbour, worked out on the
// exact decimal digits; nothing when it lies outside the signed 32-bit range.
std::optional<qint32> NearestInt32(const DecimalNumber& number) {
    const std::size_t first = number.digits.find_first_not_of('0');
    if (first == std::string::npos) return 0;
    const std::string digits = number.digits.substr(first);
    const std::int64_t nDigits = static_cast<std::int64_t>(digits.size());
    const std::int64_t nWhole = nDigits + number.exp10;  // digits before the decimal point
    if (nWhole > 10) return std::nullopt;                // at least 10^10
    if (nWhole < 0) return 0;                            // below 0.1

    std::uint64_t whole = 0;
    for (std::int64_t i = 0; i < nWhole; ++i) whole = whole * 10 + (i < nDigits ? digits[i] - '0' : 0);

    if (nWhole < nDigits) {
        const char firstFraction = digits[nWhole];
        const bool bMoreAfterHalf = digits.find_first_not_of('0', nWhole + 1) != std::string::npos;
        if (firstFraction > '5' || (firstFraction == '5' && (bMoreAfterHalf || whole % 2 == 1))) ++whole;
    }
    return ToInt32(number.bNegative, whole);
}

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

int DigitValue(QChar c, int base) {
    int value = -1;
    if (IsDigit(c)) value = c.unicode() - u'0';
    else if (c >= u'a' && c <= u'f') value = c.unicode() - u'a' + 10;
    else if (c >= u'A' && c <= u'F') value = c.unicode() - u'A' + 10;
    return value >= 0 && value < base ? value : -1;
}

// Reads decimal digits with at most one period from s at i. Returns whether
// at least one digit was read.
bool ReadMantissa(const QString& s, qsizetype& i, DecimalNumber& number) {
    bool bPeriod = false;
    bool bAnyDigit = false;
    for (; i < s.size(); ++i) {
        if (IsDigit(s[i])) {
            number.digits += static_cast<char>(s[i].unicode());
            if (bPeriod) --number.exp10;
            bAnyDigit = true;
        } else if (s[i] == u'.' && !bPeriod) {
            bPeriod = true;
        } else {
            break;
        }
    }
    return bAnyDigit;
}

qint32 ReadRadixNumber(const QString& s, qsizetype i, int base) {
    std::uint64_t value = 0;
    bool bAnyDigit = false;
    for (; i < s.size(); ++i) {
        const int digit = DigitValue(s[i], base);
        if (digit < 0) break;
        bAnyDigit = true;
        value = value * base + digit;
        if (value > static_cast<std::uint64_t>(std::numeric_limits<qint32>::max())) return 0;
    }
    return bAnyDigit ? static_cast<qint32>(value) : 0;
}

}  // namespace

qint32 ReadStartCreatureID(const QString& sCommandLine) {
    QString s;
    s.reserve(sCommandLine.size());
    for (const QChar c : sCommandLine)
        if (c != u' ' && c != u'\t' && c != u'\n') s += c;

    qsizetype i = 0;
    if (s.startsWith(u'&')) {
        if (s.size() < 2) return 0;
        const QChar radix = s[1].toUpper();
        if (radix == u'H') return ReadRadixNumber(s, 2, 16);
        if (radix == u'O') return ReadRadixNumber(s, 2, 8);
        return 0;
    }

    DecimalNumber number;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) number.bNegative = s[i++] == u'-';
    if (!ReadMantissa(s, i, number)) return 0;

    // The exponent counts only when at least one digit follows E and its sign.
    if (i < s.size() && (s[i] == u'E' || s[i] == u'e')) {
        qsizetype j = i + 1;
        bool bNegativeExponent = false;
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-')) bNegativeExponent = s[j++] == u'-';
        std::int64_t exponent = 0;
        bool bAnyDigit = false;
        for (; j < s.size() && IsDigit(s[j]); ++j) {
            bAnyDigit = true;
            if (exponent < kExponentLimit) exponent = exponent * 10 + (s[j].unicode() - u'0');
        }
        if (bAnyDigit) number.exp10 += bNegativeExponent ? -exponent : exponent;
    }
    return NearestInt32(number).value_or(0);
}

std::optional<qint32> MessageCreatureID(const QString& sText) {
    qsizetype begin = 0;
    qsizetype end = sText.size();
    while (begin < end && (sText[begin] == u' ' || sText[begin] == u'\t')) ++begin;
    while (end > begin && (sText[end - 1] == u' ' || sText[end - 1] == u'\t')) --end;
    const QString s = sText.mid(begin, end - begin);

    DecimalNumber number;
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) number.bNegative = s[i++] == u'-';
    if (!ReadMantissa(s, i, number) || i != s.size()) return std::nullopt;
    return NearestInt32(number);
}
