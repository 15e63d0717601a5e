#include "platform/launcher.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

namespace {

// The desktop services: an address with a scheme (web page, mail draft) goes to its program, anything else is
// taken as a local path. The desktop has one action per target, so the operation makes no difference here.
class CDesktopLauncher : public CLauncher
{
public:
    int Open(const QString&, const QString& target) override
    {
        QUrl url(target);
        if (url.scheme().isEmpty())
            url = QUrl::fromLocalFile(target);
        return QDesktopServices::openUrl(url) ? kOpened : kNoAssociation;
    }
};

CLauncher* g_installed = nullptr;

} // namespace

CLauncher& Launcher()
{
    static CDesktopLauncher desktop;
    return g_installed ? *g_installed : desktop;
}

CLauncher* InstallLauncher(CLauncher* launcher)
{
    CLauncher* previous = g_installed;
    g_installed = launcher;
    return previous;
}

} // namespace platform
