// One cabin sound the user can configure (airport ambience, boarding): the sound file, the least aircraft
// empty weight in kilograms for which it applies, an enabled and a loop flag, and the effect that plays it.
#pragma once

#include <QSharedPointer>
#include <QString>

class QSoundEffect;

class SoundSetting
{
public:
    SoundSetting(const QString& fileName, int minWeight, bool enabled, bool loop);

    bool IsEnabled() const { return m_enabled; }
    QString GetFileName() const { return m_fileName; }
    int GetMinWeight() const { return m_minWeight; }
    bool IsLoop() const { return m_loop; }

    // The effect, prepared from the file at the first call in the calling thread but playing nothing; an empty or
    // missing file leaves it silent. A record only read for its values loads no sound: an effect destroyed while its
    // sound still loads can hang the thread destroying it. Copies of a record share one effect; the last copy
    // deletes it.
    QSharedPointer<QSoundEffect> GetSoundEffect() const;

private:
    // The copies' common slot for the effect, empty until one is asked for.
    struct SharedEffect
    {
        QSharedPointer<QSoundEffect> effect;
    };

    QSharedPointer<SharedEffect> m_shared;
    bool m_enabled;
    QString m_fileName;
    int m_minWeight;
    bool m_loop;
};
