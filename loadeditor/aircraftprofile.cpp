#include "loadeditor/aircraftprofile.h"

#include "platform/filename.h"
#include "platform/programfolder.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

using aviation::structs::CAircraftDetail;

CAircraftDetail& CurrentAircraft()
{
    static CAircraftDetail current;
    return current;
}

// The speeds, altitudes and rates of the group "Speeds", in the order they are written.
constexpr std::pair<const char*, int CAircraftDetail::*> kSpeedFields[] = {
    {"CruiseAlt", &CAircraftDetail::CruiseAlt},
    {"cruiseSpeed", &CAircraftDetail::cruiseSpeed},
    {"maxAlt", &CAircraftDetail::maxAlt},
    {"ClimbSpeed5000", &CAircraftDetail::ClimbSpeed5000},
    {"ClimbRate5000", &CAircraftDetail::ClimbRate5000},
    {"ClimbSpeed10000", &CAircraftDetail::ClimbSpeed10000},
    {"ClimbRate10000", &CAircraftDetail::ClimbRate10000},
    {"ClimbSpeed20000", &CAircraftDetail::ClimbSpeed20000},
    {"ClimbRate20000", &CAircraftDetail::ClimbRate20000},
    {"ClimbSpeed30000", &CAircraftDetail::ClimbSpeed30000},
    {"ClimbRate30000", &CAircraftDetail::ClimbRate30000},
    {"DescentSpeed", &CAircraftDetail::DescentSpeed},
    {"DescentRate", &CAircraftDetail::DescentRate},
};

// The writer stores "Name", "Type", "Code" and "Airline"; files written by hand spell them in lower case.
std::wstring ReadText(const QSettings& file, const QString& key)
{
    const QStringList keys = file.childKeys();
    for (const QString& stored : keys) {
        if (stored.compare(key, Qt::CaseInsensitive) == 0)
            return file.value(stored).toString().toStdWString();
    }
    return std::wstring();
}

// Qt reads "nan" and "inf" as numbers; a weight or fuel figure that is no finite single-precision number is none.
float ReadFloat(const QSettings& file, const QString& key)
{
    bool ok = false;
    const float value = static_cast<float>(file.value(key).toDouble(&ok));
    return ok && std::isfinite(value) ? value : 0.0f;
}

int ReadInt(const QSettings& file, const QString& key)
{
    bool ok = false;
    const int value = file.value(key).toInt(&ok);
    return ok ? value : 0;
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
    CAircraftDetail& profile = CurrentAircraft();

    profile.name = ReadText(file, QStringLiteral("name"));
    profile.type = ReadText(file, QStringLiteral("type"));
    profile.code = ReadText(file, QStringLiteral("code"));
    profile.airline = ReadText(file, QStringLiteral("airline"));
    profile.Registration = ReadText(file, QStringLiteral("Registration"));
    profile.PaxAsWeight = file.value(QStringLiteral("PaxAsWeight"), true).toBool();
    profile.PaxAsPassenger = file.value(QStringLiteral("PaxAsPassenger"), false).toBool();

    file.beginGroup(QStringLiteral("Weights"));
    profile.EmptyWeight = ReadFloat(file, QStringLiteral("EmptyWeight"));
    profile.maxTakeOffWeight = ReadFloat(file, QStringLiteral("maxTakeOffWeight"));
    profile.maxLandingWeight = ReadFloat(file, QStringLiteral("maxLandingWeight"));
    profile.maxRampWeight = ReadFloat(file, QStringLiteral("maxRampWeight"));
    file.endGroup();

    profile.payload = aviation::structs::CAircraftPayload();
    const int stations = std::min(file.beginReadArray(QStringLiteral("Payload")), kMaxProfileStations);
    for (int i = 0; i < stations; ++i) {
        file.setArrayIndex(i);
        profile.payload.AddStation({file.value(QStringLiteral("Name")).toString().toStdWString(), 0.0f,
                                    ReadFloat(file, QStringLiteral("maxWeight")),
                                    ReadInt(file, QStringLiteral("Type"))});
    }
    file.endArray();

    file.beginGroup(QStringLiteral("Fuel"));
    profile.FuelFlow = ReadFloat(file, QStringLiteral("FuelFlow"));
    profile.ExtraFuel = ReadFloat(file, QStringLiteral("ExtraFuel"));
    profile.TaxiFuel = ReadFloat(file, QStringLiteral("TaxiFuel"));
    profile.HoldingFuel = ReadFloat(file, QStringLiteral("HoldingFuel"));
    file.endGroup();

    file.beginGroup(QStringLiteral("Speeds"));
    for (const auto& [key, field] : kSpeedFields)
        profile.*field = ReadInt(file, QLatin1String(key));
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
    for (const auto& [key, field] : kSpeedFields)
        file.setValue(QLatin1String(key), profile.*field);
    file.endGroup();

    file.sync();
    return file.status() == QSettings::NoError;
}

aviation::structs::CAircraftDetail GetCurrentAircraft()
{
    return CurrentAircraft();
}

void SetCurrentAircraft(const aviation::structs::CAircraftDetail& aircraft)
{
    CurrentAircraft() = aircraft;
}
