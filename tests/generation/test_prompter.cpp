#include "recordingprompter.h"

#include <gtest/gtest.h>

TEST(Prompter, InstalledPrompterAnswersUntilItsScopeEnds)
{
    RecordingPrompter outer;
    RecordingPrompter inner;
    CPrompter* const messageBoxes = &Prompter();
    {
        ScopedPrompter useOuter(outer);
        {
            ScopedPrompter useInner(inner);
            Prompter().Ask({PromptKind::Question, QStringLiteral("Send Log file"), QStringLiteral("?"), {}});
        }
        EXPECT_EQ(Prompter().Ask({PromptKind::Warning, QStringLiteral("Aerovane"), QStringLiteral("Minimum FSX"), {}}),
                  PromptAnswer::Ok);
    }
    EXPECT_EQ(&Prompter(), messageBoxes);
    ASSERT_EQ(inner.asked.size(), 1u);
    EXPECT_EQ(inner.asked[0].title, QStringLiteral("Send Log file"));
    ASSERT_EQ(outer.asked.size(), 1u);
    EXPECT_EQ(outer.asked[0].kind, PromptKind::Warning);
}
