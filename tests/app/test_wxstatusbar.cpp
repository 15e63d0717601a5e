#include "app/wxstatusbar.h"

#include "settings/settings.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <gtest/gtest.h>

namespace {

// A status bar of a client "2.1.0 beta" with its progress bar and its progress, status and version labels.
class WXStatusBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_version = CSettings::GetClientVersion();
        CSettings::SetClientVersion(QStringLiteral("2.1.0 beta"));
        bar = std::make_unique<CWXStatusBar>();
        progress = bar->findChild<QProgressBar*>();
        labels = bar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
        server = bar->findChild<QLabel*>(QStringLiteral("weatherServer"));
        labels.removeOne(server);
        ASSERT_TRUE(progress != nullptr && server != nullptr && labels.size() == 3);
    }
    void TearDown() override { CSettings::SetClientVersion(m_version); }

    std::unique_ptr<CWXStatusBar> bar;
    QProgressBar* progress = nullptr;
    QList<QLabel*> labels;
    QLabel* server = nullptr;

private:
    QString m_version;
};

} // namespace

TEST_F(WXStatusBarTest, StartsWithoutAValueWithItsTextOnAndShowsTheVersion)
{
    EXPECT_EQ(progress->value(), -1);
    EXPECT_TRUE(progress->isTextVisible());
    EXPECT_EQ(labels[2]->text(), "v2.1.0 beta");
    // The window then resets it: an empty bar at 0 without text.
    bar->ResetProgress(false);
    EXPECT_EQ(progress->value(), 0);
    EXPECT_FALSE(progress->isTextVisible());
}

TEST_F(WXStatusBarTest, PercentageShowsOnlyAboveZeroAndByteCountsNarrowTo32Bits)
{
    for (const auto& [value, shown] : {std::pair<qint64, bool>{0, false}, {1, true}, {57, true}, {-5, false}}) {
        bar->SetProgressValue(value);
        EXPECT_EQ(progress->isTextVisible(), shown) << value;
    }
    bar->SetProgressRange(0, -1); // size unknown: a busy indicator
    EXPECT_EQ(progress->maximum(), 0);
    bar->SetProgressRange(0, (qint64(1) << 32) + 100);
    EXPECT_EQ(progress->maximum(), 100);
}

TEST_F(WXStatusBarTest, ProgressAndConnectionTextsShareTheBarWithoutOverlapping)
{
    bar->SetProgressText(QStringLiteral("Sending Weather to FS, 58 from 102"), QString());
    bar->SetStatusText(QStringLiteral("Sim:FSX Connected to Aerovane Server"));
    bar->show();
    for (const int width : {600, 1024, 1600}) {
        bar->resize(width, 24);
        QCoreApplication::processEvents();
        EXPECT_FALSE(labels[0]->geometry().intersects(labels[1]->geometry())) << width;
        EXPECT_FALSE(progress->geometry().intersects(labels[0]->geometry())) << width;
    }
    // At the widest, each shows its whole text.
    for (QLabel* label : {labels[0], labels[1]})
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
}

TEST_F(WXStatusBarTest, TheWeatherServerFieldShowsOnlyWhileTheServerIsNotReached)
{
    bar->show();
    EXPECT_FALSE(server->isVisible());
    bar->SetServerText(QStringLiteral("Aerovane Server not reached"));
    EXPECT_TRUE(server->isVisible());
    EXPECT_EQ(server->text(), "Aerovane Server not reached");
    bar->SetServerText(QString());
    EXPECT_FALSE(server->isVisible());

    // In a window of the default width the connection text gives way to a failure and its next try.
    bar->SetServerText(QStringLiteral("Aerovane Server not reached"));
    bar->SetProgressText(QStringLiteral("Download weather failed: connection refused, next try in 60 s"), QString());
    bar->SetStatusText(QStringLiteral("Connected to Aerovane Server, Sim:FSX"));
    bar->resize(814, 24);
    QCoreApplication::processEvents();
    EXPECT_GT(labels[0]->width(), 2 * labels[1]->width());
}
