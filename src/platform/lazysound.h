#pragma once
// Key sounds without paying for them at start-up: the sound module
// (platform/sound/) is loaded when the first sound plays. Without the module
// nothing plays, as without an audio device.

#include "platform/services.h"

#include <memory>

namespace tl {

class LazySound : public ISound {
public:
    LazySound();
    ~LazySound() override;
    void play(const QString &wavFile) override;

private:
    std::unique_ptr<ISound> m_sound;
    bool m_tried = false;
};

} // namespace tl
