#include "app/fileversioninfo.h"
#include "app/serverinfo.h"

#include <QRegExp>
#include <gtest/gtest.h>

TEST(ServerInfo, ReadsOnlyTheKnownElementsOfAnAerovaneElement)
{
    const ServerInfo otherRoot(QStringLiteral("<weather><weatherserverversion>2.1.0</weatherserverversion>"
                                              "<tips><tip aerovanetype=\"1\">Hello</tip></tips></weather>"));
    EXPECT_EQ(otherRoot.GetWeatherServerVersion(), QString());
    EXPECT_TRUE(otherRoot.GetTips().empty());

    const ServerInfo info(QStringLiteral(R"(<html><aerovane>
        <weatherserverversion> 2.1.0 </weatherserverversion><minclientversion/><synopfile><b>x</b></synopfile>
        <metarfiles><file feed="noaa">metar_1.txt</file><file feed="vatsim">vatsim.txt</file><file>none.txt</file>
          <file feed="NOAA">upper.txt</file><file feed="noaa">metar_2.txt</file></metarfiles>
        <updateservers><url version="1.42.16">https://a.example.org/</url><url>https://b.example.org/</url>
          <url version="1.42.18">https://c.example.org/</url></updateservers>
        <news version="3">Hello</news>
        <tips><tip>no type</tip><tip aerovanetype="2">second kind</tip><tip aerovanetype="0">zero</tip>
          <tip aerovanetype="x1">not a number</tip><tip aerovanetype="1"><![CDATA[Press <b>Set all WX</b>.]]></tip>
          <tip aerovanetype="3">three</tip><tip aerovanetype="1">Open &lt;i&gt;Tips&lt;/i&gt;.</tip></tips>
      </aerovane></html>)"));
    EXPECT_EQ(info.GetWeatherServerVersion(), QStringLiteral(" 2.1.0 ")) << "the text as it stands";
    EXPECT_EQ(info.GetMinClientVersion(), QString());
    EXPECT_EQ(info.GetSynopFile(), QString()) << "content beginning with an element";
    EXPECT_EQ(info.GetMetarFileNoaa(), QStringLiteral("metar_2.txt"));
    EXPECT_EQ(info.GetMetarFileVatsim(), QStringLiteral("vatsim.txt"));
    EXPECT_EQ(info.GetUpdateUrls().size(), 3u);
    EXPECT_EQ(info.GetUpdateVersion(), QStringLiteral("1.42.18"));
    EXPECT_EQ(info.GetNewsText(), QStringLiteral("Hello"));
    EXPECT_EQ(info.GetNewsVersion(), 3);
    EXPECT_EQ(info.GetTips(),
              (TipList{{QStringLiteral("second kind"), 2},
                       {QStringLiteral("Press <b>Set all WX</b>."), 1},
                       {QStringLiteral("Open <i>Tips</i>."), 1}}));
    EXPECT_EQ(ServerInfo(QStringLiteral("<aerovane><news>Hi</news></aerovane>")).GetNewsVersion(), 0);
}

TEST(ServerInfo, MalformedOrEmptyDocumentsKeepWhatWasRead)
{
    const ServerInfo cut(QStringLiteral("<aerovane><minclientversion>1.42.18</minclientversion><tips>"
                                        "<tip aerovanetype=\"1\">Only</tip><tip aerovanet"));
    EXPECT_EQ(cut.GetMinClientVersion(), QStringLiteral("1.42.18"));
    EXPECT_EQ(cut.GetTips(), (TipList{{QStringLiteral("Only"), 1}}));

    for (const QString& text : {QString(), QStringLiteral("<html><body>502 Bad Gateway</body></html>")}) {
        const ServerInfo info(text);
        EXPECT_TRUE(info.IsClientVersionSupported(QStringLiteral("1.42.17 ")));
        EXPECT_FALSE(info.IsUpdateAvailable(QStringLiteral("1.42.17 ")));
        EXPECT_EQ(info.GetNewsVersion(), 0);
        EXPECT_TRUE(info.GetTips().empty());
    }
}

TEST(ServerInfo, VersionsCompareByAllTheirDigits)
{
    struct Case
    {
        const char* client;
        const char* other; // minimum and update version
        bool supported;
        bool updateOffered;
    };
    const Case cases[] = {
        {"1.42.17 ", "1.42.18", false, true}, {"1.42.17 ", "1.42.17", true, false},
        {"1.42.17 ", "", true, false},        {"1.42.17 ", "new", true, false},
        {"", "1.42.18", true, false},         {"1.42.17 ", "2.1", true, false}, // 14217 against 21
        {"1.42.17", "1.42.18", false, true},  {"1.42.17 beta", "1.42.18", false, true},
    };
    for (const Case& c : cases) {
        const ServerInfo info(QStringLiteral("<aerovane><minclientversion>%1</minclientversion><updateservers>"
                                             "<url version=\"%1\">https://a.example.org/</url></updateservers>"
                                             "</aerovane>")
                                  .arg(QLatin1String(c.other)));
        EXPECT_EQ(info.IsClientVersionSupported(QLatin1String(c.client)), c.supported) << c.client << c.other;
        EXPECT_EQ(info.IsUpdateAvailable(QLatin1String(c.client)), c.updateOffered) << c.client << c.other;
    }
}

TEST(FileVersionInfo, TextHasNoDotBetweenTheSecondAndThirdNumber)
{
    const QString dotted = FileVersionInfo::FormatVersion(FileVersionInfo::ParseVersion("3.1.2.7"), true);
    EXPECT_EQ(dotted, QStringLiteral("3.12.7"));
    EXPECT_EQ(ServerInfo::ClientVersionNumber(dotted + QLatin1Char(' ')), 3127);

    FileVersionInfo own;
    ASSERT_TRUE(own.Load(QString()));
    EXPECT_TRUE(QRegExp(QStringLiteral("\\d+\\.\\d+\\.\\d+")).exactMatch(own.GetFileVersionText(true)));
    EXPECT_FALSE(own.Load(QStringLiteral("/usr/bin/env")));
    EXPECT_EQ(own.GetFileVersionText(true), QString());
}
