// The connection worker's job queue: first in, first out, without a size limit. The GUI thread and the worker
// thread both push; only the worker thread pops.
#pragma once

#include "simlink/job.h"

#include <deque>
#include <mutex>

class CJobManager
{
public:
    CJobManager() = default;
    CJobManager(const CJobManager&) = delete;
    CJobManager& operator=(const CJobManager&) = delete;
    virtual ~CJobManager();

    void Push(const CJob& job);
    // Takes the oldest job into `out`; false, with `out` unchanged, when the queue is empty.
    bool Pop(CJob& out);
    // Number of waiting jobs.
    int Count() const;

private:
    std::deque<CJob> m_jobs;
    mutable std::mutex m_lock;
};
