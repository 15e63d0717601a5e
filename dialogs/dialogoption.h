// The options dialog, in which the user edits the program's settings: it reads every value once when it is built
// and writes them all back on OK; Cancel, Escape and closing write nothing. The main window runs it modally.
#pragma once

#include "dialogs/userbuttonlist.h"
#include "dialogs/wxstationtool.h"
#include "ui_dialogoption.h"

#include <QDialog>
#include <QString>

#include <memory>

class QAbstractButton;

class DialogOption : public QDialog
{
    Q_OBJECT

public:
    explicit DialogOption(QWidget* parent = nullptr);
    ~DialogOption() override;

    // Fills every widget from the settings store.
    void LoadSettings();
    // True when the folder (the stored simulator folder for an empty path) exists, can be listed and written.
    bool IsFSPathWritable(QString path);
    // How long the test login waits for the recorder service.
    void SetLoginTimeout(int milliseconds) { m_loginTimeoutMs = milliseconds; }

public slots:
    // Stores every widget into the settings store and closes the dialog.
    void accept() override;

private slots:
    void ToUpper(const QString& text);
    void OnComboBoxInterfaceChanged(const QString& text);
    void OnShowExportMetar(bool on);
    void OnShowFolderDlgMetarExport();
    void OnShowFolderDlgPMDG777WxExport();
    void OnShowFolderDlg();
    void OnToolButton_PathToFS_FileDlg();
    void OnToolButton_PathToXPlane_FileDlg();
    QString OnShow_PathFS_FolderDlg(const QString& startFolder);
    void OnPushbuttonPingServer();
    void OnPushButtonRecorderTestLogin();
    void OnToolButtonSoundOpenFileDlg();
    void OnSliderWxModelChange(int value);
    void OnButtonGroupWeatherModeClicked(QAbstractButton* button);
    // The weather-station generator: read, search, create (backup, then AddWxStationsToFS) and restore.
    void OnPushbutton_ReadingOvyxStations();
    void OnPushbutton_search_icao();
    void OnPushButton_create_wxstationinFS();
    void OnPushbutton_Restore_wxstations();

private:
    // Extends the simulator's station files with the airports of the window's weather model.
    void AddWxStationsToFS();
    void ConnectStationTool();
    void Warn(const QString& text);
    // A folder chooser with the caption, starting in the folder; the chosen folder or empty after a cancel.
    QString ChooseFolder(const QString& caption, const QString& startFolder, const QString& filter = QString());

    // The window the dialog was opened from.
    QWidget* m_parent;
    Ui::DialogOption ui;
    UserButtonList m_userButtons;
    int m_loginTimeoutMs;
    std::unique_ptr<WxStationTool> m_stationTool;
};
