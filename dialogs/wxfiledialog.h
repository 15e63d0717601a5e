// The stored-weather dialog: saves the METAR, SYNOP and grid texts it is given, with a title, description,
// location and date, as a ".ovyx" weather set in "storedWX", or loads such a set and hands its three texts back.
#pragma once

#include "ui_wxfiledialog.h"

#include <QDialog>
#include <QString>

class QDialogButtonBox;

class WxFileDialog : public QDialog
{
    Q_OBJECT

public:
    enum Mode { Load = 0, Save = 1 };

    WxFileDialog(QWidget* parent, int mode, const QString& metar, const QString& synop, const QString& grib);
    ~WxFileDialog() override;

    // Load mode first asks for a file and loads it; then the dialog runs modally. QDialog's result.
    int exec() override;

    int GetMode() const { return m_mode; }
    QString GetMetar() const { return m_metar; }
    QString GetSynop() const { return m_synop; }
    QString GetGrib() const { return m_grib; }
    // The stored-weather folder with the title (blanks and path characters as "_"), "_" and the date as
    // "yyyyMMdd", ".ovyx".
    QString DefaultFileName() const;

    // Makes the next saves fail as a full disk would, after the data was written and before it replaces the
    // target.
    static void SetWriteFailureForTesting(bool fail);

public slots:
    void accept() override;
    void reject() override;
    void OpenFileDlg();

private:
    QString ChooseFileToLoad();
    void ChooseFileAndSave();
    void LoadWxFile();
    void SaveWxFile();
    // Writes the file through a save file, so an earlier file stays whole until the new one is complete.
    bool WriteStoredFile(const QByteArray& data, QString& error) const;

    Ui::DlgWxFileDlg ui;
    int m_mode;
    QString m_folder;
    QString m_filePath;
    QString m_metar;
    QString m_synop;
    QString m_grib;
};
