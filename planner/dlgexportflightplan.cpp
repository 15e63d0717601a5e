#include "planner/dlgexportflightplan.h"

#include "generation/prompter.h"
#include "settings/settings.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace {

// One row of the form: its "..." button, the folder field it fills and where the chosen folder is stored.
struct FolderRow
{
    QToolButton* button;
    QLineEdit* folder;
    void (*store)(const QString&);
};

} // namespace

DlgExportFlightplan::DlgExportFlightplan(QWidget* parent)
    : QDialog(parent)
{
    m_ui.setupUi(this);
    m_ui.checkBox_ExportFS9->setChecked(CSettings::GetExportFPFS9());
    m_ui.checkBox_ExportFSXP3D->setChecked(CSettings::GetExportFPFSX());
    m_ui.checkBox_Export_Xplane->setChecked(CSettings::GetExportFPXPlane());
    m_ui.checkBox_Export_AirbusX->setChecked(CSettings::GetExportFPAirbusX());
    m_ui.checkBox_Export_Squawkbox->setChecked(CSettings::GetExportFPSquawkbox());
    m_ui.lineEdit_export_fs9->setText(CSettings::GetExportFPFS9Folder());
    m_ui.lineEdit_export_fsxp3d->setText(CSettings::GetExportFPFSXFolder());
    m_ui.lineEdit_export_xplane_fms->setText(CSettings::GetExportFPXPlaneFolder());
    m_ui.lineEdit_export_airbusx->setText(CSettings::GetExportFPAirbusXFolder());
    m_ui.lineEdit_export_squawkbox->setText(CSettings::GetExportFPSquawkboxFolder());
    for (QToolButton* button : {m_ui.toolButton_fs9, m_ui.toolButton_fsxp3d, m_ui.toolButton_airbusx,
                                m_ui.toolButton_xplane, m_ui.toolButton_squawkbox})
        connect(button, &QToolButton::clicked, this, &DlgExportFlightplan::OnShowFolderDlg);
}

DlgExportFlightplan::~DlgExportFlightplan()
{
    CSettings::SetExportFPFS9(m_ui.checkBox_ExportFS9->isChecked());
    CSettings::SetExportFPFSX(m_ui.checkBox_ExportFSXP3D->isChecked());
    CSettings::SetExportFPXPlane(m_ui.checkBox_Export_Xplane->isChecked());
    CSettings::SetExportFPAirbusX(m_ui.checkBox_Export_AirbusX->isChecked());
    CSettings::SetExportFPSquawkbox(m_ui.checkBox_Export_Squawkbox->isChecked());
}

void DlgExportFlightplan::OnShowFolderDlg()
{
    const FolderRow rows[] = {
        {m_ui.toolButton_fs9, m_ui.lineEdit_export_fs9, &CSettings::SetExportFPFS9Folder},
        {m_ui.toolButton_fsxp3d, m_ui.lineEdit_export_fsxp3d, &CSettings::SetExportFPFSXFolder},
        {m_ui.toolButton_airbusx, m_ui.lineEdit_export_airbusx, &CSettings::SetExportFPAirbusXFolder},
        {m_ui.toolButton_xplane, m_ui.lineEdit_export_xplane_fms, &CSettings::SetExportFPXPlaneFolder},
        {m_ui.toolButton_squawkbox, m_ui.lineEdit_export_squawkbox, &CSettings::SetExportFPSquawkboxFolder},
    };
    for (const FolderRow& row : rows) {
        if (sender() != row.button)
            continue;
        // Every row's chooser carries the same caption.
        const QString chosen = Prompter().Choose(
            {ChooserKind::Folder, QStringLiteral("Path FS9/FSX/P3D"), row.folder->text(), QString()});
        if (chosen.isEmpty())
            return;
        qDebug() << chosen;
        const QString folder = QDir::fromNativeSeparators(QFileInfo(chosen).absoluteFilePath());
        row.folder->setText(folder);
        row.store(folder);
        return;
    }
}
