#include "platform/lazysound.h"

#include <QCoreApplication>
#include <QLibrary>

namespace tl {

LazySound::LazySound() = default;
LazySound::~LazySound() = default;

void LazySound::play(const QString &wavFile)
{
    if (!m_tried) {
        m_tried = true;
        // Beside the executable in the build tree, under lib/tessaleaf when installed.
        const QString dir = QCoreApplication::applicationDirPath();
        for (const QString &file : {dir + QStringLiteral("/tessaleaf-sound"),
                                    dir + QStringLiteral("/../lib/tessaleaf/tessaleaf-sound")}) {
            QLibrary module(file);
            using Factory = ISound *(*)();
            if (auto create = reinterpret_cast<Factory>(module.resolve("tessaleaf_create_sound"))) {
                m_sound.reset(create());  // the module stays loaded for the rest of the run
                break;
            }
        }
    }
    if (m_sound)
        m_sound->play(wavFile);
}

} // namespace tl
