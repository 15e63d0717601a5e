// One request to the simulator: the job type and its label (for "Load theme" the theme name, for a simulator
// message the message text), queued for the connection worker's thread.
#pragma once

#include <QString>

// Job type codes. Get Fuel, Send Station to FS and RefreshAI are queued by their callers but make the worker do
// nothing besides reporting the job as finished.
enum JobType : int {
    JobConnect = 0,
    JobDisconnect = 1,
    JobGetAircraftData = 2,
    JobGetFuel = 3,
    JobSetFuel = 4,
    JobGetPayload = 5,
    JobSetPayload = 6,
    JobSetWeather = 7,
    JobLoadWeatherTheme = 8,
    JobSetWind = 9,
    JobSetWindRepeat = 10,
    JobSendWindToXP = 11,
    JobClearWeather = 12,
    JobSendStationToFS = 13,
    JobGetAircraftDetail = 15,
    JobShowMessage = 16,
    JobRefreshAI = 17,
};

struct CJob
{
    CJob() = default;
    CJob(int type, const QString& text)
        : type(type)
        , text(text)
    {
    }

    int type = 0;
    QString text;
};
