#include "loadeditor/aircraftprofile.h"

#include "platform/filename.h"
#include "platform/programfolder.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <algorithm>

namespace {

using aviation::structs::CAircraftDetail;

CAircraftDetail& CurrentAircraft()
{
    static CAircraftDetail current;
    return current;
}

struct SpeedField
{
    const char* key;
    int CAircraftDetail::*field;
    NumberRange range;
};

// The speeds, altitudes and rates of the group "Speeds", in the order they are written.
constexpr SpeedField kSpeedFields[] = {
    {"CruiseAlt", &CAircraftDetail::CruiseAlt, ProfileRange::kAltitude},
    {"cruiseSpeed", &CAircraftDetail::cruiseSpeed, ProfileRange::kSpeed},
    {"maxAlt", &CAircraftDetail::maxAlt, ProfileRange::kAltitude},
    {"ClimbSpeed5000", &CAircraftDetail::ClimbSpeed5000, ProfileRange::kSpeed},
    {"ClimbRate5000", &CAircraftDetail::ClimbRate5000, ProfileRange::kRate},
    {"ClimbSpeed10000", &CAircraftDetail::ClimbSpeed10000, ProfileRange::kSpeed},
    {"ClimbRate10000", &CAircraftDetail::ClimbRate10000, ProfileRange::kRate},
    {"ClimbSpeed20000", &CAircraftDetail::ClimbSpeed20000, ProfileRange::kSpeed},
    {"ClimbRate20000", &CAircraftDetail::ClimbRate20000, ProfileRange::kRate},
    {"ClimbSpeed30000", &CAircraftDetail::ClimbSpeed30000, ProfileRange::kSpeed},
    {"ClimbRate30000", &CAircraftDetail::ClimbRate30000, ProfileRange::kRate},
    {"DescentSpeed", &CAircraftDetail::DescentSpeed, ProfileRange::kSpeed},
    {"DescentRate", &CAircraftDetail::DescentRate, ProfileRange::kRate},
};

// The writer stores "Name", "Type", "Code" and "Airline"; files written by hand spell them in lower case.
QString StoredKey(const QSettings& file, const QString& key)
{
    const QStringList keys = file.childKeys();
    for (const QString& stored : keys) {
        if (stored.compare(key, Qt::CaseInsensitive) == 0)
            return stored;
    }
    return QString();
}

std::wstring ReadText(const QSettings& file, const QString& key)
{
    const QString stored = StoredKey(file, key);
    return stored.isEmpty() ? std::wstring() : file.value(stored).toString().toStdWString();
}

// Qt reads "nan" and "inf" as numbers: a figure that is no number of its range ("-50", "1e9", "nan") is none.
float ReadFloat(const QSettings& file, const QString& key, const NumberRange& range)
{
    bool ok = false;
    const double value = file.value(key).toDouble(&ok);
    return ok && value >= range.lowest && value <= range.highest ? static_cast<float>(value) : 0.0f;
}

int ReadInt(const QSettings& file, const QString& key, const NumberRange& range)
{
    bool ok = false;
    const int value = file.value(key).toInt(&ok);
    return ok && value >= range.lowest && value <= range.highest ? value : 0;
}

} // namespace

QString AircraftConfigFolder()
{
    return platform::ProgramFolder() + QStringLiteral("/AircraftConfigs");
}

QString AircraftProfilePath(const QString& aircraftName)
{
    QString fileName = platform::SafeFileName(aircraftName);
    if (!fileName.contains(QLatin1String(".cfg")))
        fileName += QStringLiteral(".cfg");
    return AircraftConfigFolder() + QLatin1Char('/') + fileName;
}

bool LoadAircraftProfile(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return false;
    // Reading only moves the reader's position (groups, array entries); the file is never written.
    QSettings file(path, QSettings::IniFormat);
    if (StoredKey(file, QStringLiteral("name")).isEmpty() && !file.childGroups().contains(QLatin1String("Weights")))
        return false;
    CAircraftDetail& profile = CurrentAircraft();

    profile.name = ReadText(file, QStringLiteral("name"));
    profile.type = ReadText(file, QStringLiteral("type"));
    profile.code = ReadText(file, QStringLiteral("code"));
    profile.airline = ReadText(file, QStringLiteral("airline"));
    profile.Registration = ReadText(file, QStringLiteral("Registration"));
    profile.PaxAsWeight = file.value(QStringLiteral("PaxAsWeight"), true).toBool();
    profile.PaxAsPassenger = file.value(QStringLiteral("PaxAsPassenger"), false).toBool();

    file.beginGroup(QStringLiteral("Weights"));
    profile.EmptyWeight = ReadFloat(file, QStringLiteral("EmptyWeight"), ProfileRange::kWeight);
    profile.maxTakeOffWeight = ReadFloat(file, QStringLiteral("maxTakeOffWeight"), ProfileRange::kWeight);
    profile.maxLandingWeight = ReadFloat(file, QStringLiteral("maxLandingWeight"), ProfileRange::kWeight);
    profile.maxRampWeight = ReadFloat(file, QStringLiteral("maxRampWeight"), ProfileRange::kWeight);
    file.endGroup();

    profile.payload = aviation::structs::CAircraftPayload();
    const int stations = std::min(file.beginReadArray(QStringLiteral("Payload")), kMaxProfileStations);
    for (int i = 0; i < stations; ++i) {
        file.setArrayIndex(i);
        profile.payload.AddStation({file.value(QStringLiteral("Name")).toString().toStdWString(), 0.0f,
                                    ReadFloat(file, QStringLiteral("maxWeight"), ProfileRange::kWeight),
                                    file.value(QStringLiteral("Type")).toInt()});
    }
    file.endArray();

    file.beginGroup(QStringLiteral("Fuel"));
    profile.FuelFlow = ReadFloat(file, QStringLiteral("FuelFlow"), ProfileRange::kFuelFlow);
    profile.ExtraFuel = ReadFloat(file, QStringLiteral("ExtraFuel"), ProfileRange::kWeight);
    profile.TaxiFuel = ReadFloat(file, QStringLiteral("TaxiFuel"), ProfileRange::kWeight);
    profile.HoldingFuel = ReadFloat(file, QStringLiteral("HoldingFuel"), ProfileRange::kWeight);
    file.endGroup();

    file.beginGroup(QStringLiteral("Speeds"));
    for (const SpeedField& speed : kSpeedFields)
        profile.*speed.field = ReadInt(file, QLatin1String(speed.key), speed.range);
    file.endGroup();
    return true;
}

bool SaveAircraftProfile(const QString& path)
{
    QSettings file(path, QSettings::IniFormat);
    const CAircraftDetail& profile = CurrentAircraft();

    file.setValue(QStringLiteral("UnitWeight"), QStringLiteral("lbs"));
    file.setValue(QStringLiteral("UnitVolume"), QStringLiteral("gal"));
    file.setValue(QStringLiteral("Name"), QString::fromStdWString(profile.name));
    file.setValue(QStringLiteral("Type"), QString::fromStdWString(profile.type));
    file.setValue(QStringLiteral("Code"), QString::fromStdWString(profile.code));
    file.setValue(QStringLiteral("Airline"), QString::fromStdWString(profile.airline));
    file.setValue(QStringLiteral("Registration"), QString::fromStdWString(profile.Registration));
    file.setValue(QStringLiteral("PaxAsWeight"), profile.PaxAsWeight);
    file.setValue(QStringLiteral("PaxAsPassenger"), profile.PaxAsPassenger);

    file.beginGroup(QStringLiteral("Weights"));
    file.setValue(QStringLiteral("EmptyWeight"), QVariant(profile.EmptyWeight));
    file.setValue(QStringLiteral("maxTakeOffWeight"), QVariant(profile.maxTakeOffWeight));
    file.setValue(QStringLiteral("maxLandingWeight"), QVariant(profile.maxLandingWeight));
    file.setValue(QStringLiteral("maxRampWeight"), QVariant(profile.maxRampWeight));
    file.endGroup();

    // Stations of an earlier, longer list must not stay behind.
    file.remove(QStringLiteral("Payload"));
    const std::vector<aviation::structs::CAircraftPayloadStation>& stations = profile.payload.stations;
    file.beginWriteArray(QStringLiteral("Payload"), static_cast<int>(stations.size()));
    for (std::size_t i = 0; i < stations.size(); ++i) {
        file.setArrayIndex(static_cast<int>(i));
        file.setValue(QStringLiteral("Name"), QString::fromStdWString(stations[i].name));
        file.setValue(QStringLiteral("maxWeight"), QVariant(stations[i].maxWeight));
        file.setValue(QStringLiteral("Type"), stations[i].type);
    }
    file.endArray();

    file.beginGroup(QStringLiteral("Fuel"));
    file.setValue(QStringLiteral("FuelFlow"), QVariant(profile.FuelFlow));
    file.setValue(QStringLiteral("ExtraFuel"), QVariant(profile.ExtraFuel));
    file.setValue(QStringLiteral("TaxiFuel"), QVariant(profile.TaxiFuel));
    file.setValue(QStringLiteral("HoldingFuel"), QVariant(profile.HoldingFuel));
    file.endGroup();

    file.beginGroup(QStringLiteral("Speeds"));
    for (const SpeedField& speed : kSpeedFields)
        file.setValue(QLatin1String(speed.key), profile.*speed.field);
    file.endGroup();

    file.sync();
    if (file.status() != QSettings::NoError)
        return false;
    // A copy: a receiver may change the current profile.
    const CAircraftDetail saved = profile;
    emit CAircraftProfileSaves::Instance().sigSaved(path, saved);
    return true;
}

aviation::structs::CAircraftDetail GetCurrentAircraft()
{
    return CurrentAircraft();
}

void SetCurrentAircraft(const aviation::structs::CAircraftDetail& aircraft)
{
    CurrentAircraft() = aircraft;
}

CAircraftProfileSaves& CAircraftProfileSaves::Instance()
{
    static CAircraftProfileSaves saves;
    return saves;
}
