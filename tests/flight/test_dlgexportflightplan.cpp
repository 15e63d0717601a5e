#include "flight/dlgexportflightplan.h"
#include "settings/settings.h"
#include "tests/app/scopedappfolders.h"
#include "tests/generation/recordingprompter.h"

#include <gtest/gtest.h>

namespace {

class ExportOptionsDialogTest : public ::testing::Test
{
protected:
    ScopedAppFolders folders;
    RecordingPrompter prompter;
    ScopedPrompter scopedPrompter{prompter};
};

} // namespace

TEST_F(ExportOptionsDialogTest, ShowsTheStoredSwitchesAndFolders)
{
    {
        DlgExportFlightplan dialog;
        const auto& form = dialog.Form();
        for (const QCheckBox* box : {form.checkBox_ExportFS9, form.checkBox_ExportFSXP3D, form.checkBox_Export_Xplane,
                                     form.checkBox_Export_AirbusX, form.checkBox_Export_Squawkbox})
            EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
        EXPECT_TRUE(form.lineEdit_export_fs9->text().isEmpty());
    }
    CSettings::SetExportFPXPlane(true);
    CSettings::SetExportFPXPlaneFolder("/home/pilot/X-Plane 11/Output/FMS plans");
    CSettings::SetExportFPSquawkboxFolder("/home/pilot/SquawkBox");
    DlgExportFlightplan dialog;
    const auto& form = dialog.Form();
    EXPECT_TRUE(form.checkBox_Export_Xplane->isChecked());
    EXPECT_FALSE(form.checkBox_ExportFS9->isChecked());
    EXPECT_EQ(form.lineEdit_export_xplane_fms->text(), "/home/pilot/X-Plane 11/Output/FMS plans");
    EXPECT_EQ(form.lineEdit_export_squawkbox->text(), "/home/pilot/SquawkBox");
}

TEST_F(ExportOptionsDialogTest, SwitchesStoredEvenOnCancelAndTypedFoldersNever)
{
    {
        DlgExportFlightplan dialog;
        dialog.Form().checkBox_Export_Xplane->setChecked(true);
        dialog.Form().lineEdit_export_fs9->setText("/typed/by/hand");
        dialog.reject();
        EXPECT_FALSE(CSettings::GetExportFPXPlane());
    }
    EXPECT_TRUE(CSettings::GetExportFPXPlane());
    EXPECT_FALSE(CSettings::GetExportFPFS9());
    EXPECT_TRUE(CSettings::GetExportFPFS9Folder().isEmpty());
}

TEST_F(ExportOptionsDialogTest, ChosenFolderIsStoredAtOnceAndCancelledChooserChangesNothing)
{
    const QString chosen = folders.ProgramFile("SquawkBox");
    ASSERT_TRUE(QDir().mkpath(chosen));
    CSettings::SetExportFPXPlaneFolder("/home/pilot/X-Plane 11");
    prompter.chooserAnswers = QStringList{chosen, QString()};
    DlgExportFlightplan dialog;
    dialog.Form().toolButton_squawkbox->click();
    EXPECT_EQ(dialog.Form().lineEdit_export_squawkbox->text(), chosen);
    EXPECT_EQ(CSettings::GetExportFPSquawkboxFolder(), chosen);

    dialog.Form().toolButton_xplane->click();
    EXPECT_EQ(CSettings::GetExportFPXPlaneFolder(), "/home/pilot/X-Plane 11");
    EXPECT_EQ(dialog.Form().lineEdit_export_xplane_fms->text(), "/home/pilot/X-Plane 11");

    // Every row's chooser has the same caption and starts in the row's folder.
    ASSERT_EQ(prompter.choosers.size(), 2u);
    EXPECT_EQ(prompter.choosers[1].kind, ChooserKind::Folder);
    EXPECT_EQ(prompter.choosers[1].caption, "Path FS9/FSX/P3D");
    EXPECT_EQ(prompter.choosers[1].directory, "/home/pilot/X-Plane 11");
}
