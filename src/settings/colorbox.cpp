#include "settings/colorbox.h"

#include "platform/colors.h"

#include <QPainter>
#include <QPixmap>

namespace tl {

namespace {

struct Named {
    const char *name;
    quint32 value;
};

// The standard sixteen, the extended four and the system colours the
// appearance defaults use.
constexpr Named kColors[] = {
    {"Black", 0x000000},      {"Maroon", 0x000080},      {"Green", 0x008000},      {"Olive", 0x008080},
    {"Navy", 0x800000},       {"Purple", 0x800080},      {"Teal", 0x808000},       {"Gray", 0x808080},
    {"Silver", 0xC0C0C0},     {"Red", 0x0000FF},         {"Lime", 0x00FF00},       {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},       {"Fuchsia", 0xFF00FF},     {"Aqua", 0xFFFF00},       {"White", 0xFFFFFF},
    {"Money Green", 0xC0DCC0}, {"Sky Blue", 0xF0CAA6},   {"Cream", 0xF0FBFF},      {"Medium Gray", 0xA4A0A0},
    {"Window", 0x80000005},   {"Window Text", 0x80000008}, {"Button Face", 0x8000000F},
    {"Button Text", 0x80000012}, {"Highlight", 0x8000000D},
};

QIcon swatch(quint32 value)
{
    QPixmap p(12, 12);
    p.fill(colorFromStored(value));
    QPainter(&p).drawRect(0, 0, 11, 11);
    return QIcon(p);
}

} // namespace

ColorBox::ColorBox(Ask ask, QWidget *parent)
    : QComboBox(parent),
      m_ask(std::move(ask))
{
    for (const Named &c : kColors)
        addItem(swatch(c.value), QString::fromLatin1(c.name), c.value);
    m_named = count();
    addItem(tr("Custom..."));
    setCurrentIndex(0);
    connect(this, &QComboBox::activated, this, &ColorBox::chosen);
}

quint32 ColorBox::color() const
{
    const QVariant v = itemData(currentIndex());
    return v.isValid() ? v.toUInt() : 0;
}

void ColorBox::setColor(quint32 value)
{
    const int i = findData(value);
    if (i >= 0 && i < m_named) {
        setCurrentIndex(i);
        m_before = i;
    } else {
        showCustom(value);
    }
}

void ColorBox::showCustom(quint32 value)
{
    // One custom entry at most, just above "Custom...".
    if (count() > m_named + 1)
        removeItem(m_named);
    insertItem(m_named, swatch(value), QStringLiteral("#%1").arg(colorFromStored(value).name().mid(1).toUpper()),
               value);
    setCurrentIndex(m_named);
    m_before = m_named;
}

void ColorBox::chosen(int index)
{
    if (index == customIndex()) {
        const std::optional<QColor> c = m_ask ? m_ask(colorFromStored(itemData(m_before).toUInt())) : std::nullopt;
        if (!c || !c->isValid()) {
            setCurrentIndex(m_before);
            return;
        }
        setColor(storedFromColor(*c));
    } else {
        m_before = index;
    }
    Q_EMIT colorChosen(color());
}

} // namespace tl
