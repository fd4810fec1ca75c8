#pragma once
// Reads the system's font configuration on a second thread while the
// application connects to the display: on a typical desktop that reading
// is the largest single cost of starting.

#include <latch>
#include <thread>

namespace tl {

class FontWarmUp {
public:
    // Starts reading the font configuration; before the application object.
    FontWarmUp();
    // Waits for the thread; at the latest before the application object goes.
    void finish();
    ~FontWarmUp() { finish(); }
    FontWarmUp(const FontWarmUp &) = delete;
    FontWarmUp &operator=(const FontWarmUp &) = delete;

    // The application object exists: the thread goes on to fill the
    // toolkit's font list. Returns when the configuration is read, so the
    // toolkit never reads it a second time beside the thread.
    void applicationReady();

private:
    std::latch m_configRead{1};
    std::latch m_appReady{1};
    bool m_appReadySaid = false;
    std::thread m_thread;
};

} // namespace tl
