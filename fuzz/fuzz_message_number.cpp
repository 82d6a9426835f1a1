// The creature ID of a mailbox message: any text is either refused or gives
// the number an independent reading gives.
//
// Input: the message text as UTF-8 (invalid sequences become U+FFFD).
#include "frame/number_parsing.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Check(bool ok, const char* what, const QString& text) {
    if (!ok) {
        std::fprintf(stderr, "message number check failed: %s for \"%s\"\n", what, qPrintable(text));
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<qint32> id = MessageCreatureID(text);

    // The accepted form: blanks or tabs, a sign, digits with at most one
    // period (at least one digit), blanks or tabs.
    const std::string s = text.toStdString();
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    const std::string number = s.substr(b, e - b);
    int digits = 0, periods = 0;
    bool form = true;
    for (std::size_t i = 0; i < number.size(); ++i) {
        const char c = number[i];
        if (c >= '0' && c <= '9') ++digits;
        else if (c == '.') ++periods;
        else if (!(i == 0 && (c == '+' || c == '-'))) form = false;
    }
    form = form && digits > 0 && periods <= 1;
    if (!form) Check(!id, "text that is no plain number is refused", text);

    // Up to 18 digits long double holds the number closely enough to round it right.
    if (form && digits <= 18) {
        const long double v = std::nearbyintl(std::strtold(number.c_str(), nullptr));   // halves to even
        const bool inRange = v >= -2147483648.0L && v <= 2147483647.0L;
        Check(id.has_value() == inRange, "a plain number is accepted exactly when it is within 32 bits", text);
        if (inRange) Check(*id == std::int32_t(v), "the number rounds to the nearest, halves to even", text);
    }

    // Every ID written plainly reads back, with blanks around it too.
    if (size >= 4) {
        std::int32_t n;
        std::memcpy(&n, data, 4);
        const QString plain = QString::number(n);
        Check(MessageCreatureID(plain) == n, "a plain ID reads back", plain);
        // n.5 goes to the even one of n and its neighbour away from 0.
        const std::int64_t even = n % 2 == 0 ? n : std::int64_t(n) + (n > 0 ? 1 : -1);
        const std::optional<qint32> half = MessageCreatureID(QStringLiteral(" \t") + plain + QStringLiteral(".5 "));
        if (even > 2147483647LL) Check(!half, "a half beyond the range is refused", plain);
        else Check(half == std::optional<qint32>(qint32(even)), "a half goes to the even neighbour", plain);
    }
    return 0;
}
