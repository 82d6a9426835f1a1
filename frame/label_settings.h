#pragma once
#include <QString>
#include <QStringList>

// The label settings file: one record per line, each written as a double
// quote, the record's text, a double quote, CR LF. A record's key is its text
// before the first "=", its value everything after that "=". The file is
// 8-bit text; every byte is read and written as one Latin-1 character so that
// any file survives a rewrite byte for byte.

// Splits the file's text into its records, following the reading rules of the
// format (blanks skipped before a field, quoted fields up to the closing quote,
// unquoted fields up to a comma or line end, an empty line is an empty record).
QStringList ParseCfgRecords(const QString& sText);

// The value of the first record whose key equals sKey exactly; "" when the
// file holds no such record or cannot be read. Never reports an error.
QString ReadCfgValue(const QString& sPath, const QString& sKey);

// Sets the value of every record whose key equals sKey and rewrites the whole
// file, every record quoted. The rewrite goes to a temporary file beside the
// original that replaces it only when completely written, so a failure leaves
// the old file whole. A file that is missing, unreadable or read-only is left
// untouched. Returns whether the file was rewritten.
bool WriteCfgValue(const QString& sPath, const QString& sKey, const QString& sValue);
