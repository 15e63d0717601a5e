// aerovane: the program. Reads its settings from "aerovane_pro.ini" in the working directory and keeps its logs
// in "logs/" beside the executable.
#include "app/aerovane_pro.h"
#include "app/aerovane_pro_signals.h"
#include "platform/locale.h"
#include "settings/settings.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    platform::UseCLocale();
    QCoreApplication::addLibraryPath(QStringLiteral("/platforms"));
    // Creates the settings store before any window exists.
    CSettings::GetFSMessage();

    auto* window = new Aerovane_Pro();
    new TerminationSignals(window);
    window->show();
    const int result = application.exec();
    // The window first: it waits for a connection thread still ending, which may still read the settings.
    delete window;
    CSettings::Release();
    return result;
}
