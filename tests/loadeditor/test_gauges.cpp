#include "loadeditor/fuelbox.h"
#include "loadeditor/paxebox.h"
#include "tests/app/scopedappfolders.h"

#include <QLabel>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// The gauge's four labels: "0", name, amount, maximum.
QStringList LabelTexts(const QWidget& gauge)
{
    QStringList texts;
    for (const QLabel* label : gauge.findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

} // namespace

TEST(FuelGauge, ShowsTheTanksAmountInGallonsOrLiters)
{
    ScopedAppFolders folders;
    CFuelBox center(QStringLiteral("Center"), 4, 100.0, 37.5);
    EXPECT_EQ(center.findChild<CFuelBar*>()->value(), 3750);
    EXPECT_EQ(LabelTexts(center), QStringList({"0", "Center", "37.50 Gal", "100.00"}));

    CSettings::SetUnitsGallon(false);
    EXPECT_EQ(LabelTexts(CFuelBox(QStringLiteral("Center"), 4, 100.0, 37.5)),
              QStringList({"0", "Center", "141.95 Liter", "378.54"}));
    // A level past the ends stays inside.
    EXPECT_EQ(CFuelBox(QStringLiteral("Right Main"), 7, 1288.0, std::numeric_limits<double>::infinity()).GetLevel(),
              100.0);
}

TEST(PayloadGauge, ShowsWeightsPassengersAndStationsWithoutMaximum)
{
    ScopedAppFolders folders;
    struct Case
    {
        double value, maximum;
        bool passengers, pounds;
        int slider;
        QStringList labels;
    };
    const Case cases[] = {
        {1234.7, 3000.0, false, true, 1234, {"0", "Pilot", "1235 Lbs", "3000"}},
        {1000.0, 3000.0, false, false, 1000, {"0", "Pilot", "454 kg", "1361"}},
        {1200.0 / 240.0, 50.0, true, true, 5, {"0", "Pilot", "5 Paxe", "50"}},
        {170.0, 0.0, false, true, 0, {"0", "Pilot", "170 Lbs", "n/a"}},
        // Numbers no slider can hold put it at an end of its range.
        {std::nan(""), 500.0, false, true, 0, {"0", "Pilot", "nan Lbs", "500"}},
        {1e12,
         1e12,
         false,
         true,
         std::numeric_limits<int>::max(),
         {"0", "Pilot", "1000000000000 Lbs", "1000000000000"}},
    };
    for (const Case& c : cases) {
        CSettings::SetUnitsLbs(c.pounds);
        CPaxeBox box(QStringLiteral("Pilot"), 0, c.value, c.maximum, nullptr, c.passengers);
        const auto* slider = box.findChild<CPaxeBar*>();
        EXPECT_EQ(slider->value(), c.slider) << c.labels[2].toStdString();
        EXPECT_EQ(slider->isEnabled(), c.maximum != 0.0);
        EXPECT_EQ(LabelTexts(box), c.labels);
        // The value given stays until the slider moves.
        EXPECT_TRUE(box.GetValue() == c.value || std::isnan(c.value));
    }
}
