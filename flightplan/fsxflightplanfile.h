// The FSX and Prepar3D flight plan file, an XML document of the simulators' "AceXML" kind:
//     <SimBase.Document Type="AceXML" version="1,0">
//         <FlightPlan.FlightPlan>
//             <CruisingAlt>30000</CruisingAlt>
//             <DepartureID>KSEA</DepartureID>
//             <DepartureLLA>N47° 26' 56",W122° 18' 34",+433.00</DepartureLLA>
//             <ATCWaypoint id="SEA">
//                 <ATCWaypointType>VOR</ATCWaypointType>
//                 <WorldPosition>N47° 26' 7",W122° 18' 34",+0.00</WorldPosition>
//                 <ICAO><ICAORegion>K1</ICAORegion><ICAOIdent>SEA</ICAOIdent></ICAO>
//             </ATCWaypoint>
#pragma once

#include "flightplan/flightplan.h"

#include <QByteArray>
#include <QString>

class QXmlStreamReader;

namespace planfile {

// The whole file for a calculated plan, UTF-8. World positions are written raw (their double quotes are not
// escaped), as the simulators expect; the simulators know the kinds Airport, Intersection, VOR, NDB and User,
// so an alternate is written as "Airport" and any other kind as "User".
QByteArray WriteFSXFlightPlan(const aviation::CFlightplan& plan);

// Reads on from the start element `FlightPlan.FlightPlan` to the end of the document into the plan: its texts,
// cruising altitude, departure, destination and waypoints; an airport without a readable position stays unplaced
// (NaN). Reading errors go to the debug output and leave the reader in error; what was read before one stays.
void ReadFSXFlightPlan(QXmlStreamReader& reader, aviation::CFlightplan& plan);
// Reads one `ATCWaypoint` element, from its start element on, and appends its point: airports at altitude 0,
// others at the plan's cruising altitude so far; kinds other than Airport, VOR and NDB as intersections.
// A point without an ident takes its `id`; one without a readable position is appended unplaced (NaN) for the
// caller to place or leave out; an element cut short adds nothing. Returns whether a point was appended.
bool ReadATCWaypoint(QXmlStreamReader& reader, aviation::CFlightplan& plan);

} // namespace planfile
