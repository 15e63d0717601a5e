// Numbers read from a damaged or hand-edited settings file: text, zero and the extremes of an int in keys whose
// values meet arithmetic or choose a link are replaced by the key's default, with one warning per key.
#include "settingstestsupport.h"

#include <QFile>

using SettingsRanges = SettingsTest;

TEST_F(SettingsRanges, NumbersThatAreNoNumberOrOutOfRangeReadAsTheDefaultWithOneWarning)
{
    struct Case
    {
        const char* key;
        const char* stored;
        int (*read)();
        int expected;
    };
    const Case cases[] = {
        {"weather/updateInterval", "0", &CSettings::GetUpdateInterval, 30},
        {"weather/updateInterval", "2147483647", &CSettings::GetUpdateInterval, 30},
        {"weather/updateInterval", "45", &CSettings::GetUpdateInterval, 45},
        {"weather/weatherradius", "-200", &CSettings::GetWeatherRadius, 200},
        {"weather/weatherradius", "480", &CSettings::GetWeatherRadius, 480},
        {"interface/type", "simconnect", &CSettings::GetInterfaceType, 1},
        {"interface/type", "5", &CSettings::GetInterfaceType, 1},
        {"interface/type", "4", &CSettings::GetInterfaceType, 4},
        {"weather/maxVisibility", "2147483647", &CSettings::GetMaxVisibility, 200},
        {"weather/minVisibilityMetar9999", "-2147483648", &CSettings::GetMinVisibilityMetar9999, 50},
        {"weather/CavokBase", "2147483647", &CSettings::GetCavokBase, 7000},
        {"weather/modelfileSize", "1000", &CSettings::GetModelFileSize, 20},
        {"general/logfilenumber", "2147483647", &CSettings::GetLogFileNumber, 1},
        {"weather/XPUpdateTime", "-1", &CSettings::GetXPUpdateTime, 10},
        {"interface/PauseBetweenWXStation", "1e3", &CSettings::GetPauseBetweenWXStation, 200},
    };
    // Qt keeps a parsed file while its size and time stay the same: each file gets a size of its own.
    QByteArray padding;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.stored);
        CSettings::Release();
        padding += QByteArray(16, '\n');
        const QString key = QString::fromLatin1(c.key);
        const QString group = key.section('/', 0, 0);
        WriteIniText("[" + (group == "general" ? QByteArray("%General") : group.toLatin1()) + "]\n"
                     + key.section('/', 1).toLatin1() + "=" + c.stored + "\n" + padding);
        EXPECT_EQ(c.read(), c.expected);
    }

    // The port is text in the file: a number from 1 to 65535 or the default.
    for (const auto& [stored, expected] :
         {std::pair<QByteArray, QString>{"0", "17300"}, {"65536", "17300"}, {"bridge", "17300"}, {"17380", "17380"}}) {
        CSettings::Release();
        padding += QByteArray(16, '\n');
        WriteIniText("[interface]\nServerPort=" + stored + "\n" + padding);
        EXPECT_EQ(CSettings::GetServerPort(), expected) << stored.constData();
    }
}

TEST_F(SettingsRanges, AKeyOutOfRangeIsWarnedAboutOncePerRun)
{
    WriteIniText("[weather]\nnoUpdateInApproachHeight=-5\n");
    ScopedQtMessageCapture capture;
    for (int read = 0; read < 3; ++read)
        EXPECT_EQ(CSettings::GetNoUpdateInApproachHeight(), 5000);
    EXPECT_EQ(capture.Messages().filter("noUpdateInApproachHeight").size(), 1);
    EXPECT_TRUE(capture.Messages().contains(
        "(Settings) weather/noUpdateInApproachHeight=-5 is not a sensible value, 5000 is used instead"));
}
