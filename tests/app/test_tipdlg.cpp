#include "app/tipdlg.h"

#include "platform/clock.h"
#include "scopedappfolders.h"

#include <QCheckBox>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

TipList Tips(int count)
{
    TipList tips;
    for (int i = 0; i < count; ++i)
        tips.emplace_back(QStringLiteral("<p>Tip %1: press <b>Set all WX</b></p>").arg(i), 1 + i % 2);
    return tips;
}

QToolButton* Button(TipDlg& dialog, const char* name)
{
    return dialog.findChild<QToolButton*>(QLatin1String(name));
}

// The tips as the dialog shows them, stepping forward `steps` times from the first.
QStringList Walk(TipDlg& dialog, int steps)
{
    QStringList shown{dialog.findChild<QTextBrowser*>()->toPlainText()};
    for (int i = 0; i < steps; ++i) {
        Button(dialog, "toolButton_forward")->click();
        shown << dialog.findChild<QTextBrowser*>()->toPlainText();
    }
    return shown;
}

} // namespace

TEST(TipDlg, StepsWrapAround)
{
    ScopedAppFolders folders;
    platform::ScopedClock clock(1666465920);
    TipDlg dialog(Tips(3), nullptr);
    const QStringList shown = Walk(dialog, 3);
    EXPECT_EQ(shown[3], shown[0]) << "three steps forward return to the first tip";
    EXPECT_EQ(QStringList(shown.mid(0, 3)).removeDuplicates(), 0);
    Button(dialog, "toolButton_back")->click();
    EXPECT_EQ(dialog.findChild<QTextBrowser*>()->toPlainText(), shown[2]) << "back from the first is the last";

    for (int count = 0; count <= 2; ++count) {
        TipDlg few(Tips(count), nullptr);
        EXPECT_EQ(Button(few, "toolButton_back")->isEnabled(), count == 2) << count;
        EXPECT_EQ(Button(few, "toolButton_forward")->isEnabled(), count == 2) << count;
    }
}

TEST(TipDlg, ClosingStoresWhetherToShowTheTipsAgain)
{
    ScopedAppFolders folders;
    for (const bool ticked : {true, false}) {
        for (const bool escape : {true, false}) {
            CSettings::SetShowTipDialog(ticked);
            TipDlg dialog(Tips(2), nullptr);
            auto* box = dialog.findChild<QCheckBox*>(QStringLiteral("checkBox_dontShowAgain"));
            EXPECT_FALSE(box->isChecked()) << "every dialog starts with the box clear";
            QTimer::singleShot(0, &dialog, [&] {
                box->setChecked(ticked);
                if (escape)
                    QTest::keyClick(&dialog, Qt::Key_Escape);
                else
                    dialog.accept();
            });
            dialog.exec();
            EXPECT_EQ(CSettings::GetShowTipDialog(), !ticked) << "ticked " << ticked << ", escape " << escape;
        }
    }
}
