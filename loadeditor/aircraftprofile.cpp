#include "loadeditor/aircraftprofile.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <utility>

namespace {

aviation::structs::CAircraftDetail& CurrentAircraft()
{
    static aviation::structs::CAircraftDetail current;
    return current;
}

// The writer stores "Name", "Type", "Code" and "Airline"; older files spell them in lower case.
std::wstring ReadText(const QSettings& file, const QString& key)
{
    for (const QString& stored : file.childKeys()) {
        if (stored.compare(key, Qt::CaseInsensitive) == 0)
            return file.value(stored).toString().toStdWString();
    }
    return std::wstring();
}

float ReadFloat(const QSettings& file, const QString& key)
{
    bool ok = false;
    const float value = file.value(key).toFloat(&ok);
    return ok ? value : 0.0f;
}

int ReadInt(const QSettings& file, const QString& key)
{
    bool ok = false;
    const int value = file.value(key).toInt(&ok);
    return ok ? value : 0;
}

} // namespace

bool LoadAircraftProfile(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return false;
    QSettings file(path, QSettings::IniFormat);
    aviation::structs::CAircraftDetail& profile = CurrentAircraft();

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
    const int stations = file.beginReadArray(QStringLiteral("Payload"));
    for (int i = 0; i < stations; ++i) {
        file.setArrayIndex(i);
        profile.payload.AddStation({file.value(QStringLiteral("Name")).toString().toStdWString(), 0.0f,
                                    static_cast<float>(file.value(QStringLiteral("maxWeight")).toDouble()),
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
    const std::pair<const char*, int*> speeds[] = {
        {"CruiseAlt", &profile.CruiseAlt},
        {"cruiseSpeed", &profile.cruiseSpeed},
        {"maxAlt", &profile.maxAlt},
        {"ClimbSpeed5000", &profile.ClimbSpeed5000},
        {"ClimbRate5000", &profile.ClimbRate5000},
        {"ClimbSpeed10000", &profile.ClimbSpeed10000},
        {"ClimbRate10000", &profile.ClimbRate10000},
        {"ClimbSpeed20000", &profile.ClimbSpeed20000},
        {"ClimbRate20000", &profile.ClimbRate20000},
        {"ClimbSpeed30000", &profile.ClimbSpeed30000},
        {"ClimbRate30000", &profile.ClimbRate30000},
        {"DescentSpeed", &profile.DescentSpeed},
        {"DescentRate", &profile.DescentRate},
    };
    for (const auto& [key, value] : speeds)
        *value = ReadInt(file, QLatin1String(key));
    file.endGroup();
    return true;
}

aviation::structs::CAircraftDetail GetCurrentAircraft()
{
    return CurrentAircraft();
}
