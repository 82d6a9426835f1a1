// The start creature read from the command line: any text gives a number
// without fault, and plain numbers give what an independent reading gives.
//
// Input: the command-line text as UTF-8 (invalid sequences become U+FFFD).
#include "frame/number_parsing.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

void Check(bool ok, const char* what, const QString& text) {
    if (!ok) {
        std::fprintf(stderr, "command-line check failed: %s for \"%s\"\n", what, qPrintable(text));
        std::abort();
    }
}

bool InLong(long double v) { return v >= -2147483648.0L && v <= 2147483647.0L; }

// An independent reading of the plain forms: a sign and at most 18 digits
// with one period (exact enough in long double to round correctly), or &H /
// &O with at most 10 digits. Nothing for any other text.
bool ReferenceReading(const std::string& s, std::int64_t* result) {
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        const bool hex = s[1] == 'H' || s[1] == 'h';
        const std::string digits = s.substr(2);
        if (digits.empty() || digits.size() > 10) return false;
        if (digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "01234567") != std::string::npos) return false;
        const unsigned long long v = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 8);
        *result = v > 2147483647ULL ? 0 : std::int64_t(v);
        return true;
    }
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    int digits = 0, periods = 0;
    for (std::size_t j = i; j < s.size(); ++j) {
        if (s[j] >= '0' && s[j] <= '9') ++digits;
        else if (s[j] == '.') ++periods;
        else return false;
    }
    if (digits == 0 || digits > 18 || periods > 1) return false;
    const long double v = std::nearbyintl(std::strtold(s.c_str(), nullptr));   // halves to even
    *result = InLong(v) ? std::int64_t(v) : 0;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const qint32 id = ReadStartCreatureID(text);

    // Blanks, tabs and line feeds count nowhere.
    QString stripped = text;
    stripped.remove(u' ').remove(u'\t').remove(u'\n');
    Check(ReadStartCreatureID(stripped) == id, "blanks change nothing", text);

    std::int64_t expected = 0;
    if (ReferenceReading(stripped.toStdString(), &expected))
        Check(id == expected, "agrees with an independent reading", text);

    // What the mailbox conversion accepts, the command line reads alike.
    if (const std::optional<qint32> message = MessageCreatureID(text)) Check(id == *message, "agrees with the message conversion", text);

    // Every ID written plainly reads back.
    if (size >= 4) {
        std::int32_t n;
        std::memcpy(&n, data, 4);
        const QString plain = QString::number(n);
        Check(ReadStartCreatureID(plain) == n, "a plain ID reads back", plain);
        Check(ReadStartCreatureID(QStringLiteral(" ") + plain + QStringLiteral(" x")) == n, "text after the ID is ignored", plain);
    }
    return 0;
}
