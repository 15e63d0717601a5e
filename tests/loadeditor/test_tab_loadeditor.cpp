#include "forms/mainwindowform.h"

#include <QVBoxLayout>
#include <gtest/gtest.h>

TEST(LoadEditorTab, InitLaysOutTheRowHostsAndWiresThePagesButtons)
{
    CMainWindowForm window;
    Ui::Aerovane_ProClass& ui = window.ui;
    ui.setupUi(&window);
    CTab_LoadEditor* page = ui.tab_LoadEditor;
    page->Init(nullptr, nullptr);

    for (QWidget* host : {ui.widget_ScrollMainFuel, ui.widget_ScrollMainPayload}) {
        auto* rows = qobject_cast<QVBoxLayout*>(host->layout());
        ASSERT_NE(rows, nullptr) << host->objectName().toStdString();
        EXPECT_EQ(rows->spacing(), 1);
        EXPECT_EQ(rows->contentsMargins(), QMargins(2, 2, 2, 2));
    }
    // A connection that exists can be taken down: each button reaches the page's own slot.
    EXPECT_TRUE(QObject::disconnect(ui.pushButton_Apply, &QPushButton::clicked, page, &CTab_LoadEditor::OnButtonApply));
    EXPECT_TRUE(
        QObject::disconnect(ui.pushButton_Cancel, &QPushButton::clicked, page, &CTab_LoadEditor::OnButtonCancel));
    EXPECT_TRUE(
        QObject::disconnect(ui.pushButton_Refresh, &QPushButton::clicked, page, &CTab_LoadEditor::OnButtonRefresh));
}

TEST(LoadEditorTab, HandsBackTheFuelItWasGivenAndStaysAloneOutsideAWindow)
{
    CTab_LoadEditor page;
    page.Init(nullptr, nullptr);
    EXPECT_EQ(page.layout(), nullptr);

    aviation::structs::CAircraftFuel fuel;
    fuel.AddTank(aviation::structs::CAircraftFuelTank(80.0, 1300.0, 3, L""));
    fuel.AddTank(aviation::structs::CAircraftFuelTank(75.0, 1300.0, 4, L""));
    fuel.SetFuelWeight(6.7);
    page.SetFuel(fuel);
    const aviation::structs::CAircraftFuel kept = page.GetFuel();
    ASSERT_EQ(kept.GetTankCount(), 2);
    EXPECT_EQ(kept.GetTank(3).level, 80.0);
    EXPECT_EQ(kept.GetFuelWeight(), 6.7);
    EXPECT_TRUE(page.GetPayload().GetStations().empty());
}
