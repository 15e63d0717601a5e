#include "planner/tab_flightplanner_print.h"
#include "planner/tab_flightplanner.h"
#include "planner/tab_flightplanner_calculation.h"

#include "forms/mainwindowform.h"
#include "generation/prompter.h"
#include "platform/launcher.h"
#include "platform/programfolder.h"
#include "settings/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPrinter>
#include <QTextDocument>
#include <QTime>

using aviation::CWaypointWX;
using aviation::Position;

namespace flightplanner {

namespace {

constexpr int kDegreeSign = 0xB0;
constexpr long long kMinutesPerDay = 24 * 60;
constexpr double kPrintedPointSize = 8.0;

QString Escaped(const std::wstring& text)
{
    return QString::fromStdWString(text).toHtmlEscaped();
}

QString Cell(const QString& text)
{
    return QStringLiteral("<td>") + text + QStringLiteral("</td>");
}

// Minutes as a time of day after midnight, "HH:mm", wrapping past a day (1500 -> "01:00").
QString ClockText(long long minutes)
{
    return QTime(0, 0).addSecs(static_cast<int>(minutes % kMinutesPerDay * 60)).toString(QStringLiteral("HH:mm"));
}

QString AirportLine(const QString& label, const CWaypointWX& airport)
{
    return label + QStringLiteral(": <b>") + Escaped(airport.GetIdent()) + QStringLiteral("</b>, ")
        + Escaped(airport.GetName()) + QStringLiteral("<br>");
}

QString FuelRow(const QString& label, const QString& value, const QString& unit, bool bold)
{
    if (bold)
        return QStringLiteral("<tr><td><b>") + label + QStringLiteral("</b></td><td><b>") + value.toHtmlEscaped() + unit
            + QStringLiteral("</b></td></tr>");
    return QStringLiteral("<tr><td>") + label + QStringLiteral("</td><td>") + value.toHtmlEscaped() + unit
        + QStringLiteral("</td></tr>");
}

} // namespace

QString FlightPlanHtml(const aviation::CFlightplan& plan, const PrintedFields& fields)
{
    QString html = QStringLiteral(
        "<center><h2>Aerovane-FP</h2> <b style='color:red;'>NOT FOR REAL WORLD NAVIGATION</b></center>");
    html += AirportLine(QStringLiteral("Departure"), plan.departure);
    html += AirportLine(QStringLiteral("Destination"), plan.destination);
    if (!plan.alternate.GetIdent().empty())
        html += AirportLine(QStringLiteral("Alternate"), plan.alternate);

    html += QStringLiteral("<table border='0' rules='all' cellpadding='5' style='border-collapse: collapse;'>"
                           "<thead><tr>");
    for (const char* header :
         {"Wayp", "Coords", "Type", "Alt", "Dir", "Dist", "Wind", "Temp", "Hdg", "TAS", "GS", "Time"})
        html += QStringLiteral("<th>%1</th>").arg(QLatin1String(header));
    html += QStringLiteral("</tr></thead><tbody>");

    const QString dash = QStringLiteral("-");
    Position previous(0.0, 0.0);
    double totalDistance = 0.0;
    long long totalMinutes = 0;
    bool firstRow = true;
    for (const CWaypointWX& point : plan.waypoints) {
        const Position position = point.GetPosition();
        // A previous position of exactly (0, 0) is no leg.
        const bool leg = !(previous == Position(0.0, 0.0));
        const double course = leg ? Position::GetCourse(previous, position) : 0.0;
        const double distance = leg ? Position::GetDistance(previous, position) : 0.0;
        totalDistance += distance;
        const aviation::weather::CWind wind = point.GetWind();
        const int legMinutes = point.GetLegTime();
        if (legMinutes > 0)
            totalMinutes += legMinutes;

        html += QStringLiteral("<tr>");
        html += Cell(Escaped(point.GetIdent()));
        html += Cell(QString::asprintf("%.2f, %.2f", position.GetLatitude(), position.GetLongitude()));
        html += Cell(Escaped(point.GetTypeText()));
        html += Cell(QStringLiteral("%1ft").arg(point.GetAltitude()));
        html += Cell(firstRow ? dash : QString::asprintf("%.0f%c", course, kDegreeSign));
        html += Cell(firstRow ? dash : QString::asprintf("%.0f NM", distance));
        html += Cell(QString::asprintf("%03.0f%c/%.0fkt", wind.direction, kDegreeSign, wind.speed));
        html += Cell(QString::asprintf("%.0f%cC", static_cast<double>(point.GetTemperature()), kDegreeSign));
        html += Cell(firstRow ? dash : QString::asprintf("%.0f%c", point.GetHeading(), kDegreeSign));
        html += Cell(firstRow ? dash : QString::asprintf("%i kt", point.GetTas()));
        html += Cell(firstRow ? dash : QString::asprintf("%i kt", point.GetGroundSpeed()));
        html += Cell(legMinutes > 0 ? ClockText(legMinutes) : firstRow ? dash : QStringLiteral("n/a"));
        html += QStringLiteral("</tr>");
        previous = position;
        firstRow = false;
    }

    const QString emptyCell = QStringLiteral("<td></td>");
    html += QStringLiteral("<tr style='font-weight:bold;'>") + emptyCell.repeated(5)
        + Cell(QStringLiteral("%1NM").arg(TruncatedInt(totalDistance))) + Cell(fields.averageWind.toHtmlEscaped())
        + emptyCell.repeated(4) + Cell(ClockText(totalMinutes)) + QStringLiteral("</tr>");
    html += QStringLiteral("</tbody></table><br>");

    html += QStringLiteral("<h3>Metar</h3>");
    std::wstring previousMetar;
    for (const CWaypointWX& point : plan.waypoints) {
        const std::wstring metar = point.GetMetar();
        if (metar != previousMetar)
            html += Escaped(metar) + QStringLiteral("<br>");
        previousMetar = metar;
    }

    const QString unit = fields.unitsLbs ? QStringLiteral(" lbs") : QStringLiteral(" kg");
    html += QStringLiteral("<h3>Fuel</h3><table>");
    html += FuelRow(QStringLiteral("Fuel Route:"), fields.fuelRoute, unit, false);
    html += FuelRow(QStringLiteral("Fuel Taxi:"), fields.fuelTaxi, unit, false);
    html += FuelRow(QStringLiteral("Fuel Holding:"), fields.fuelHolding, unit, false);
    html += FuelRow(QStringLiteral("Fuel Extra:"), fields.fuelExtra, unit, false);
    html += FuelRow(QStringLiteral("Fuel Total:"), fields.fuelTotal, unit, true);
    html += QStringLiteral("</table>");
    return html;
}

void SetDocumentHtml(QTextDocument& document, const QString& html)
{
    QFont font = document.defaultFont();
    font.setPointSizeF(kPrintedPointSize);
    document.setDefaultFont(font);
    document.setHtml(html);
}

bool WritePdf(QTextDocument& document, const QString& path)
{
    // An earlier file that stays would be taken for this one.
    if (QFileInfo::exists(path) && !QFile::remove(path))
        return false;
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    document.print(&printer);
    const QFileInfo written(path);
    return written.isFile() && written.size() > 0;
}

} // namespace flightplanner

void CTab_Flightplanner::PrintFP()
{
    flightplanner::PrintedFields fields;
    if (m_form != nullptr) {
        fields.averageWind = m_form->lineEdit_averageWind->text();
        fields.fuelRoute = m_form->lineEdit_fuel_route->text();
        fields.fuelTaxi = m_form->lineEdit_taxi->text();
        fields.fuelHolding = m_form->lineEdit_fuel_holding->text();
        fields.fuelExtra = m_form->lineEdit_fuel_extra->text();
        fields.fuelTotal = m_form->lineEdit_fuel_total->text();
    }
    fields.unitsLbs = CSettings::GetUnitsLbs();
    QTextDocument document;
    flightplanner::SetDocumentHtml(document, flightplanner::FlightPlanHtml(m_calculatedFlightplan, fields));

    PromptRequest request;
    request.kind = PromptKind::Question;
    request.title = QStringLiteral("Aerovane - Flight plan");
    request.text = QStringLiteral("Print, create PDF-File or export Flight plan");
    const int choice = Prompter().AskWithButtons(
        request, {QStringLiteral("Print"), QStringLiteral("Create PDF and Open"), QStringLiteral("Cancel")});
    if (choice == 0) {
        QPrinter printer(QPrinter::ScreenResolution);
        if (Prompter().ChoosePrinter(printer))
            document.print(&printer);
    } else if (choice == 1) {
        const QString path = QDir(platform::ProgramFolder()).filePath(QStringLiteral("lastFP.pdf"));
        if (flightplanner::WritePdf(document, path)) {
            platform::Launcher().Open(QString(), path);
        } else {
            PromptRequest warning;
            warning.kind = PromptKind::Warning;
            warning.title = request.title;
            warning.text = QStringLiteral("Can not create the PDF file %1").arg(QDir::toNativeSeparators(path));
            Prompter().Ask(warning);
        }
    }
}
