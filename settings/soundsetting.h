// One cabin sound the user can configure (airport ambience, boarding): the sound file, the least aircraft
// empty weight in kilograms for which it applies, an enabled and a loop flag, and the effect that plays it.
#pragma once

#include <QSharedPointer>
#include <QString>

class QSoundEffect;

class SoundSetting
{
public:
    // Prepares the effect from the file at once but plays nothing; an empty or missing file leaves it silent.
    SoundSetting(const QString& fileName, int minWeight, bool enabled, bool loop);

    bool IsEnabled() const { return m_enabled; }
    QString GetFileName() const { return m_fileName; }
    int GetMinWeight() const { return m_minWeight; }
    bool IsLoop() const { return m_loop; }

    // Copies of a record share one effect; the last copy deletes it.
    QSharedPointer<QSoundEffect> GetSoundEffect() const { return m_effect; }

private:
    QSharedPointer<QSoundEffect> m_effect;
    bool m_enabled;
    QString m_fileName;
    int m_minWeight;
    bool m_loop;
};
