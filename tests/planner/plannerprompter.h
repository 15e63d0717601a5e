// The planner page inside the window's form, with a weather worker and a temporary program folder, and a
// prompter that answers questions, boxes of named buttons and file choosers as told, cancels the print dialog
// and keeps every box and chooser it was asked for.
#pragma once

#include "forms/mainwindowform.h"
#include "generation/prompter.h"
#include "generation/weatherworker.h"
#include "planner/tab_flightplanner.h"
#include "platform/debugoutput.h"
#include "platform/programfolder.h"
#include "settings/settings.h"
#include "tests/generation/fakewindowhost.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

class PlannerPrompter : public CPrompter
{
public:
    PromptAnswer Ask(const PromptRequest& request) override
    {
        asked.push_back(request);
        return request.kind == PromptKind::Question ? questionAnswer : PromptAnswer::Ok;
    }
    int AskWithButtons(const PromptRequest& request, const QStringList& buttons) override
    {
        asked.push_back(request);
        return buttons.indexOf(buttonAnswer);
    }
    QString Choose(const ChooserRequest& request) override
    {
        choosers.push_back(request);
        return chosenFile;
    }
    bool ChoosePrinter(QPrinter&) override
    {
        ++printDialogs;
        return false;
    }

    PromptAnswer questionAnswer = PromptAnswer::No;
    QString buttonAnswer; // the text of the button to press; any other closes the box
    QString chosenFile;
    std::vector<PromptRequest> asked;
    std::vector<ChooserRequest> choosers;
    int printDialogs = 0;
};

class PlannerPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir::setCurrent(dir.path());
        platform::SetProgramFolderForTesting(dir.path());
        worker = std::make_unique<CWeatherWorker>(&host);
        worker->StopTimers();
        ui.setupUi(&window);
        planner = ui.tab_flightplanner;
        planner->Init(&host, worker.get());
    }

    void TearDown() override
    {
        worker.reset();
        CSettings::Release();
        platform::SetProgramFolderForTesting(QString());
        QDir::setCurrent(m_previousDir);
    }

    QString m_previousDir = QDir::currentPath();
    QTemporaryDir dir;
    FakeWindowHost host;
    std::unique_ptr<CWeatherWorker> worker;
    PlannerPrompter prompter;
    ScopedPrompter scopedPrompter{prompter};
    platform::ScopedDebugCapture debug;
    CMainWindowForm window;
    Ui::Aerovane_ProClass& ui = window.ui;
    CTab_Flightplanner* planner = nullptr;
};

inline aviation::structs::CAircraftDetail Profile(int cruiseAltitude, int ceiling)
{
    aviation::structs::CAircraftDetail aircraft;
    aircraft.CruiseAlt = cruiseAltitude;
    aircraft.maxAlt = ceiling;
    return aircraft;
}
