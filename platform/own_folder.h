#pragma once
// The program's own folder, the one its executable lies in, which holds every
// file the program reads and writes.
#include <QByteArrayView>
#include <QString>

struct OwnFolder {
    QString path;     // the folder; empty when it cannot be used
    QString problem;  // when path is empty: why, naming the folder where it is known
};

// Finds the folder. Every file name the program hands to Qt and SQLite is
// text, so a folder whose name is not valid UTF-8 cannot be named: working
// there would mean reading and writing files of another name. Then, as when
// the folder cannot be found at all, path is empty and problem says why.
OwnFolder FindOwnFolder();

// A file name's bytes as text for a message: valid UTF-8 as it reads, every
// other byte and every control character as \xHH.
QString EscapedFileName(QByteArrayView bytes);
