#include "planner/tab_flightplanner_print.h"
#include "planner/tab_flightplanner.h"
#include "planner/tab_flightplanner_calculation.h"

#include "forms/mainwindowform.h"
#include "generation/prompter.h"
#include "platform/launcher.h"
#include "platform/programfolder.h"
#include "settings/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <QTextDocument>
#include <QTime>

#include <memory>

using aviation::CWaypointWX;
using aviation::Position;

namespace flightplanner {

namespace {

constexpr int kDegreeSign = 0xB0;
constexpr long long kMinutesPerDay = 24 * 60;
constexpr double kPrintedPointSize = 8.0;
// The temperature of a point the calculation found none for.
constexpr float kNoTemperature = -99.0f;

// The table's header cells with their share of the page width, so that the tables of a long route line up.
constexpr struct
{
    const char* text;
    int percent;
} kColumns[] = {{"Wayp", 9},  {"Coords", 14}, {"Type", 10}, {"Alt", 8}, {"Dir", 6}, {"Dist", 7},
                {"Wind", 11}, {"Temp", 7},    {"Hdg", 6},   {"TAS", 7}, {"GS", 7},  {"Time", 8}};

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

QString TableStart()
{
    QString html = QStringLiteral("<table border='0' rules='all' cellpadding='5' width='100%' "
                                  "style='border-collapse: collapse;'><thead><tr>");
    for (const auto& column : kColumns)
        html += QStringLiteral("<th width='%1%'>%2</th>").arg(column.percent).arg(QLatin1String(column.text));
    return html + QStringLiteral("</tr></thead><tbody>");
}

QString TableEnd()
{
    return QStringLiteral("</tbody></table>");
}

// The unset wind of a point without weather (speed below 0) and the missing temperature read as values.
bool HasWind(const aviation::weather::CWind& wind)
{
    return wind.speed >= 0.0;
}

QString WindText(const aviation::weather::CWind& wind)
{
    return HasWind(wind) ? QString::asprintf("%03.0f%c/%.0fkt", wind.direction, kDegreeSign, wind.speed)
                         : QStringLiteral("n/a");
}

QString TemperatureText(const CWaypointWX& point)
{
    const double temperature = point.GetTemperature();
    if (!HasWind(point.GetWind()) || temperature <= kNoTemperature)
        return QStringLiteral("n/a");
    return QString::asprintf("%.0f%cC", temperature, kDegreeSign);
}

std::unique_ptr<QTextDocument> BlockDocument(const QString& html, qreal width)
{
    auto document = std::make_unique<QTextDocument>();
    QFont font = document->defaultFont();
    font.setPointSizeF(kPrintedPointSize);
    document->setDefaultFont(font);
    document->setHtml(html);
    document->setTextWidth(width);
    return document;
}

} // namespace

QStringList FlightPlanBlocks(const aviation::CFlightplan& plan, const PrintedFields& fields)
{
    QStringList blocks;
    QString heading = QStringLiteral(
        "<center><h2>Aerovane-FP</h2> <b style='color:red;'>NOT FOR REAL WORLD NAVIGATION</b></center>");
    heading += AirportLine(QStringLiteral("Departure"), plan.departure);
    heading += AirportLine(QStringLiteral("Destination"), plan.destination);
    if (!plan.alternate.GetIdent().empty())
        heading += AirportLine(QStringLiteral("Alternate"), plan.alternate);
    blocks << heading;

    const QString dash = QStringLiteral("-");
    Position previous(0.0, 0.0);
    double totalDistance = 0.0;
    long long totalMinutes = 0;
    QString table = TableStart();
    int rows = 0;
    for (const CWaypointWX& point : plan.waypoints) {
        const bool firstRow = rows == 0 && blocks.size() == 1;
        const Position position = point.GetPosition();
        // A previous position of exactly (0, 0) is no leg.
        const bool leg = !(previous == Position(0.0, 0.0));
        const double course = leg ? Position::GetCourse(previous, position) : 0.0;
        const double distance = leg ? Position::GetDistance(previous, position) : 0.0;
        totalDistance += distance;
        const int legMinutes = point.GetLegTime();
        if (legMinutes > 0)
            totalMinutes += legMinutes;

        table += QStringLiteral("<tr>");
        table += Cell(Escaped(point.GetIdent()));
        table += Cell(QString::asprintf("%.2f, %.2f", position.GetLatitude(), position.GetLongitude()));
        table += Cell(Escaped(point.GetTypeText()));
        table += Cell(QStringLiteral("%1ft").arg(point.GetAltitude()));
        table += Cell(firstRow ? dash : QString::asprintf("%.0f%c", course, kDegreeSign));
        table += Cell(firstRow ? dash : QString::asprintf("%.0f NM", distance));
        table += Cell(WindText(point.GetWind()));
        table += Cell(TemperatureText(point));
        table += Cell(firstRow ? dash : QString::asprintf("%.0f%c", point.GetHeading(), kDegreeSign));
        table += Cell(firstRow ? dash : QString::asprintf("%i kt", point.GetTas()));
        table += Cell(firstRow ? dash : QString::asprintf("%i kt", point.GetGroundSpeed()));
        table += Cell(legMinutes > 0 ? ClockText(legMinutes) : firstRow ? dash : QStringLiteral("n/a"));
        table += QStringLiteral("</tr>");
        previous = position;
        if (++rows == kRowsPerTable) {
            blocks << table + TableEnd();
            table = TableStart();
            rows = 0;
        }
    }

    const QString emptyCell = QStringLiteral("<td></td>");
    table += QStringLiteral("<tr style='font-weight:bold;'>") + emptyCell.repeated(5)
        + Cell(QStringLiteral("%1NM").arg(TruncatedInt(totalDistance))) + Cell(fields.averageWind.toHtmlEscaped())
        + emptyCell.repeated(4) + Cell(ClockText(totalMinutes)) + QStringLiteral("</tr>");
    blocks << table + TableEnd() + QStringLiteral("<br>");

    QString metars = QStringLiteral("<h3>Metar</h3>");
    std::wstring previousMetar;
    int lines = 0;
    for (const CWaypointWX& point : plan.waypoints) {
        const std::wstring metar = point.GetMetar();
        if (metar != previousMetar) {
            metars += Escaped(metar) + QStringLiteral("<br>");
            if (++lines % kRowsPerTable == 0) {
                blocks << metars;
                metars.clear();
            }
        }
        previousMetar = metar;
    }

    const QString unit = fields.unitsLbs ? QStringLiteral(" lbs") : QStringLiteral(" kg");
    QString fuel = QStringLiteral("<h3>Fuel</h3><table>");
    fuel += FuelRow(QStringLiteral("Fuel Route:"), fields.fuelRoute, unit, false);
    fuel += FuelRow(QStringLiteral("Fuel Taxi:"), fields.fuelTaxi, unit, false);
    fuel += FuelRow(QStringLiteral("Fuel Holding:"), fields.fuelHolding, unit, false);
    fuel += FuelRow(QStringLiteral("Fuel Extra:"), fields.fuelExtra, unit, false);
    fuel += FuelRow(QStringLiteral("Fuel Total:"), fields.fuelTotal, unit, true);
    blocks << metars + fuel + QStringLiteral("</table>");
    return blocks;
}

QString FlightPlanHtml(const aviation::CFlightplan& plan, const PrintedFields& fields)
{
    return FlightPlanBlocks(plan, fields).join(QString());
}

PrintResult PrintBlocks(const QStringList& blocks, QPrinter& printer, const PrintProgress& progress)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return PrintResult::Failed;
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const qreal pageHeight = page.height();
    qreal top = 0.0;
    for (int i = 0; i < blocks.size(); ++i) {
        const std::unique_ptr<QTextDocument> block = BlockDocument(blocks[i], page.width());
        const qreal height = block->size().height();
        if (top > 0.0 && top + height > pageHeight) {
            printer.newPage();
            top = 0.0;
        }
        // A block taller than a page goes on in slices, one page each.
        for (qreal shown = 0.0;;) {
            const qreal room = pageHeight - top;
            painter.save();
            painter.translate(0.0, top - shown);
            block->drawContents(&painter, QRectF(0.0, shown, page.width(), room));
            painter.restore();
            if (height - shown <= room) {
                top += height - shown;
                break;
            }
            shown += room;
            printer.newPage();
            top = 0.0;
        }
        if (progress && !progress(i + 1, blocks.size())) {
            printer.abort();
            painter.end();
            return PrintResult::Cancelled;
        }
    }
    return painter.end() ? PrintResult::Printed : PrintResult::Failed;
}

PrintResult WritePdf(const QStringList& blocks, const QString& path, const PrintProgress& progress)
{
    const QString building = path + QStringLiteral(".part");
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(building);
    const PrintResult result = PrintBlocks(blocks, printer, progress);
    const QFileInfo written(building);
    if (result != PrintResult::Printed || !written.isFile() || written.size() == 0) {
        QFile::remove(building);
        return result == PrintResult::Cancelled ? result : PrintResult::Failed;
    }
    // An earlier file that stays would be taken for this one.
    if ((QFileInfo::exists(path) && !QFile::remove(path)) || !QFile::rename(building, path)) {
        QFile::remove(building);
        return PrintResult::Failed;
    }
    return PrintResult::Printed;
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

    PromptRequest request;
    request.kind = PromptKind::Question;
    request.title = QStringLiteral("Aerovane - Flight plan");
    request.text = QStringLiteral("Print, create PDF-File or export Flight plan");
    const int choice = Prompter().AskWithButtons(
        request, {QStringLiteral("Print"), QStringLiteral("Create PDF and Open"), QStringLiteral("Cancel")});
    if (choice != 0 && choice != 1)
        return;
    QPrinter printer(QPrinter::ScreenResolution);
    if (choice == 0 && !Prompter().ChoosePrinter(printer))
        return;

    const QStringList blocks = flightplanner::FlightPlanBlocks(m_calculatedFlightplan, fields);
    QProgressDialog progress(QStringLiteral("Building the flight plan printout"), QStringLiteral("Cancel"), 0,
                             blocks.size(), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    // The window is served between two blocks; the dialog's Cancel stops the printout there.
    const auto carryOn = [&progress](int done, int) {
        progress.setValue(done);
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    };
    if (choice == 0) {
        flightplanner::PrintBlocks(blocks, printer, carryOn);
        return;
    }
    const QString path = QDir(platform::ProgramFolder()).filePath(QStringLiteral("lastFP.pdf"));
    const flightplanner::PrintResult result = flightplanner::WritePdf(blocks, path, carryOn);
    progress.close();
    if (result == flightplanner::PrintResult::Printed) {
        platform::Launcher().Open(QString(), path);
    } else if (result == flightplanner::PrintResult::Failed) {
        PromptRequest warning;
        warning.kind = PromptKind::Warning;
        warning.title = request.title;
        warning.text = QStringLiteral("Can not create the PDF file %1").arg(QDir::toNativeSeparators(path));
        Prompter().Ask(warning);
    }
}
