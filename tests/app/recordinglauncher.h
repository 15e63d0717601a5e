// A launcher that records what it is asked to open and answers with a chosen shell-style result.
#pragma once

#include "platform/launcher.h"

#include <QString>

#include <utility>
#include <vector>

class RecordingLauncher : public platform::CLauncher
{
public:
    explicit RecordingLauncher(int result = kOpened)
        : m_result(result)
    {
    }

    int Open(const QString& operation, const QString& target) override
    {
        calls.emplace_back(operation, target);
        return m_result;
    }

    // (operation, target) of every call, in order.
    std::vector<std::pair<QString, QString>> calls;

private:
    int m_result;
};
