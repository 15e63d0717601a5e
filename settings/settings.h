// The program's settings: the INI file "aerovane_pro.ini" in the working directory with one typed getter and
// setter per key, a few values held in memory only, and the download addresses built from the settings.
#pragma once

#include "settings/serveraddresses.h"
#include "settings/settingskeys.h"
#include "settings/soundsetting.h"

#include <QString>

#include <optional>
#include <type_traits>

class QSettings;
class QStringList;

namespace aviation {
class Position;
}

// Setters take small values by value and Qt values by constant reference.
template<typename T> using SettingArg = std::conditional_t<std::is_scalar_v<T>, T, const T&>;

// Every member is safe to call from any thread: the GUI thread and the simulator connection's worker share
// one settings object and one set of in-memory values behind one lock. Getters ask the file at every call
// and return the key's default while it is absent; a default is never written.
class CSettings
{
public:
    CSettings() = delete;

    // The settings object, created (and announced on the debug channel) on first use. The accessors below hold
    // the store's lock around every use of it; code that uses the object directly must not race with them, and
    // finds the keys of the group "general" under "General/", the spelling Qt's INI format reads back.
    static QSettings* Instance();
    // Writes pending changes and deletes the settings object; without one it does nothing.
    static void Release();

#define AEROVANE_DECLARE_SETTING(Name, Type, Key, Default)                                                             \
    static Type Get##Name();                                                                                           \
    static void Set##Name(SettingArg<Type> value);
    AEROVANE_STORED_SETTINGS(AEROVANE_DECLARE_SETTING)
#undef AEROVANE_DECLARE_SETTING

#define AEROVANE_DECLARE_READ_ONLY_SETTING(Name, Type, Key, Default) static Type Get##Name();
    AEROVANE_READ_ONLY_SETTINGS(AEROVANE_DECLARE_READ_ONLY_SETTING)
#undef AEROVANE_DECLARE_READ_ONLY_SETTING

    // The lowest and highest value a number key takes; a stored value outside reads as the key's default.
    struct NumberRange
    {
        int lowest;
        int highest;
    };
    // The range of `key` ("weather/weatherradius"), or none when the key takes any number.
    static std::optional<NumberRange> GetNumberRange(const QString& key);

    // The lines "(Settings) <key>=<value> is not a sensible value, <n> is used instead" said since the last
    // call, for the program's log: the settings are read before the log opens.
    static QStringList TakeHeldNotes();

    // Held in memory only, never in the file. The simulator version code: 0 none yet, 1 FS2002, 2 FS2004,
    // 3 FSX, 4 Prepar3D, 9 X-Plane 9, 10 X-Plane 10.
    static int GetFSVersion();
    static void SetFSVersion(int version);
    static QString GetClientVersion();
    static void SetClientVersion(const QString& version);
    static QString GetWeatherServerVersion();
    static void SetWeatherServerVersion(const QString& version);

    // The weather download always fetches the one combined weather file.
    static bool GetCombinedWeatherDownload()
    {
        return true;
    }
    static bool IsReleaseCandidate()
    {
        return false;
    }

    static bool GetUnitsKg()
    {
        return !GetUnitsLbs();
    }
    static bool GetUnitsLiter()
    {
        return !GetUnitsGallon();
    }

    // The two cabin sounds, kept as three keys each; the loop flag is not stored and reads as false.
    static SoundSetting GetAirportAmbientSound();
    static void SetAirportAmbientSound(const SoundSetting& sound);
    static SoundSetting GetBoardingSound();
    static void SetBoardingSound(const SoundSetting& sound);

    // Weather server base (scheme and host, no trailing slash): the first location for
    // weather/ServerLocation 0, the second for any other value.
    static QString GetServerUrl();
    // The first location's base, whatever weather/ServerLocation holds.
    static QString GetServerUrlDE();
    // The METAR feed chosen by weather/metarfeed (1 VATSIM, 2 IVAO, else the weather server's file). The
    // address read is written back, so from the first call on the stored address is used as it stands.
    static QString GetMetarFeedUrl();
    static QString GetSynopUrl();
    static QString GetSynopBBXXUrl();
    static QString GetTafUrl();
    // Grid service request path for the caller to append to GetServerUrl(): mode 1 asks for the one point,
    // any other value for the area around it.
    static QString GetGribRequestPath(const aviation::Position& position, unsigned char mode);
    // Base of the flight recorder's web service, no trailing slash.
    static QString GetRecorderUrl();
    // "flights" in the program's folder; not created here.
    static QString GetFlightsFolder();

    // The deployment's server and feed addresses; tests point them at a loopback server.
    static ServerAddresses GetServerAddresses();
    static void SetServerAddresses(const ServerAddresses& addresses);
};
