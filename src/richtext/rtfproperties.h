#pragma once
// What the RTF had beyond what the document shows, kept in the document's
// formats so the writer gives it back unchanged.

#include <QTextFormat>

namespace tl::rtf {

// Twips per document unit (pixels at 96 dpi).
constexpr double kTwipsPerUnit = 15.0;
// A list level: the rich-edit control's bullet indent.
constexpr int kTwipsPerLevel = 360;

namespace prop {

// Block format of a bulleted paragraph: its \li and \fi in twips. Qt draws
// the bullet just before the text, so the hanging indent is kept, not shown.
constexpr int BulletLeft = QTextFormat::UserProperty + 0x200;
constexpr int BulletFirst = QTextFormat::UserProperty + 0x201;

} // namespace prop

} // namespace tl::rtf
