#include "dialogs/wxfinderdlg.h"
#include "tests/support/modaldialoganswer.h"
#include "weather/weathermanager.h"

#include <gtest/gtest.h>

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
