#include "dialogs/wxfilecontent.h"
#include "dialogs/wxfiledialog.h"
#include "platform/debugoutput.h"
#include "tests/app/scopedappfolders.h"
#include "tests/generation/recordingprompter.h"
#include "tests/support/modaldialoganswer.h"
#include "weather/weathermanager.h"

#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTextEdit>
#include <QtEndian>
#include <gtest/gtest.h>
#include <zlib.h>

#include <memory>
#include <vector>

#include <sys/stat.h>

namespace {

const QString kMetar = "EGPD 051420Z 27045G60KT 9999 -SHRA FEW012 SCT025 07/03 Q0987\n"
                       "EKVG 051420Z 29038G52KT 3000 SHSN BKN008 01/M01 Q0979\n";
const QString kSynop = "AAXX 05141 03005 41456 82744 10070 20030 39870 49873 57025=\n";
const QString kGrib = "57.20 -2.20 N 1000 270 45 7.0 900 275 62 2.0 850 280 70 -1.5\n";

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray WithClaim(quint32 claim, const QByteArray& zlibStream)
{
    QByteArray file(4, '\0');
    qToBigEndian(claim, file.data());
    return file + zlibStream;
}

// A zlib stream of 1 GiB of zero bytes, about 1 MB long.
const QByteArray& GibibyteOfZeros()
{
    static const QByteArray stream = [] {
        z_stream zs{};
        deflateInit(&zs, Z_BEST_COMPRESSION);
        const QByteArray zeros(1 << 20, '\0');
        QByteArray out(2 << 20, '\0');
        zs.next_out = reinterpret_cast<Bytef*>(out.data());
        zs.avail_out = static_cast<uInt>(out.size());
        for (int mebibyte = 1; mebibyte <= 1024; ++mebibyte) {
            zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.constData()));
            zs.avail_in = static_cast<uInt>(zeros.size());
            deflate(&zs, mebibyte == 1024 ? Z_FINISH : Z_NO_FLUSH);
        }
        out.truncate(static_cast<int>(zs.total_out));
        deflateEnd(&zs);
        return out;
    }();
    return stream;
}

// The dialog against empty program and working folders; the prompter answers the file choosers.
class WxFileDialogTest : public ::testing::Test
{
protected:
    void SetUp() override { QDir().mkpath(StoredPath(".")); }
    void TearDown() override { WxFileDialog::SetWriteFailureForTesting(false); }

    QString StoredPath(const QString& name) const { return folders.ProgramFile("storedWX/" + name); }
    QStringList StoredFiles() const { return QDir(StoredPath(".")).entryList(QDir::Files); }

    // Saves the texts with the title and description typed in, the chooser answered with the path.
    void SaveAs(const QString& title, const QString& description, const QString& path,
                const QStringList& texts = {kMetar, kSynop, kGrib})
    {
        prompter.chooserAnswers = QStringList{path};
        WxFileDialog dialog(nullptr, WxFileDialog::Save, texts[0], texts[1], texts[2]);
        ModalDialogAnswer<WxFileDialog> answer([&](WxFileDialog& shown) {
            shown.findChild<QLineEdit*>("lineEdit_Title")->setText(title);
            shown.findChild<QTextEdit*>("textEdit_description")->setPlainText(description);
            shown.findChild<QLineEdit*>("lineEdit_airport")->setText("EGPD");
            shown.findChild<QDateTimeEdit*>("dateTimeEdit")->setDateTime(kGale);
            return true;
        });
        EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    }

    // Runs the Load dialog on the file and cancels it; the dialog is kept for its texts and fields.
    std::unique_ptr<WxFileDialog> Load(const QString& path)
    {
        prompter.chooserAnswers = QStringList{path};
        auto dialog = std::make_unique<WxFileDialog>(nullptr, WxFileDialog::Load, QString(), QString(), QString());
        ModalDialogAnswer<WxFileDialog> answer([](WxFileDialog&) { return false; });
        dialog->exec();
        EXPECT_EQ(answer.Answered(), 1);
        return dialog;
    }

    static QString Text(WxFileDialog& dialog, const char* name)
    {
        if (auto* edit = dialog.findChild<QLineEdit*>(name))
            return edit->text();
        return dialog.findChild<QTextEdit*>(name)->toPlainText();
    }

    const QDateTime kGale{QDate(2017, 3, 5), QTime(14, 20)};
    ScopedAppFolders folders;
    RecordingPrompter prompter;
    ScopedPrompter scopedPrompter{prompter};
};

} // namespace

TEST_F(WxFileDialogTest, SaveProposesTheTitleAndDateAndWritesTheSectionedText)
{
    for (const auto& [title, name] : {std::pair{"North Sea gale", "North_Sea_gale_20170305.ovyx"},
                                      {"", "_20170305.ovyx"},
                                      {"a/b", "a_b_20170305.ovyx"},
                                      {"..\\up", ".._up_20170305.ovyx"}}) {
        prompter.choosers.clear();
        SaveAs(title, QString(), QString());
        ASSERT_EQ(prompter.choosers.size(), 1u);
        EXPECT_EQ(prompter.choosers[0].kind, ChooserKind::SaveFile);
        EXPECT_EQ(prompter.choosers[0].directory, StoredPath(name)) << title;
    }
    // A cancelled chooser saves nothing.
    EXPECT_TRUE(StoredFiles().isEmpty());

    const QString header = "[HEADER]FileVersion=1.01\nTitle=North Sea gale\nDescription=Force 9 über EGPD\n"
                           "Location=EGPD\nDate=2017-03-05 14:20\n[/HEADER]\n";
    for (const auto& [texts, sections] :
         {std::pair{QStringList{kMetar, kSynop, kGrib},
                    "[METAR]\n" + kMetar + "[/METAR]\n\n[SYNOP]\n" + kSynop + "[/SYNOP]\n\n[GRIB]\n" + kGrib
                        + "[/GRIB]\n"},
          {QStringList{"", "", ""}, "[METAR]\n[/METAR]\n\n[SYNOP]\n[/SYNOP]\n\n[GRIB]\n[/GRIB]\n"}}) {
        SaveAs("North Sea gale", "Force 9 über EGPD", StoredPath("gale.ovyx"), texts);
        EXPECT_EQ(QString::fromUtf8(qUncompress(ReadFile(StoredPath("gale.ovyx")))), header + sections);
        EXPECT_EQ(StoredFiles(), QStringList{"gale.ovyx"});
    }
}

TEST_F(WxFileDialogTest, FailedSaveWarnsAndKeepsTheEarlierFile)
{
    const QString path = StoredPath("gale.ovyx");
    SaveAs("North Sea gale", "first", path);
    const QByteArray earlier = ReadFile(path);
    ASSERT_FALSE(earlier.isEmpty());

    WxFileDialog::SetWriteFailureForTesting(true);
    SaveAs("North Sea gale", "second", path);
    EXPECT_EQ(ReadFile(path), earlier);
    WxFileDialog::SetWriteFailureForTesting(false);

    QDir().mkpath(StoredPath("folder.ovyx"));
    SaveAs("North Sea gale", "third", StoredPath("folder.ovyx"));
    EXPECT_TRUE(QFileInfo(StoredPath("folder.ovyx")).isDir());

    ASSERT_EQ(prompter.asked.size(), 2u);
    for (const PromptRequest& warning : prompter.asked) {
        EXPECT_EQ(warning.kind, PromptKind::Warning);
        EXPECT_EQ(warning.title, "Aerovane - Save Weather");
    }
    EXPECT_TRUE(prompter.asked[0].text.startsWith("Could not save the weather file " + path + ":\n"));
    EXPECT_EQ(StoredFiles(), QStringList{"gale.ovyx"});
}

TEST_F(WxFileDialogTest, LoadGivesBackTheSectionsAndFieldsAsTyped)
{
    // Typed text that looks like keys or markers stays text of its field.
    const QString path = StoredPath("gale.ovyx");
    for (const auto& [title, description] :
         {std::pair<QString, QString>{"North Sea gale", "<b>x</b> a < b & c"},
          {"Fog at Location=EDDF", ""},
          {"EGPD", "Gale\nLocation=EGLL had it worse\nDate=2017-03-06 09:00"},
          {"Gale [/METAR] [/HEADER] [METAR]", "\nforce 9\n\ngusts 60 kt\n"},
          {"Title=x", "[/HEADER]\n[METAR]\nEGLL 051420Z 22010KT CAVOK 12/05 Q1030\n[/METAR]\nDescription=y"},
          {"Wind Description=gusty", "calm"},
          {"Gale", "calm\nTitle=draft"}}) {
        SCOPED_TRACE(title.toStdString());
        SaveAs(title, description, path);
        std::unique_ptr<WxFileDialog> dialog = Load(path);
        EXPECT_EQ(dialog->GetMetar() + dialog->GetSynop() + dialog->GetGrib(),
                  "\n" + kMetar + "\n" + kSynop + "\n" + kGrib);
        EXPECT_EQ(Text(*dialog, "lineEdit_Title"), title);
        EXPECT_EQ(Text(*dialog, "textEdit_description"), description);
        EXPECT_EQ(Text(*dialog, "lineEdit_airport"), "EGPD");
        EXPECT_EQ(dialog->findChild<QDateTimeEdit*>("dateTimeEdit")->dateTime(), kGale);
    }
    EXPECT_TRUE(prompter.asked.empty());

    // Files as written before: a description of two lines; without a location it runs to the date's line, and
    // without either to the header's end. Without SYNOP and grid sections those texts stay empty.
    const QByteArray sections = "[METAR]\n" + kMetar.toUtf8() + "[/METAR]\n\n[SYNOP]\n" + kSynop.toUtf8()
        + "[/SYNOP]\n\n[GRIB]\n" + kGrib.toUtf8() + "[/GRIB]\n";
    const struct
    {
        QByteArray content;
        QString fields;
        QString texts;
    } written[] = {
        {"[HEADER]FileVersion=1.01\nTitle=Gale\nDescription=Force 9\ngusts 60 kt\nLocation=EKVG\n"
         "Date=2017-03-05 14:20\n[/HEADER]\n"
             + sections,
         "Gale|Force 9\ngusts 60 kt|EKVG|" + kGale.toString(Qt::ISODate), "\n" + kMetar + "\n" + kSynop + "\n" + kGrib},
        {"[HEADER]FileVersion=1.01\nTitle=Gale\nDescription=Force 9\ngusts 60 kt\nDate=2017-03-05 14:20\n"
         "[/HEADER]\n"
             + sections,
         "Gale|Force 9\ngusts 60 kt||" + kGale.toString(Qt::ISODate), "\n" + kMetar + "\n" + kSynop + "\n" + kGrib},
        {"[HEADER]FileVersion=0.9\nDescription=Gale\nforce 9\n[/HEADER]\n[METAR]\n" + kMetar.toUtf8() + "[/METAR]\n",
         "|Gale\nforce 9||", "\n" + kMetar},
    };
    for (const auto& file : written) {
        SCOPED_TRACE(file.content.left(60).toStdString());
        WriteFile(path, PackStoredWeather(file.content));
        std::unique_ptr<WxFileDialog> dialog = Load(path);
        const QDateTime date = dialog->findChild<QDateTimeEdit*>("dateTimeEdit")->dateTime();
        EXPECT_EQ(Text(*dialog, "lineEdit_Title") + "|" + Text(*dialog, "textEdit_description") + "|"
                      + Text(*dialog, "lineEdit_airport") + "|" + (date == kGale ? date.toString(Qt::ISODate) : ""),
                  file.fields);
        EXPECT_EQ(dialog->GetMetar() + dialog->GetSynop() + dialog->GetGrib(), file.texts);
    }

    // Accepted without a file: three empty texts.
    WxFileDialog unused(nullptr, WxFileDialog::Load, QString(), QString(), QString());
    ModalDialogAnswer<WxFileDialog> answer([](WxFileDialog&) { return true; });
    EXPECT_EQ(unused.exec(), QDialog::Accepted);
    EXPECT_EQ(unused.GetMetar() + unused.GetSynop() + unused.GetGrib(), "");
}

// The box stands over the dialog, shown by then, and names the file and why it was not loaded.
TEST_F(WxFileDialogTest, UnreadableFileSaysNoWeatherFileAndWhyOverTheOpenDialog)
{
    const QString notStored = "it is not a stored weather file";
    const struct
    {
        QString name;
        QByteArray bytes;
        QString cause;
    } files[] = {
        {"corrupt.ovyx", QByteArrayLiteral("\x00\x00\x10\x00garbage that is no zlib stream"), notStored},
        {"markers.ovyx", PackStoredWeather("[HEADER]Title=x\n[/HEADER]\n[SYNOP]\n[/SYNOP]\n"), notStored},
        {"order.ovyx", PackStoredWeather("[/METAR]\n[METAR]\n[/HEADER]\n[HEADER]Title=x\n"), notStored},
        {"header.ovyx", PackStoredWeather("[/HEADER]\n[HEADER]Title=x\n[METAR]\n" + kMetar.toUtf8() + "[/METAR]\n"),
         notStored},
        {"huge.ovyx", WithClaim(kMaxStoredWeatherSize, GibibyteOfZeros()), notStored},
        {"missing.ovyx", QByteArray(), "No such file or directory"},
        {"fifo.ovyx", QByteArray(), "it is not a regular file"},
    };
    ASSERT_EQ(mkfifo(StoredPath("fifo.ovyx").toLocal8Bit().constData(), 0600), 0);
    bool overShownDialog = false;
    prompter.whileOpen = [&] {
        const QWidget* parent = prompter.asked.back().parent;
        overShownDialog = qobject_cast<const WxFileDialog*>(parent) && parent->isVisible();
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.name.toStdString());
        if (!file.bytes.isEmpty())
            WriteFile(StoredPath(file.name), file.bytes);
        prompter.asked.clear();
        overShownDialog = false;
        std::unique_ptr<WxFileDialog> dialog = Load(StoredPath(file.name));
        ASSERT_EQ(prompter.asked.size(), 1u);
        EXPECT_EQ((prompter.asked[0].title + ": " + prompter.asked[0].text).toStdString(),
                  ("Aerovane - Weather: No Weather File\n" + file.name + " was not loaded: " + file.cause + ".")
                      .toStdString());
        EXPECT_EQ(prompter.asked[0].parent, dialog.get());
        EXPECT_TRUE(overShownDialog);
        EXPECT_TRUE(dialog->GetMetar().isEmpty());
        EXPECT_TRUE(Text(*dialog, "lineEdit_Title").isEmpty());
    }
}

// The stores take no empty report and no section marker, so a save and load gives back exactly the reports
// held, also when the METAR text came with a doubled end marker and the SYNOP text ends in "=" and a line feed.
TEST_F(WxFileDialogTest, SaveAndLoadGiveBackExactlyTheReportsHeld)
{
    const std::wstring eddf = L"EDDF 051420Z 24012KT 9999 FEW030 12/07 Q1018";
    const std::wstring egll = L"EGLL 051420Z 22010KT CAVOK 12/05 Q1030";
    const std::wstring synops = L"AAXX 31001 78310 01470 70303 10250 20214 30094 40104=\n"
                                L"AAXX 31001 78315 01462 70402 10233 20228 30037 40102=\n";
    const QString path = StoredPath("held.ovyx");
    platform::ScopedDebugCapture quiet;
    aviation::weather::CWeatherManager manager;
    // As the window loads a stored file and saves the weather it holds.
    const auto load = [&] {
        std::unique_ptr<WxFileDialog> dialog = Load(path);
        manager.Clear();
        manager.InitMetar(dialog->GetMetar().toStdWString(), true);
        manager.InitSynop(dialog->GetSynop().toStdWString(), true);
    };
    const auto cycle = [&] {
        SaveAs("Held", QString(), path,
               {QString::fromStdWString(manager.CMetarManager::GetAllRaw()),
                QString::fromStdWString(manager.CSynopManager::GetAllRaw()), QString()});
        load();
        return ReadFile(path);
    };
    const auto held = [&] { return manager.CMetarManager::GetAllRaw() + L"|" + manager.CSynopManager::GetAllRaw(); };
    const std::wstring expected = eddf + L"\n" + egll + L"\n|" + synops;

    manager.InitMetar(eddf + L"\n[/METAR]\n" + egll + L"\n", true);
    manager.InitSynop(synops, true);
    ASSERT_EQ(held(), expected);
    const QByteArray saved = cycle();
    EXPECT_EQ(held(), expected);
    EXPECT_EQ(cycle(), saved);
    EXPECT_EQ(held(), expected);

    // A file in which an older save invented an empty METAR and an empty SYNOP report.
    WriteFile(path,
              PackStoredWeather(BuildStoredWeatherText({"Held", "", "", kGale,
                                                        QString::fromStdWString(L"\n" + eddf + L"\n" + egll + L"\n"),
                                                        QString::fromStdWString(synops + L"=\n"), ""})));
    load();
    EXPECT_EQ(held(), expected);
    EXPECT_EQ(cycle(), saved);
}

TEST(StoredWeatherFile, HostileFilesAreRefusedWithoutLargeAllocations)
{
    const QByteArray good = PackStoredWeather(BuildStoredWeatherText({"t", "d", "l", {}, kMetar, kSynop, kGrib}));
    QByteArray random(4096, '\0');
    QRandomGenerator generator(35);
    for (char& byte : random)
        byte = static_cast<char>(generator.bounded(256));
    QByteArray flipped = good;
    flipped[good.size() / 2] = static_cast<char>(flipped[good.size() / 2] ^ 0x55);
    ASSERT_LT(GibibyteOfZeros().size(), 2 * 1024 * 1024);

    const std::vector<std::pair<const char*, QByteArray>> files = {
        {"only a length", good.left(4)},
        {"truncated", good.left(good.size() - 10)},
        {"corrupt", flipped},
        {"random", random},
        {"plain text", BuildStoredWeatherText({})},
        {"2 GB claim", WithClaim(0x80000000u, good.mid(4))},
        {"more content than claimed", WithClaim(16, good.mid(4))},
        {"1 GiB of content, claimed", WithClaim(1u << 30, GibibyteOfZeros())},
        {"1 GiB of content under a small claim", WithClaim(1000, GibibyteOfZeros())},
    };
    for (const auto& [name, file] : files) {
        QByteArray content = "kept";
        EXPECT_FALSE(UnpackStoredWeather(file, content)) << name;
        EXPECT_EQ(content, "kept") << name;
    }
    QByteArray content;
    ASSERT_TRUE(UnpackStoredWeather(good, content));
    EXPECT_EQ(content, qUncompress(good));

    // Every cut of a content reads only once its METAR section is whole.
    const QString text = QString::fromUtf8(qUncompress(good));
    for (int cut = 0; cut <= text.size(); ++cut) {
        StoredWeatherFound found;
        EXPECT_EQ(ParseStoredWeatherText(text.left(cut), found), cut >= text.indexOf("[/METAR]") + 8) << cut;
    }
}
