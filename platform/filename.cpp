#include "platform/filename.h"

namespace platform {

QString SafeFileName(const QString& name)
{
    static const QString forbidden = QStringLiteral(" \\/:*?\"<>|");
    QString safe = name;
    bool onlyDots = !safe.isEmpty();
    for (QChar& c : safe) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || forbidden.contains(c))
            c = QLatin1Char('_');
        onlyDots = onlyDots && c == QLatin1Char('.');
    }
    if (onlyDots)
        safe.fill(QLatin1Char('_'));
    return safe;
}

} // namespace platform
