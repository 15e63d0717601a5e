// The load editor's current aircraft profile and its ".cfg" files, INI files such as
// "AircraftConfigs/Boeing_737-800.cfg" holding Name, Type, Code, Airline, Registration, the groups Weights,
// Fuel and Speeds and the array Payload of stations.
#pragma once

#include "simlink/aircraftdetail.h"

#include <QString>

// Fills the current profile from the file; false, with the profile unchanged, when no file exists there. Missing
// keys and values that are no numbers read as the record's defaults.
bool LoadAircraftProfile(const QString& path);
// A copy of the current profile.
aviation::structs::CAircraftDetail GetCurrentAircraft();
