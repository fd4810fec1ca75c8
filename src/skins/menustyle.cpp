#include "skins/menustyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

namespace tl {

namespace {

constexpr int TextGap = 6;      // between the icon column and the text
constexpr int ArrowRoom = 16;   // a submenu's arrow at the right
constexpr int ShortcutGap = 20; // between the text and its shortcut
constexpr int SeparatorHeight = 7;

QStyle *newBaseStyle()
{
    // The proxy owns its base: a fresh one of the application's kind.
    QStyle *s = QStyleFactory::create(QApplication::style()->name());
    return s ? s : QStyleFactory::create(QStringLiteral("Fusion"));
}

// The item's text and its shortcut (after the tab) apart.
std::pair<QString, QString> splitText(const QString &text)
{
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    if (tab < 0)
        return {text, {}};
    return {text.left(tab), text.mid(tab + 1)};
}

} // namespace

MenuStyle::MenuStyle(bool extended)
    : QProxyStyle(newBaseStyle()),
      m_extended(extended)
{
}

int MenuStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    if (m_extended) {
        switch (metric) {
        case PM_MenuPanelWidth:
            return 1;
        case PM_MenuHMargin:
        case PM_MenuVMargin:
            return 1;
        case PM_SmallIconSize:
            return 16;
        default:
            break;
        }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QSize MenuStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                                  const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (!m_extended || type != CT_MenuItem || !item)
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    if (item->menuItemType == QStyleOptionMenuItem::Separator)
        return {IconWidth + 2 * TextGap, SeparatorHeight};
    const auto [text, shortcut] = splitText(item->text);
    QFont font = item->font;
    if (item->menuItemType == QStyleOptionMenuItem::DefaultItem)
        font.setBold(true);
    const QFontMetrics fm(font);
    int w = IconWidth + TextGap + fm.horizontalAdvance(text) + ArrowRoom;
    if (!shortcut.isEmpty() || item->reservedShortcutWidth > 0)
        w += ShortcutGap + std::max(fm.horizontalAdvance(shortcut), item->reservedShortcutWidth);
    return {w, std::max(fm.height() + 6, 20)};
}

void MenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                              const QWidget *widget) const
{
    if (m_extended && element == PE_FrameMenu) {
        painter->save();
        painter->setPen(option->palette.color(QPalette::Mid));
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
        return;
    }
    if (m_extended && element == PE_PanelMenu) {
        painter->fillRect(option->rect, option->palette.color(QPalette::Window));
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void MenuStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                            const QWidget *widget) const
{
    const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (m_extended && element == CE_MenuEmptyArea) {
        painter->fillRect(option->rect, option->palette.color(QPalette::Window));
        return;
    }
    if (!m_extended || element != CE_MenuItem || !item) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const QPalette &pal = item->palette;
    const QRect r = item->rect;
    const QRect column(r.left(), r.top(), IconWidth, r.height());
    painter->save();
    painter->fillRect(r, pal.color(QPalette::Window));
    painter->fillRect(column, pal.color(QPalette::Button));

    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        const int y = r.center().y();
        painter->setPen(pal.color(QPalette::Mid));
        painter->drawLine(column.right() + TextGap, y, r.right() - 2, y);
        painter->restore();
        return;
    }

    const bool enabled = item->state & State_Enabled;
    const bool selected = (item->state & State_Selected) && enabled;
    if (selected) {
        const QColor hi = pal.color(QPalette::Highlight);
        QColor fill = hi;
        fill.setAlpha(110);
        const QRect box = r.adjusted(1, 0, -2, -1);
        painter->fillRect(box, fill);
        painter->setPen(hi);
        painter->drawRect(box);
    }

    const QRect iconBox(column.left() + (IconWidth - 16) / 2, r.top() + (r.height() - 16) / 2, 16, 16);
    if (item->checkType != QStyleOptionMenuItem::NotCheckable && item->checked) {
        // A checked item shows a framed mark in the icon column.
        painter->setPen(pal.color(QPalette::Highlight));
        painter->drawRect(iconBox.adjusted(0, 0, -1, -1));
        QStyleOptionMenuItem mark = *item;
        mark.rect = iconBox.adjusted(2, 2, -2, -2);
        mark.state = State_On | (enabled ? State_Enabled : State_None);
        QProxyStyle::drawPrimitive(PE_IndicatorMenuCheckMark, &mark, painter, widget);
    } else if (!item->icon.isNull()) {
        const QPixmap pix = item->icon.pixmap(QSize(16, 16), enabled ? QIcon::Normal : QIcon::Disabled);
        painter->drawPixmap(iconBox, pix);
    }

    QFont font = item->font;
    if (item->menuItemType == QStyleOptionMenuItem::DefaultItem)
        font.setBold(true);
    painter->setFont(font);
    const QColor textColour
        = enabled ? pal.color(QPalette::WindowText) : pal.color(QPalette::Disabled, QPalette::WindowText);
    painter->setPen(textColour);
    const auto [text, shortcut] = splitText(item->text);
    const QRect textRect = r.adjusted(IconWidth + TextGap, 0, -ArrowRoom, 0);
    const int flags = Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine
        | (styleHint(SH_UnderlineShortcut, item, widget) ? 0 : Qt::TextHideMnemonic);
    painter->drawText(textRect, flags | Qt::AlignLeft, text);
    if (!shortcut.isEmpty())
        painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignRight | Qt::TextSingleLine, shortcut);

    if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
        QStyleOption arrow = *item;
        arrow.rect = QRect(r.right() - ArrowRoom + 2, r.top() + (r.height() - 9) / 2, 9, 9);
        arrow.palette.setColor(QPalette::ButtonText, textColour);
        arrow.palette.setColor(QPalette::WindowText, textColour);
        QProxyStyle::drawPrimitive(PE_IndicatorArrowRight, &arrow, painter, widget);
    }
    painter->restore();
}

} // namespace tl
