#include "app/fontwarmup.h"

#include <QFontDatabase>
#include <QStringList>
#include <fontconfig/fontconfig.h>

namespace tl {

FontWarmUp::FontWarmUp()
    : m_thread([this] {
          FcInit();
          m_configRead.count_down();
          m_appReady.wait();
          // The font database locks itself; the first widget that needs a
          // font waits for this instead of filling the list on its own.
          QFontDatabase::families();
      })
{
}

void FontWarmUp::finish()
{
    if (!m_thread.joinable())
        return;
    if (!m_appReadySaid)
        m_appReady.count_down();  // the application never became ready
    m_thread.join();
}

void FontWarmUp::applicationReady()
{
    m_appReadySaid = true;
    m_appReady.count_down();
    m_configRead.wait();
}

} // namespace tl
