#include "platform/sound/qtsound.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace tl {

QtSound::QtSound() = default;

QtSound::~QtSound()
{
    qDeleteAll(m_effects);
}

void QtSound::play(const QString &wavFile)
{
    if (QMediaDevices::audioOutputs().isEmpty() || !QFileInfo(wavFile).isFile())
        return;
    QSoundEffect *&effect = m_effects[wavFile];
    if (!effect) {
        effect = new QSoundEffect;
        effect->setSource(QUrl::fromLocalFile(wavFile));
        effect->setVolume(0.5);
    }
    // A click while the last one still sounds starts it again.
    if (effect->isPlaying())
        effect->stop();
    effect->play();
}

} // namespace tl

// The module's one entry point, found by name when the first sound plays.
extern "C" Q_DECL_EXPORT tl::ISound *tessaleaf_create_sound()
{
    return new tl::QtSound;
}
