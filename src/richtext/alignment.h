#pragma once
// A paragraph's alignment as the format buttons and RTF know it: left,
// centred, right or justified. Qt keeps flag sets (and a vertical part).

#include <Qt>

namespace tl {

// One of Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify.
inline Qt::Alignment horizontalAlignment(Qt::Alignment alignment)
{
    const Qt::Alignment a = alignment & Qt::AlignHorizontal_Mask;
    if ((a & Qt::AlignJustify) == Qt::AlignJustify)
        return Qt::AlignJustify;
    if (a & Qt::AlignHCenter)
        return Qt::AlignHCenter;
    if (a & Qt::AlignRight)
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

} // namespace tl
