// A prompter for tests: answers every box at once, keeps what it was asked and can run code while a box is
// "open" (to tick a timer from inside a modal box). Boxes take their answers in turn from answers (OK when none
// is left); choosers take theirs from chooserAnswers (empty, a cancel, when none is left).
#pragma once

#include "generation/prompter.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

class RecordingPrompter : public CPrompter
{
public:
    PromptAnswer Ask(const PromptRequest& request) override
    {
        asked.push_back(request);
        if (whileOpen)
            whileOpen();
        if (answers.empty())
            return PromptAnswer::Ok;
        const PromptAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    QString Choose(const ChooserRequest& request) override
    {
        choosers.push_back(request);
        return chooserAnswers.isEmpty() ? QString() : chooserAnswers.takeFirst();
    }

    std::vector<PromptRequest> asked;
    std::deque<PromptAnswer> answers;
    std::vector<ChooserRequest> choosers;
    QStringList chooserAnswers;
    std::function<void()> whileOpen;
};
