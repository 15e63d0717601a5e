#include "app/tableviewaircraftdata.h"

#include "app/tablecells.h"

#include <QHeaderView>
#include <QStringList>

using tablecells::CenteredItem;
using tablecells::kDegreeSign;

namespace {

constexpr int kColumnWidths[] = {60, 60, 70, 70, 90, 50, 50, 55, 80, 60, 50};

// Metres below 10 km, "unlimited" above 300 km (the simulators' 9999 for an unlimited view included).
QString VisibilityText(float kilometres)
{
    if (kilometres < 10.0f)
        return QString::asprintf("%.0f m", static_cast<double>(kilometres * 1000.0f));
    if (kilometres > 300.0f)
        return QStringLiteral("unlimited");
    return QString::asprintf("%.0f Km", static_cast<double>(kilometres));
}

} // namespace

CTableViewAircraftData::CTableViewAircraftData(QWidget* parent)
    : QTableView(parent)
    , m_model(std::make_shared<QStandardItemModel>(0, 10, this))
{
    InitHeader();
    setModel(m_model.get());
    horizontalHeader()->setStretchLastSection(true);
    int column = 0;
    for (int width : kColumnWidths)
        setColumnWidth(column++, width);
}

CTableViewAircraftData::~CTableViewAircraftData()
{
    m_model.reset();
}

void CTableViewAircraftData::InitHeader()
{
    // The eleventh label widens the model to its 11 columns.
    m_model->setHorizontalHeaderLabels(
        {"Lat", "Lon", "Altitude", "Height", "VS", "TAS", "GS", "Heading", "Wind", "Vis", "MagVar"});
}

void CTableViewAircraftData::SetAircraftData(const aviation::structs::CAircraft& aircraft)
{
    const QString cells[] = {
        QString::asprintf("%.02f%c", aircraft.GetLatitude(), kDegreeSign),
        QString::asprintf("%.02f%c", aircraft.GetLongitude(), kDegreeSign),
        QString::asprintf("%i ft", aircraft.altitude),
        QString::asprintf("%i ft", aircraft.height),
        QString::asprintf("%i ft/min", aircraft.verticalSpeed),
        QString::asprintf("%i kt", aircraft.tas),
        QString::asprintf("%i kt", aircraft.groundSpeed),
        QString::asprintf("%.01f%c", aircraft.heading.direction, kDegreeSign),
        QString::asprintf("%03.00f%c/%.01fKT ", aircraft.ambientWind.direction, kDegreeSign,
                          aircraft.ambientWind.speed),
        VisibilityText(aircraft.visibility),
        QString::asprintf("%.01f%c ", static_cast<double>(aircraft.magVar), kDegreeSign),
    };
    int column = 0;
    for (const QString& text : cells)
        m_model->setItem(0, column++, CenteredItem(text));
    tablecells::FitColumnsToContents(*this);
}
