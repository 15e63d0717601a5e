#include "loadeditor/aircraftconfigdlg.h"
#include "tests/loadeditor/loadeditortest.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

#include <functional>

using aviation::structs::CAircraftDetail;

namespace {

// The texts of a station row below the grid's header: name, weight, maximum, kind.
QStringList StationRow(CAircraftConfigDlg& dialog, int row)
{
    QStringList texts;
    for (int column = 0; column < 4; ++column) {
        QWidget* cell = dialog.gridLayoutPayload->itemAtPosition(row + 1, column)->widget();
        if (auto* label = qobject_cast<QLabel*>(cell))
            texts << label->text();
        else if (auto* field = qobject_cast<QLineEdit*>(cell))
            texts << field->text();
        else
            texts << qobject_cast<QComboBox*>(cell)->currentText();
    }
    return texts;
}

void ClickSave(CAircraftConfigDlg& dialog)
{
    dialog.buttonBox->button(QDialogButtonBox::Save)->click();
}

} // namespace

using AircraftEditor = LoadEditorTest;

TEST_F(AircraftEditor, WeightsShowInPoundsOrWholeKilogramsAndSaveBackInPounds)
{
    SaveProfile(Boeing737());
    for (const bool pounds : {true, false}) {
        CSettings::SetUnitsLbs(pounds);
        CAircraftConfigDlg dialog(&host);
        dialog.OnLoadConfig(QStringLiteral("Boeing 737-800 Aerovane Air"));
        EXPECT_EQ(dialog.lineEdit_emptyWeight->text(), pounds ? "41234.5" : "18703");
        EXPECT_EQ(dialog.lineEdit_FuelFlow->text(), pounds ? "5300" : "2404.04");
        EXPECT_EQ(StationRow(dialog, 0), QStringList({"Forward Cabin", "0", pounds ? "12000" : "5443", "Passenger"}));
        ClickSave(dialog);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(Saved(QStringLiteral("Boeing 737-800 Aerovane Air")).EmptyWeight,
                  pounds ? 41234.5f : static_cast<float>(18703 / 0.4535924));
    }
}

TEST_F(AircraftEditor, SaveStaysOpenWithWhatWasTypedUntilTheProfileIsWritten)
{
    CAircraftConfigDlg dialog(&host);
    dialog.show();
    dialog.lineEdit_maxTOW->setText(QStringLiteral("174200"));
    ClickSave(dialog);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].text, "You must enter a name aircraft!");
    EXPECT_TRUE(dialog.isVisible());

    // A plain file where the profiles' folder should be.
    QFile(AircraftConfigFolder()).open(QIODevice::WriteOnly);
    dialog.lineEdit_AircraftName->setText(QStringLiteral("A/B C"));
    ClickSave(dialog);
    ASSERT_EQ(prompter.asked.size(), 2u);
    EXPECT_EQ(prompter.asked[1].title, "Aircraft Configurator");
    EXPECT_EQ(prompter.asked[1].kind, PromptKind::Warning);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.lineEdit_maxTOW->text(), "174200");

    QFile::remove(AircraftConfigFolder());
    ClickSave(dialog);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(QDir(AircraftConfigFolder()).entryList(QDir::Files), QStringList{"A_B_C.cfg"});
    EXPECT_EQ(Saved(QStringLiteral("A/B C")).maxTakeOffWeight, 174200.0f);
}

TEST_F(AircraftEditor, NumberFieldsTakeOnlyNumbersOfTheirRangeAndSaveNamesTheOthers)
{
    SaveProfile(Boeing737());
    // The user's locale writes "12,5"; the fields read it as twelve and a half or refuse it, whatever the locale.
    const QLocale userLocale;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    CAircraftConfigDlg dialog(&host);
    const auto station
        = [&dialog] { return qobject_cast<QLineEdit*>(dialog.gridLayoutPayload->itemAtPosition(1, 2)->widget()); };
    using Read = float (*)(const CAircraftDetail&);
    // A field, its name in messages, the record field it saves into, and texts with the value saved (-1: refused,
    // the dialog open and the file unchanged).
    const std::vector<std::tuple<std::function<QLineEdit*()>, QString, Read, std::vector<std::pair<QString, float>>>>
        cases = {
            {[&] { return dialog.lineEdit_emptyWeight; },
             "Empty Weight",
             [](const CAircraftDetail& a) { return a.EmptyWeight; },
             {{"abc", -1},
              {"-50", -1},
              {"1e9", -1},
              {"", -1},
              {"12,5", 12.5f},
              {"12.345", -1},
              {"2000001", -1},
              {"2000000", 2000000.0f}}},
            {[&] { return dialog.lineEdit_FuelFlow; },
             "Fuel Flow",
             [](const CAircraftDetail& a) { return a.FuelFlow; },
             {{"100001", -1}, {"99999", 99999.0f}}},
            {[&] { return dialog.lineEdit_CruiseSpeed; },
             "Cruise Speed",
             [](const CAircraftDetail& a) { return static_cast<float>(a.cruiseSpeed); },
             {{"12,5", -1}, {"1001", -1}, {"1000", 1000.0f}}},
            {station,
             "max. Weight of \"Forward Cabin\"",
             [](const CAircraftDetail& a) { return a.payload.stations[0].maxWeight; },
             {{"-50", -1}, {"abc", -1}, {"1999999", 1999999.0f}}},
        };
    const QString name = QStringLiteral("Boeing 737-800 Aerovane Air");
    for (const auto& [field, fieldName, read, texts] : cases) {
        for (const auto& [text, saved] : texts) {
            SCOPED_TRACE(text.toStdString());
            dialog.OnLoadConfig(name);
            const float before = read(Saved(name));
            prompter.asked.clear();
            field()->setText(text);
            ClickSave(dialog);
            if (saved < 0) {
                ASSERT_EQ(prompter.asked.size(), 1u);
                EXPECT_TRUE(prompter.asked[0].text.contains(fieldName + ": \"" + text + "\" is not a number"))
                    << prompter.asked[0].text.toStdString();
                EXPECT_FALSE(field()->styleSheet().isEmpty());
                EXPECT_EQ(read(Saved(name)), before);
            } else {
                EXPECT_TRUE(prompter.asked.empty());
                EXPECT_EQ(read(Saved(name)), saved);
            }
        }
    }
    // Keys that cannot be part of a number are not taken; a separator is, and then refused by name.
    for (const auto& [typed, kept] : {std::pair<const char*, const char*>{"1e9", "19"}, {"12,5", "12,5"}}) {
        dialog.lineEdit_CruiseSpeed->clear();
        QTest::keyClicks(dialog.lineEdit_CruiseSpeed, QString::fromLatin1(typed));
        EXPECT_EQ(dialog.lineEdit_CruiseSpeed->text(), kept);
    }
    QLocale::setDefault(userLocale);
}

TEST_F(AircraftEditor, LoadAircraftRefusesAFileThatIsNoProfileAndKeepsTheForm)
{
    SaveProfile(Boeing737());
    const QString noise = folders.ProgramFile(QStringLiteral("noise.cfg"));
    QFile file(noise);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QRandomGenerator random(44);
    for (int i = 0; i < 4096; ++i)
        file.putChar(static_cast<char>(random.bounded(256)));
    file.close();

    CAircraftConfigDlg dialog(&host);
    dialog.OnLoadConfig(QStringLiteral("Boeing 737-800 Aerovane Air"));
    prompter.chooserAnswers << noise;
    dialog.toolButton_LoadAircraft->click();
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].text, noise + " is no aircraft config: it holds neither a name nor weights.");
    EXPECT_EQ(dialog.lineEdit_AircraftName->text(), "Boeing 737-800 Aerovane Air");
    EXPECT_EQ(dialog.lineEdit_emptyWeight->text(), "41234.5");
    EXPECT_EQ(GetCurrentAircraft().EmptyWeight, 41234.5f);
}

TEST_F(AircraftEditor, LoadDataFromFSTakesTheProfileWithTheSimulatorsLoads)
{
    SaveProfile(Boeing737());
    host.aircraftDetail.name = L"Boeing 737-800 Aerovane Air";
    host.aircraftDetail.payload.AddStation({L"Forward Cabin", 6800.0f, 0.0f, 0});
    host.aircraftDetail.payload.AddStation({L"Aft Cargo", 2800.0f, 0.0f, 0});
    CAircraftConfigDlg dialog(&host);
    // Not connected: nothing happens.
    dialog.pushButton_refresh->click();
    EXPECT_EQ(dialog.lineEdit_AircraftName->text(), "");

    host.connected = true;
    prompter.answers = {PromptAnswer::Yes};
    dialog.pushButton_refresh->click();
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].text, "Config file found for this aircraft.\nShould the data be overwritten?");
    EXPECT_EQ(dialog.lineEdit_emptyWeight->text(), "41234.5");
    EXPECT_EQ(StationRow(dialog, 0), QStringList({"Forward Cabin", "6800", "12000", "Passenger"}));
    EXPECT_EQ(StationRow(dialog, 1), QStringList({"Aft Cargo", "2800", "9000", "Cargo"}));
}

TEST_F(AircraftEditor, ImportTakesAnotherProfileUnderTheCurrentIdentity)
{
    const QString file = folders.ProgramFile(QStringLiteral("Boeing 737.cfg"));
    SetCurrentAircraft(Boeing737());
    ASSERT_TRUE(SaveAircraftProfile(file));
    CAircraftConfigDlg dialog(&host);
    const QStringList identity = {"Boeing 737-800 Sky Charter", "B737-800W", "D-ASKY", "B38M"};
    QLineEdit* identityFields[]
        = {dialog.lineEdit_AircraftName, dialog.lineEdit_Type, dialog.lineEdit_Registration, dialog.lineEdit_IcaoCode};
    for (int i = 0; i < identity.size(); ++i)
        identityFields[i]->setText(identity[i]);

    prompter.chooserAnswers << file;
    dialog.toolButton_ImportAircraft->click();
    ASSERT_EQ(prompter.choosers.size(), 1u);
    EXPECT_EQ(prompter.choosers[0].directory, AircraftConfigFolder());
    for (int i = 0; i < identity.size(); ++i)
        EXPECT_EQ(identityFields[i]->text(), identity[i]);
    EXPECT_EQ(dialog.lineEdit_emptyWeight->text(), "41234.5");
    EXPECT_EQ(dialog.lineEdit_CruiseSpeed->text(), "450");

    // "New Aircraft" empties the form; saved under a new name, every number is 0 and no station is left.
    dialog.radioButton_PaxAsPassenger->setChecked(true);
    dialog.toolButton_NewAircraft->click();
    EXPECT_EQ(dialog.lineEdit_Registration->text(), "");
    dialog.lineEdit_AircraftName->setText(QStringLiteral("Cessna 172"));
    ClickSave(dialog);
    const CAircraftDetail saved = Saved(QStringLiteral("Cessna 172"));
    EXPECT_EQ(saved.EmptyWeight + static_cast<float>(saved.cruiseSpeed), 0.0f);
    EXPECT_TRUE(saved.payload.stations.empty());
    EXPECT_TRUE(saved.PaxAsPassenger);

    dialog.OnLoadConfig(QStringLiteral("Piper PA-28"));
    EXPECT_EQ(prompter.asked.back().text, "Aircraft not found");
}
