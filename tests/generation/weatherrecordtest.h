// Test support for the simulator weather record: a fresh settings file in an empty working directory per test,
// and weather sets built from real-looking reports.
#pragma once

#include "settings/settings.h"
#include "simlink/newweather.h"
#include "weather/weatherset.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace recordtest {

// Frankfurt, 364 ft.
inline const aviation::Position kFrankfurt(50.0333, 8.5706);
constexpr int kFrankfurtElevation = 364;

// Decoded reports: a METAR of a station at `position` and `elevation` feet, a SYNOP placed at `position`, a grid
// point line (header and levels).
inline aviation::weather::CMetar Metar(const std::wstring& raw, int elevation = kFrankfurtElevation,
                                       const aviation::Position& position = kFrankfurt)
{
    aviation::weather::CMetar metar(raw);
    metar.Decode();
    metar.SetElevation(elevation);
    metar.SetPosition(position);
    return metar;
}

inline aviation::weather::CSynop Synop(const std::wstring& raw, const aviation::Position& position)
{
    aviation::weather::CSynop synop(raw);
    synop.Decode();
    synop.SetPosition(position);
    return synop;
}

inline aviation::weather::CGrib Grib(const std::wstring& line)
{
    aviation::weather::CGrib grib(line, false);
    grib.Decode(false);
    return grib;
}

inline aviation::weather::CWeatherSet Set(const aviation::weather::CMetar& metar,
                                          const aviation::weather::CSynop& synop = aviation::weather::CSynop(),
                                          const aviation::weather::CGrib& grib = aviation::weather::CGrib())
{
    return aviation::weather::CWeatherSet(metar, synop, grib);
}

// Reads a little-endian value at a byte offset of the block, as FSUIPC does.
template<typename T> T At(const CNewWeather& block, std::size_t offset)
{
    T value;
    std::memcpy(&value, reinterpret_cast<const unsigned char*>(&block) + offset, sizeof(T));
    return value;
}

// Each test starts without a settings object in an empty working directory (so every key has its default and
// no simulator version is known) and leaves the store released.
class WeatherRecordTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        CSettings::Release();
        m_previousDir = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
        CSettings::SetFSVersion(0);
    }

    void TearDown() override
    {
        CSettings::Release();
        CSettings::SetFSVersion(0);
        QDir::setCurrent(m_previousDir);
    }

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
};

} // namespace recordtest
