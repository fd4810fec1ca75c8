#pragma once
// Which click a key pressed in the editor makes.

#include <QString>

namespace tl {

// The sound file for a Qt key code, relative to the program folder
// ("sound/type.wav", "sound/back.wav", "sound/bell.wav"), or empty for the
// keys that stay silent: the modifiers, Esc, Page Up/Down, End, Home, Left
// and F1-F12.
QString keySoundFile(int qtKey);

} // namespace tl
