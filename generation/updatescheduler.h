// The weather worker's scheduler: on each tick of the simulation timer it asks for fresh aircraft data and
// decides whether to download the weather again and whether and how to regenerate it (X-Plane, normal,
// weather-model file or auto mode), holds updates back during an approach and keeps the status line current.
#pragma once

#include "weather/position.h"

#include <QString>

#include <cstdint>

class CWeatherWorker;

class CUpdateScheduler
{
public:
    explicit CUpdateScheduler(CWeatherWorker& worker);

    // One tick. An error escaping it is logged and ends only this tick.
    void OnTick();

private:
    void Tick();
    // Steps 5 and 6 of a tick: the first position and the approach state.
    void FollowAircraft();
    void UpdateXPlane(std::uint32_t now, double distance);
    void UpdateNormal(std::uint32_t now, double distance);
    void UpdateModelFile(std::uint32_t now);
    void UpdateAuto(std::uint32_t now);
    void ShowNearestMetar(std::uint32_t now);
    // The warning box of weather-model file mode; false when another box of this scheduler is still open.
    bool Warn(const QString& title, const QString& text);

    std::uint32_t UpdatePeriod() const;
    // The download button's tooltip: the seconds to the next download, or to the next try after a failure.
    void DownloadToolTip(std::uint32_t now);
    // While live downloads fail, the failure and the next try in place of the mode's status; else a grid failure
    // while grid downloads are held back.
    void ShowDownloadFailure(std::uint32_t now);
    // Once per lost link: a download failure still shown says that its next try waits for the link.
    void ShowFailuresAwaitingLink();
    void Status(const QString& text);

    CWeatherWorker& m_worker;

    // Kept for the life of the program; nothing resets it.
    bool m_following = false;
    aviation::Position m_reference;
    int m_highestHeight = 0;
    bool m_approach = false;
    // The aircraft position of the last tick that followed it.
    aviation::Position m_lastRead;
    std::uint32_t m_lastPass = 0;
    bool m_xplaneFollowing = false;
    int m_xplaneWindAltitude = 0;
    std::uint32_t m_xplaneWindTime = 0;
    aviation::Position m_modelFilePosition;
    aviation::Position m_autoPosition;
    QString m_lastDisplayText;

    // The failures were shown as waiting for the link since it was lost.
    bool m_failuresAwaitingLinkShown = false;

    // A box is open: ticks that arrive meanwhile open no other one.
    bool m_boxOpen = false;
    // The pre-FSX warning came at this time; it comes again only after an update period.
    bool m_preFsxWarned = false;
    std::uint32_t m_preFsxWarnTime = 0;
};
