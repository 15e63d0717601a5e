// Text, zero and the extremes of an int in number keys that meet arithmetic or choose a link read as the key's
// default, with one log line per key.
#include "settings/settingskeys.h"
#include "settingstestsupport.h"

#include <QDateTime>
#include <QFile>

#include <tuple>
#include <vector>

using SettingsRanges = SettingsTest;

namespace {

struct NumberKey
{
    QString key;
    int (*read)();
    int fallback;
};

void AddNumberKey(std::vector<NumberKey>& keys, const char* key, int (*read)(), int fallback)
{
    keys.push_back({QString::fromLatin1(key), read, fallback});
}

// Keys of other types have no range.
template<typename T, typename D> void AddNumberKey(std::vector<NumberKey>&, const char*, T (*)(), const D&) { }

} // namespace

TEST_F(SettingsRanges, NumbersThatAreNoNumberOrOutOfRangeReadAsTheDefaultWithOneLogLine)
{
    // weather key, text stored, getter, value read
    const std::tuple<const char*, const char*, int (*)(), int> cases[] = {
        {"updateInterval", "0", &CSettings::GetUpdateInterval, 30},
        {"weatherradius", "5000", &CSettings::GetWeatherRadius, 200},
        {"maxVisibility", "2147483647", &CSettings::GetMaxVisibility, 200},
        {"minVisibilityMetar9999", "-2147483648", &CSettings::GetMinVisibilityMetar9999, 50},
        {"CavokBase", "2147483647", &CSettings::GetCavokBase, 7000},
        {"modelfileSize", "1000", &CSettings::GetModelFileSize, 20},
        {"XPUpdateTime", "-1", &CSettings::GetXPUpdateTime, 10},
        {"XPUpdateDist", "45", &CSettings::GetXPUpdateDist, 45},
    };
    QByteArray ini = "[%General]\nlogfilenumber=2147483647\n[weather]\n";
    for (const auto& [key, stored, read, expected] : cases)
        ini += QByteArray(key) + '=' + stored + '\n';
    WriteIniText(ini + "[interface]\ntype=simconnect\nServerPort=65536\nPauseBetweenWXStation=1e3\n");
    ScopedQtMessageCapture capture;

    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& [key, stored, read, expected] : cases)
            EXPECT_EQ(read(), expected) << key;
        EXPECT_EQ(CSettings::GetLogFileNumber(), 1);
        EXPECT_EQ(CSettings::GetInterfaceType(), 1);
        EXPECT_EQ(CSettings::GetServerPort(), QStringLiteral("17300"));
        EXPECT_EQ(CSettings::GetPauseBetweenWXStation(), 200);
    }
    EXPECT_EQ(capture.Messages().filter("is not a sensible value").size(), 11);
    const QString note = "(Settings) interface/type=simconnect is not a sensible value, 1 is used instead";
    EXPECT_TRUE(capture.Messages().contains(note));
    // Held for the program's log, which opens later, and handed over once.
    EXPECT_TRUE(CSettings::TakeHeldNotes().contains(note));
    EXPECT_TRUE(CSettings::TakeHeldNotes().isEmpty());
}

// Every ranged key reads both ends of its range as stored and one past either end as its default.
TEST_F(SettingsRanges, EachRangedKeyTakesBothEndsOfItsRangeAndNothingBeyond)
{
    std::vector<NumberKey> keys;
#define AEROVANE_ADD_NUMBER_KEY(Name, Type, Key, Default) AddNumberKey(keys, Key, &CSettings::Get##Name, Default);
    AEROVANE_STORED_SETTINGS(AEROVANE_ADD_NUMBER_KEY)
#undef AEROVANE_ADD_NUMBER_KEY
    int ranged = 0;
    QDateTime written = QDateTime::currentDateTime();
    for (const NumberKey& number : keys) {
        const std::optional<CSettings::NumberRange> range = CSettings::GetNumberRange(number.key);
        if (!range)
            continue;
        ++ranged;
        const QString group = number.key.section('/', 0, 0);
        const std::pair<int, int> cases[] = {{range->lowest, range->lowest},
                                             {range->highest, range->highest},
                                             {range->lowest - 1, number.fallback},
                                             {range->highest + 1, number.fallback}};
        for (const auto& [stored, read] : cases) {
            CSettings::Release();
            WriteIniText(QStringLiteral("[%1]\n%2=%3\n")
                             .arg(group == "general" ? "%General" : group, number.key.section('/', 1))
                             .arg(stored)
                             .toLatin1());
            // Qt takes a file of the same size and time for the one it has read.
            written = written.addSecs(1);
            QFile ini(IniPath());
            ASSERT_TRUE(ini.open(QIODevice::ReadWrite) && ini.setFileTime(written, QFileDevice::FileModificationTime));
            EXPECT_EQ(number.read(), read) << number.key.toStdString() << "=" << stored;
        }
    }
    EXPECT_EQ(ranged, 17);
}
