#include "app/fileversioninfo.h"
#include "app/serverinfo.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QString ServedDocument()
{
    QFile file(QStringLiteral(AEROVANE_WXSERVER_DATA "/aerovane_info.xml"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

TEST(ServerInfo, ReadsEveryFieldOfTheServedDocument)
{
    const ServerInfo info(ServedDocument());
    EXPECT_EQ(info.GetWeatherServerVersion(), QStringLiteral("2.1.0"));
    EXPECT_EQ(info.GetMinClientVersion(), QStringLiteral("1.0.0"));
    EXPECT_EQ(info.GetHosts(), std::vector<QString>{QStringLiteral("127.0.0.1")});
    EXPECT_EQ(info.GetMetarFileNoaa(), QStringLiteral("weather_vatsim.gz"));
    EXPECT_EQ(info.GetUpdateUrls(), std::vector<QString>{QStringLiteral("http://127.0.0.1:17380/")});
    EXPECT_EQ(info.GetUpdateVersion(), QString());
    EXPECT_EQ(info.GetSynopFile(), QStringLiteral("synop.txt"));
    EXPECT_EQ(info.GetWindFile(), QStringLiteral("get_grib_v2.php"));
    EXPECT_TRUE(info.GetNewsText().startsWith(QStringLiteral("This is the loopback weather server's demo snapshot")));
    EXPECT_EQ(info.GetNewsVersion(), 0);
    ASSERT_EQ(info.GetTips().size(), 2u);
    EXPECT_EQ(info.GetTips()[1].second, 2);
}

TEST(ServerInfo, StoresOnlyWhatLiesInsideAnAerovaneElement)
{
    const ServerInfo otherRoot(QStringLiteral("<weather><weatherserverversion>2.1.0</weatherserverversion>"
                                              "<tips><tip aerovanetype=\"1\">Hello</tip></tips></weather>"));
    EXPECT_EQ(otherRoot.GetWeatherServerVersion(), QString());
    EXPECT_TRUE(otherRoot.GetTips().empty());

    const ServerInfo nested(QStringLiteral("<html><body><aerovane><minclientversion>1.42.17</minclientversion>"
                                           "</aerovane></body></html>"));
    EXPECT_EQ(nested.GetMinClientVersion(), QStringLiteral("1.42.17"));
}

TEST(ServerInfo, MetarFilesBySupportedFeedTheLaterOneWinning)
{
    const ServerInfo info(QStringLiteral(R"(<aerovane><metarfiles>
        <file feed="noaa">metar_noaa_1.txt</file>
        <file feed="vatsim">vatsim-data.txt</file>
        <file>nofeed.txt</file>
        <file feed="NOAA">upper.txt</file>
        <file feed="ivao">whazzup.txt</file>
        <file feed="noaa">metar_noaa_2.txt</file>
      </metarfiles></aerovane>)"));
    EXPECT_EQ(info.GetMetarFileNoaa(), QStringLiteral("metar_noaa_2.txt"));
    EXPECT_EQ(info.GetMetarFileVatsim(), QStringLiteral("vatsim-data.txt"));
    EXPECT_EQ(info.GetMetarFileIvao(), QStringLiteral("whazzup.txt"));
}

TEST(ServerInfo, KeepsTipsOfTypeOneAndTwoInDocumentOrder)
{
    const ServerInfo info(QStringLiteral(R"(<aerovane><tips>
        <tip>no type</tip>
        <tip aerovanetype="2">second kind</tip>
        <tip aerovanetype="0">zero</tip>
        <tip aerovanetype="x1">not a number</tip>
        <tip aerovanetype="1"><![CDATA[Press <b>Set all WX</b> &amp; wait.]]></tip>
        <tip aerovanetype="3">three</tip>
        <tip aerovanetype="1">Open &lt;i&gt;Tips&lt;/i&gt; from the Help menu.</tip>
      </tips></aerovane>)"));
    const TipList expected = {
        {QStringLiteral("second kind"), 2},
        {QStringLiteral("Press <b>Set all WX</b> &amp; wait."), 1},
        {QStringLiteral("Open <i>Tips</i> from the Help menu."), 1},
    };
    EXPECT_EQ(info.GetTips(), expected);
}

TEST(ServerInfo, EveryUpdateAddressKeptWithTheLastVersionGiven)
{
    const ServerInfo info(QStringLiteral(R"(<aerovane><updateservers>
        <url version="1.42.16">https://a.example.org/</url>
        <url>https://b.example.org/</url>
        <url version="1.42.18">https://c.example.org/</url>
      </updateservers></aerovane>)"));
    EXPECT_EQ(info.GetUpdateUrls(),
              (std::vector<QString>{QStringLiteral("https://a.example.org/"), QStringLiteral("https://b.example.org/"),
                                    QStringLiteral("https://c.example.org/")}));
    EXPECT_EQ(info.GetUpdateVersion(), QStringLiteral("1.42.18"));
}

TEST(ServerInfo, NewsTextAndVersion)
{
    const ServerInfo withVersion(QStringLiteral("<aerovane><news version=\"3\">Hello</news></aerovane>"));
    EXPECT_EQ(withVersion.GetNewsText(), QStringLiteral("Hello"));
    EXPECT_EQ(withVersion.GetNewsVersion(), 3);
    const ServerInfo withoutVersion(QStringLiteral("<aerovane><news>Hello</news></aerovane>"));
    EXPECT_EQ(withoutVersion.GetNewsVersion(), 0);
}

TEST(ServerInfo, TextIsTheFirstTokenUnchanged)
{
    const ServerInfo info(QStringLiteral("<aerovane><weatherserverversion> 2.1.0 </weatherserverversion>"
                                         "<minclientversion/><synopfile><b>x</b></synopfile></aerovane>"));
    EXPECT_EQ(info.GetWeatherServerVersion(), QStringLiteral(" 2.1.0 "));
    EXPECT_EQ(info.GetMinClientVersion(), QString());
    EXPECT_EQ(info.GetSynopFile(), QString());
}

TEST(ServerInfo, MalformedOrEmptyDocumentsKeepWhatWasRead)
{
    const ServerInfo cut(QStringLiteral("<aerovane><weatherserverversion>2.1.0</weatherserverversion>"
                                        "<minclientversion>1.42.18</minclientversion><tips><tip aerovanetype=\"1\">"
                                        "Only</tip><tip aerovanet"));
    EXPECT_EQ(cut.GetWeatherServerVersion(), QStringLiteral("2.1.0"));
    EXPECT_EQ(cut.GetMinClientVersion(), QStringLiteral("1.42.18"));
    ASSERT_EQ(cut.GetTips().size(), 1u);
    EXPECT_EQ(cut.GetTips()[0].first, QStringLiteral("Only"));

    for (const QString& text :
         {QString(), QStringLiteral("<html><body>502 Bad Gateway</body></html>"), QStringLiteral("\x01\x02 not xml")}) {
        const ServerInfo info(text);
        EXPECT_TRUE(info.IsClientVersionSupported(QStringLiteral("1.42.17 "))) << text.toStdString();
        EXPECT_FALSE(info.IsUpdateAvailable(QStringLiteral("1.42.17 "))) << text.toStdString();
        EXPECT_EQ(info.GetNewsVersion(), 0);
        EXPECT_TRUE(info.GetTips().empty());
    }
}

TEST(ServerInfo, ClientSupportedUnlessBelowTheMinimumByAllDigits)
{
    struct Case
    {
        const char* client;
        const char* minimum;
        bool supported;
    };
    const Case cases[] = {
        {"1.42.17 ", "1.42.18", false}, {"1.42.17 ", "1.42.17", true}, {"1.42.17 ", "", true},
        {"1.42.17", "1.42.18", false},  {"", "1.42.18", true},         {" ", "1.42.18", true},
        {"1.42.17 ", "2.1", true}, // 14217 against 21
        {"2.10.0 ", "2.10.1", false},   {"1.42.17 ", "1.x", true},     {"1.42.17 beta", "1.42.18", false},
    };
    for (const Case& c : cases) {
        const ServerInfo info(QStringLiteral("<aerovane><minclientversion>%1</minclientversion></aerovane>")
                                  .arg(QLatin1String(c.minimum)));
        EXPECT_EQ(info.IsClientVersionSupported(QLatin1String(c.client)), c.supported)
            << "client '" << c.client << "' minimum '" << c.minimum << "'";
    }
}

TEST(ServerInfo, UpdateOfferedOnlyForAHigherNumericVersion)
{
    struct Case
    {
        const char* client;
        const char* update;
        bool offered;
    };
    const Case cases[] = {
        {"1.42.17 ", "1.42.18", true}, {"1.42.17 ", "1.42.17", false}, {"1.42.17 ", "", false},
        {"1.42.17 ", "new", false},    {"", "1.42.18", false},         {"1.42.17 ", "2.1", false},
    };
    for (const Case& c : cases) {
        const ServerInfo info(
            QStringLiteral("<aerovane><updateservers><url version=\"%1\">https://a.example.org/</url></updateservers>"
                           "</aerovane>")
                .arg(QLatin1String(c.update)));
        EXPECT_EQ(info.IsUpdateAvailable(QLatin1String(c.client)), c.offered)
            << "client '" << c.client << "' update '" << c.update << "'";
        EXPECT_EQ(info.GetUpdateVersion(), QLatin1String(c.update));
    }
}

TEST(FileVersionInfo, FormatsWithoutADotBetweenSecondAndThirdNumber)
{
    const auto version = FileVersionInfo::ParseVersion(QStringLiteral("3.1.2.7"));
    const QString dotted = FileVersionInfo::FormatVersion(version, true);
    EXPECT_EQ(dotted, QStringLiteral("3.12.7"));
    EXPECT_EQ(FileVersionInfo::FormatVersion(version, false), QStringLiteral("3,1,2,7"));
    EXPECT_EQ(ServerInfo::ClientVersionNumber(dotted + QLatin1Char(' ')), 3127);
}

TEST(FileVersionInfo, MissingOrUnreadableNumbersReadAsZero)
{
    using Version = std::array<std::uint16_t, 4>;
    EXPECT_EQ(FileVersionInfo::ParseVersion(QStringLiteral("2.1.0")), (Version{2, 1, 0, 0}));
    EXPECT_EQ(FileVersionInfo::ParseVersion(QStringLiteral("2")), (Version{2, 0, 0, 0}));
    EXPECT_EQ(FileVersionInfo::ParseVersion(QStringLiteral("2.x.70000.4.9")), (Version{2, 0, 0, 4}));
    EXPECT_EQ(FileVersionInfo::ParseVersion(QString()), (Version{0, 0, 0, 0}));
}

TEST(FileVersionInfo, OnlyTheProgramsOwnFileHasAVersion)
{
    FileVersionInfo info;
    EXPECT_EQ(info.GetFileVersionText(true), QString());
    ASSERT_TRUE(info.Load(QString()));
    const QString own = info.GetFileVersionText(true);
    EXPECT_TRUE(QRegExp(QStringLiteral("\\d+\\.\\d+\\.\\d+")).exactMatch(own)) << own.toStdString();
    EXPECT_GT(ServerInfo::ClientVersionNumber(own + QLatin1Char(' ')), 0);

    EXPECT_FALSE(info.Load(QStringLiteral("/usr/bin/env")));
    EXPECT_EQ(info.GetFileVersionText(true), QString());
    ASSERT_TRUE(info.Load(QString()));
    info.Free();
    EXPECT_EQ(info.GetFileVersionText(false), QString());
}
