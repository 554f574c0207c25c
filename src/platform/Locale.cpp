#include "platform/Locale.h"

#include <QLocale>

namespace platform {

QString GetLocaleInfo(unsigned /*locale*/, unsigned type) {
    if (type == LOCALE_SDECIMAL) {
        return QLocale().decimalPoint();
    }
    return {};
}

} // namespace platform
