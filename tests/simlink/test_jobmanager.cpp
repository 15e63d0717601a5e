// The connection worker's job queue, filled from the GUI thread and the worker thread alike.
#include "simlink/jobmanager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

// The GUI thread and the worker thread push while the worker pops (and counts, as the worker's loop does):
// nothing is lost, nothing is doubled, and each producer's jobs come out in the order it pushed them.
TEST(JobManager, TwoProducersAndOneConsumerLoseNothingAndKeepEachProducersOrder)
{
    constexpr int kJobsPerProducer = 50000;
    CJobManager queue;
    std::atomic<bool> go{false};
    auto produce = [&](int producer) {
        while (!go.load())
            std::this_thread::yield();
        for (int i = 0; i < kJobsPerProducer; ++i)
            queue.Push(CJob(producer * kJobsPerProducer + i, QStringLiteral("Set Wind FSUIPC")));
    };

    int next[2] = {0, 0};
    bool inOrder = true;
    std::thread consumer([&] {
        CJob job;
        for (int received = 0; received < 2 * kJobsPerProducer;) {
            if (queue.Count() == 0 || !queue.Pop(job)) {
                std::this_thread::yield();
                continue;
            }
            const int producer = job.type / kJobsPerProducer;
            inOrder = inOrder && job.type % kJobsPerProducer == next[producer]++;
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
}

// A second aircraft read, wind update or weather transfer waiting beside the first would only repeat it; other jobs
// queue as they come.
TEST(JobManager, AReadWindOrWeatherJobIsNotQueuedBesideOneOfItsKind)
{
    CJobManager queue;
    const std::pair<int, bool> pushes[] = {
        {JobGetAircraftData, true}, {JobGetAircraftData, false}, {JobSetWind, true},     {JobSetWind, false},
        {JobSendWindToXP, true},    {JobSendWindToXP, false},    {JobSetWeather, true},  {JobSetWeather, false},
        {JobConnect, true},         {JobShowMessage, true},      {JobShowMessage, true},
    };
    for (const auto& [type, queued] : pushes)
        EXPECT_EQ(queue.Push(CJob(type, QString())), queued) << type;
    CJob job;
    ASSERT_TRUE(queue.Pop(job));
    EXPECT_TRUE(queue.Push(CJob(JobGetAircraftData, QString()))) << "the one waiting has been taken";

    EXPECT_TRUE(queue.Contains(JobSetWeather));
    queue.Drop(JobSetWeather);
    EXPECT_FALSE(queue.Contains(JobSetWeather));
    ASSERT_TRUE(queue.Take(JobShowMessage, job));
    EXPECT_EQ(queue.Count(), 5) << "the one taken, out of the middle";
    queue.DropAllButConnects();
    ASSERT_EQ(queue.Count(), 1);
    ASSERT_TRUE(queue.Pop(job));
    EXPECT_EQ(job.type, JobConnect);
}
