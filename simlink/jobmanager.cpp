#include "simlink/jobmanager.h"

#include <algorithm>

namespace {

bool ReplacesItsPredecessor(int type)
{
    return type == JobGetAircraftData || type == JobSetWind || type == JobSetWindRepeat || type == JobSendWindToXP
        || type == JobGetAircraftDetail || type == JobSetWeather;
}

} // namespace

CJobManager::~CJobManager() = default;

bool CJobManager::Push(const CJob& job)
{
    std::lock_guard<std::mutex> locker(m_lock);
    if (ReplacesItsPredecessor(job.type) && Waits(job.type))
        return false;
    m_jobs.push_back(job);
    return true;
}

bool CJobManager::Waits(int type) const
{
    return std::any_of(m_jobs.begin(), m_jobs.end(), [type](const CJob& waiting) { return waiting.type == type; });
}

bool CJobManager::Contains(int type) const
{
    std::lock_guard<std::mutex> locker(m_lock);
    return Waits(type);
}

void CJobManager::Drop(int type)
{
    std::lock_guard<std::mutex> locker(m_lock);
    m_jobs.erase(std::remove_if(m_jobs.begin(), m_jobs.end(), [type](const CJob& job) { return job.type == type; }),
                 m_jobs.end());
}

bool CJobManager::Take(int type, CJob& out)
{
    std::lock_guard<std::mutex> locker(m_lock);
    const auto found = std::find_if(m_jobs.begin(), m_jobs.end(), [type](const CJob& job) { return job.type == type; });
    if (found == m_jobs.end())
        return false;
    out = std::move(*found);
    m_jobs.erase(found);
    return true;
}

void CJobManager::DropAllButConnects()
{
    std::lock_guard<std::mutex> locker(m_lock);
    m_jobs.erase(std::remove_if(m_jobs.begin(), m_jobs.end(), [](const CJob& job) { return job.type != JobConnect; }),
                 m_jobs.end());
}

bool CJobManager::Pop(CJob& out)
{
    std::lock_guard<std::mutex> locker(m_lock);
    if (m_jobs.empty())
        return false;
    out = std::move(m_jobs.front());
    m_jobs.pop_front();
    return true;
}

int CJobManager::Count() const
{
    std::lock_guard<std::mutex> locker(m_lock);
    return static_cast<int>(m_jobs.size());
}
