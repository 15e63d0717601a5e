// A prompter for tests: answers every box with OK at once, keeps what it was asked and can run code while a box
// is "open" (to tick a timer from inside a modal box).
#pragma once

#include "generation/prompter.h"

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
        return PromptAnswer::Ok;
    }

    std::vector<PromptRequest> asked;
    std::function<void()> whileOpen;
};
