#include "platform/debugoutput.h"

#include <gtest/gtest.h>

#include <thread>

TEST(DebugOutput, CaptureCollectsEachCallAsOneLineAndRestoresThePreviousSink)
{
    std::vector<std::string> outer;
    platform::DebugSink previous = platform::SetDebugSink([&outer](const std::string& text) { outer.push_back(text); });
    {
        platform::ScopedDebugCapture capture;
        platform::DebugOut(std::string("(WeatherManager) Loaded 4 METARs\n"));
        platform::DebugOut(std::wstring(L"Z\u00fcrich \u20ac\n"));
        ASSERT_EQ(capture.Lines().size(), 2u);
        EXPECT_EQ(capture.Lines()[1], "Z\xfcrich ?\n");
        EXPECT_TRUE(capture.Contains("Loaded 4"));
        EXPECT_FALSE(capture.Contains("SYNOP"));
    }
    platform::DebugOut(std::string("after"));
    platform::SetDebugSink(std::move(previous));
    ASSERT_EQ(outer.size(), 1u);
    EXPECT_EQ(outer[0], "after");
}

TEST(DebugOutput, WritesFromManyThreadsArriveWhole)
{
    platform::ScopedDebugCapture capture;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([] {
            for (int i = 0; i < 500; ++i)
                platform::DebugOut(std::string("line\n"));
        });
    for (std::thread& thread : threads)
        thread.join();
    const std::vector<std::string> lines = capture.Lines();
    EXPECT_EQ(lines.size(), 2000u);
    for (const std::string& line : lines)
        ASSERT_EQ(line, "line\n");
}
