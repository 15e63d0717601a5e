#include "dialogs/historywxdlg.h"
#include "settings/serveraddresses.h"
#include "settings/settings.h"
#include "tests/generation/fakewindowhost.h"
#include "tests/generation/recordingprompter.h"
#include "tools/wx-server/wxserver.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

QByteArray Index(const QStringList& dates)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<history server=\"loopback\">\n<dates_available>\n";
    for (const QString& date : dates)
        xml += "  <date>" + date.toUtf8() + "</date>\n";
    return xml + "</dates_available>\n</history>\n";
}

void WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// The dialog in an empty working folder against a weather server that serves the index written into its folder.
class HistoryWxDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(m_workDir.path());
        ASSERT_TRUE(server.Listen());
        ServerAddresses addresses = ServerAddresses::BuiltIn();
        addresses.serverUrlDE = server.BaseUrl();
        addresses.serverUrlUS = server.BaseUrl();
        m_addresses = std::make_unique<ScopedServerAddresses>(addresses);
    }

    void TearDown() override
    {
        m_addresses.reset();
        CSettings::Release();
        QDir::setCurrent(m_previousDir);
    }

    void Serve(const QStringList& dates) { WriteFile(m_dataDir.filePath("historywx.xml"), Index(dates)); }

    static bool OkEnabled(CHistoryWxDlg& dialog)
    {
        return dialog.findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->isEnabled();
    }
    static QDateEdit* DateBox(CHistoryWxDlg& dialog) { return dialog.findChild<QDateEdit*>("dateEdit_weather"); }
    static QTimeEdit* TimeBox(CHistoryWxDlg& dialog) { return dialog.findChild<QTimeEdit*>("timeEdit_weather"); }
    static QString Result(CHistoryWxDlg& dialog)
    {
        return dialog.findChild<QLabel*>("label_weatherFoundResult")->text();
    }

    RecordingPrompter prompter;
    ScopedPrompter scopedPrompter{prompter};
    FakeWindowHost host;
    QTemporaryDir m_dataDir;
    tools::WxServer server{m_dataDir.path()};

private:
    QTemporaryDir m_workDir;
    QString m_previousDir;
    std::unique_ptr<ScopedServerAddresses> m_addresses;
};

} // namespace

TEST_F(HistoryWxDlgTest, OffersTheDaysAfterTheFirstEntryUpToTheLast)
{
    Serve({"2016-01-01 00:00:00", "2016-01-02 00:00:00", "2017-04-01 11:30:00", "2017-04-01 12:00:00"});
    CHistoryWxDlg dialog(nullptr, &host);

    EXPECT_EQ(server.Requests(), QStringList{"/historywx.xml"});
    EXPECT_EQ(dialog.findChild<QLabel*>("label_period")->text(),
              "available date for historical weather data: 02.01.2016 - 01.04.2017");
    EXPECT_EQ(DateBox(dialog)->minimumDate(), QDate(2016, 1, 2));
    EXPECT_EQ(DateBox(dialog)->maximumDate(), QDate(2017, 4, 1));
    // The range moved the date to its first day and checked 00:00 there at once.
    EXPECT_TRUE(TimeBox(dialog)->isEnabled());
    EXPECT_TRUE(OkEnabled(dialog));
    EXPECT_EQ(dialog.GetDateTime(), QDateTime(QDate(2016, 1, 2), QTime(0, 0), Qt::UTC));
}

TEST_F(HistoryWxDlgTest, TimesAreCheckedAtTheNextHalfHour)
{
    const std::vector<std::pair<QTime, QTime>> rounding = {{QTime(10, 10), QTime(10, 30)},
                                                           {QTime(10, 40), QTime(11, 0)},
                                                           {QTime(23, 45), QTime(0, 0)},
                                                           {QTime(10, 0), QTime(10, 0)},
                                                           {QTime(10, 30), QTime(10, 30)}};
    for (const auto& [typed, checked] : rounding)
        EXPECT_EQ(CHistoryWxDlg::RoundUpToHalfHour(typed), checked) << typed.toString().toStdString();

    Serve({"2017-03-01 00:00:00", "2017-03-05 00:00:00", "2017-03-05 10:30:00", "2017-03-06 12:00:00"});
    CHistoryWxDlg dialog(nullptr, &host);
    DateBox(dialog)->setDate(QDate(2017, 3, 5));
    TimeBox(dialog)->setTime(QTime(10, 10));
    EXPECT_EQ(TimeBox(dialog)->time(), QTime(10, 30));
    EXPECT_TRUE(OkEnabled(dialog));
    EXPECT_EQ(Result(dialog), "<font color='green'>Weather available</font>");
    // 23:45 means 00:00 of the same date.
    TimeBox(dialog)->setTime(QTime(23, 45));
    EXPECT_EQ(TimeBox(dialog)->time(), QTime(0, 0));
    EXPECT_TRUE(OkEnabled(dialog));

    TimeBox(dialog)->setTime(QTime(10, 40));
    EXPECT_FALSE(OkEnabled(dialog));
    EXPECT_EQ(Result(dialog), "<font color='red'>Weather not found</font>");
    // A date without entries refuses OK and leaves the time box as it was.
    TimeBox(dialog)->setTime(QTime(10, 30));
    DateBox(dialog)->setDate(QDate(2017, 3, 4));
    EXPECT_FALSE(OkEnabled(dialog));
    EXPECT_TRUE(TimeBox(dialog)->isEnabled());
}

TEST_F(HistoryWxDlgTest, WithoutAnIndexOnlyCancelIsLeft)
{
    auto onlyCancel = [](CHistoryWxDlg& dialog) {
        return !DateBox(dialog)->isEnabled() && !TimeBox(dialog)->isEnabled() && !OkEnabled(dialog);
    };
    Serve({});
    EXPECT_TRUE(onlyCancel(*std::make_unique<CHistoryWxDlg>(nullptr, &host)));
    EXPECT_TRUE(prompter.asked.empty());

    // A failed download reads the copy an earlier run kept; without one, the file error.
    server.SetFailure("/historywx.xml", tools::WxServer::Failure::NotFound);
    QFile::remove(CHistoryWxDlg::kIndexFile);
    {
        CHistoryWxDlg dialog(nullptr, &host);
        ASSERT_EQ(prompter.asked.size(), 1u);
        EXPECT_EQ(prompter.asked[0].kind, PromptKind::Warning);
        EXPECT_EQ(prompter.asked[0].title, "File Error");
        EXPECT_TRUE(onlyCancel(dialog));
        EXPECT_EQ(dialog.findChild<QLabel*>("label_period")->text(), "Available period:");
    }
    WriteFile(CHistoryWxDlg::kIndexFile, Index({"2022-10-21 03:00:00", "2022-10-22 03:00:00"}));
    CHistoryWxDlg dialog(nullptr, &host);
    EXPECT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(DateBox(dialog)->date(), QDate(2022, 10, 22));
}
