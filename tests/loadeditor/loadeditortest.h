// Fixture of the load editor tests: empty working and program folders, a scripted prompter, a window host that
// records its calls, an unconnected connection worker and the main window's form with its load editor page; and
// the profile of the bridge peer's aircraft.
#pragma once

#include "forms/mainwindowform.h"
#include "loadeditor/aircraftprofile.h"
#include "loadeditor/tab_loadeditor.h"
#include "simlink/connectworker.h"
#include "tests/app/scopedappfolders.h"
#include "tests/generation/fakewindowhost.h"
#include "tests/loadeditor/scriptedprompter.h"

#include <gtest/gtest.h>

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

    ScopedAppFolders folders;
    ScriptedPrompter prompter;
    ScopedPrompter scopedPrompter{prompter};
    FakeWindowHost host;
    CConnectWorker worker;
    CMainWindowForm window;
    Ui::Aerovane_ProClass& ui = window.ui;
    CTab_LoadEditor* page = nullptr;
};
