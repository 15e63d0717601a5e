// The simulators' weather-station files and the program's airport list, as bytes and lines:
// "wxstationlist.bin" is a run of 4-byte codes ("EDDF", "00C\0"); "wxmapping.bin" a run of records
//     code[4] latitude:f32 longitude:f32 (0..360) altitude:f32 (m) n:u8 name[n]
// little-endian, without header or count; "airportlist.txt" holds lines such as
//     00C ;Animas, Durango, CO;United States;6683;37.2032;-107.869;0;0;0;0;1
#pragma once

#include "weather/station.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// One record of "wxmapping.bin", with the values as stored (longitude 0 to below 360, altitude in metres).
struct WxMappingEntry
{
    QByteArray icao;
    float latitude = 0.0f;
    float longitude = 0.0f;
    float altitude = 0.0f;
    QByteArray name;
};

namespace wxstationfiles {

constexpr int kCodeBytes = 4;
constexpr int kRecordHeaderBytes = 17;
constexpr int kMaxNameBytes = 255;

// The codes of a station list in file order; a last item shorter than 4 bytes gives a shorter code.
QStringList ReadStationCodes(const QByteArray& bytes);
// The records of a mapping file in file order; a record cut short by the end of the data is dropped.
std::vector<WxMappingEntry> ReadMappingEntries(const QByteArray& bytes);

// A code as a 4-byte item: cut to 4 bytes, zero-padded.
QByteArray EncodeCode(const QByteArray& code);
QByteArray EncodeMappingEntry(const WxMappingEntry& entry);

// The station's code as the simulators know it: UTF-8 without the blank that pads three-letter codes ("00C ").
QByteArray SimulatorCode(const aviation::weather::CStation& station);
// The mapping record the simulator gets for an airport: name ", " country, elevation in whole metres.
WxMappingEntry MappingEntryFor(const aviation::weather::CStation& station);
// Feet to whole metres, halves rounded upwards (-10 ft gives -3 m).
int FeetToMappingMetres(int feet);
// Longitude -180..180 as the mapping file stores it (0..360), and back.
float StoredLongitude(double longitude);
double ShownLongitude(float storedLongitude);

// A number with 6 significant digits and no trailing zeros, taken at single precision.
QString SixDigits(double value);

// The header and one line per station, as the weather worker reads them back at start-up.
QByteArray AirportListText(const std::vector<aviation::weather::CStation>& stations);
// Replaces the file at `path` whole, or leaves it as it was; each distinct line is written once.
bool WriteAirportList(const QString& path, const std::vector<aviation::weather::CStation>& stations);

} // namespace wxstationfiles
