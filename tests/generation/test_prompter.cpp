#include "generation/prompter.h"

#include <gtest/gtest.h>

namespace {

// Answers every box with a fixed answer and keeps what it was asked.
class AnsweringPrompter : public CPrompter
{
public:
    explicit AnsweringPrompter(PromptAnswer answer)
        : m_answer(answer)
    {
    }
    PromptAnswer Ask(const PromptRequest& request) override
    {
        asked.push_back(request);
        return m_answer;
    }
    std::vector<PromptRequest> asked;

private:
    PromptAnswer m_answer;
};

} // namespace

TEST(Prompter, InstalledPrompterAnswersUntilItsScopeEnds)
{
    AnsweringPrompter outer(PromptAnswer::Yes);
    AnsweringPrompter inner(PromptAnswer::No);
    CPrompter* const messageBoxes = &Prompter();
    {
        ScopedPrompter useOuter(outer);
        {
            ScopedPrompter useInner(inner);
            EXPECT_EQ(Prompter().Ask({PromptKind::Question, QStringLiteral("Send Log file"), QStringLiteral("?"), {}}),
                      PromptAnswer::No);
        }
        EXPECT_EQ(
            Prompter().Ask({PromptKind::Warning,
                            QStringLiteral("Aerovane"),
                            QStringLiteral("Your FS-Version is not compatible with this weather mode. Minimum FSX"),
                            {}}),
            PromptAnswer::Yes);
    }
    EXPECT_EQ(&Prompter(), messageBoxes);
    ASSERT_EQ(inner.asked.size(), 1u);
    EXPECT_EQ(inner.asked[0].title, QStringLiteral("Send Log file"));
    ASSERT_EQ(outer.asked.size(), 1u);
    EXPECT_EQ(outer.asked[0].kind, PromptKind::Warning);
}
