#pragma once
#include <QString>
#include <functional>
#include <optional>

class QWidget;

// The file-open dialog. The filter comes in the "Description|pattern;pattern"
// form; the dialog shows it in Qt's form and matches extensions in any case.
// Returns the chosen file's full path, or nothing when the user cancelled.
// The dialog keeps no settings file: within a run it opens in the folder of
// the last file chosen, and it leaves nothing in the user's configuration folder.
using FileChooser = std::function<std::optional<QString>(QWidget* parent, const QString& filter)>;

std::optional<QString> ChooseOpenFile(QWidget* parent, const QString& filter);

// Tests replace the dialog; returns the previous chooser. Empty restores the real dialog.
FileChooser SetFileChooser(FileChooser chooser);

// "Graphics Files (*.bmp;*.gif;*.jpg)|*.bmp;*.gif;*.jpg" -> "Graphics Files
// (*.bmp *.gif *.jpg)": the description with its patterns in Qt's form, one
// per filter entry. The dialog matches the patterns in any case.
QStringList QtNameFilters(const QString& filter);
