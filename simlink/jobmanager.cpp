#include "simlink/jobmanager.h"

#include <QMutexLocker>

CJobManager::~CJobManager() = default;

void CJobManager::Push(const CJob& job)
{
    QMutexLocker locker(&m_lock);
    m_jobs.push_back(job);
}

bool CJobManager::Pop(CJob& out)
{
    QMutexLocker locker(&m_lock);
    if (m_jobs.empty())
        return false;
    out = std::move(m_jobs.front());
    m_jobs.pop_front();
    return true;
}

int CJobManager::Count() const
{
    QMutexLocker locker(&m_lock);
    return static_cast<int>(m_jobs.size());
}
