#pragma once
// Checklists are plain text: a paragraph that starts with a box character
// (U+2610 open, U+2611 ticked) and a space, so other editors and rtfcat
// show them as they are.

#include <QStringView>
#include <QTextCursor>

class QTextDocument;

namespace tl::checklist {

inline constexpr char16_t Open = u'\u2610';
inline constexpr char16_t Ticked = u'\u2611';

// The box a paragraph starts with; 0 when none.
char16_t boxOf(QStringView paragraph);

// Every paragraph the cursor's selection touches (or the caret's) gets an
// open box, unless all have one: then all lose theirs. One undo step.
void toggleList(QTextCursor cursor);

// Ticks the open box of the paragraph that holds position, or opens the
// ticked one. False when that paragraph has no box.
bool toggleBox(QTextDocument *document, int position);

// position is that of a paragraph's box.
bool isBoxAt(const QTextDocument *document, int position);

} // namespace tl::checklist
