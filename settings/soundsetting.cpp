#include "settings/soundsetting.h"

#include <QSoundEffect>
#include <QUrl>

SoundSetting::SoundSetting(const QString& fileName, int minWeight, bool enabled, bool loop)
    : m_effect(new QSoundEffect)
    , m_enabled(enabled)
    , m_fileName(fileName)
    , m_minWeight(minWeight)
    , m_loop(loop)
{
    m_effect->setSource(QUrl::fromLocalFile(fileName));
    if (loop)
        m_effect->setLoopCount(QSoundEffect::Infinite);
}
