#pragma once
#include <QByteArray>
#include <QString>

// The mailbox through which sibling programs of the family ask this program to
// show a creature: the value "Message" of group "Communications" in the
// per-user settings file of "Quenmarrow" ($XDG_CONFIG_HOME/Quenmarrow.ini,
// ~/.config/Quenmarrow.ini when XDG_CONFIG_HOME is unset).

// The text that reading gives when no message is pending; it is no number.
inline constexpr const char* kNoMessage = "#*0000*#";

// Returns the pending message and removes that one line from the file: every
// other byte stays as it was (comments, other values, other sections, the
// [Communications] header itself), and the file is replaced atomically with
// its permissions kept. kNoMessage, with the file untouched, when nothing is
// pending. Only a regular file (or one a symbolic link names) of a sane size
// can hold a message: a pipe, a device or a huge file at the mailbox's path
// holds none and is left alone.
// The rewrite holds the lock a sibling's settings library takes while it
// writes the file: "Quenmarrow.ini.lock" beside it, made and removed again
// (platform/lock_file.h; "Quenmarrow.ini.lock.rmlock" too, for a moment, when
// a stale lock of a crashed writer is removed). A living holder is waited for
// two seconds at most; when it still holds the lock then, nothing is taken:
// kNoMessage, with the file untouched and the message pending. Anything at
// the lock's path that is no lock file (a pipe, a link, a device, a folder)
// is left as it is, unread, and the file is rewritten without the lock, as it
// is where no lock can be made (the folder cannot be written, the disk is
// full). The new file is written under a temporary name beside the file and
// renamed over it ("Quenmarrow.ini." and six random letters or digits,
// beside the file a link at the mailbox's path names); when that fails, the
// message stays pending and kNoMessage is returned.
QString ReadMessage();

// The settings file the mailbox lives in.
QString MailboxFilePath();

// The line editor under ReadMessage, on the file's bytes. The file is read as
// Qt's INI settings reader reads it: logical lines (a quoted value or an
// escaped line break continues a line, ";" starts a comment), section and key
// names unescaped and matched case-sensitively, the last "Message" of the
// "Communications" section (whichever of its headers it follows) counting, and
// the value decoded from its quotes and escapes.
struct MailboxLine {
    bool found = false;
    QString value;       // the message as a sibling's settings library reads it
    QByteArray rest;     // the bytes without the message's line; the input when not found
    // The bytes removed: [removedFrom, removedTo) of the input, whole lines
    // with their line break (the line's own comment included).
    qsizetype removedFrom = 0;
    qsizetype removedTo = 0;
};
MailboxLine TakeMessageLine(const QByteArray& file);
