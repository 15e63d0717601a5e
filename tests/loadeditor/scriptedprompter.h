// A prompter for the load editor tests: keeps every box it was shown, answers questions with `answer`, ticks the
// check box when told, and answers choosers in turn from `chooserAnswers` (a cancel when none is left).
#pragma once

#include "generation/prompter.h"

#include <QStringList>

#include <vector>

class ScriptedPrompter : public CPrompter
{
public:
    PromptAnswer Ask(const PromptRequest& request) override
    {
        asked.push_back(request);
        texts << request.text;
        return request.kind == PromptKind::Question ? answer : PromptAnswer::Ok;
    }
    PromptResult AskWithCheckBox(const PromptRequest& request, const QString& checkBoxText) override
    {
        checkBoxTexts << checkBoxText;
        return {Ask(request), tickCheckBox};
    }
    QString Choose(const ChooserRequest& request) override
    {
        choosers.push_back(request);
        return chooserAnswers.isEmpty() ? QString() : chooserAnswers.takeFirst();
    }

    PromptAnswer answer = PromptAnswer::No;
    bool tickCheckBox = false;
    QStringList chooserAnswers;
    std::vector<PromptRequest> asked;
    QStringList texts; // of the boxes shown, in order
    QStringList checkBoxTexts;
    std::vector<ChooserRequest> choosers;
};
