#pragma once

#include <QString>

namespace platform {

constexpr unsigned LOCALE_USER_DEFAULT = 0;
constexpr unsigned LOCALE_SDECIMAL = 14;

// The locale text of the given type; only the decimal separator is known here.
// An unknown type gives "".
QString GetLocaleInfo(unsigned locale, unsigned type);

} // namespace platform
