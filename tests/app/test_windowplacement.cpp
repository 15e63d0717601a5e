#include "app/windowplacement.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(WindowPlacement, TheWindowIsKeptWhollyOnAnAvailableScreenArea)
{
    const QSize defaultSize(814, 642);
    const QRect small(0, 0, 1024, 740); // 1024 x 768 less a panel
    const QRect large(0, 0, 1600, 1172);
    const QRect right(1600, 0, 1280, 1024); // a second screen to the right
    // wanted, available screen areas, fitted
    const std::tuple<QRect, QList<QRect>, QRect> cases[] = {
        {QRect(553, 219, 814, 642), {large}, QRect(553, 219, 814, 642)},
        {QRect(553, 219, 814, 642), {small}, QRect(210, 98, 814, 642)},
        {QRect(-300, -50, 814, 642), {small}, QRect(0, 0, 814, 642)},
        {QRect(0, 0, 3000, 2000), {small}, small},
        {QRect(2000, 100, 814, 642), {large, right}, QRect(2000, 100, 814, 642)},
        {QRect(2800, 900, 814, 642), {large, right}, QRect(2066, 382, 814, 642)},
        // Lost: off every screen, or no size at all.
        {QRect(9000, 9000, 814, 642), {large, right}, QRect(393, 265, 814, 642)},
        {QRect(100, 100, 0, 0), {small}, QRect(105, 49, 814, 642)},
        {QRect(-5000, 0, 100, 100), {QRect(0, 0, 640, 480)}, QRect(0, 0, 640, 480)},
    };
    for (const auto& [wanted, areas, fitted] : cases)
        EXPECT_EQ(windowplacement::FitIntoScreens(wanted, defaultSize, areas), fitted)
            << wanted.x() << "," << wanted.y() << " " << wanted.width() << "x" << wanted.height();
}
