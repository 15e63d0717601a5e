#include "platform/locale.h"

#include <clocale>

namespace platform {

void UseCLocale()
{
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_CTYPE, "C");
}

} // namespace platform
