// Every report of a real worldwide METAR snapshot, with its nearest SYNOP and grid point, through the New
// Weather block and the extended METAR text: nothing outside the block's tables, no broken text.

#include "weatherrecordtest.h"

#include "generation/extendedmetar.h"
#include "generation/newweatherbuilder.h"
#include "platform/debugoutput.h"
#include "platform/random.h"
#include "tests/support/synopcorpus.h"
#include "tests/support/testdata.h"
#include "tools/common/weathercentercsv.h"
#include "weather/resourcetextstore.h"
#include "weather/weathermanager.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace aviation::weather;
using namespace recordtest;

namespace {

class NewWeatherCorpus : public WeatherRecordTest
{
protected:
    void SetUp() override
    {
        WeatherRecordTest::SetUp();
        std::string csv;
        if (!testsupport::ReadTextFile(testsupport::SharedDataPath("metar/awc-2022-10-22T0252Z.csv"), csv))
            GTEST_SKIP() << "no METAR snapshot in " << AEROVANE_SHARED_DATA_DIR;
        platform::ScopedDebugCapture quiet;
        ResourceTextStore::LoadAirports();
        ResourceTextStore::LoadStations();
        m_manager.InitAirports(ResourceTextStore::GetAirportText().toStdWString());
        m_manager.InitWxStations(ResourceTextStore::GetStationText().toStdWString());
        m_manager.InitMetar(tools::MetarStoreText(tools::MetarReports(csv)), true);
        // The SYNOP store takes the reports with their section header, each closed by "=", as the weather server
        // sends them.
        std::wstring synops;
        for (const synopcorpus::Report& report : synopcorpus::Reports())
            synops += report.text + L"=\n";
        m_manager.InitSynop(synops, true);
        m_manager.InitWindData(testsupport::ReadLatin1File(testsupport::TestDataPath("position/world-grid.txt")), true);
    }

    CWeatherManager m_manager;
};

} // namespace

TEST_F(NewWeatherCorpus, EveryReportFillsABlockAndAText)
{
    const std::vector<CMetar> reports = m_manager.GetMetarList();
    ASSERT_GT(reports.size(), 4000u);
    CSettings::SetGenerateFogAsStratus(true);
    platform::SeedRandom(2022);
    const int versions[] = {2, 3, 4, 10};
    int withSynop = 0;
    int withGrid = 0;
    int cloudEntries = 0;
    int upperWinds = 0;
    for (std::size_t i = 0; i < reports.size(); ++i) {
        CMetar metar = reports[i];
        const std::string raw = QString::fromStdWString(metar.GetRaw()).toStdString();
        SCOPED_TRACE(raw);
        {
            platform::ScopedDebugCapture quiet;
            if (metar.Decode() != 0) {
                m_manager.RepairMetar(metar);
                metar.Decode();
            }
        }
        CSynop synop;
        m_manager.FindNearestSynop(metar.GetPosition(), synop);
        if (synop.GetDistance(metar.GetPosition(), false) < 200.0)
            ++withSynop;
        CGrib grib;
        if (m_manager.FindNearestGrib(metar.GetPosition(), grib) && grib.Decode(false))
            ++withGrid;
        else
            grib.SetStandardAtmosphere(metar.GetWind(), metar.GetTemperature(), metar.GetDewPoint(),
                                       metar.GetQNH(true));

        CSettings::SetFSVersion(versions[i % 4]);
        CSettings::SetMixedClouds(i % 3 == 0);
        const CWeatherSet set(metar, synop, grib);
        CNewWeather block;
        ASSERT_EQ(SetNewWeather(set, block, static_cast<float>(i % 41) - 20.0f), 0);
        const QString text = MakeExtendedMetar(set, block);

        ASSERT_GE(block.nWindCtr, 2);
        ASSERT_LE(block.nWindCtr, CNewWeather::kMaxWindLayers);
        ASSERT_EQ(block.nTempCtr, block.nWindCtr);
        ASSERT_GE(block.nCloudCtr, 0);
        ASSERT_LE(block.nCloudCtr, CNewWeather::kMaxCloudLayers);
        ASSERT_GE(block.nUpperVisCtr, 0);
        ASSERT_LE(block.nUpperVisCtr, 6);
        int covered = 0;
        for (int k = 0; k < block.nCloudCtr; ++k) {
            EXPECT_LE(block.CloudLayer[k].Cover, 8);
            EXPECT_GE(block.CloudLayer[k].UpperAlt, block.CloudLayer[k].LowerAlt);
            covered += block.CloudLayer[k].Cover != 0;
        }
        cloudEntries += block.nCloudCtr;
        upperWinds += block.nWindCtr - 2;

        // One group per wind, visibility, covered cloud and temperature layer: one "&" in each, two in a
        // visibility group.
        const std::string shown = text.toStdString();
        EXPECT_TRUE(text.endsWith(QStringLiteral(" @@@ "))) << shown;
        EXPECT_EQ(text.count(QStringLiteral("KT&")), block.nWindCtr) << shown;
        EXPECT_EQ(text.count(QStringLiteral("&B")), 1 + block.nUpperVisCtr) << shown;
        EXPECT_EQ(text.count(QStringLiteral("&")),
                  block.nWindCtr + 2 * (1 + block.nUpperVisCtr) + covered + block.nTempCtr)
            << shown;
        EXPECT_FALSE(text.contains(QStringLiteral("nan")) || text.contains(QStringLiteral("inf"))) << shown;
    }
    std::printf("[ corpus   ] %zu reports: %d with a SYNOP within 200 NM, %d with a grid point, %.2f cloud layers and "
                "%.1f grid wind layers per station\n",
                reports.size(), withSynop, withGrid, static_cast<double>(cloudEntries) / reports.size(),
                static_cast<double>(upperWinds) / reports.size());
    EXPECT_GT(withGrid, 1000);
}
