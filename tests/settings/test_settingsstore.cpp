// The settings object's life, the values held in memory only, and the two cabin sound records.
#include "settingstestsupport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QSoundEffect>
#include <QUrl>

namespace {

using SettingsStore = SettingsTest;

TEST_F(SettingsStore, AnnouncesTheFileOnFirstUseAndAgainAfterRelease)
{
    ScopedQtMessageCapture capture;
    const QString announcement = QStringLiteral("Expecting settings at ")
        + QDir(m_dir.path()).absoluteFilePath(QStringLiteral("aerovane_pro.ini"));

    CSettings::GetInterfaceType();
    CSettings::GetFSMessage();
    EXPECT_EQ(capture.Messages(), QStringList{announcement});

    CSettings::Release();
    CSettings::Release();
    CSettings::GetWeatherRadius();
    EXPECT_EQ(capture.Messages(), (QStringList{announcement, announcement}));
}

TEST_F(SettingsStore, EventLoopOrReleaseWritesPendingChangesAndALaterAccessorOpensTheFileAgain)
{
    CSettings::SetPathToXPlane(QStringLiteral("/home/pilot/X-Plane 11"));
    QCoreApplication::processEvents();
    EXPECT_EQ(KeysInIniFile(), QStringList{QStringLiteral("interface/PathToXPlane")});

    CSettings::SetServerPort(QStringLiteral("17500"));
    CSettings::Release();
    EXPECT_TRUE(KeysInIniFile().contains(QStringLiteral("interface/ServerPort")));
    EXPECT_EQ(CSettings::GetServerPort(), QStringLiteral("17500"));
}

// The file holds the recorder's password hash: the first write makes it readable by its owner only, whether the
// write creates it or finds it readable by everyone.
TEST_F(SettingsStore, FirstWriteRestrictsTheFileToItsOwner)
{
    const QFileDevice::Permissions others
        = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    for (const bool existed : {false, true}) {
        if (existed) {
            WriteIniText("[weather]\nweatherradius=300\n");
            ASSERT_TRUE(QFile::setPermissions(IniPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | others));
        }
        CSettings::SetServerPort(QStringLiteral("17500"));
        CSettings::Release();
        EXPECT_EQ(QFileInfo(IniPath()).permissions() & others, QFileDevice::Permissions()) << existed;
        EXPECT_EQ(CSettings::GetServerPort(), QStringLiteral("17500")) << existed;
        CSettings::Release();
    }
}

TEST_F(SettingsStore, InMemoryValuesStartAsShippedAndAreNeverWritten)
{
    EXPECT_EQ(CSettings::GetFSVersion(), 0);
    EXPECT_EQ(CSettings::GetClientVersion(), QStringLiteral("2.01.0328"));
    EXPECT_EQ(CSettings::GetWeatherServerVersion(), QStringLiteral("2.00.0001"));

    CSettings::SetFSVersion(3);
    CSettings::SetClientVersion(QStringLiteral("2.01.0411"));
    CSettings::SetWeatherServerVersion(QStringLiteral("2.00.0007"));
    CSettings::Release();

    EXPECT_EQ(CSettings::GetFSVersion(), 3);
    EXPECT_EQ(CSettings::GetClientVersion(), QStringLiteral("2.01.0411"));
    EXPECT_EQ(CSettings::GetWeatherServerVersion(), QStringLiteral("2.00.0007"));
    CSettings::Release();
    EXPECT_TRUE(FilesInWorkingDir().isEmpty());
}

TEST_F(SettingsStore, SoundRecordsReadDisabledWhenAbsentAndRoundTripWithoutTheLoopFlag)
{
    SKIP_SOUND_EFFECTS_UNDER_THREAD_SANITIZER();
    const SoundSetting absent = CSettings::GetAirportAmbientSound();
    EXPECT_FALSE(absent.IsEnabled());
    EXPECT_TRUE(absent.GetFileName().isEmpty());
    EXPECT_EQ(absent.GetMinWeight(), 0);
    EXPECT_TRUE(absent.GetSoundEffect()->source().isEmpty());

    const QString ambientFile = m_dir.filePath(QStringLiteral("sounds/airport ambience.wav"));
    const SoundSetting looping(ambientFile, 41000, true, true);
    const SoundSetting copy = looping;
    EXPECT_EQ(looping.GetSoundEffect()->loopCount(), static_cast<int>(QSoundEffect::Infinite));
    EXPECT_EQ(copy.GetSoundEffect(), looping.GetSoundEffect()) << "a copy made before the effect shares it";
    CSettings::SetAirportAmbientSound(looping);
    CSettings::SetBoardingSound(SoundSetting(QStringLiteral("/opt/sounds/boarding.wav"), 2500, false, false));
    CSettings::Release();

    QStringList keys = KeysInIniFile();
    keys.sort();
    EXPECT_EQ(
        keys,
        (QStringList{QStringLiteral("sounds/airportambient_filename"), QStringLiteral("sounds/airportambient_isenable"),
                     QStringLiteral("sounds/airportambient_minweight"), QStringLiteral("sounds/boarding_filename"),
                     QStringLiteral("sounds/boarding_isenable"), QStringLiteral("sounds/boarding_minweight")}))
        << "the loop flag is not stored";

    const SoundSetting ambient = CSettings::GetAirportAmbientSound();
    EXPECT_TRUE(ambient.IsEnabled());
    EXPECT_EQ(ambient.GetFileName(), ambientFile);
    EXPECT_EQ(ambient.GetMinWeight(), 41000);
    EXPECT_FALSE(ambient.IsLoop());
    EXPECT_EQ(ambient.GetSoundEffect()->loopCount(), 1);
    EXPECT_EQ(ambient.GetSoundEffect()->source(), QUrl::fromLocalFile(ambientFile));
    EXPECT_FALSE(ambient.GetSoundEffect()->isPlaying());

    const SoundSetting boarding = CSettings::GetBoardingSound();
    EXPECT_FALSE(boarding.IsEnabled());
    EXPECT_EQ(boarding.GetFileName(), QStringLiteral("/opt/sounds/boarding.wav"));
    EXPECT_EQ(boarding.GetMinWeight(), 2500);
}

} // namespace
