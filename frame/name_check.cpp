#include "frame/name_check.h"

bool IsValidName(const QString& sText) {
    for (const QChar c : sText) {
        const char16_t code = c.unicode();
        if (code < 32 || code > 122 || code == 34 || code == 39) return false;
    }
    return true;
}
