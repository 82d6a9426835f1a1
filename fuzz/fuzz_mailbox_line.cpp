// Mailbox line editor: any bytes in, the same bytes out less one whole line
// (or unchanged when no message is found), never a crash.
//
// Input: the settings file's bytes, as they are.
#include "frame/mailbox.h"

#include <QByteArray>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "mailbox line check failed: %s\n", what);
        std::abort();
    }
}

bool IsLineBreak(char c) { return c == '\n' || c == '\r'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray in(reinterpret_cast<const char*>(data), qsizetype(size));
    const MailboxLine taken = TakeMessageLine(in);

    if (!taken.found) {
        Check(taken.rest == in, "a file without a message comes back unchanged");
        Check(taken.value.isEmpty(), "no message, no value");
        return 0;
    }

    const qsizetype from = taken.removedFrom, to = taken.removedTo;
    const qsizetype bodyStart = in.startsWith("\xef\xbb\xbf") ? 3 : 0;
    Check(bodyStart <= from && from < to && to <= in.size(), "the removed bytes lie inside the file, after a BOM");
    Check(taken.rest == in.left(from) + in.mid(to), "the rest is the file less the removed bytes, nothing else changed");
    // Whole lines: the removal starts where a line starts and ends with its
    // line break (or at the end of the file).
    Check(from == bodyStart || IsLineBreak(in[from - 1]), "the removal starts at a line's start");
    Check(to == in.size() || IsLineBreak(in[to - 1]), "the removal ends after a line break");
    const QByteArray removed = in.mid(from, to - from);
    Check(removed.contains('='), "the removed line holds a key and its value");
    // A CR LF pair is never split.
    Check(!(to < in.size() && in[to - 1] == '\r' && in[to] == '\n'), "a CR LF line break goes whole");

    // The rest is a file like any other: taking from it again only ever
    // shrinks it by another whole line.
    const MailboxLine again = TakeMessageLine(taken.rest);
    Check(again.rest.size() <= taken.rest.size(), "a second take never grows the file");
    Check(!again.found || again.rest.size() < taken.rest.size(), "a second take removes a line or nothing");
    return 0;
}
