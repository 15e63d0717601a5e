#include "app/tableviewlevelinfo.h"

#include "app/tablecells.h"

#include <QList>
#include <QStandardItem>

using aviation::weather::CLevel;
using tablecells::kDegreeSign;

namespace {

constexpr int kColumnWidths[] = {50, 60, 40, 50, 50, 50, 50};

// The cells of one row. A named level (tropopause, maximum wind) shows its name in place of the pressure and
// has no dew point or humidity to show.
QList<QStandardItem*> LevelRow(const CLevel& level, const QString& name = QString())
{
    const bool named = !name.isEmpty();
    return {
        new QStandardItem(QString::asprintf("%i ft", level.GetAltitude())),
        new QStandardItem(named ? name : QString::asprintf("%.0f mb", static_cast<double>(level.GetPressure()))),
        new QStandardItem(QString::asprintf("%.0f%c", level.direction, kDegreeSign)),
        new QStandardItem(QString::asprintf("%.1f kt", level.speed)),
        new QStandardItem(QString::asprintf("%.1f %cC", level.GetTemperature(), kDegreeSign)),
        new QStandardItem(named ? QStringLiteral("n/a")
                                : QString::asprintf("%.1f %cC", level.GetDewPoint(), kDegreeSign)),
        new QStandardItem(named ? QStringLiteral("n/a") : QString::asprintf("%.1f", level.GetHumidity())),
    };
}

} // namespace

CTableViewLevelInfo::CTableViewLevelInfo(QWidget* parent)
    : QTableView(parent)
    , m_model(std::make_shared<QStandardItemModel>(0, 7, this))
{
    InitHeader();
    setModel(m_model.get());
    int column = 0;
    for (int width : kColumnWidths)
        setColumnWidth(column++, width);
}

CTableViewLevelInfo::~CTableViewLevelInfo()
{
    m_model.reset();
}

void CTableViewLevelInfo::InitHeader()
{
    m_model->setHorizontalHeaderLabels({"Level", "Press", "Dir", "Speed", "Temp", "Dew", "Humi"});
}

void CTableViewLevelInfo::SetLevelInfo(const aviation::weather::CGrib& grib)
{
    SetLevels(grib.GetLevels(), grib.GetTropopauseLevel(), grib.GetMaxWindLevel());
}

void CTableViewLevelInfo::SetLevels(const std::vector<CLevel>& levels, const CLevel& tropopause, const CLevel& maxWind)
{
    m_model->removeRows(0, m_model->rowCount());
    for (const CLevel& level : levels) {
        if (level.HasData())
            m_model->appendRow(LevelRow(level));
    }
    if (tropopause.HasData())
        m_model->appendRow(LevelRow(tropopause, QStringLiteral("Tropo")));
    if (maxWind.HasData())
        m_model->appendRow(LevelRow(maxWind, QStringLiteral("max Wind")));
    tablecells::FitColumnsToContents(*this);
}
