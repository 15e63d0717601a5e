#include "simlink/jobmanager.h"

CJobManager::~CJobManager() = default;

void CJobManager::Push(const CJob& job)
{
    std::lock_guard<std::mutex> locker(m_lock);
    m_jobs.push_back(job);
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
