#include "controls/builtinart.h"

#include <QtCore/qglobal.h>

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void initArtResource() { Q_INIT_RESOURCE(art); }

namespace tl::builtin {

void initArt() { initArtResource(); }

} // namespace tl::builtin
