#include "flight/tab_flightplanner_pmdgwind.h"

#include "platform/debugoutput.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using aviation::CFlightplan;
using aviation::CWaypointWX;
using aviation::Position;
using aviation::weather::CGrib;
using aviation::weather::CWind;

namespace {

// A grid point whose made-up levels lie every 3000 ft, each 4° further round and 2 kt and 4 °C stronger than
// the one below: a surface of 235°/22 kt and 10 °C gives 275°/42 kt and -30 °C at 30000 ft.
CGrib GridWith(const CWind& surfaceWind, double surfaceTemperature)
{
    CGrib grib;
    grib.SetStandardAtmosphere(surfaceWind, surfaceTemperature, 0.0, 1013.0);
    return grib;
}

CWaypointWX Point(const wchar_t* ident, double latitude, double longitude, int type)
{
    return CWaypointWX(ident, Position(latitude, longitude), L"", type, 0, 13.0f, 5.0f, 1013.2f);
}

// Frankfurt to New York over one oceanic fix.
CFlightplan TransatlanticPlan()
{
    CFlightplan plan;
    plan.departure = Point(L"EDDF", 50.03, 8.57, 1);
    plan.destination = Point(L"KJFK", 40.64, -73.78, 1);
    plan.waypoints = {plan.departure, Point(L"5530N", 55.0, -30.0, 4), plan.destination};
    plan.waypoints[0].SetGrib(GridWith(CWind(235.0, 22.0), 10.0));
    plan.waypoints[1].SetGrib(GridWith(CWind(-2.6, 10.0), -5.0));
    return plan;
}

QString ReadText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

TEST(PMDG777Wind, TwoLinesPerPointWithTheWindsAndTemperaturesOfTenAltitudes)
{
    const QStringList lines = flightplanner::PMDG777WindText(TransatlanticPlan()).split('\n');
    ASSERT_EQ(lines.size(), 7); // three points and the empty rest after the last line end
    EXPECT_EQ(lines[0], QStringLiteral("EDDF\t 243@26(2)\t247@28(-2)\t251@30(-6)\t259@34(-14)\t267@38(-22)"));
    EXPECT_EQ(lines[1], QStringLiteral("\t\t275@42(-30)\t280@45(-35)\t287@48(-42)\t287@48(-42)\t287@48(-42)"));
    // 6000 ft: -2.6° + 8° = 5.4°.
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("5530N\t 005@14(-13)\t"))) << lines[2].toStdString();
    // No grid weather: the empty level at every altitude.
    EXPECT_EQ(lines[4], QStringLiteral("KJFK\t -01@-1(-99)\t-01@-1(-99)\t-01@-1(-99)\t-01@-1(-99)\t-01@-1(-99)"));
    EXPECT_EQ(lines[6], QString());
}

TEST(PMDG777Wind, ValuesTheGridCouldNotGiveAreWrittenAsUnset)
{
    CFlightplan plan = TransatlanticPlan();
    plan.waypoints[1].SetGrib(GridWith(CWind(std::nan(""), 10.0), std::nan("")));
    const QString text = flightplanner::PMDG777WindText(plan);
    EXPECT_FALSE(text.contains(QStringLiteral("nan"), Qt::CaseInsensitive));
    EXPECT_TRUE(text.contains(QStringLiteral("5530N\t -01@14(-99)\t")));
}

TEST(PMDG777Wind, FileIsNamedAfterTheAirportsAndStaysInItsFolder)
{
    QTemporaryDir folder;
    CFlightplan plan = TransatlanticPlan();
    const QString path = folder.filePath(QStringLiteral("EDDFKJFK.wx"));
    QFile stale(path);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(QByteArray(5000, 'x'));
    stale.close();
    ASSERT_TRUE(flightplanner::WritePMDG777WindFile(folder.path(), plan));
    EXPECT_EQ(ReadText(path), flightplanner::PMDG777WindText(plan));

    // Idents from a plan file or the route finder cannot leave the folder.
    plan.departure = Point(L"../x", 0.0, 0.0, 1);
    ASSERT_TRUE(flightplanner::WritePMDG777WindFile(folder.path(), plan));
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral(".._xKJFK.wx"))));
    EXPECT_FALSE(QFile::exists(QDir(folder.path()).absoluteFilePath(QStringLiteral("../xKJFK.wx"))));

    // An empty route still gives a file, empty.
    plan.waypoints.clear();
    ASSERT_TRUE(flightplanner::WritePMDG777WindFile(folder.path(), plan));
    EXPECT_EQ(ReadText(folder.filePath(QStringLiteral(".._xKJFK.wx"))), QString());
}

TEST(PMDG777Wind, NoFolderOrAnUnwritableOneOnlyTellsTheDebugOutput)
{
    QTemporaryDir folder;
    const QString notAFolder = folder.filePath(QStringLiteral("plain-file"));
    QFile file(notAFolder);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    platform::ScopedDebugCapture debug;
    EXPECT_FALSE(flightplanner::WritePMDG777WindFile(QString(), TransatlanticPlan()));
    EXPECT_FALSE(QFile::exists(QStringLiteral("/EDDFKJFK.wx")));
    EXPECT_FALSE(flightplanner::WritePMDG777WindFile(notAFolder, TransatlanticPlan()));
    ASSERT_EQ(debug.Lines().size(), 2u);
    EXPECT_EQ(debug.Lines()[0], "Can not create file: /EDDFKJFK.wx\n");
    EXPECT_EQ(debug.Lines()[1], "Can not create file: " + notAFolder.toStdString() + "/EDDFKJFK.wx\n");
}
