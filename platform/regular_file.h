#pragma once
// Reading the small text files the program keeps its settings in (the label
// settings file, the sibling programs' mailbox), which anyone may have replaced
// with something that is no file to read whole: a pipe that blocks the reader
// for good, a device that never ends (/dev/zero), a file far larger than any
// such file.
#include <QByteArray>
#include <QString>

#include <optional>

// The largest settings file read: far beyond what a hand-edited file holds.
inline constexpr qint64 kLargestSettingsFile = 1024 * 1024;

// The whole content of a regular file, or of the regular file a symbolic link
// names, of at most kLargestSettingsFile bytes. Anything else gives nothing:
// a missing or unreadable file, a folder, a pipe, a socket, a device, a larger
// file. Never blocks on what it opens: the file is opened without waiting and
// judged by what was opened, so a swap after the check changes nothing, and
// never more than the limit is read.
std::optional<QByteArray> ReadSettingsFile(const QString& path);
