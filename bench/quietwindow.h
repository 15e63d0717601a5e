// A main window for the benchmarks that takes every call and does nothing with it, but says whether it is connected
// and hands out a weather worker when given one.
#pragma once

#include "generation/mainwindowhost.h"

class QuietWindow : public CMainWindowHost
{
public:
    void SetWeather(const std::vector<CFSWeatherStation>&) override { }
    void SetWindFSUIPC(const aviation::weather::CLevel&) override { }
    void SendWindToXP(const CXPWeather&) override { }
    void SendStationToFS(const std::vector<aviation::weather::CStation>&) override { }
    void SetWeatherTheme(const std::string&) override { }
    void ShowFSMessage(const QString&) override { }
    void ShowMetar(aviation::weather::CMetar&) override { }
    void OnSetTextToolButtonICAO(const QString&) override { }
    void ShowNoMetarNearby(const QString&) override { }
    void ShowWeatherServerReached(bool) override { }
    void OnDebugString(const QString&, int) override { }
    void OnUpdateProgress(const QString&) override { }
    void ShowSplashMessage(const QString&) override { }
    bool IsConnected() override { return connected; }
    WXDownloader* GetDownloader() override { return nullptr; }
    CConnectWorker* GetConnectWorker() override { return nullptr; }
    void GetFlightPlan(aviation::CFlightplan&) override { }
    CWeatherWorker* GetWeatherWorker() override { return worker; }
    aviation::structs::CAircraftDetail GetAircraftDetails() override { return {}; }
    void FillAircraftCombo() override { }
    void SelectAircraftProfile(const QString&) override { }
    void LoadFlightPlanToFS(const QString&) override { }
    void OnTabFlightRecorderResetFlight() override { }
    void sigUIDebugString(const QString&, int) override { }
    void sigUIProgressTextUpdate(const QString&) override { }
    void sigUIUpdateProgress(int, const QString&) override { }
    void sigUIUpdateProgressBar(qint64, qint64) override { }
    void sigUIUpdateProgressToolTip(const QString&) override { }
    void sigDisableButton(int, bool) override { }
    void OnGenerationRunning(bool) override { }
    void sigUIUpdateDwcInfo(const CDirectWindControl&) override { }

    bool connected = true;
    CWeatherWorker* worker = nullptr;
};
