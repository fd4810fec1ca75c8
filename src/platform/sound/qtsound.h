#pragma once
// Key sounds through Qt Multimedia: one QSoundEffect per file, loaded on
// first use and kept, played without waiting. Built as a module of its own
// (the multimedia stack is two dozen libraries), which the program loads
// when the first sound plays (platform/lazysound.h).

#include "platform/services.h"

#include <QHash>

class QSoundEffect;

namespace tl {

class QtSound : public ISound {
public:
    QtSound();
    ~QtSound() override;
    // Nothing plays without an audio output (QSoundEffect would still report
    // Ready) or when the file is missing.
    void play(const QString &wavFile) override;

private:
    QHash<QString, QSoundEffect *> m_effects;
};

} // namespace tl
