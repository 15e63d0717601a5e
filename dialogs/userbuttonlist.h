// The user's tool buttons as the options dialog keeps them: one entry per button with what it shows and what it
// starts.
#pragma once

#include <QString>

#include <vector>

struct UserButtonEntry
{
    QString caption;
    // The program, document or folder the button starts or opens.
    QString target;
    // Picture of the button; empty for the caption alone.
    QString icon;
    // 0 none, 1 start or open the target, 2 open the target as a folder.
    int kind = 0;
};

class UserButtonList
{
public:
    UserButtonList() = default;
    virtual ~UserButtonList() = default;

    const std::vector<UserButtonEntry>& Entries() const { return m_entries; }

private:
    std::vector<UserButtonEntry> m_entries;
};
