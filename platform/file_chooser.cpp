#include "platform/file_chooser.h"

#include <QFileDialog>

namespace {
FileChooser& chooserSlot() {
    static FileChooser c;
    return c;
}

QString anyCase(const QString& pattern) {
    QString out;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper()) out += QStringLiteral("[%1%2]").arg(c.toLower(), c.toUpper());
        else out += c;
    }
    return out;
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
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) patterns << anyCase(p.trimmed());
        out << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return out;
}

std::optional<QString> ChooseOpenFile(QWidget* parent, const QString& filter) {
    if (const auto& c = chooserSlot()) return c(parent, filter);
    QFileDialog dlg(parent);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setNameFilters(QtNameFilters(filter));
    dlg.setOption(QFileDialog::HideNameFilterDetails, true);
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
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
