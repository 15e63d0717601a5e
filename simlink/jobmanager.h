// The connection worker's job queue: first in, first out. A job that only repeats the one of its kind still
// waiting (an aircraft read, a wind update, a weather transfer: each works from the values current when it runs)
// is not queued twice.
// The GUI thread and the worker thread both push; only the worker thread pops.
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

    // False when the job was not queued because one of its kind is already waiting.
    bool Push(const CJob& job);
    // Drops every waiting job except connects.
    void DropAllButConnects();
    // Drops every waiting job of the type.
    void Drop(int type);
    // Takes the oldest job into `out`; false, with `out` unchanged, when the queue is empty.
    bool Pop(CJob& out);
    // Takes the oldest job of the type out of its place in the queue; false, with `out` unchanged, when none waits.
    bool Take(int type, CJob& out);
    // Whether a job of the type waits.
    bool Contains(int type) const;
    // Number of waiting jobs.
    int Count() const;

private:
    // Under the lock.
    bool Waits(int type) const;

    std::deque<CJob> m_jobs;
    mutable std::mutex m_lock;
};
