#include "planner/dlgexportflightplan.h"
#include "settings/settings.h"
#include "tests/app/scopedappfolders.h"
#include "tests/generation/recordingprompter.h"

#include <gtest/gtest.h>

TEST(ExportOptionsDialog, SwitchesStoredEvenOnCancelChosenFoldersAtOnceTypedOnesNever)
{
    ScopedAppFolders folders;
    RecordingPrompter prompter;
    ScopedPrompter scopedPrompter{prompter};
    const QString chosen = folders.ProgramFile("SquawkBox");
    ASSERT_TRUE(QDir().mkpath(chosen));
    CSettings::SetExportFPSquawkbox(true);
    CSettings::SetExportFPXPlaneFolder("/home/pilot/X-Plane 11");
    prompter.chooserAnswers = QStringList{chosen, QString()};
    {
        DlgExportFlightplan dialog;
        const auto& form = dialog.Form();
        EXPECT_TRUE(form.checkBox_Export_Squawkbox->isChecked());
        EXPECT_FALSE(form.checkBox_ExportFS9->isChecked());
        form.checkBox_Export_Xplane->setChecked(true);
        form.lineEdit_export_fs9->setText("/typed/by/hand");
        form.toolButton_squawkbox->click();
        EXPECT_EQ(form.lineEdit_export_squawkbox->text(), chosen);
        EXPECT_EQ(CSettings::GetExportFPSquawkboxFolder(), chosen);
        // A cancelled chooser changes nothing.
        form.toolButton_xplane->click();
        EXPECT_EQ(form.lineEdit_export_xplane_fms->text(), "/home/pilot/X-Plane 11");
        dialog.reject();
        EXPECT_FALSE(CSettings::GetExportFPXPlane());
    }
    EXPECT_TRUE(CSettings::GetExportFPXPlane());
    EXPECT_FALSE(CSettings::GetExportFPFS9());
    EXPECT_TRUE(CSettings::GetExportFPFS9Folder().isEmpty());
    EXPECT_EQ(CSettings::GetExportFPXPlaneFolder(), "/home/pilot/X-Plane 11");
    // Every row's chooser has the same caption and starts in the row's folder.
    ASSERT_EQ(prompter.choosers.size(), 2u);
    EXPECT_EQ(prompter.choosers[1].kind, ChooserKind::Folder);
    EXPECT_EQ(prompter.choosers[1].caption, "Path FS9/FSX/P3D");
    EXPECT_EQ(prompter.choosers[1].directory, "/home/pilot/X-Plane 11");
}
