#include "dialogs/wxfilecontent.h"
#include "dialogs/wxfiledialog.h"
#include "platform/programfolder.h"
#include "tests/generation/recordingprompter.h"
#include "tests/support/modaldialoganswer.h"

#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtEndian>
#include <gtest/gtest.h>
#include <zlib.h>

#include <vector>

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

// A zlib stream of `size` zero bytes, about a thousandth of that long.
QByteArray ZeroStream(qint64 size)
{
    z_stream stream{};
    deflateInit(&stream, Z_BEST_COMPRESSION);
    const QByteArray zeros(1 << 20, '\0');
    QByteArray out;
    std::vector<char> chunk(1 << 16);
    for (qint64 left = size; left >= 0; left -= zeros.size()) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.constData()));
        stream.avail_in = static_cast<uInt>(qMin<qint64>(left, zeros.size()));
        const int flush = left <= zeros.size() ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
            stream.avail_out = static_cast<uInt>(chunk.size());
            deflate(&stream, flush);
            out.append(chunk.data(), static_cast<int>(chunk.size() - stream.avail_out));
        } while (stream.avail_out == 0);
        if (flush == Z_FINISH)
            break;
    }
    deflateEnd(&stream);
    return out;
}

// A zlib stream of 1 GiB of zero bytes, about a thousandth of that long.
const QByteArray& GibibyteOfZeros()
{
    static const QByteArray stream = ZeroStream(1LL << 30);
    return stream;
}

// The dialog against a temporary program folder; the prompter answers choosers from its list.
class WxFileDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::SetProgramFolderForTesting(m_programDir.path());
        QDir(m_programDir.path()).mkdir("storedWX");
    }
    void TearDown() override
    {
        WxFileDialog::SetWriteFailureForTesting(false);
        platform::SetProgramFolderForTesting(QString());
    }

    QString StoredPath(const QString& name) const { return m_programDir.filePath("storedWX/" + name); }

    static void Fill(WxFileDialog& dialog, const QString& title, const QString& description, const QDateTime& date)
    {
        dialog.findChild<QLineEdit*>("lineEdit_Title")->setText(title);
        dialog.findChild<QTextEdit*>("textEdit_description")->setPlainText(description);
        dialog.findChild<QLineEdit*>("lineEdit_airport")->setText("EGPD");
        dialog.findChild<QDateTimeEdit*>("dateTimeEdit")->setDateTime(date);
    }

    // Saves through the button box's Save with the answer given to the save-file chooser.
    void SaveAs(const QString& title, const QString& description, const QString& path, const QString& metar = kMetar,
                const QString& synop = kSynop, const QString& grib = kGrib)
    {
        prompter.chooserAnswers = QStringList{path};
        WxFileDialog dialog(nullptr, WxFileDialog::Save, metar, synop, grib);
        ModalDialogAnswer<WxFileDialog> answer([&](WxFileDialog& shown) {
            Fill(shown, title, description, kGale);
            return true;
        });
        EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    }

    // Runs the Load dialog on the file and cancels it; the dialog stays for its texts and fields.
    std::unique_ptr<WxFileDialog> Load(const QString& path)
    {
        prompter.chooserAnswers = QStringList{path};
        auto dialog = std::make_unique<WxFileDialog>(nullptr, WxFileDialog::Load, QString(), QString(), QString());
        ModalDialogAnswer<WxFileDialog> answer([](WxFileDialog&) { return false; });
        EXPECT_EQ(dialog->exec(), QDialog::Rejected);
        EXPECT_EQ(answer.Answered(), 1);
        return dialog;
    }

    std::vector<QString> Titles(PromptKind kind) const
    {
        std::vector<QString> found;
        for (const PromptRequest& request : prompter.asked) {
            if (request.kind == kind)
                found.push_back(request.title + ": " + request.text.section('\n', 0, 0));
        }
        return found;
    }

    const QDateTime kGale{QDate(2017, 3, 5), QTime(14, 20)};
    RecordingPrompter prompter;
    ScopedPrompter scopedPrompter{prompter};
    QTemporaryDir m_programDir;
};

} // namespace

TEST_F(WxFileDialogTest, ProposedNameIsTheTitleWithoutBlanksOrFoldersAndTheDate)
{
    const std::vector<std::pair<QString, QString>> titles = {{"North Sea gale", "North_Sea_gale_20170305.ovyx"},
                                                             {"", "_20170305.ovyx"},
                                                             {"a/b", "a_b_20170305.ovyx"},
                                                             {"..\\up", ".._up_20170305.ovyx"}};
    for (const auto& [title, name] : titles) {
        prompter.choosers.clear();
        SaveAs(title, QString(), QString());
        ASSERT_EQ(prompter.choosers.size(), 1u);
        EXPECT_EQ(prompter.choosers[0].kind, ChooserKind::SaveFile);
        EXPECT_EQ(prompter.choosers[0].caption, "Save Aerovane WX-File");
        EXPECT_EQ(prompter.choosers[0].filter, "WX Files (*.ovyx)");
        EXPECT_EQ(prompter.choosers[0].directory, StoredPath(name)) << title.toStdString();
    }
    // A cancelled chooser saves nothing.
    EXPECT_TRUE(QDir(StoredPath(".")).entryList(QDir::Files).isEmpty());
}

TEST_F(WxFileDialogTest, SavedFileUnpacksToTheSectionedText)
{
    const std::vector<std::tuple<QString, QString, QString, QString>> sets = {
        {kMetar, kSynop, kGrib,
         "[HEADER]FileVersion=1.01\nTitle=North Sea gale\nDescription=Force 9 über EGPD\nLocation=EGPD\n"
         "Date=2017-03-05 14:20\n[/HEADER]\n[METAR]\n"
             + kMetar + "[/METAR]\n\n[SYNOP]\n" + kSynop + "[/SYNOP]\n\n[GRIB]\n" + kGrib + "[/GRIB]\n"},
        {"", "", "",
         "[HEADER]FileVersion=1.01\nTitle=North Sea gale\nDescription=Force 9 über EGPD\nLocation=EGPD\n"
         "Date=2017-03-05 14:20\n[/HEADER]\n[METAR]\n[/METAR]\n\n[SYNOP]\n[/SYNOP]\n\n[GRIB]\n[/GRIB]\n"},
    };
    for (const auto& [metar, synop, grib, expected] : sets) {
        const QString path = StoredPath("gale.ovyx");
        SaveAs("North Sea gale", QString::fromUtf8("Force 9 über EGPD"), path, metar, synop, grib);
        const QByteArray packed = ReadFile(path);
        EXPECT_EQ(QString::fromUtf8(qUncompress(packed)), expected);
        // Nothing but the file stays behind.
        EXPECT_EQ(QDir(StoredPath(".")).entryList(QDir::Files), QStringList{"gale.ovyx"});
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

    const std::vector<QString> warnings = Titles(PromptKind::Warning);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0], "Aerovane - Save Weather: Could not save the weather file " + path + ":");
    EXPECT_TRUE(warnings[1].startsWith("Aerovane - Save Weather: Could not save"));
    EXPECT_EQ(QDir(StoredPath(".")).entryList(QDir::Files), QStringList{"gale.ovyx"});
}

TEST_F(WxFileDialogTest, LoadGivesBackTheSectionsAndFieldsAsTyped)
{
    const QString path = StoredPath("gale.ovyx");
    SaveAs("North Sea gale", "<b>x</b> a < b & c", path);
    std::unique_ptr<WxFileDialog> dialog = Load(path);

    EXPECT_EQ(dialog->GetMetar(), "\n" + kMetar);
    EXPECT_EQ(dialog->GetSynop(), "\n" + kSynop);
    EXPECT_EQ(dialog->GetGrib(), "\n" + kGrib);
    EXPECT_EQ(dialog->findChild<QLineEdit*>("lineEdit_Title")->text(), "North Sea gale");
    EXPECT_EQ(dialog->findChild<QTextEdit*>("textEdit_description")->toPlainText(), "<b>x</b> a < b & c");
    EXPECT_EQ(dialog->findChild<QLineEdit*>("lineEdit_airport")->text(), "EGPD");
    EXPECT_EQ(dialog->findChild<QDateTimeEdit*>("dateTimeEdit")->dateTime(), kGale);
    EXPECT_TRUE(dialog->findChild<QLineEdit*>("lineEdit_Title")->isReadOnly());
    EXPECT_TRUE(prompter.asked.empty());

    // A description of two lines comes back as its first; a file without SYNOP and grid sections loads with
    // those texts empty, whatever its version.
    WriteFile(path,
              PackStoredWeather("[HEADER]FileVersion=0.9\nDescription=Gale\nforce 9\n[/HEADER]\n[METAR]\n"
                                + kMetar.toUtf8() + "[/METAR]\n"));
    dialog = Load(path);
    EXPECT_EQ(dialog->findChild<QTextEdit*>("textEdit_description")->toPlainText(), "Gale");
    EXPECT_EQ(dialog->GetMetar(), "\n" + kMetar);
    EXPECT_EQ(dialog->GetSynop(), "");
    EXPECT_EQ(dialog->GetGrib(), "");
}

TEST_F(WxFileDialogTest, AcceptedWithoutAFileGivesEmptyTexts)
{
    WxFileDialog dialog(nullptr, WxFileDialog::Load, QString(), QString(), QString());
    ModalDialogAnswer<WxFileDialog> answer([](WxFileDialog&) { return true; });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(prompter.choosers.size(), 1u);
    EXPECT_EQ(prompter.choosers[0].caption, "Load Aerovane WX-File");
    EXPECT_TRUE(dialog.GetMetar().isEmpty() && dialog.GetSynop().isEmpty() && dialog.GetGrib().isEmpty());
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
    const QByteArray& gibibyte = GibibyteOfZeros();
    ASSERT_LT(gibibyte.size(), 2 * 1024 * 1024);

    const std::vector<std::pair<const char*, QByteArray>> files = {
        {"empty", QByteArray()},
        {"only a length", good.left(4)},
        {"truncated", good.left(good.size() - 10)},
        {"corrupt", flipped},
        {"random", random},
        {"plain text", BuildStoredWeatherText({})},
        {"2 GB claim", WithClaim(0x80000000u, good.mid(4))},
        {"more content than claimed", WithClaim(16, good.mid(4))},
        {"1 GiB of content, claimed", WithClaim(1u << 30, gibibyte)},
        {"1 GiB of content under a small claim", WithClaim(1000, gibibyte)},
    };
    for (const auto& [name, file] : files) {
        QByteArray content = "kept";
        EXPECT_FALSE(UnpackStoredWeather(file, content)) << name;
        EXPECT_EQ(content, "kept") << name;
    }
    QByteArray content;
    ASSERT_TRUE(UnpackStoredWeather(good, content));
    EXPECT_EQ(content, qUncompress(good));
}

TEST_F(WxFileDialogTest, UnreadableFileSaysNoWeatherFileAndKeepsTheDialogOpen)
{
    const std::vector<std::pair<QString, QByteArray>> files = {
        {"corrupt.ovyx", "\x00\x00\x10\x00garbage that is no zlib stream"},
        {"markers.ovyx", PackStoredWeather("[HEADER]Title=x\n[/HEADER]\n[SYNOP]\n[/SYNOP]\n")},
        {"huge.ovyx", WithClaim(kMaxStoredWeatherSize, GibibyteOfZeros())},
    };
    for (const auto& [name, bytes] : files) {
        WriteFile(StoredPath(name), bytes);
        prompter.asked.clear();
        std::unique_ptr<WxFileDialog> dialog = Load(StoredPath(name));
        ASSERT_EQ(Titles(PromptKind::Information), std::vector<QString>{"Aerovane - Weather: No Weather File"})
            << name.toStdString();
        EXPECT_TRUE(dialog->GetMetar().isEmpty());
        EXPECT_TRUE(dialog->findChild<QLineEdit*>("lineEdit_Title")->text().isEmpty());
    }
    prompter.asked.clear();
    Load(StoredPath("missing.ovyx"));
    EXPECT_EQ(Titles(PromptKind::Information), std::vector<QString>{"Aerovane - Weather: No Weather File"});
}
