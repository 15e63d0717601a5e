// A main window host for tests of weather generation: records every call and signal in order, answers
// IsConnected as told and hands out its own downloader.
#pragma once

#include "generation/directwindcontrol.h"
#include "generation/mainwindowhost.h"
#include "generation/wxdownloader.h"

#include <QString>
#include <QStringList>

class FakeWindowHost : public CMainWindowHost
{
public:
    void SetWeather(const std::vector<CFSWeatherStation>& stations) override
    {
        calls << QStringLiteral("SetWeather(%1)").arg(stations.size());
    }
    void SetWindFSUIPC(const aviation::weather::CLevel&) override { calls << QStringLiteral("SetWindFSUIPC"); }
    void SendWindToXP(const CXPWeather&) override { calls << QStringLiteral("SendWindToXP"); }
    void SendStationToFS(const std::vector<aviation::weather::CStation>& stations) override
    {
        calls << QStringLiteral("SendStationToFS(%1)").arg(stations.size());
    }
    void SetWeatherTheme(const std::string& theme) override
    {
        calls << QStringLiteral("SetWeatherTheme(%1)").arg(QString::fromStdString(theme));
    }
    void ShowFSMessage(const QString& text) override { calls << QStringLiteral("ShowFSMessage(%1)").arg(text); }
    void ShowMetar(aviation::weather::CMetar& metar) override
    {
        calls << QStringLiteral("ShowMetar(%1)").arg(QString::fromWCharArray(metar.GetICAO()));
    }
    void OnSetTextToolButtonICAO(const QString& icao) override
    {
        calls << QStringLiteral("OnSetTextToolButtonICAO(%1)").arg(icao);
    }
    void OnDebugString(const QString& text, int target) override
    {
        calls << QStringLiteral("OnDebugString(%1,%2)").arg(text).arg(target);
    }
    void OnUpdateProgress(const QString& text) override
    {
        calls << QStringLiteral("OnUpdateProgress(%1)").arg(text);
        statuses << text;
    }
    void ShowWeatherServerReached(bool reached) override
    {
        calls << QStringLiteral("ShowWeatherServerReached(%1)").arg(reached);
    }
    void ShowNoMetarNearby(const QString& text) override { calls << QStringLiteral("ShowNoMetarNearby(%1)").arg(text); }
    void ShowSplashMessage(const QString& text) override { splash << text; }
    bool IsConnected() override { return connected; }
    WXDownloader* GetDownloader() override { return &downloader; }
    CConnectWorker* GetConnectWorker() override { return connectWorker; }
    void GetFlightPlan(aviation::CFlightplan&) override { calls << QStringLiteral("GetFlightPlan"); }
    CWeatherWorker* GetWeatherWorker() override { return weatherWorker; }
    aviation::structs::CAircraftDetail GetAircraftDetails() override { return aircraftDetail; }
    void FillAircraftCombo() override { calls << QStringLiteral("FillAircraftCombo"); }
    void SelectAircraftProfile(const QString& name) override
    {
        calls << QStringLiteral("SelectAircraftProfile(%1)").arg(name);
    }
    void LoadFlightPlanToFS(const QString& path) override
    {
        calls << QStringLiteral("LoadFlightPlanToFS(%1)").arg(path);
    }
    void OnTabFlightRecorderResetFlight() override { calls << QStringLiteral("OnTabFlightRecorderResetFlight"); }

    void sigUIDebugString(const QString& text, int target) override
    {
        calls << QStringLiteral("sigUIDebugString(%1,%2)").arg(text).arg(target);
        if (target == 0)
            log << text;
    }
    void sigUIProgressTextUpdate(const QString& text) override
    {
        calls << QStringLiteral("sigUIProgressTextUpdate(%1)").arg(text);
        statuses << text;
    }
    void sigUIUpdateProgress(int value, const QString& text) override
    {
        calls << QStringLiteral("sigUIUpdateProgress(%1,%2)").arg(value).arg(text);
    }
    void sigUIUpdateProgressBar(qint64 value, qint64 total) override
    {
        calls << QStringLiteral("sigUIUpdateProgressBar(%1,%2)").arg(value).arg(total);
    }
    void sigUIUpdateProgressToolTip(const QString& text) override
    {
        calls << QStringLiteral("sigUIUpdateProgressToolTip(%1)").arg(text);
    }
    void sigDisableButton(int command, bool disable) override
    {
        calls << QStringLiteral("sigDisableButton(%1,%2)").arg(command).arg(disable ? "true" : "false");
    }
    void OnGenerationRunning(bool running) override
    {
        calls << QStringLiteral("OnGenerationRunning(%1)").arg(running ? "true" : "false");
    }

    void sigUIUpdateDwcInfo(const CDirectWindControl& control) override
    {
        calls << QStringLiteral("sigUIUpdateDwcInfo");
        windControls.push_back(control);
    }

    // The calls whose text starts with the prefix, in order.
    QStringList CallsStartingWith(const QString& prefix) const
    {
        QStringList found;
        for (const QString& call : calls) {
            if (call.startsWith(prefix))
                found << call;
        }
        return found;
    }
    void Clear()
    {
        calls.clear();
        log.clear();
        statuses.clear();
        windControls.clear();
    }

    bool connected = false;
    CConnectWorker* connectWorker = nullptr;
    WXDownloader downloader;
    CWeatherWorker* weatherWorker = nullptr;
    aviation::structs::CAircraftDetail aircraftDetail;
    QStringList calls;
    QStringList log; // texts of sigUIDebugString with target 0
    QStringList statuses; // status-bar texts
    QStringList splash;
    std::vector<CDirectWindControl> windControls; // each step's copy of the direct wind control
};
