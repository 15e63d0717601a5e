// A prompter for the planner's tests: answers questions, boxes of named buttons and file choosers as told,
// cancels the print dialog, and keeps every box it was asked for.
#pragma once

#include "generation/prompter.h"

#include <vector>

class PlannerPrompter : public CPrompter
{
public:
    PromptAnswer Ask(const PromptRequest& request) override
    {
        asked.push_back(request);
        return request.kind == PromptKind::Question ? questionAnswer : PromptAnswer::Ok;
    }
    int AskWithButtons(const PromptRequest& request, const QStringList& buttons) override
    {
        asked.push_back(request);
        buttonRows.push_back(buttons);
        return buttons.indexOf(buttonAnswer);
    }
    QString Choose(const ChooserRequest&) override { return chosenFile; }
    bool ChoosePrinter(QPrinter&) override
    {
        ++printDialogs;
        return false;
    }

    PromptAnswer questionAnswer = PromptAnswer::No;
    QString buttonAnswer; // the text of the button to press; any other closes the box
    QString chosenFile;
    std::vector<PromptRequest> asked;
    std::vector<QStringList> buttonRows;
    int printDialogs = 0;
};
