#include "app/aboutdlg.h"

#include "app/productaddresses.h"
#include "scopedappfolders.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

QString LabelText(AboutDlg& dialog, const char* name)
{
    return dialog.findChild<QLabel*>(QLatin1String(name))->text();
}

} // namespace

TEST(AboutDlg, ShowsBothVersionsBehindAV)
{
    struct Case
    {
        const char* client;
        const char* server;
        const char* clientLabel;
        const char* serverLabel;
    };
    const Case cases[] = {
        {"2.10.0 ", "", "v2.10.0 ", "v"}, // before the start-up sequence stored a server version
        {"2.10.0 ", "2.1.0", "v2.10.0 ", "v2.1.0"},
        {" ", "2.1.0", "v ", "v2.1.0"}, // no version of the program's own file
    };
    for (const Case& c : cases) {
        ScopedAppFolders folders;
        CSettings::SetClientVersion(QLatin1String(c.client));
        CSettings::SetWeatherServerVersion(QLatin1String(c.server));
        AboutDlg dialog;
        EXPECT_EQ(LabelText(dialog, "label_clientVersion"), QLatin1String(c.clientLabel));
        EXPECT_EQ(LabelText(dialog, "label_WeatherServerVersion"), QLatin1String(c.serverLabel));
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Aerovane - About"));
    }
}

TEST(AboutDlg, LinksShowTheirAddressAndOpenOutside)
{
    ScopedAppFolders folders;
    AboutDlg dialog;
    const struct
    {
        const char* label;
        QString target;
        QString shown;
    } links[] = {
        {"label_homepage", ProductAddresses::kWebSite, ProductAddresses::kWebSite},
        {"label_supportForum", QLatin1String(ProductAddresses::kWebSite) + QStringLiteral("index.php/support"),
         ProductAddresses::kSupportPage},
        {"label_email", QStringLiteral("mailto:") + QLatin1String(ProductAddresses::kSupportMail),
         ProductAddresses::kSupportMail},
    };
    for (const auto& link : links) {
        auto* label = dialog.findChild<QLabel*>(QLatin1String(link.label));
        EXPECT_TRUE(label->openExternalLinks()) << link.label;
        EXPECT_TRUE(label->textInteractionFlags() & Qt::LinksAccessibleByKeyboard) << link.label;
        EXPECT_TRUE(label->text().contains(QStringLiteral("href=\"%1\"").arg(link.target))) << link.label;
        EXPECT_TRUE(label->text().contains(QStringLiteral(">%1</span></a>").arg(link.shown))) << link.label;
    }
}
