#include "recorder/flightphasetracker.h"

#include "platform/clock.h"

#include <cstdlib>

using aviation::structs::CAircraft;

namespace {

// Least interval between two track points, seconds of wall time.
constexpr qint64 kTrackIntervalSeconds = 30;
// Speeds in kt, heights in ft, vertical speeds in ft/min.
constexpr int kRollingSpeed = 1;
constexpr int kTakeOffSpeed = 20;
constexpr int kTakeOffHeight = 500;
constexpr int kAirborneHeight = 300;
constexpr int kFlyingTas = 20;
constexpr int kClimbRate = 100;
constexpr int kLevelRate = 20;
constexpr int kDescentRate = 50;
constexpr int kApproachCeiling = 3000;
constexpr int kCruiseLevelTolerance = 50;
constexpr int kSlowTaxiSpeed = 20;

QDateTime NowUtc()
{
    return QDateTime::fromSecsSinceEpoch(platform::NowSeconds(), Qt::UTC);
}

} // namespace

FlightPhaseTracker::FlightPhaseTracker() = default;

FlightPhaseTracker::~FlightPhaseTracker() = default;

void FlightPhaseTracker::Update(const CAircraft& sample)
{
    m_current = sample;
    m_flightData.SetFlags(sample);
    m_sampleTracked = false;
    AddTrackPoint();
    Transition();
    m_previous = sample;
    m_flightData.ApplyMaxima(sample);
    m_flightData.SetPhase(m_phase);
}

void FlightPhaseTracker::Reset()
{
    m_flightData.Reset();
    m_current = CAircraft();
    m_previous = CAircraft();
    m_phase = PhaseNone;
}

void FlightPhaseTracker::SetAircraftDetail(const aviation::structs::CAircraftDetail& detail)
{
    m_flightData.SetAircraftDetail(detail);
}

void FlightPhaseTracker::AddTrackPoint()
{
    const QDateTime now = QDateTime::fromSecsSinceEpoch(platform::NowSeconds(), Qt::LocalTime);
    if (m_trackClock.isNull())
        m_trackClock = QDateTime(now.date(), QTime(0, 0, 1), Qt::LocalTime);
    if (m_trackClock.secsTo(now) <= kTrackIntervalSeconds)
        return;
    TrackSample();
    m_trackClock = now;
}

void FlightPhaseTracker::TrackSample()
{
    if (m_sampleTracked)
        return;
    m_flightData.AddPosition(m_current);
    m_sampleTracked = true;
}

void FlightPhaseTracker::Transition()
{
    switch (m_phase) {
    case PhaseNone:
        if (IsBoarding())
            m_phase = PhaseBoarding;
        CheckRolling();
        break;
    case PhaseBoarding:
        CheckRolling();
        break;
    case PhaseTaxi:
        if (CheckTakeOff())
            m_phase = PhaseTakeOff;
        break;
    case PhaseTakeOff:
        if (IsClimbing() || m_current.height > kTakeOffHeight)
            m_phase = PhaseClimb;
        break;
    case PhaseClimb:
        if (CheckTouchdown())
            m_phase = PhaseLanding;
        if (IsCruising())
            m_phase = PhaseCruise;
        break;
    case PhaseCruise:
        if (CheckTouchdown())
            m_phase = PhaseLanding;
        if (IsCruising())
            m_cruiseLevel = m_current.altitude;
        else if (IsClimbing())
            m_phase = PhaseClimb;
        else if (IsDescending())
            m_phase = PhaseDescent;
        break;
    case PhaseDescent:
        if (CheckTouchdown())
            m_phase = PhaseLanding;
        if (IsApproach())
            m_phase = PhaseApproach;
        if (IsClimbing())
            m_phase = PhaseClimb;
        break;
    case PhaseApproach:
        if (CheckTouchdown())
            m_phase = PhaseLanding;
        break;
    case PhaseLanding:
        if (IsSlowOnGround())
            m_phase = PhaseTaxiToGate;
        break;
    case PhaseTaxiToGate:
        if (CheckOnBlock())
            m_phase = PhaseParking;
        break;
    case PhaseParking:
        if (IsSlowOnGround())
            m_phase = PhaseNone;
        break;
    default:
        break;
    }
}

bool FlightPhaseTracker::IsBoarding() const
{
    return m_current.onGround && m_current.groundSpeed == 0 && m_current.doorOpen;
}

void FlightPhaseTracker::CheckRolling()
{
    if (m_current.groundSpeed <= kRollingSpeed)
        return;
    m_phase = PhaseTaxi;
    m_flightData.SetOffBlockTime(NowUtc());
    m_flightData.SetOffBlockPosition(m_current);
    TrackSample();
}

bool FlightPhaseTracker::CheckTakeOff()
{
    const bool flying = m_current.groundSpeed > kTakeOffSpeed && !m_current.onGround;
    if (!flying && m_current.height <= kTakeOffHeight)
        return false;
    m_flightData.SetTakeOffTime(NowUtc());
    m_flightData.SetLandingTime(QDateTime());
    return true;
}

bool FlightPhaseTracker::IsClimbing() const
{
    return m_current.height > kAirborneHeight && m_current.tas > kFlyingTas && m_current.verticalSpeed > kClimbRate;
}

bool FlightPhaseTracker::IsCruising() const
{
    const bool levelFlight = m_current.height > kAirborneHeight && m_current.tas > kFlyingTas
        && m_current.verticalSpeed > -kLevelRate && m_current.verticalSpeed < kLevelRate;
    const bool atCruiseLevel = std::abs(m_cruiseLevel - m_previous.altitude) <= kCruiseLevelTolerance
        && m_current.altitude >= ThirdOfMaxAltitude();
    return levelFlight || atCruiseLevel;
}

bool FlightPhaseTracker::IsDescending() const
{
    return m_current.height > kAirborneHeight && m_current.tas > kFlyingTas && m_current.verticalSpeed < kDescentRate;
}

bool FlightPhaseTracker::IsApproach() const
{
    return m_current.altitude < ThirdOfMaxAltitude() && m_current.height > kAirborneHeight
        && m_current.height < kApproachCeiling && m_current.tas > kFlyingTas && m_current.verticalSpeed < kDescentRate;
}

bool FlightPhaseTracker::CheckTouchdown()
{
    if (!m_current.onGround)
        return false;
    m_flightData.SetLandingTime(NowUtc());
    m_flightData.SetTouchdownRate(m_previous.verticalSpeed);
    return true;
}

bool FlightPhaseTracker::IsSlowOnGround() const
{
    return m_current.onGround && m_current.groundSpeed < kSlowTaxiSpeed;
}

bool FlightPhaseTracker::CheckOnBlock()
{
    if (!m_current.onGround || m_current.groundSpeed != 0)
        return false;
    m_flightData.SetOnBlockTime(NowUtc());
    m_flightData.SetOnBlockPosition(m_current);
    TrackSample();
    return true;
}
