#include "settings/soundsetting.h"

#include <QSoundEffect>
#include <QUrl>

SoundSetting::SoundSetting(const QString& fileName, int minWeight, bool enabled, bool loop)
    : m_shared(QSharedPointer<SharedEffect>::create())
    , m_enabled(enabled)
    , m_fileName(fileName)
    , m_minWeight(minWeight)
    , m_loop(loop)
{
}

QSharedPointer<QSoundEffect> SoundSetting::GetSoundEffect() const
{
    if (!m_shared->effect) {
        m_shared->effect.reset(new QSoundEffect);
        m_shared->effect->setSource(QUrl::fromLocalFile(m_fileName));
        if (m_loop)
            m_shared->effect->setLoopCount(QSoundEffect::Infinite);
    }
    return m_shared->effect;
}
