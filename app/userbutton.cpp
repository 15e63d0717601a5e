#include "app/userbutton.h"

#include "platform/launcher.h"

#include <QDebug>

UserButton::UserButton(const QString& target, int kind, QWidget* parent)
    : QToolButton(parent)
    , m_target(target)
    , m_kind(kind)
{
}

UserButton::~UserButton() = default;

void UserButton::OnButtonClicked()
{
    int result = 0;
    switch (m_kind) {
    case Run:
        result = platform::Launcher().Open(QString(), m_target);
        break;
    case Folder:
        // The separator is added whatever the path ends with.
        result = platform::Launcher().Open(QStringLiteral("open"), m_target + QLatin1Char('/'));
        break;
    default:
        return;
    }
    qDebug().noquote() << QStringLiteral("ShellExecute result=%1").arg(result);
}
