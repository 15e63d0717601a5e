#include "settings/settings.h"

#include "platform/programfolder.h"
#include "weather/position.h"

#include <QDebug>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QSettings>

#include <mutex>

namespace {

// One lock for the settings object, its creation and deletion, and the in-memory values. It is recursive so
// that composite accessors (the METAR feed's read and write-back) run as one step.
std::recursive_mutex& StoreMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

using StoreLock = std::lock_guard<std::recursive_mutex>;

const QString kSettingsFileName = QStringLiteral("aerovane_pro.ini");

// The file holds the recorder hash, so only its owner may read it: an existing file is narrowed when the store
// opens it, and a missing one is created owner-only before the first value is written (reading alone creates no
// file). Qt saves the settings through a new file that takes the old one's permissions, so the mode stays.
void RestrictToOwner(const QString& path, bool createMissing)
{
    QFile file(path);
    if (!file.exists()) {
        if (!createMissing)
            return;
        if (!file.open(QIODevice::WriteOnly)) {
            qDebug().noquote() << "Cannot create the settings file" << path << ":" << file.errorString();
            return;
        }
        file.close();
    }
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        qDebug().noquote() << "Cannot restrict the settings file" << path << "to its owner:" << file.errorString();
}

// QSettings writes its pending changes from a deferred event in the thread that created it; that write takes
// the store's lock too, so it cannot overlap an accessor called from the other thread.
class LockedSettings : public QSettings
{
public:
    LockedSettings()
        : QSettings(kSettingsFileName, QSettings::IniFormat)
    {
    }

protected:
    bool event(QEvent* event) override
    {
        StoreLock lock(StoreMutex());
        return QSettings::event(event);
    }
};

struct StoreState
{
    QSettings* settings = nullptr;
    // Whether the file was made owner-only since the settings object was created.
    bool fileRestricted = false;
    int fsVersion = 0;
    QString clientVersion = QStringLiteral("2.01.0328");
    QString weatherServerVersion = QStringLiteral("2.00.0001");
    ServerAddresses addresses = ServerAddresses::BuiltIn();
};

// Only touched with the store's lock held.
StoreState& State()
{
    static StoreState state;
    return state;
}

// Texts leave the lock as copies with buffers of their own, so that no caller's copy shares a buffer (and its
// reference count) with the settings object's cache or with another thread. Qt's sharing is thread-safe, but
// its counting happens inside Qt where ThreadSanitizer cannot follow it.
QString OwnCopy(const QString& text)
{
    return text.isNull() ? QString() : QString(text.constData(), text.size());
}

QByteArray OwnCopy(const QByteArray& bytes)
{
    return bytes.isNull() ? QByteArray() : QByteArray(bytes.constData(), bytes.size());
}

ServerAddresses OwnCopy(const ServerAddresses& addresses)
{
    return {OwnCopy(addresses.serverUrlDE), OwnCopy(addresses.serverUrlUS), OwnCopy(addresses.metarVatsimUrl),
            OwnCopy(addresses.metarIvaoUrl), OwnCopy(addresses.recorderUrl)};
}

template<typename T> T Convert(const QVariant& value);

template<> bool Convert<bool>(const QVariant& value)
{
    return value.toBool();
}

template<> int Convert<int>(const QVariant& value)
{
    return value.toInt();
}

template<> QString Convert<QString>(const QVariant& value)
{
    return OwnCopy(value.toString());
}

template<> QRect Convert<QRect>(const QVariant& value)
{
    return value.toRect();
}

template<> QByteArray Convert<QByteArray>(const QVariant& value)
{
    return OwnCopy(value.toByteArray());
}

// Qt's INI format writes the group "general" as the section [%General] and reads that section back as the
// group "General". Keys are case-sensitive here, so the store asks for the spelling Qt reads back; otherwise
// every general/ key written by one run would read as its default in the next.
QString QtKey(const QString& key)
{
    static const QString general = QStringLiteral("general/");
    return key.startsWith(general) ? QStringLiteral("General/") + key.mid(general.size()) : key;
}

template<typename T> T ReadValue(const QString& key, const T& defaultValue)
{
    StoreLock lock(StoreMutex());
    return Convert<T>(CSettings::Instance()->value(QtKey(key), QVariant::fromValue(defaultValue)));
}

template<typename T> void WriteValue(const QString& key, const T& value)
{
    StoreLock lock(StoreMutex());
    QSettings* settings = CSettings::Instance();
    if (!State().fileRestricted) {
        RestrictToOwner(settings->fileName(), true);
        State().fileRestricted = true;
    }
    settings->setValue(QtKey(key), QVariant::fromValue(value));
}

// A sound record is kept as the three keys <prefix>_isenable, <prefix>_filename and <prefix>_minweight.
SoundSetting ReadSound(const QString& prefix)
{
    bool enabled;
    QString fileName;
    int minWeight;
    {
        StoreLock lock(StoreMutex());
        enabled = ReadValue<bool>(prefix + QStringLiteral("_isenable"), false);
        fileName = ReadValue<QString>(prefix + QStringLiteral("_filename"), QString());
        minWeight = ReadValue<int>(prefix + QStringLiteral("_minweight"), 0);
    }
    return SoundSetting(fileName, minWeight, enabled, false);
}

void WriteSound(const QString& prefix, const SoundSetting& sound)
{
    StoreLock lock(StoreMutex());
    WriteValue(prefix + QStringLiteral("_isenable"), sound.IsEnabled());
    WriteValue(prefix + QStringLiteral("_filename"), sound.GetFileName());
    WriteValue(prefix + QStringLiteral("_minweight"), sound.GetMinWeight());
}

// The stored address of a METAR feed, or `defaultUrl` while there is none, written back to its key. Qt reads
// an address typed into the file with an unquoted comma (".../metar.php?id=EDDF,EGLL") as a list of texts,
// which converts to an empty text; the list is joined again so that the write-back keeps the address.
QString ReadAndKeepFeedUrl(const QString& key, const QString& defaultUrl)
{
    StoreLock lock(StoreMutex());
    const QVariant stored = CSettings::Instance()->value(QtKey(key), defaultUrl);
    const QString url = stored.userType() == QMetaType::QStringList
        ? OwnCopy(stored.toStringList().join(QLatin1Char(',')))
        : Convert<QString>(stored);
    WriteValue(key, url);
    return url;
}

} // namespace

QSettings* CSettings::Instance()
{
    StoreLock lock(StoreMutex());
    StoreState& state = State();
    if (!state.settings) {
        RestrictToOwner(kSettingsFileName, false);
        state.settings = new LockedSettings;
        qDebug().noquote() << "Expecting settings at" << state.settings->fileName();
    }
    return state.settings;
}

void CSettings::Release()
{
    StoreLock lock(StoreMutex());
    StoreState& state = State();
    delete state.settings;
    state.settings = nullptr;
    state.fileRestricted = false;
}

#define AEROVANE_DEFINE_SETTING(Name, Type, Key, Default)                                                              \
    Type CSettings::Get##Name()                                                                                        \
    {                                                                                                                  \
        return ReadValue<Type>(QStringLiteral(Key), Type(Default));                                                    \
    }                                                                                                                  \
    void CSettings::Set##Name(SettingArg<Type> value)                                                                  \
    {                                                                                                                  \
        WriteValue<Type>(QStringLiteral(Key), value);                                                                  \
    }
AEROVANE_STORED_SETTINGS(AEROVANE_DEFINE_SETTING)
#undef AEROVANE_DEFINE_SETTING

#define AEROVANE_DEFINE_READ_ONLY_SETTING(Name, Type, Key, Default)                                                    \
    Type CSettings::Get##Name()                                                                                        \
    {                                                                                                                  \
        return ReadValue<Type>(QStringLiteral(Key), Type(Default));                                                    \
    }
AEROVANE_READ_ONLY_SETTINGS(AEROVANE_DEFINE_READ_ONLY_SETTING)
#undef AEROVANE_DEFINE_READ_ONLY_SETTING

int CSettings::GetFSVersion()
{
    StoreLock lock(StoreMutex());
    return State().fsVersion;
}

void CSettings::SetFSVersion(int version)
{
    StoreLock lock(StoreMutex());
    State().fsVersion = version;
}

QString CSettings::GetClientVersion()
{
    StoreLock lock(StoreMutex());
    return OwnCopy(State().clientVersion);
}

void CSettings::SetClientVersion(const QString& version)
{
    const QString copy = OwnCopy(version);
    StoreLock lock(StoreMutex());
    State().clientVersion = copy;
}

QString CSettings::GetWeatherServerVersion()
{
    StoreLock lock(StoreMutex());
    return OwnCopy(State().weatherServerVersion);
}

void CSettings::SetWeatherServerVersion(const QString& version)
{
    const QString copy = OwnCopy(version);
    StoreLock lock(StoreMutex());
    State().weatherServerVersion = copy;
}

SoundSetting CSettings::GetAirportAmbientSound()
{
    return ReadSound(QStringLiteral("sounds/airportambient"));
}

void CSettings::SetAirportAmbientSound(const SoundSetting& sound)
{
    WriteSound(QStringLiteral("sounds/airportambient"), sound);
}

SoundSetting CSettings::GetBoardingSound()
{
    return ReadSound(QStringLiteral("sounds/boarding"));
}

void CSettings::SetBoardingSound(const SoundSetting& sound)
{
    WriteSound(QStringLiteral("sounds/boarding"), sound);
}

QString CSettings::GetServerUrl()
{
    StoreLock lock(StoreMutex());
    const ServerAddresses& addresses = State().addresses;
    return OwnCopy(GetServerLocation() == 0 ? addresses.serverUrlDE : addresses.serverUrlUS);
}

QString CSettings::GetServerUrlDE()
{
    StoreLock lock(StoreMutex());
    return OwnCopy(State().addresses.serverUrlDE);
}

QString CSettings::GetMetarFeedUrl()
{
    StoreLock lock(StoreMutex());
    switch (GetMetarFeed()) {
    case 1:
        return ReadAndKeepFeedUrl(QStringLiteral("weather/metar_vatsim"), State().addresses.metarVatsimUrl);
    case 2:
        return ReadAndKeepFeedUrl(QStringLiteral("weather/metar_ivao"), State().addresses.metarIvaoUrl);
    default:
        return ReadAndKeepFeedUrl(QStringLiteral("weather/metar_noaa"),
                                  GetServerUrl() + QStringLiteral("/metar_noaa.txt"));
    }
}

QString CSettings::GetSynopUrl()
{
    return GetServerUrl() + QStringLiteral("/synop.txt");
}

QString CSettings::GetSynopBBXXUrl()
{
    return GetServerUrl() + QStringLiteral("/synop_BBXX.txt");
}

QString CSettings::GetTafUrl()
{
    return GetServerUrl() + QStringLiteral("/taf.txt");
}

QString CSettings::GetGribRequestPath(const aviation::Position& position, unsigned char mode)
{
    // Qt formats the numbers itself with "." as the decimal separator, whatever the process locale.
    return QString::asprintf("/get_grib_v2.php?lat=%.02f&lon=%.02f&mode=%s&key=%s", position.GetLatitude(),
                             position.GetLongitude(), mode == 1 ? "single" : "multi", "64093");
}

QString CSettings::GetRecorderUrl()
{
    StoreLock lock(StoreMutex());
    return OwnCopy(State().addresses.recorderUrl);
}

QString CSettings::GetFlightsFolder()
{
    return platform::ProgramFolder() + QDir::separator() + QStringLiteral("flights");
}

ServerAddresses CSettings::GetServerAddresses()
{
    StoreLock lock(StoreMutex());
    return OwnCopy(State().addresses);
}

void CSettings::SetServerAddresses(const ServerAddresses& addresses)
{
    const ServerAddresses copy = OwnCopy(addresses);
    StoreLock lock(StoreMutex());
    State().addresses = copy;
}
