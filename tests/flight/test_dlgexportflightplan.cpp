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

TEST_F(ExportOptionsDialogTest, SwitchesStoredEvenOnCancelAndTypedFoldersNever)
{
    CSettings::SetExportFPSquawkbox(true);
    {
        DlgExportFlightplan dialog;
        EXPECT_TRUE(dialog.Form().checkBox_Export_Squawkbox->isChecked());
        EXPECT_FALSE(dialog.Form().checkBox_ExportFS9->isChecked());
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
