// The connection worker's job queue, filled from the GUI thread and the worker thread alike.
#include "simlink/jobmanager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

TEST(JobManager, PopOnEmptyQueueLeavesJobUnchanged)
{
    CJobManager queue;
    CJob job(JobSetWeather, QStringLiteral("Set Weather"));
    EXPECT_FALSE(queue.Pop(job));
    EXPECT_EQ(job.type, JobSetWeather);
    EXPECT_EQ(job.text, QStringLiteral("Set Weather"));
    EXPECT_EQ(queue.Count(), 0);
}

TEST(JobManager, JobsLeaveInTheOrderTheyCame)
{
    CJobManager queue;
    queue.Push(CJob(JobConnect, QString()));
    queue.Push(CJob(JobGetAircraftData, QStringLiteral("Get Aircraft data")));
    queue.Push(CJob(JobLoadWeatherTheme, QStringLiteral("Fair Weather")));
    // Codes without a simulator action are queued like any other.
    queue.Push(CJob(JobRefreshAI, QStringLiteral("RefreshAI")));
    queue.Push(CJob(42, QStringLiteral("unknown")));
    EXPECT_EQ(queue.Count(), 5);

    const std::vector<int> expected = {JobConnect, JobGetAircraftData, JobLoadWeatherTheme, JobRefreshAI, 42};
    std::vector<int> seen;
    CJob job;
    while (queue.Pop(job))
        seen.push_back(job.type);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(job.text, QStringLiteral("unknown"));
    EXPECT_EQ(queue.Count(), 0);
}

// The GUI thread and the worker thread push while the worker pops: nothing is lost, nothing is doubled, and
// each producer's jobs come out in the order it pushed them.
TEST(JobManager, TwoProducersAndOneConsumerLoseNothingAndKeepEachProducersOrder)
{
    constexpr int kJobsPerProducer = 50000;
    CJobManager queue;
    std::atomic<bool> go{false};
    auto produce = [&](int producer) {
        while (!go.load())
            std::this_thread::yield();
        for (int i = 0; i < kJobsPerProducer; ++i)
            queue.Push(CJob(producer * kJobsPerProducer + i,
                            producer == 0 ? QStringLiteral("Get Aircraft data") : QStringLiteral("Set Wind FSUIPC")));
    };

    int next[2] = {0, 0};
    int received = 0;
    bool inOrder = true;
    std::thread consumer([&] {
        CJob job;
        while (received < 2 * kJobsPerProducer) {
            if (queue.Count() == 0) {
                std::this_thread::yield();
                continue;
            }
            ASSERT_TRUE(queue.Pop(job));
            const int producer = job.type / kJobsPerProducer;
            inOrder = inOrder && job.type % kJobsPerProducer == next[producer];
            ++next[producer];
            ++received;
        }
    });
    std::thread gui(produce, 0);
    std::thread worker(produce, 1);
    go = true;
    gui.join();
    worker.join();
    consumer.join();

    EXPECT_TRUE(inOrder);
    EXPECT_EQ(next[0], kJobsPerProducer);
    EXPECT_EQ(next[1], kJobsPerProducer);
    EXPECT_EQ(queue.Count(), 0);
}
