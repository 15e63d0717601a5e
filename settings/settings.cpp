#include "settings/settings.h"

#include "platform/programfolder.h"
#include "weather/position.h"

#include <QDebug>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QSettings>
#include <QStringList>

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
    // Notes about replaced values that the program's log has not taken yet.
    QStringList heldNotes;
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
    return {OwnCopy(addresses.serverUrlDE),       OwnCopy(addresses.serverUrlUS), OwnCopy(addresses.metarVatsimUrl),
            OwnCopy(addresses.metarIvaoUrl),      OwnCopy(addresses.recorderUrl), OwnCopy(addresses.routeFinderUrl),
            OwnCopy(addresses.routeFinderAppName)};
}

template<typename T> T Convert(const QVariant& value);

template<> bool Convert<bool>(const QVariant& value)
{
    return value.toBool();
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

// The values a number key may hold: for every key the options dialog sets, exactly what the dialog offers, so
// that no stored value makes generation or the scheduler run outside what the user can choose (a radius of
// 5000 NM freezes the window for seconds); other keys narrow enough that no arithmetic on them overflows. Keys
// not listed take any number.
const QHash<QString, CSettings::NumberRange>& NumberRanges()
{
    static const QHash<QString, CSettings::NumberRange> ranges = {
        {QStringLiteral("general/logfilenumber"), {1, 1000}},
        {QStringLiteral("general/maxlogfilenumber"), {1, 1000}},
        {QStringLiteral("weather/modelfileSize"), {10, 64}},
        {QStringLiteral("weather/CavokBase"), {1000, 10000}},
        {QStringLiteral("weather/CavokCoverage"), {0, 8}},
        {QStringLiteral("weather/maxVisibility"), {50, 200}},
        {QStringLiteral("weather/minVisibilityMetar9999"), {10, 200}},
        {QStringLiteral("weather/minVisibility"), {0, 10000}},
        {QStringLiteral("weather/windDwcDegreesPerSecond"), {0, 179}},
        {QStringLiteral("weather/windDwcKnotsPerSecond"), {0, 99}},
        {QStringLiteral("weather/updateInterval"), {15, 100}},
        {QStringLiteral("weather/weatherradius"), {100, 700}},
        {QStringLiteral("weather/noUpdateInApproachHeight"), {1000, 10000}},
        {QStringLiteral("weather/XPUpdateDist"), {10, 50}},
        {QStringLiteral("weather/XPUpdateTime"), {5, 30}},
        {QStringLiteral("interface/type"), {1, 4}},
        {QStringLiteral("interface/PauseBetweenWXStation"), {0, 2000}},
    };
    return ranges;
}

// Says once per key and run that the file's value is not taken: on the console at once, and held for the
// program's log, which opens after the settings are first read.
void WarnOnce(const QString& key, const QString& value, const QString& taken)
{
    StoreLock lock(StoreMutex());
    static QSet<QString> warned;
    if (warned.contains(key))
        return;
    warned.insert(key);
    const QString note
        = QStringLiteral("(Settings) %1=%2 is not a sensible value, %3 is used instead").arg(key, value, taken);
    qDebug().noquote() << note;
    State().heldNotes.append(note);
}

// A number key: text that is no number, and a number outside the key's range, give the default.
template<> int ReadValue<int>(const QString& key, const int& defaultValue)
{
    StoreLock lock(StoreMutex());
    const QVariant stored = CSettings::Instance()->value(QtKey(key));
    if (!stored.isValid())
        return defaultValue;
    bool isNumber = false;
    const int value = stored.toInt(&isNumber);
    const auto range = NumberRanges().constFind(key);
    const bool inRange = range == NumberRanges().constEnd() || (value >= range->lowest && value <= range->highest);
    if (isNumber && inRange)
        return value;
    WarnOnce(key, stored.toString(), QString::number(defaultValue));
    return defaultValue;
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

namespace {

// The bridge's port: a number from 1 to 65535, else the default.
QString ValidPort(const QString& port, const QString& defaultPort)
{
    bool isNumber = false;
    const int value = port.trimmed().toInt(&isNumber);
    if (isNumber && value >= 1 && value <= 65535)
        return port.trimmed();
    WarnOnce(QStringLiteral("interface/ServerPort"), port, defaultPort);
    return defaultPort;
}

template<typename T> T Checked(const QString&, const T& value, const T&)
{
    return value;
}

QString Checked(const QString& key, const QString& value, const QString& defaultValue)
{
    return key == QLatin1String("interface/ServerPort") ? ValidPort(value, defaultValue) : value;
}

} // namespace

#define AEROVANE_DEFINE_SETTING(Name, Type, Key, Default)                                                              \
    Type CSettings::Get##Name()                                                                                        \
    {                                                                                                                  \
        return Checked(QStringLiteral(Key), ReadValue<Type>(QStringLiteral(Key), Type(Default)), Type(Default));       \
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

std::optional<CSettings::NumberRange> CSettings::GetNumberRange(const QString& key)
{
    const auto range = NumberRanges().constFind(key);
    return range == NumberRanges().constEnd() ? std::nullopt : std::optional<NumberRange>(*range);
}

QStringList CSettings::TakeHeldNotes()
{
    StoreLock lock(StoreMutex());
    QStringList notes;
    notes.swap(State().heldNotes);
    for (QString& note : notes)
        note = OwnCopy(note);
    return notes;
}

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
