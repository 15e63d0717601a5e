// The printed flight plan: the calculated plan as one HTML document (title, airports, a table of the route's
// legs with a totals row, the METARs met along the route and the fuel figures), printed or written as a PDF.
#pragma once

#include "flightplan/flightplan.h"

#include <QString>

class QTextDocument;

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

// The document's HTML. Every text from outside (idents, names, METARs, the page's fields) is escaped.
QString FlightPlanHtml(const aviation::CFlightplan& plan, const PrintedFields& fields);

// Puts the HTML into the document in the printed font, small enough for the route table to fit a page's width.
void SetDocumentHtml(QTextDocument& document, const QString& html);

// Writes the document as a PDF file at the path, replacing an earlier file; whether a new file stands there.
bool WritePdf(QTextDocument& document, const QString& path);

} // namespace flightplanner
