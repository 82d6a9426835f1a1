#include "platform/file_chooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

#include "platform/modal.h"

namespace {
FileChooser& chooserSlot() {
    static FileChooser c;
    return c;
}

// The file dialog keeps its history, sidebar and view in the settings of the
// organisation "QtProject" in the default (native) format: it reads them when
// it is made and writes them when it goes. The program keeps no settings of
// its own there, so that format's folders lie below /dev/null, where no file
// can be read, created or locked: the dialog leaves nothing in the user's
// configuration folder and takes up no other program's dialog history. The
// mailbox's settings are in the INI format, whose folders stay.
void KeepNoDialogSettings() {
    const QString nowhere = QStringLiteral("/dev/null");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, nowhere);
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, nowhere);
}
}  // namespace

QStringList QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const qsizetype paren = description.indexOf(QLatin1Char('('));
        if (paren > 0) description = description.left(paren).trimmed();
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) patterns << p.trimmed();
        out << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return out;
}

std::optional<QString> ChooseOpenFile(QWidget* parent, const QString& filter) {
    if (const auto& c = chooserSlot()) return c(parent, filter);
    KeepNoDialogSettings();
    // Within a run the dialog opens in the folder of the last file chosen.
    static QString lastFolder;
    QFileDialog dlg(parent);
    if (!lastFolder.isEmpty()) dlg.setDirectory(lastFolder);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    // The type box shows each filter whole, its patterns included; the dialog
    // matches them in any case as long as its filter lacks QDir::CaseSensitive.
    dlg.setNameFilters(QtNameFilters(filter));
    dlg.setFilter(dlg.filter() & ~QDir::CaseSensitive);
    ShowModal(&dlg);
    if (dlg.result() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dlg.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    lastFolder = QFileInfo(files.first()).absolutePath();
    return files.first();
}

FileChooser SetFileChooser(FileChooser chooser) {
    FileChooser old = std::move(chooserSlot());
    chooserSlot() = std::move(chooser);
    return old;
}
