#include "dialogs/historywxdlg.h"
#include "dialogs/wxfiledialog.h"
#include "dialogs/wxfinderdlg.h"
#include "tests/support/modaldialoganswer.h"
#include "weather/weathermanager.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTimeEdit>
#include <gtest/gtest.h>

TEST(HistoryWxDlg, OffersBothPartsUnticked)
{
    CHistoryWxDlg dialog;
    auto* synop = dialog.findChild<QCheckBox*>("checkBox_dwlSynop");
    auto* grib = dialog.findChild<QCheckBox*>("checkBox_dwlGrib");
    ASSERT_TRUE(synop && grib);
    EXPECT_EQ(synop->text(), "Download Additional Weather (~250kb)");
    EXPECT_EQ(grib->text(), "Download Upperair (~7 Mb)");
    EXPECT_FALSE(dialog.IsDownloadSynop());
    EXPECT_FALSE(dialog.IsDownloadGrib());
}

TEST(HistoryWxDlg, ChoiceIsReadAfterTheModalRun)
{
    struct Case
    {
        bool synop, grib;
    };
    for (const Case& c : {Case{false, false}, Case{true, false}, Case{false, true}, Case{true, true}}) {
        CHistoryWxDlg dialog;
        ModalDialogAnswer<CHistoryWxDlg> answer([&c](CHistoryWxDlg& shown) {
            shown.findChild<QDateEdit*>("dateEdit_weather")->setDate(QDate(2016, 5, 4));
            shown.findChild<QTimeEdit*>("timeEdit_weather")->setTime(QTime(7, 5));
            shown.findChild<QCheckBox*>("checkBox_dwlSynop")->setChecked(c.synop);
            shown.findChild<QCheckBox*>("checkBox_dwlGrib")->setChecked(c.grib);
            return true;
        });
        ASSERT_EQ(dialog.exec(), QDialog::Accepted);
        // The date and time are taken as shown, as local time.
        EXPECT_EQ(dialog.GetDateTime(), QDateTime(QDate(2016, 5, 4), QTime(7, 5), Qt::LocalTime));
        EXPECT_EQ(dialog.IsDownloadSynop(), c.synop);
        EXPECT_EQ(dialog.IsDownloadGrib(), c.grib);
    }
}

TEST(WxFileDialog, ModeChoosesTheActionButtonAndTextsComeBackUnchanged)
{
    const QString metar = "EDDF 040650Z 24008KT 9999 FEW030 12/07 Q1018\n";
    const QString synop = "AAXX 04061 10637 32970 62408 10120 20070 30085 40180 57010=\n";
    const QString grib = "50.00 8.50 0 1018 120 240 8\n";
    struct Case
    {
        int mode;
        QDialogButtonBox::StandardButton action;
    };
    for (const Case& c :
         {Case{WxFileDialog::Load, QDialogButtonBox::Open}, Case{WxFileDialog::Save, QDialogButtonBox::Save}}) {
        WxFileDialog dialog(nullptr, c.mode, metar, synop, grib);
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        ASSERT_TRUE(buttons);
        EXPECT_TRUE(buttons->button(c.action));
        EXPECT_TRUE(buttons->button(QDialogButtonBox::Cancel));
        EXPECT_EQ(dialog.GetMode(), c.mode);
        EXPECT_EQ(dialog.GetMetar(), metar);
        EXPECT_EQ(dialog.GetSynop(), synop);
        EXPECT_EQ(dialog.GetGrib(), grib);
    }
}

TEST(WxFinderDlg, ExecWorksOnACopyOfTheLoadedMetars)
{
    aviation::weather::CWeatherManager manager;
    manager.InitMetar(L"EDDF 040650Z 24008KT 9999 FEW030 12/07 Q1018\n"
                      L"EGLL 040650Z 23012KT 9999 SCT025 13/08 Q1016\n"
                      L"LFPG 040700Z 22010KT CAVOK 14/06 Q1017",
                      true);
    ModalDialogAnswer<WxFinderDlg> answer([](WxFinderDlg&) { return true; });

    WxFinderDlg dialog;
    EXPECT_EQ(dialog.Exec(&manager), QDialog::Accepted);
    EXPECT_EQ(dialog.GetMetarCount(), 3u);
    manager.Clear();
    EXPECT_EQ(dialog.GetMetarCount(), 3u);

    EXPECT_EQ(dialog.Exec(nullptr), QDialog::Accepted);
    EXPECT_EQ(dialog.GetMetarCount(), 0u);
    EXPECT_EQ(answer.Answered(), 2);
}
