#include "platform/file_chooser.h"

#include <QDir>
#include <QFileDialog>

namespace {
FileChooser& chooserSlot() {
    static FileChooser c;
    return c;
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
    QFileDialog dlg(parent);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    // The type box shows each filter whole, its patterns included; the dialog
    // matches them in any case as long as its filter lacks QDir::CaseSensitive.
    dlg.setNameFilters(QtNameFilters(filter));
    dlg.setFilter(dlg.filter() & ~QDir::CaseSensitive);
    if (dlg.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dlg.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return files.first();
}

FileChooser SetFileChooser(FileChooser chooser) {
    FileChooser old = std::move(chooserSlot());
    chooserSlot() = std::move(chooser);
    return old;
}
