#include "richtext/rtftable.h"

#include <algorithm>

namespace tl::rtf {

void RowReader::word(Kw kw, int n)
{
    switch (kw) {
    case Kw::Trowd:
        m_row = RowFormat{};
        m_borderSides = 0;
        m_borderPending = false;
        break;
    case Kw::Trgaph:
        m_row.gap = std::clamp(n, 0, 31680);
        break;
    case Kw::Trleft:
        m_row.left = std::clamp(n, -31680, 31680);
        break;
    case Kw::Cellx:
        if (m_row.cellx.size() < std::size_t(kMaxCells))
            m_row.cellx.push_back(std::clamp(n, -31680, 2 * 31680));
        break;
    case Kw::Border:
        ++m_borderSides;
        m_borderPending = true;
        m_row.borders = true;
        break;
    case Kw::BorderNone:
        if (m_borderPending && --m_borderSides == 0)
            m_row.borders = false;
        m_borderPending = false;
        break;
    case Kw::BorderStyle:
        m_borderPending = false;
        break;
    default:
        break;
    }
}

void RowReader::endCell(Sink &sink)
{
    if (m_cellsInRow < kMaxCells - 1) {
        sink.endCell();
        m_cellOpen = false;
        ++m_cellsInRow;
    }
}

void RowReader::closeRow(Sink &sink)
{
    if (m_cellOpen) {
        sink.endCell();
        m_cellOpen = false;
        ++m_cellsInRow;
    }
    if (m_cellsInRow > 0) {
        sink.endRow(m_row);
        m_cellsInRow = 0;
    }
}

bool TableShape::join(int cells)
{
    cells = std::max(cells, 1);
    const int columns = std::max(m_columns, cells);
    const long long fillers = m_fillers + (long long)(columns - m_columns) * m_rows + (columns - cells);
    if (m_rows > 0 && fillers > m_cells + cells + kMaxCells)
        return false;
    ++m_rows;
    m_columns = columns;
    m_cells += cells;
    m_fillers = fillers;
    return true;
}

} // namespace tl::rtf
