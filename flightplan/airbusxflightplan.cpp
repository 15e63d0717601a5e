#include "flightplan/airbusxflightplan.h"

#include <QSettings>

namespace {

QString Text(const std::wstring& text)
{
    return QString::fromStdWString(text);
}

// Numbers the segments from 1 as it writes them.
class SegmentWriter
{
public:
    explicit SegmentWriter(QSettings& file)
        : m_file(file)
    {
    }

    void Write(const QString& airway, const QString& from, const QString& to)
    {
        const QString key = QStringLiteral("Airway") + QString::number(m_number++);
        m_file.setValue(key, airway);
        m_file.setValue(key + QStringLiteral("FROM"), from);
        m_file.setValue(key + QStringLiteral("TO"), to);
    }

private:
    QSettings& m_file;
    int m_number = 1;
};

// Joins legs flown on one airway into one segment. The legs from the departure airport and to the destination
// airport are no segments; a segment still open at the last en-route waypoint ends there.
void WriteSegments(QSettings& file, const std::vector<aviation::CWaypointWX>& waypoints)
{
    SegmentWriter segments(file);
    const int count = static_cast<int>(waypoints.size());
    bool open = false;
    QString start;
    QString openAirway;
    for (int i = 1; i < count - 2; ++i) {
        const aviation::CWaypointWX& from = waypoints[i];
        const aviation::CWaypointWX& to = waypoints[i + 1];
        const QString airway = from.GetAirway().empty() ? QStringLiteral("DCT") : Text(from.GetAirway());
        if (!open)
            start = Text(from.GetIdent());
        if (airway == Text(to.GetAirway())) {
            open = true;
            openAirway = airway;
            continue;
        }
        segments.Write(airway, start, Text(to.GetIdent()));
        open = false;
    }
    if (open)
        segments.Write(openAirway, start, Text(waypoints[count - 2].GetIdent()));
}

} // namespace

AirbusXFlightplan::Result AirbusXFlightplan::Write(const QString& path, const aviation::CFlightplan& plan)
{
    QSettings file(path, QSettings::IniFormat);
    file.clear();
    file.beginGroup(QStringLiteral("CoRte"));
    file.setValue(QStringLiteral("ArptDep"), Text(plan.departure.GetIdent()));
    file.setValue(QStringLiteral("ArptArr"), Text(plan.destination.GetIdent()));
    file.setValue(QStringLiteral("RwyDep"), QString());
    file.setValue(QStringLiteral("RwyArr"), QString());
    file.setValue(QStringLiteral("SID"), QString());
    const bool enoughWaypoints = plan.waypoints.size() >= 2;
    if (enoughWaypoints)
        WriteSegments(file, plan.waypoints);
    file.endGroup();
    file.sync();
    if (file.status() != QSettings::NoError)
        return Result::NotWritten;
    return enoughWaypoints ? Result::Written : Result::TooFewWaypoints;
}
