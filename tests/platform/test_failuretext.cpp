#include "platform/failuretext.h"

#include <gtest/gtest.h>

TEST(FailureText, NamesTheStepTheCauseAndANextTryThatNeverCountsBelowZero)
{
    const QString what = QStringLiteral("Download weather");
    const QString cause = QStringLiteral("timed out");
    EXPECT_EQ(platform::FailureText(what, cause), "Download weather failed: timed out");
    EXPECT_EQ(platform::FailureTextAwaitingSimulator(what, cause),
              "Download weather failed: timed out, next try once FS is connected");
    // Seconds of the clock: when the next try is due, now, and the text shown.
    const struct
    {
        qint64 due;
        qint64 now;
        QString text;
    } cases[] = {
        {1796623569, 1796623509, QStringLiteral("Download weather failed: timed out, next try in 60 s")},
        {1796623509, 1796623509, QStringLiteral("Download weather failed: timed out, next try in 0 s")},
        {1796623508, 1796623509, QStringLiteral("Download weather failed: timed out, next try in 0 s")},
        {0, 1796623509, QStringLiteral("Download weather failed: timed out, next try in 0 s")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::FailureText(what, cause, platform::SecondsUntil(c.due, c.now)), c.text) << c.due;
}
