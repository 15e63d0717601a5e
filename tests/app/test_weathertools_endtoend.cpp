// The weather tools as the user runs them from the window's menus against the loopback weather server: a
// downloaded weather set saved and opened again, a past day's weather chosen in the history dialog, and a
// search of the loaded reports. Each dialog leaves a picture of itself in the build folder.
#include "dialogs/historywxdlg.h"
#include "dialogs/wxfiledialog.h"
#include "dialogs/wxfinderdlg.h"
#include "generation/weatherworker.h"
#include "mainwindowtest.h"
#include "tests/generation/recordingprompter.h"
#include "tests/support/modaldialoganswer.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>
#include <QTimeEdit>

#include <array>

namespace {

using aviation::weather::CGribManager;
using aviation::weather::CMetarManager;
using aviation::weather::CSynopManager;

// The METARs, SYNOPs and grid points held, empty records (the stores keep one for an empty line) left out.
std::array<int, 3> Counts(Aerovane_Pro& window)
{
    aviation::weather::CWeatherManager* manager = window.GetWeatherWorker()->GetWeatherManager();
    auto reports = [](const std::wstring& all, const QString& separator) {
        return QString::fromStdWString(all).split(separator, Qt::SkipEmptyParts).size();
    };
    return {reports(manager->CMetarManager::GetAllRaw(), "\n"), reports(manager->CSynopManager::GetAllRaw(), "=\n"),
            reports(manager->CGribManager::GetAllRaw(), "\n")};
}

void SavePicture(QWidget& dialog, const QString& name)
{
    EXPECT_TRUE(dialog.grab().save(QStringLiteral(AEROVANE_TEST_OUTPUT_DIR "/%1.png").arg(name)));
}

using WeatherToolsEndToEnd = MainWindowTest;

} // namespace

TEST_F(WeatherToolsEndToEnd, SavedWeatherReopensHistoryLoadsAndTheFinderSearchesIt)
{
    RecordingPrompter prompter;
    ScopedPrompter scopedPrompter(prompter);
    Aerovane_Pro& window = Window();
    window.show();
    CWeatherWorker* worker = window.GetWeatherWorker();

    // The live weather, with the upper air around Frankfurt.
    window.ui.actionDownload_WX->trigger();
    ASSERT_TRUE(worker->DownloadGrib(aviation::Position(50.03, 8.57), false));
    const std::array<int, 3> live = Counts(window);
    ASSERT_GT(live[0], 4000);
    ASSERT_GT(live[1], 100);
    ASSERT_GT(live[2], 0);

    const QString stored = ProgramFile("storedWX/Autumn_evening_20221022.ovyx");
    prompter.chooserAnswers = QStringList{stored};
    {
        ModalDialogAnswer<WxFileDialog> save([](WxFileDialog& dialog) {
            dialog.findChild<QLineEdit*>("lineEdit_Title")->setText("Autumn evening");
            dialog.findChild<QTextEdit*>("textEdit_description")->setPlainText("Gales over the North Sea");
            dialog.findChild<QLineEdit*>("lineEdit_airport")->setText("EDDF");
            dialog.findChild<QDateTimeEdit*>("dateTimeEdit")
                ->setDateTime(QDateTime(QDate(2022, 10, 22), QTime(19, 12)));
            SavePicture(dialog, "wxfiledialog-save");
            return true;
        });
        window.ui.actionSave_WX->trigger();
        ASSERT_EQ(save.Answered(), 1);
    }
    ASSERT_TRUE(QFile::exists(stored));

    // Other weather in between, then the stored set again.
    worker->LoadWeatherFromText("EDDF 221850Z 24008KT 9999 FEW030 12/07 Q1018\n", QString(), QString());
    prompter.chooserAnswers = QStringList{stored};
    ModalDialogAnswer<WxFileDialog> open([](WxFileDialog& dialog) {
        EXPECT_EQ(dialog.findChild<QLineEdit*>("lineEdit_Title")->text(), "Autumn evening");
        SavePicture(dialog, "wxfiledialog-load");
        return true;
    });
    window.ui.actionLoad_WX_from_file->trigger();
    ASSERT_EQ(open.Answered(), 1);
    EXPECT_EQ(Counts(window), live);
    EXPECT_EQ(worker->GetWeatherSource(), WeatherDataStored);

    // The server's archive of 22 October 2022, 03:00, METARs only.
    QFile archive(QStringLiteral(AEROVANE_WXSERVER_DATA "/history/metar_noaa_2022-10-22_03_00_00"));
    ASSERT_TRUE(archive.open(QIODevice::ReadOnly));
    const QList<QByteArray> archived = archive.readAll().trimmed().split('\n');
    ModalDialogAnswer<CHistoryWxDlg> history([](CHistoryWxDlg& dialog) {
        dialog.findChild<QDateEdit*>("dateEdit_weather")->setDate(QDate(2022, 10, 22));
        dialog.findChild<QTimeEdit*>("timeEdit_weather")->setTime(QTime(3, 0));
        SavePicture(dialog, "historywxdlg");
        return dialog.findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Ok)->isEnabled();
    });
    window.ui.actionDownload_History_WX->trigger();
    ASSERT_EQ(history.Answered(), 1);
    EXPECT_EQ(Counts(window)[0], archived.size());
    EXPECT_EQ(worker->GetWeatherSource(), WeatherDataHistory);

    QStringList expected;
    for (const QByteArray& line : archived) {
        if (line.startsWith("ED"))
            expected << QString::fromLatin1(line);
    }
    ASSERT_FALSE(expected.isEmpty());
    QStringList listed;
    ModalDialogAnswer<WxFinderDlg> finder([&listed](WxFinderDlg& dialog) {
        dialog.findChild<QLineEdit*>("lineEdit_icao")->setText("ed");
        dialog.findChild<QPushButton*>("pushButton_search")->click();
        const QListWidget* results = dialog.findChild<QListWidget*>("listWidget_result_metars");
        for (int row = 0; row < results->count(); ++row)
            listed << results->item(row)->text();
        SavePicture(dialog, "wxfinderdlg");
        return true;
    });
    window.ui.actionWX_Finder->trigger();
    ASSERT_EQ(finder.Answered(), 1);
    EXPECT_EQ(listed, expected);
    EXPECT_TRUE(prompter.asked.empty());
}
