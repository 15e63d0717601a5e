#include "platform/failuretext.h"

#include <algorithm>

namespace platform {

QString FailureText(const QString& what, const QString& cause, qint64 nextTrySeconds)
{
    QString text = QStringLiteral("%1 failed: %2").arg(what, cause);
    if (nextTrySeconds >= 0)
        text += QStringLiteral(", next try in %1 s").arg(nextTrySeconds);
    return text;
}

QString FailureTextAwaitingSimulator(const QString& what, const QString& cause)
{
    return FailureText(what, cause) + QStringLiteral(", next try once FS is connected");
}

qint64 SecondsUntil(qint64 due, qint64 now)
{
    return std::max<qint64>(due - now, 0);
}

} // namespace platform
