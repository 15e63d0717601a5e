// Load editor fixture: empty working and program folders, a recording prompter, a window host that records its
// calls, an unconnected connection worker and the window's form with its load editor page.
#pragma once

#include "forms/mainwindowform.h"
#include "loadeditor/aircraftprofile.h"
#include "loadeditor/tab_loadeditor.h"
#include "simlink/connectworker.h"
#include "tests/app/scopedappfolders.h"
#include "tests/generation/fakewindowhost.h"
#include "tests/generation/recordingprompter.h"

#include <gtest/gtest.h>

// Also ticks the check box ("Don't show again.") when told.
class CheckBoxPrompter : public RecordingPrompter
{
public:
    PromptResult AskWithCheckBox(const PromptRequest& request, const QString& checkBoxText) override
    {
        checkBoxTexts << checkBoxText;
        return {Ask(request), tickCheckBox};
    }
    bool tickCheckBox = false;
    QStringList checkBoxTexts;
};

// The bridge peer's aircraft.
inline aviation::structs::CAircraftDetail Boeing737()
{
    aviation::structs::CAircraftDetail profile;
    profile.name = L"Boeing 737-800 Aerovane Air";
    profile.type = L"Boeing 737-800";
    profile.code = L"B738";
    profile.Registration = L"D-AVNE";
    profile.airline = L"Aerovane Air";
    profile.EmptyWeight = 41234.5f;
    profile.maxTakeOffWeight = 174200.0f;
    profile.FuelFlow = 5300.0f;
    profile.cruiseSpeed = 450;
    profile.payload.AddStation({L"Forward Cabin", 0.0f, 12000.0f, 2});
    profile.payload.AddStation({L"Aft Cargo", 0.0f, 9000.0f, 3});
    return profile;
}

class LoadEditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetCurrentAircraft(aviation::structs::CAircraftDetail());
        ui.setupUi(&window);
        page = ui.tab_LoadEditor;
        page->Init(&host, &worker);
    }
    void TearDown() override { SetCurrentAircraft(aviation::structs::CAircraftDetail()); }

    // Saves the profile where the program looks for the aircraft of its name.
    static void SaveProfile(const aviation::structs::CAircraftDetail& profile)
    {
        SetCurrentAircraft(profile);
        ASSERT_TRUE(SaveAircraftProfile(AircraftProfilePath(QString::fromStdWString(profile.name))));
    }
    // The profile saved under the name, loaded as the current aircraft.
    static aviation::structs::CAircraftDetail Saved(const QString& name)
    {
        SetCurrentAircraft(aviation::structs::CAircraftDetail());
        EXPECT_TRUE(LoadAircraftProfile(AircraftProfilePath(name)));
        return GetCurrentAircraft();
    }

    ScopedAppFolders folders;
    CheckBoxPrompter prompter;
    ScopedPrompter scopedPrompter{prompter};
    FakeWindowHost host;
    CConnectWorker worker;
    CMainWindowForm window;
    Ui::Aerovane_ProClass& ui = window.ui;
    CTab_LoadEditor* page = nullptr;
};
