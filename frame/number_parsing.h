#pragma once
#include <QString>
#include <QtGlobal>

#include <optional>

// The creature ID at the start of the command-line text; 0 when there is none.
//  - Blanks, tabs and line feeds are ignored wherever they stand.
//  - An optional sign, decimal digits with at most one period, then optionally
//    an exponent: E, an optional sign and digits. Or "&H" followed by
//    hexadecimal digits, or "&O" followed by octal digits. Letters in any case.
//  - Reading stops at the first character that cannot continue the number.
//  - The number is rounded to the nearest whole number, halves to even; the
//    decimal digits are rounded exactly, not through a floating-point value.
//  - A text that does not begin with a number, and a number outside the signed
//    32-bit range (hexadecimal and octal numbers are read as non-negative
//    values, so &H80000000 and above are outside too), give 0.
qint32 ReadStartCreatureID(const QString& sCommandLine);

// The creature ID that a mailbox message names: a decimal number with blanks
// or tabs allowed before and after it, an optional sign and an optional
// fractional part after a period, rounded to the nearest whole number, halves
// to even. Nothing for any other text or a number outside the signed 32-bit range.
std::optional<qint32> MessageCreatureID(const QString& sText);
