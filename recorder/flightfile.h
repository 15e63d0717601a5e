// A recorded flight stored in the flights folder as "flight_42_N123A_20261207143005.xml":
//     <Flight>
//         <FlightData>
//             <Callsign>N123A</Callsign> <Aircraft>Boeing 737-800</Aircraft> <Registration>D-AVNE</Registration>
//             <BlockOff>2026-12-07 12:58:10</BlockOff> ... <Touchdownrate>-180</Touchdownrate>
//             <Dep>EDDF</Dep> <Dest>EDDM</Dest>
//         </FlightData>
//         <Positions>
//             <Position><Lat>50.0459</Lat><Lon>8.59749</Lon><Alt>364</Alt><Height>0</Height><Hdg>249</Hdg>
//                 <TAS>0</TAS><GS>0</GS><DoorOpen>1</DoorOpen><LandingLights>0</LandingLights></Position>
//         </Positions>
//     </Flight>
// Times are written as the record holds them (UTC) and read back as local date-times.
#pragma once

#include "recorder/flightdata.h"

#include <QDateTime>
#include <QString>

class QIODevice;

// One stored flight as the recorded-flights list holds it.
struct FlightListEntry
{
    QString path;
    QString callsign;
    QString registration;
    QString aircraft;
    // Departure, destination, the four times and the positions.
    CFlightData flight;
};

class CFlightFile
{
public:
    // "flight_%1_%2_%3.xml": the recorder service's user id when it reads as a number above 0 (else 0), the
    // callsign made safe as a file name, the UTC time as "yyyyMMddhhmmss".
    static QString FileName(const QString& serviceUserId, const QString& callsign, const QDateTime& utcNow);

    // Writes the flight with the callsign and the departure and destination codes; false when the device
    // refused the text.
    static bool Write(QIODevice& device, const QString& callsign, const CFlightData& flight, const QString& departure,
                      const QString& destination);

    // Reads the file at entry.path into the entry; false when it cannot be opened or is no whole flight file.
    // What was read before a fault stays in the entry.
    static bool Read(FlightListEntry& entry);
};
