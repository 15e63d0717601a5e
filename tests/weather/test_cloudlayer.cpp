#include "weather/cloudlayer.h"

#include <gtest/gtest.h>

using aviation::weather::CCloudLayer;

TEST(CloudLayer, PrintsItsMetarGroup)
{
    EXPECT_EQ(CCloudLayer(2500, 4, CCloudLayer::kTypePlain).GetMetarGroup(), L"SCT025");
    EXPECT_EQ(CCloudLayer(200, 8, CCloudLayer::kTypePlain).GetMetarGroup(), L"OVC002");
    EXPECT_EQ(CCloudLayer(99, 7, CCloudLayer::kTypePlain).GetMetarGroup(), L"BKN000");
    EXPECT_EQ(CCloudLayer(5000, 0, CCloudLayer::kTypePlain).GetMetarGroup(), L"050");
    EXPECT_EQ(CCloudLayer(1200, 2, CCloudLayer::kTypeCumulonimbus).GetMetarGroup(), L"FEW012");
    EXPECT_EQ(CCloudLayer(12000, 5, CCloudLayer::kTypeGenerated).GetMetarGroup(), L"BKN120");
}

TEST(CloudLayer, RefusesCoverageOutsideZeroToEightOktas)
{
    CCloudLayer layer;
    EXPECT_TRUE(layer.SetCoverage(8));
    EXPECT_FALSE(layer.SetCoverage(9));
    EXPECT_FALSE(layer.SetCoverage(-1));
    EXPECT_EQ(layer.GetCoverage(), 8);
    EXPECT_TRUE(layer.SetCoverage(0));
    EXPECT_EQ(layer.GetCoverage(), 0);
}
