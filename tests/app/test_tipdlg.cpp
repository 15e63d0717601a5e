#include "app/tipdlg.h"

#include "platform/clock.h"
#include "scopedappfolders.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>

namespace {

const TipList kThreeTips = {
    {QStringLiteral("<p>Press <b>Set all WX</b> after the download.</p>"), 1},
    {QStringLiteral("<p>Auto mode places stations on the grid around the aircraft.</p>"), 2},
    {QStringLiteral("<p>The manual: <a href=\"https://aerovane.example.org/wiki\">wiki</a></p>"), 1},
};

class TipDlgTest : public ::testing::Test
{
protected:
    static QString Shown(TipDlg& dialog) { return dialog.findChild<QTextBrowser*>()->toPlainText(); }
    static QToolButton* Button(TipDlg& dialog, const char* name) { return dialog.findChild<QToolButton*>(name); }
    static void Forward(TipDlg& dialog) { Button(dialog, "toolButton_forward")->click(); }
    static void Back(TipDlg& dialog) { Button(dialog, "toolButton_back")->click(); }

    // The tips in the order a dialog steps through them from its first.
    static QStringList Order(TipDlg& dialog, int count)
    {
        QStringList order;
        for (int i = 0; i < count; ++i, Forward(dialog))
            order << Shown(dialog);
        return order;
    }

    ScopedAppFolders m_folders;
    platform::ScopedClock m_clock{1666465920};
};

} // namespace

TEST_F(TipDlgTest, ForwardWrapsToTheFirstAndBackToTheLast)
{
    TipDlg dialog(kThreeTips, nullptr);
    const QStringList order = Order(dialog, 3);
    EXPECT_EQ(Shown(dialog), order[0]) << "three steps forward return to the first tip";
    EXPECT_EQ(QStringList(order).removeDuplicates(), 0);
    Back(dialog);
    EXPECT_EQ(Shown(dialog), order[2]);
    Back(dialog);
    EXPECT_EQ(Shown(dialog), order[1]);
}

TEST_F(TipDlgTest, DialogsOfOneSecondShowOneOrderWhichAnotherSecondMayChange)
{
    TipList many;
    for (int i = 0; i < 12; ++i)
        many.emplace_back(QStringLiteral("<p>Tip %1</p>").arg(i), 1 + i % 2);
    TipDlg first(many, nullptr);
    TipDlg second(many, nullptr);
    const QStringList order = Order(first, 12);
    EXPECT_EQ(Order(second, 12), order);

    bool changed = false;
    for (int offset = 1; offset <= 5 && !changed; ++offset) {
        m_clock.SetNow(1666465920 + offset);
        TipDlg later(many, nullptr);
        changed = Order(later, 12) != order;
    }
    EXPECT_TRUE(changed) << "the order is drawn anew in another second";
}

TEST_F(TipDlgTest, StepButtonsNeedTwoTips)
{
    for (size_t count = 0; count <= 3; ++count) {
        TipDlg dialog(TipList(kThreeTips.begin(), kThreeTips.begin() + count), nullptr);
        const bool enabled = count >= 2;
        EXPECT_EQ(Button(dialog, "toolButton_back")->isEnabled(), enabled) << count << " tips";
        EXPECT_EQ(Button(dialog, "toolButton_forward")->isEnabled(), enabled) << count << " tips";
        EXPECT_EQ(Shown(dialog).isEmpty(), count == 0);
    }
}

TEST_F(TipDlgTest, ShowsTheTipAsRichTextWithLinksOpeningOutside)
{
    TipDlg dialog({kThreeTips[2]}, nullptr);
    auto* browser = dialog.findChild<QTextBrowser*>();
    EXPECT_EQ(browser->toPlainText(), QStringLiteral("The manual: wiki"));
    EXPECT_TRUE(browser->openExternalLinks());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Tips for Aerovane"));
}

TEST_F(TipDlgTest, ClosingStoresWhetherToShowTheTipsAgain)
{
    enum class Close { Ok, Escape, Window };
    struct Case
    {
        bool ticked;
        Close close;
        bool stored;
    };
    const Case cases[] = {
        {true, Close::Escape, false}, {true, Close::Ok, false},     {true, Close::Window, false},
        {false, Close::Ok, true},     {false, Close::Escape, true}, {false, Close::Window, true},
    };
    for (const Case& c : cases) {
        CSettings::SetShowTipDialog(!c.stored);
        TipDlg dialog(kThreeTips, nullptr);
        auto* dontShowAgain = dialog.findChild<QCheckBox*>(QStringLiteral("checkBox_dontShowAgain"));
        EXPECT_FALSE(dontShowAgain->isChecked()) << "every dialog starts with the box clear";
        QTimer::singleShot(0, &dialog, [&] {
            dontShowAgain->setChecked(c.ticked);
            if (c.close == Close::Ok)
                dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            else if (c.close == Close::Escape)
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                dialog.close();
        });
        const int result = dialog.exec();
        EXPECT_EQ(result, c.close == Close::Ok ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(CSettings::GetShowTipDialog(), c.stored) << "ticked " << c.ticked << ", close " << int(c.close);
    }
}
