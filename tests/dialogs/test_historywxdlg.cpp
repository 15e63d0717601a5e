#include "dialogs/historywxdlg.h"
#include "settings/serveraddresses.h"
#include "tests/app/scopedappfolders.h"
#include "tests/generation/fakewindowhost.h"
#include "tests/generation/recordingprompter.h"
#include "tools/wx-server/wxserver.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <gtest/gtest.h>

#include <memory>

namespace {

void WriteIndex(const QString& path, const QStringList& dates)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<history server=\"loopback\">\n<dates_available>\n");
    for (const QString& date : dates)
        file.write("  <date>" + date.toUtf8() + "</date>\n");
    file.write("</dates_available>\n</history>\n");
}

// The dialog in an empty working folder against a weather server that serves the index written into its folder.
class HistoryWxDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Listen());
        ServerAddresses addresses = ServerAddresses::BuiltIn();
        addresses.serverUrlDE = server.BaseUrl();
        addresses.serverUrlUS = server.BaseUrl();
        m_addresses = std::make_unique<ScopedServerAddresses>(addresses);
    }

    void Serve(const QStringList& dates) { WriteIndex(m_dataDir.filePath("historywx.xml"), dates); }
    static QDateEdit* DateBox(CHistoryWxDlg& dialog) { return dialog.findChild<QDateEdit*>("dateEdit_weather"); }
    static QTimeEdit* TimeBox(CHistoryWxDlg& dialog) { return dialog.findChild<QTimeEdit*>("timeEdit_weather"); }
    static bool OkEnabled(CHistoryWxDlg& dialog)
    {
        return dialog.findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->isEnabled();
    }
    static bool OnlyCancel(CHistoryWxDlg& dialog)
    {
        return !DateBox(dialog)->isEnabled() && !TimeBox(dialog)->isEnabled() && !OkEnabled(dialog);
    }

    ScopedAppFolders folders;
    RecordingPrompter prompter;
    ScopedPrompter scopedPrompter{prompter};
    FakeWindowHost host;
    QTemporaryDir m_dataDir;
    tools::WxServer server{m_dataDir.path()};
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
    EXPECT_TRUE(OkEnabled(dialog));
    EXPECT_EQ(dialog.GetDateTime(), QDateTime(QDate(2016, 1, 2), QTime(0, 0), Qt::UTC));
}

TEST_F(HistoryWxDlgTest, TimesAreCheckedAtTheNextHalfHour)
{
    for (const auto& [typed, checked] : {std::pair{QTime(10, 10), QTime(10, 30)},
                                         {QTime(10, 40), QTime(11, 0)},
                                         {QTime(23, 45), QTime(0, 0)},
                                         {QTime(10, 0), QTime(10, 0)}})
        EXPECT_EQ(CHistoryWxDlg::RoundUpToHalfHour(typed), checked) << typed.toString().toStdString();

    // In the dialog, a time found is put into the box.
    Serve({"2017-03-01 00:00:00", "2017-03-05 00:00:00", "2017-03-05 10:30:00", "2017-03-06 12:00:00"});
    CHistoryWxDlg dialog(nullptr, &host);
    DateBox(dialog)->setDate(QDate(2017, 3, 5));
    const QString result = "label_weatherFoundResult";
    // 23:45 means 00:00 of the same date.
    for (const auto& [typed, checked, found] : {std::tuple{QTime(10, 10), QTime(10, 30), true},
                                                {QTime(23, 45), QTime(0, 0), true},
                                                {QTime(10, 40), QTime(10, 40), false}}) {
        TimeBox(dialog)->setTime(typed);
        EXPECT_EQ(TimeBox(dialog)->time(), checked) << typed.toString().toStdString();
        EXPECT_EQ(OkEnabled(dialog), found);
        EXPECT_EQ(dialog.findChild<QLabel*>(result)->text(),
                  found ? "<font color='green'>Weather available</font>"
                        : "<font color='red'>Weather not found</font>");
    }
    // A date without entries refuses OK and leaves the time box as it was.
    TimeBox(dialog)->setTime(QTime(10, 30));
    DateBox(dialog)->setDate(QDate(2017, 3, 4));
    EXPECT_FALSE(OkEnabled(dialog));
    EXPECT_TRUE(TimeBox(dialog)->isEnabled());
}

TEST_F(HistoryWxDlgTest, WithoutAnIndexOnlyCancelIsLeft)
{
    Serve({});
    EXPECT_TRUE(OnlyCancel(*std::make_unique<CHistoryWxDlg>(nullptr, &host)));
    EXPECT_TRUE(prompter.asked.empty());

    // A failed download reads the copy an earlier run kept; without one, the file error.
    server.SetFailure("/historywx.xml", tools::WxServer::Failure::NotFound);
    QFile::remove(CHistoryWxDlg::kIndexFile);
    {
        CHistoryWxDlg dialog(nullptr, &host);
        ASSERT_EQ(prompter.asked.size(), 1u);
        EXPECT_EQ(prompter.asked[0].kind, PromptKind::Warning);
        EXPECT_EQ(prompter.asked[0].title, "File Error");
        EXPECT_TRUE(OnlyCancel(dialog));
    }
    WriteIndex(CHistoryWxDlg::kIndexFile, {"2022-10-21 03:00:00", "2022-10-22 03:00:00"});
    CHistoryWxDlg dialog(nullptr, &host);
    EXPECT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(DateBox(dialog)->date(), QDate(2022, 10, 22));
}
