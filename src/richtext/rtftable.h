#pragma once
// Table rows as the RTF reader reads them: the row's definition (\trowd,
// \trgaph, \trleft, \cellx and the borders) and the cells ended since the
// last row end, handed on to the sink. Which paragraphs are in a cell is
// the reader's: it tells when one ends.

#include "richtext/rtfkeywords.h"
#include "richtext/rtfreader.h"

namespace tl::rtf {

class RowReader {
public:
    void reset() { *this = RowReader(); }
    // A word of the row's definition (KwGroup::Row but \intbl, which is the
    // paragraph's).
    void word(Kw kw, int n);
    // A paragraph in a cell ended: the cell stays open until \cell or the
    // row's end.
    void paragraphEnded() { m_cellOpen = true; }
    // \cell: ends the cell, unless it is the last a row keeps (kMaxCells):
    // the text of the cells after it joins it.
    void endCell(Sink &sink);
    // Ends the open cell, then the row if it holds any. Inline: every
    // paragraph's end asks.
    void endRow(Sink &sink)
    {
        if (m_cellOpen || m_cellsInRow > 0)
            closeRow(sink);
    }
    // Nothing of a row was read since the last row end.
    bool empty() const { return m_cellsInRow == 0 && !m_cellOpen; }

private:
    void closeRow(Sink &sink);

    RowFormat m_row;
    int m_borderSides = 0;
    bool m_borderPending = false;
    bool m_cellOpen = false; // paragraphs were ended in a cell not yet ended
    int m_cellsInRow = 0;
};

} // namespace tl::rtf
