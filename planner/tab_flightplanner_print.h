// The printed flight plan: the calculated plan as HTML (title, airports, a table of the route's legs with a totals
// row, the METARs met along the route and the fuel figures), printed or written as a PDF a few rows at a time so
// that the window keeps answering and the user can stop a long printout.
#pragma once

#include "flightplan/flightplan.h"

#include <QString>
#include <QStringList>

#include <functional>

class QPrinter;

namespace flightplanner {

// The planner page's texts the printout shows as they stand.
struct PrintedFields
{
    QString averageWind;
    QString fuelRoute;
    QString fuelTaxi;
    QString fuelHolding;
    QString fuelExtra;
    QString fuelTotal;
    // The unit the fuel rows name: pounds, or kilograms.
    bool unitsLbs = true;
};

// Route rows per table of the printout; a longer route gets one table, with its header, per this many rows.
constexpr int kRowsPerTable = 20;

// The printout in the order it is printed: the heading with the airports, one table per kRowsPerTable route rows
// (the totals row in the last), the METAR section in parts of kRowsPerTable reports and the fuel table. Every
// text from outside (idents, names, METARs, the page's fields) is escaped. A wind or temperature the calculation
// did not find shows "n/a".
QStringList FlightPlanBlocks(const aviation::CFlightplan& plan, const PrintedFields& fields);
// The blocks as one HTML document.
QString FlightPlanHtml(const aviation::CFlightplan& plan, const PrintedFields& fields);

// Told after each printed block how many of how many are done; false stops the printout.
using PrintProgress = std::function<bool(int done, int total)>;

enum class PrintResult { Printed, Cancelled, Failed };

// Lays the blocks out one by one in the printed font at the printer's page width and paints them down the pages,
// a block that no longer fits the page starting the next one. A cancelled printout is aborted.
PrintResult PrintBlocks(const QStringList& blocks, QPrinter& printer, const PrintProgress& progress);

// Writes the blocks as a PDF file at the path. The file is built beside it and replaces it only when complete,
// so a cancelled or failed printout leaves an earlier file as it was.
PrintResult WritePdf(const QStringList& blocks, const QString& path, const PrintProgress& progress);

} // namespace flightplanner
