#include "loadeditor/fuelbox.h"
#include "loadeditor/paxebox.h"
#include "tests/app/scopedappfolders.h"

#include <QLabel>
#include <QSignalSpy>
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
    CFuelBox gallons(QStringLiteral("Center"), 4, 100.0, 37.5);
    EXPECT_EQ(gallons.findChild<CFuelBar*>()->value(), 3750);
    EXPECT_EQ(LabelTexts(gallons), QStringList({"0", "Center", "37.50 Gal", "100.00"}));
    EXPECT_DOUBLE_EQ(gallons.GetLevel(), 37.5);

    CSettings::SetUnitsGallon(false);
    CFuelBox liters(QStringLiteral("Center"), 4, 100.0, 37.5);
    EXPECT_EQ(LabelTexts(liters), QStringList({"0", "Center", "141.95 Liter", "378.54"}));

    // A level between two slider steps reads back as the step below it.
    CFuelBox third(QStringLiteral("Left Main"), 3, 1288.0, 33.333);
    EXPECT_EQ(third.findChild<CFuelBar*>()->value(), 3333);
    EXPECT_DOUBLE_EQ(third.GetLevel(), 33.33);
}

TEST(FuelGauge, MovingTheSliderRelabelsAndReportsTheChange)
{
    ScopedAppFolders folders;
    CFuelBox box(QStringLiteral("Center"), 4, 4299.0, 30.0);
    QSignalSpy changed(&box, &CFuelBox::sigOnChanged);
    box.findChild<CFuelBar*>()->setValue(5000);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_DOUBLE_EQ(box.GetLevel(), 50.0);
    EXPECT_EQ(LabelTexts(box)[2], "2149.50 Gal");
}

TEST(PayloadGauge, ShowsWeightsPassengersAndStationsWithoutMaximum)
{
    ScopedAppFolders folders;
    struct Case
    {
        double value;
        double maximum;
        bool passengers;
        bool pounds;
        int slider;
        const char* amount;
        const char* maximumText;
    };
    const Case cases[] = {
        {1234.7, 3000.0, false, true, 1234, "1235 Lbs", "3000"},
        {1000.0, 3000.0, false, false, 1000, "454 kg", "1361"},
        {1200.0 / 240.0, 12000.0 / 240.0, true, true, 5, "5 Paxe", "50"},
        {1000.0f / 240.0f, 12000.0 / 240.0, true, false, 4, "4 Paxe", "50"},
        {170.0, 0.0, false, true, 0, "170 Lbs", "n/a"},
    };
    for (const Case& c : cases) {
        CSettings::SetUnitsLbs(c.pounds);
        CPaxeBox box(QStringLiteral("Forward Cabin"), 0, c.value, c.maximum, nullptr, c.passengers);
        const auto* slider = box.findChild<CPaxeBar*>();
        EXPECT_EQ(slider->value(), c.slider) << c.amount;
        EXPECT_EQ(slider->isEnabled(), c.maximum != 0.0) << c.amount;
        EXPECT_EQ(LabelTexts(box), QStringList({"0", "Forward Cabin", c.amount, c.maximumText}));
        // The value given stays until the slider moves.
        EXPECT_EQ(box.GetValue(), c.value) << c.amount;
    }

    // Numbers no slider can hold put it at an end of its range.
    const double huge = std::numeric_limits<double>::infinity();
    EXPECT_EQ(CPaxeBox(QStringLiteral("Cabin"), 0, huge, 1e30).findChild<CPaxeBar*>()->value(),
              std::numeric_limits<int>::max());
    EXPECT_EQ(CPaxeBox(QStringLiteral("Cabin"), 0, std::nan(""), 500.0).findChild<CPaxeBar*>()->value(), 0);
    EXPECT_EQ(CFuelBox(QStringLiteral("Center"), 4, 4299.0, huge).findChild<CFuelBar*>()->value(), 10000);
}

TEST(PayloadGauge, MovingTheSliderTakesItsPositionAsTheValue)
{
    ScopedAppFolders folders;
    CPaxeBox box(QStringLiteral("Forward Cabin"), 0, 1000.0 / 240.0, 50.0, nullptr, true);
    QSignalSpy changed(&box, &CPaxeBox::sigOnChanged);
    box.findChild<CPaxeBar*>()->setValue(6);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(box.GetValue(), 6.0);
    EXPECT_EQ(LabelTexts(box)[2], "6 Paxe");

    // A station without a maximum never reports a change.
    CPaxeBox empty(QStringLiteral("Bulk"), 0, 0.0, 0.0);
    QSignalSpy none(&empty, &CPaxeBox::sigOnChanged);
    empty.findChild<CPaxeBar*>()->setValue(3);
    EXPECT_EQ(none.count(), 0);
    EXPECT_EQ(empty.GetValue(), 0.0);
}
