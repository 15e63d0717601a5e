#include "loadeditor/aircraftconfigdlg.h"
#include "tests/loadeditor/loadeditortest.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

using aviation::structs::CAircraftDetail;

namespace {

// The texts of the station grid's rows below its header: name, weight, maximum, kind.
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

} // namespace

class AircraftEditor : public LoadEditorTest
{
protected:
    CAircraftDetail Saved(const QString& name)
    {
        SetCurrentAircraft(CAircraftDetail());
        EXPECT_TRUE(LoadAircraftProfile(AircraftProfilePath(name)));
        return GetCurrentAircraft();
    }
    void ClickSave(CAircraftConfigDlg& dialog) { dialog.buttonBox->button(QDialogButtonBox::Save)->click(); }
};

TEST_F(AircraftEditor, WeightsShowInPoundsOrWholeKilogramsAndSaveBackInPounds)
{
    SaveProfile(Boeing737());
    struct Case
    {
        bool pounds;
        const char* emptyWeight;
        const char* fuelFlow;
        float savedEmptyWeight;
    };
    const Case cases[] = {
        {true, "41234.5", "5300", 41234.5f},
        {false, "18703", "2404.04", static_cast<float>(18703 / 0.4535924)},
    };
    for (const Case& c : cases) {
        CSettings::SetUnitsLbs(c.pounds);
        CAircraftConfigDlg dialog(&host);
        dialog.OnLoadConfig(QStringLiteral("Boeing 737-800 Aerovane Air"));
        EXPECT_EQ(dialog.lineEdit_emptyWeight->text(), c.emptyWeight);
        EXPECT_EQ(dialog.lineEdit_FuelFlow->text(), c.fuelFlow);
        EXPECT_EQ(dialog.labelLbs_8->text(), c.pounds ? "lbs" : "kg");
        EXPECT_EQ(StationRow(dialog, 0), QStringList({"Forward Cabin", "0", c.pounds ? "12000" : "5443", "Passenger"}));
        ClickSave(dialog);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(Saved(QStringLiteral("Boeing 737-800 Aerovane Air")).EmptyWeight, c.savedEmptyWeight);
    }
}

TEST_F(AircraftEditor, SaveStaysOpenWithWhatWasTypedUntilTheProfileIsWritten)
{
    CAircraftConfigDlg dialog(&host);
    dialog.show();
    dialog.lineEdit_maxTOW->setText(QStringLiteral("174200"));
    ClickSave(dialog);
    EXPECT_EQ(prompter.texts, QStringList{"You must enter a name aircraft!"});
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
    // Text that is no finite number saves as none.
    dialog.lineEdit_FuelFlow->setText(QStringLiteral("inf"));
    dialog.lineEdit_TaxiFuel->setText(QStringLiteral("nan"));
    dialog.lineEdit_CruiseSpeed->setText(QStringLiteral("fast"));
    ClickSave(dialog);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(QDir(AircraftConfigFolder()).entryList(QDir::Files), QStringList{"A_B_C.cfg"});
    const CAircraftDetail saved = Saved(QStringLiteral("A/B C"));
    EXPECT_EQ(saved.maxTakeOffWeight, 174200.0f);
    EXPECT_EQ(saved.FuelFlow, 0.0f);
    EXPECT_EQ(saved.TaxiFuel, 0.0f);
    EXPECT_EQ(saved.cruiseSpeed, 0);
}

TEST_F(AircraftEditor, LoadDataFromFSTakesTheProfileWithTheSimulatorsLoads)
{
    SaveProfile(Boeing737());
    CAircraftDetail sim;
    sim.name = L"Boeing 737-800 Aerovane Air";
    sim.EmptyWeight = 91300.0f;
    sim.payload.AddStation({L"Forward Cabin", 6800.0f, 0.0f, 0});
    sim.payload.AddStation({L"Aft Cargo", 2800.0f, 0.0f, 0});
    host.aircraftDetail = sim;
    CAircraftConfigDlg dialog(&host);

    dialog.pushButton_refresh->click();
    EXPECT_EQ(dialog.lineEdit_AircraftName->text(), "");
    EXPECT_TRUE(prompter.asked.empty());

    host.connected = true;
    prompter.answer = PromptAnswer::Yes;
    dialog.pushButton_refresh->click();
    ASSERT_EQ(prompter.texts, QStringList{"Config file found for this aircraft.\nShould the data be overwritten?"});
    EXPECT_EQ(dialog.lineEdit_emptyWeight->text(), "41234.5");
    EXPECT_EQ(StationRow(dialog, 0), QStringList({"Forward Cabin", "6800", "12000", "Passenger"}));
    EXPECT_EQ(StationRow(dialog, 1), QStringList({"Aft Cargo", "2800", "9000", "Cargo"}));
}

TEST_F(AircraftEditor, ImportTakesAnotherProfileUnderTheCurrentIdentity)
{
    const QString folder = folders.ProgramFile(QStringLiteral("My Profiles"));
    QDir().mkpath(folder);
    SetCurrentAircraft(Boeing737());
    ASSERT_TRUE(SaveAircraftProfile(folder + QStringLiteral("/Boeing 737.cfg")));
    CAircraftConfigDlg dialog(&host);
    dialog.lineEdit_AircraftName->setText(QStringLiteral("Boeing 737-800 Sky Charter"));
    dialog.lineEdit_Type->setText(QStringLiteral("B737-800W"));
    dialog.lineEdit_Registration->setText(QStringLiteral("D-ASKY"));
    dialog.lineEdit_IcaoCode->setText(QStringLiteral("B38M"));

    prompter.chooserAnswers << folder + QStringLiteral("/Boeing 737.cfg");
    dialog.toolButton_ImportAircraft->click();
    ASSERT_EQ(prompter.choosers.size(), 1u);
    EXPECT_EQ(prompter.choosers[0].caption, "Load Aircraft Config");
    EXPECT_EQ(prompter.choosers[0].directory, AircraftConfigFolder());
    EXPECT_EQ(prompter.choosers[0].filter, "Aircraft Config Files (*.cfg)");
    EXPECT_EQ(dialog.lineEdit_AircraftName->text(), "Boeing 737-800 Sky Charter");
    EXPECT_EQ(dialog.lineEdit_Type->text(), "B737-800W");
    EXPECT_EQ(dialog.lineEdit_Registration->text(), "D-ASKY");
    EXPECT_EQ(dialog.lineEdit_IcaoCode->text(), "B38M");
    EXPECT_EQ(dialog.lineEdit_emptyWeight->text(), "41234.5");
    EXPECT_EQ(dialog.lineEdit_CruiseSpeed->text(), "450");

    // "Load Aircraft" takes the identity too.
    prompter.chooserAnswers << folder + QStringLiteral("/Boeing 737.cfg");
    dialog.toolButton_LoadAircraft->click();
    EXPECT_EQ(dialog.lineEdit_AircraftName->text(), "Boeing 737-800 Aerovane Air");

    // "New Aircraft" empties the form; saved under a new name, every number is 0 and no station is left.
    dialog.radioButton_PaxAsPassenger->setChecked(true);
    dialog.toolButton_NewAircraft->click();
    EXPECT_EQ(dialog.lineEdit_Registration->text(), "");
    dialog.lineEdit_AircraftName->setText(QStringLiteral("Cessna 172"));
    ClickSave(dialog);
    const CAircraftDetail saved = Saved(QStringLiteral("Cessna 172"));
    EXPECT_EQ(saved.EmptyWeight, 0.0f);
    EXPECT_EQ(saved.cruiseSpeed, 0);
    EXPECT_TRUE(saved.payload.stations.empty());
    EXPECT_TRUE(saved.PaxAsPassenger);

    dialog.OnLoadConfig(QStringLiteral("Piper PA-28"));
    EXPECT_EQ(prompter.texts.last(), "Aircraft not found");
}
