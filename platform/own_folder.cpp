#include "platform/own_folder.h"

#include <QCoreApplication>

#include <filesystem>
#include <system_error>

QString EscapedFileName(QByteArrayView bytes) {
    QString out;
    qsizetype i = 0;
    while (i < bytes.size()) {
        // The shortest run of bytes from here that is one whole character.
        qsizetype length = 0;
        for (qsizetype n = 1; n <= 4 && i + n <= bytes.size(); ++n) {
            if (bytes.sliced(i, n).isValidUtf8()) {
                length = n;
                break;
            }
        }
        const QString character = length > 0 ? QString::fromUtf8(bytes.sliced(i, length)) : QString();
        const char16_t first = character.isEmpty() ? 0 : character.front().unicode();
        if (length == 0 || first < 0x20 || (first >= 0x7F && first < 0xA0)) {
            // Not UTF-8, or a control character: each byte shown by its code.
            const qsizetype shown = length == 0 ? 1 : length;
            for (qsizetype k = 0; k < shown; ++k)
                out += QStringLiteral("\\x") + QString::number(uchar(bytes[i + k]), 16).rightJustified(2, u'0').toUpper();
            i += shown;
            continue;
        }
        out += character;
        i += length;
    }
    return out;
}

OwnFolder FindOwnFolder() {
    // The executable's folder as the system holds it, byte for byte.
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string folderBytes = error ? std::string() : executable.parent_path().native();
    if (!folderBytes.empty() && !QByteArrayView(folderBytes).isValidUtf8()) {
        return {QString(), QStringLiteral("Ostravell cannot work in its folder, whose name is not valid UTF-8 text:\n%1\n"
                                          "Move the program's folder to a name of plain text and start it there.")
                               .arg(EscapedFileName(folderBytes))};
    }
    const QString path = QCoreApplication::applicationDirPath();
    if (path.isEmpty()) {
        return {QString(), folderBytes.empty()
                               ? QStringLiteral("Ostravell cannot find the folder it was started from.")
                               : QStringLiteral("Ostravell cannot find its folder:\n%1").arg(EscapedFileName(folderBytes))};
    }
    return {path, QString()};
}
