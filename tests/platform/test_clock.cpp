#include "platform/clock.h"
#include "platform/programfolder.h"
#include "platform/random.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

TEST(Clock, FixedClockAdvancesWallAndMonotonicTimeTogetherAndRealClockReturns)
{
    const std::int64_t before = platform::NowSeconds();
    {
        platform::ScopedClock clock(1665000000);
        EXPECT_EQ(platform::NowSeconds(), 1665000000);
        EXPECT_EQ(platform::MonotonicMs(), 0);
        clock.AdvanceMs(1500);
        EXPECT_EQ(platform::NowSeconds(), 1665000001);
        EXPECT_EQ(platform::MonotonicMs(), 1500);
        clock.SetNow(1700000000);
        EXPECT_EQ(platform::NowSeconds(), 1700000000);
        EXPECT_EQ(platform::MonotonicMs(), 1500);
    }
    EXPECT_GE(platform::NowSeconds(), before);

    platform::ScopedClock beforeEpoch(-1);
    EXPECT_EQ(platform::NowSeconds(), -1);
    beforeEpoch.AdvanceMs(500);
    EXPECT_EQ(platform::NowSeconds(), -1);
    beforeEpoch.AdvanceMs(500);
    EXPECT_EQ(platform::NowSeconds(), 0);
}

TEST(Clock, SleepUnderAFixedClockAdvancesItWithoutWaiting)
{
    platform::ScopedClock clock(1665000000);
    platform::SleepMs(18900);
    EXPECT_EQ(platform::MonotonicMs(), 18900);
    EXPECT_EQ(platform::NowSeconds(), 1665000018);
    platform::SleepMs(-5);
    EXPECT_EQ(platform::MonotonicMs(), 18900);
}

TEST(Random, SameSeedGivesSameSequenceWithinBounds)
{
    platform::SeedRandom(42);
    std::vector<int> first;
    for (int i = 0; i < 100; ++i)
        first.push_back(platform::RandomInt(-3, 3));
    platform::SeedRandom(42);
    for (int value : first) {
        EXPECT_EQ(platform::RandomInt(-3, 3), value);
        EXPECT_TRUE(value >= -3 && value <= 3) << value;
    }
    EXPECT_EQ(platform::RandomInt(5, 1), 5);
    const double real = platform::RandomReal(0.5, 0.75);
    EXPECT_GE(real, 0.5);
    EXPECT_LT(real, 0.75);
}

TEST(ProgramFolder, TestFolderOverridesTheExecutableFolderUntilCleared)
{
    platform::SetProgramFolderForTesting("/tmp/aerovane-test");
    EXPECT_EQ(platform::ProgramFolder(), QString("/tmp/aerovane-test"));
    platform::SetProgramFolderForTesting(QString());
    EXPECT_EQ(platform::ProgramFolder(), QCoreApplication::applicationDirPath());
}
