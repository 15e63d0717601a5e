#include "app/aboutdlg.h"

#include "scopedappfolders.h"

#include <QLabel>
#include <gtest/gtest.h>

TEST(AboutDlg, ShowsBothVersionsBehindAV)
{
    ScopedAppFolders folders;
    CSettings::SetClientVersion(QStringLiteral("2.10.0 "));
    for (const char* server : {"", "2.1.0"}) {
        CSettings::SetWeatherServerVersion(QLatin1String(server));
        AboutDlg dialog;
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Aerovane - About"));
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("label_clientVersion"))->text(), "v2.10.0 ");
        EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("label_WeatherServerVersion"))->text(),
                  QStringLiteral("v") + QLatin1String(server));
    }
}
