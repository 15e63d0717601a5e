// The load editor's current aircraft profile and its ".cfg" files, INI files such as
// "AircraftConfigs/Boeing_737-800.cfg" holding Name, Type, Code, Airline, Registration, the groups Weights,
// Fuel and Speeds and the array Payload of stations:
//   [Payload]
//   1\Name=Forward Cabin
//   1\Type=2
//   1\maxWeight="@Variant(\0\0\0\x87\x46;\x80\0)"
//   size=1
#pragma once

#include "forms/numberfield.h"
#include "simlink/aircraftdetail.h"

#include <QObject>
#include <QString>

// The numbers a profile may hold, for the editor's fields (in the units shown) and the reader (in pounds): a
// value outside them reads as none, 0.
namespace ProfileRange {
constexpr NumberRange kWeight{0.0, 2000000.0, 2}; // weights, capacities and fuel amounts, lbs or kg
constexpr NumberRange kFuelFlow{0.0, 100000.0, 2}; // per hour
constexpr NumberRange kSpeed{0.0, 1000.0, 0}; // kt
constexpr NumberRange kAltitude{0.0, 100000.0, 0}; // ft
constexpr NumberRange kRate{0.0, 10000.0, 0}; // ft/min
} // namespace ProfileRange

// A profile holds at most this many payload stations; a larger "size" in a file reads as this many.
constexpr int kMaxProfileStations = 1000;

// The folder of the profiles: the program's folder and "AircraftConfigs", without a trailing separator.
QString AircraftConfigFolder();
// The profile file of an aircraft: the aircraft's name made a safe file name (blanks and the characters no file
// name may hold become "_"), ".cfg" appended unless the name holds it, inside AircraftConfigFolder.
// "Boeing 737-800" -> ".../AircraftConfigs/Boeing_737-800.cfg"; "A/B C" -> ".../AircraftConfigs/A_B_C.cfg".
QString AircraftProfilePath(const QString& aircraftName);

// Fills the current profile from the file; false, with the profile unchanged, when no file exists there or the
// file is no profile (it has neither a name nor a group "Weights"). Missing keys and values that are no numbers of
// their range read as the record's defaults; station weights read as 0.
bool LoadAircraftProfile(const QString& path);
// Writes the current profile to the file (weights in pounds, floats as single-precision variants) and announces
// it through CAircraftProfileSaves; false, announcing nothing, when the file could not be written.
bool SaveAircraftProfile(const QString& path);
// A copy of the current profile.
aviation::structs::CAircraftDetail GetCurrentAircraft();
void SetCurrentAircraft(const aviation::structs::CAircraftDetail& aircraft);

// Announces each profile file written, so that a page showing that aircraft takes its new figures at once rather
// than at its next read from the simulator. GUI thread only.
class CAircraftProfileSaves : public QObject
{
    Q_OBJECT

public:
    static CAircraftProfileSaves& Instance();

signals:
    // The file written and the profile it holds now.
    void sigSaved(const QString& path, const aviation::structs::CAircraftDetail& profile);
};
