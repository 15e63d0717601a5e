// The setup wizard for a first configuration: which simulator, which link and where its folders are. It proposes
// what it finds on the machine (install paths, the documents folder, FSUIPC's flight plan folder), can test the
// chosen link once a second until it answers, and on OK stores the link type and the folders.
#pragma once

#include "ui_dlgconfigurator.h"

#include <QDialog>
#include <QPointer>
#include <QString>

#include <memory>

class QAbstractButton;
class QTimer;

namespace platform {
class InstallPathProvider;
}

class DlgConfigurator : public QDialog
{
    Q_OBJECT

public:
    explicit DlgConfigurator(QWidget* parent = nullptr);
    ~DlgConfigurator() override;

    // The interface the radio buttons choose: 1 FSUIPC, 2 SimConnect, 3 both, 4 bridge client, 0 none.
    int ChosenInterface() const;

private slots:
    void OnOk(QAbstractButton* button);
    void NextPage();
    void BackPage();
    void StackedPageChanged(int index);
    void OnCheckConnection();
    void OnTimerConnectionCheck();
    void OnShowFolderDlg();

private:
    void InitPage();
    void AddDebugText(const QString& text);
    void StopConnectionCheck();
    // One step of the test; true when it finished the test.
    bool CheckFSUIPC();
    bool CheckSimConnect();
    bool CheckBridge();

    Ui::Dialog_configurator ui;
    std::unique_ptr<platform::InstallPathProvider> m_registry;
    QPointer<QTimer> m_connectionTimer;
    // The flight plan folder FSUIPC reported in the last successful test.
    QString m_fsFlightPlanFolder;
};
