#pragma once
#include <QString>

// True when every character of sText may stand in a name or a label: codes 32
// to 122 except the double quote (34) and the apostrophe (39). The empty text
// passes; callers refuse it themselves.
bool IsValidName(const QString& sText);
