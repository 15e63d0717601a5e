#include "app/aboutdlg.h"

#include "scopedappfolders.h"

#include <QLabel>
#include <gtest/gtest.h>

TEST(AboutDlg, ShowsBothVersionsBehindAVAndTheProductLinks)
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
        auto* support = dialog.findChild<QLabel*>(QStringLiteral("label_supportForum"));
        EXPECT_TRUE(support->openExternalLinks());
        EXPECT_TRUE(support->text().contains(
            QStringLiteral("href=\"https://aerovane.example.org/index.php/support\"><span style=\"text-decoration: "
                           "underline; color:#0000ff;\">https://aerovane.example.org/index.php/support</span>")));
        EXPECT_TRUE(dialog.findChild<QLabel*>(QStringLiteral("label_email"))
                        ->text()
                        .contains(QStringLiteral("href=\"mailto:support@aerovane.example.org\"")));
    }
}
