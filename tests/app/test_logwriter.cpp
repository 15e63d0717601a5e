#include "app/logwriter.h"
#include "mainwindowtest.h"
#include "platform/clock.h"

#include <QSettings>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <tuple>
#include <vector>

namespace {

QString ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QStringLiteral("<missing>");
}

void WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

using LogRotationTest = MainWindowTest;

} // namespace

TEST_F(LogRotationTest, KeepsThePreviousLogInTheRingAndAsTheLastLog)
{
    struct Case
    {
        const char* name;
        bool previousLog;
        int max;
        int number;
        const char* numberedCopy; // null: none written
        int nextNumber;
    };
    const std::vector<Case> cases = {
        {"fresh folder", false, 10, 1, nullptr, 1},
        {"end of the ring", true, 10, 10, "aerovane_10.log", 1},
        {"ring made smaller", true, 3, 7, "aerovane_7.log", 1},
    };
    const QString logs = ProgramFile(QStringLiteral("logs/"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(logs).removeRecursively();
        if (c.previousLog) {
            QDir().mkpath(logs);
            WriteFile(logs + "aerovane.log", "previous run\n");
        }
        CSettings::SetMaxLogFileNumber(c.max);
        CSettings::SetLogFileNumber(c.number);
        {
            CLogWriter writer;
            writer.Open(ProgramFolderPath());
            EXPECT_TRUE(writer.IsOpen());
        }
        EXPECT_EQ(ReadFile(logs + "aerovane.log"), "");
        EXPECT_EQ(CSettings::GetLogFileNumber(), c.nextNumber);
        if (c.numberedCopy) {
            EXPECT_EQ(ReadFile(logs + c.numberedCopy), "previous run\n");
            EXPECT_EQ(ReadFile(logs + "aerovane_last.log"), "previous run\n");
        } else {
            EXPECT_EQ(QDir(logs).entryList(QDir::Files), QStringList{"aerovane.log"});
        }
    }
}

TEST_F(LogRotationTest, ALastLogNobodyReadGivesWayToTheNewerOne)
{
    const QString logs = ProgramFile(QStringLiteral("logs/"));
    QDir().mkpath(logs);
    WriteFile(logs + "aerovane_last.log", "run before the crash\n");
    WriteFile(logs + "aerovane.log", "run that crashed\n");
    CLogWriter writer;
    writer.Open(ProgramFolderPath());
    EXPECT_EQ(ReadFile(logs + "aerovane_last.log"), "run that crashed\n");
}

TEST_F(LogRotationTest, LinesCarryTheLocalTimeAndAreOnDiskAtOnce)
{
    platform::ScopedClock clock(1796639367); // 2026-12-07 10:29:27 UTC
    CLogWriter writer;
    writer.Open(ProgramFolderPath());
    writer.WriteLine(CLogWriter::FormatLine(QStringLiteral("(Main) Close")));
    EXPECT_EQ(ReadFile(ProgramFile("logs/aerovane.log")), "07.12.26 10:29:27 - (Main) Close\n");
}

TEST_F(MainWindowTest, LogTargetsReachTheDebugPageTheFileOrBoth)
{
    Aerovane_Pro& window = Window();
    QTextEdit* page = window.ui.textEditDebug;
    const std::vector<std::tuple<int, bool, bool, bool>> cases = {
        // target, Debug page enabled, on the page, in the file
        {0, true, true, true},   {1, true, true, false},  {2, true, false, true},
        {7, true, false, false}, {0, false, false, true}, {1, false, false, false},
    };
    int n = 0;
    for (const auto& [target, enabled, onPage, inFile] : cases) {
        const QString text = QStringLiteral("(Test) line %1").arg(++n);
        window.ui.tab_Debug->setEnabled(enabled);
        window.OnDebugString(text, target);
        EXPECT_EQ(page->toPlainText().contains(text), onPage) << text.toStdString();
        EXPECT_EQ(LogText().contains(" - " + text + "\n"), inFile) << text.toStdString();
    }
}

TEST_F(MainWindowTest, DebugPageKeepsOnlyTheNewestLines)
{
    Aerovane_Pro& window = Window();
    for (int i = 0; i < Aerovane_Pro::kDebugPageLines + 100; ++i)
        window.OnDebugString(QStringLiteral("(Test) %1").arg(i), 1);
    QTextDocument* document = window.ui.textEditDebug->document();
    EXPECT_EQ(document->blockCount(), Aerovane_Pro::kDebugPageLines);
    EXPECT_TRUE(document->lastBlock().text().endsWith(QString::number(Aerovane_Pro::kDebugPageLines + 99)));
}

TEST_F(LogRotationTest, ALogThatOutgrowsItsBoundWithinARunGoesIntoTheRing)
{
    CSettings::SetMaxLogFileNumber(3);
    CSettings::SetLogFileNumber(2);
    CLogWriter log;
    log.SetMaxBytes(100);
    log.Open(ProgramFolderPath());
    const QString logs = ProgramFile(QStringLiteral("logs/"));
    // 53 bytes a line: lines 1-2, 3-4 and 5-6 each fill the log once.
    for (int line = 1; line <= 7; ++line)
        log.WriteLine(QStringLiteral("07.12.26 10:49:%1 - (ConnectWorker) Sending Weather: EDDF")
                          .arg(line, 2, 10, QLatin1Char('0')));
    EXPECT_TRUE(ReadFile(logs + "aerovane_2.log").contains("10:49:02"));
    EXPECT_TRUE(ReadFile(logs + "aerovane_3.log").contains("10:49:04"));
    EXPECT_TRUE(ReadFile(logs + "aerovane_1.log").contains("10:49:06"));
    EXPECT_EQ(ReadFile(logs + "aerovane.log").trimmed(), "07.12.26 10:49:07 - (ConnectWorker) Sending Weather: EDDF");
    EXPECT_EQ(CSettings::GetLogFileNumber(), 2);
}
