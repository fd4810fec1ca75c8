#include "platform/widgetcolors.h"

#include "platform/colors.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QLineEdit>
#include <QVariant>
#include <QWidget>

namespace tl {
namespace {

const char kBack[] = "tlStoredBack";
const char kFore[] = "tlStoredFore";

struct Roles {
    QPalette::ColorRole back, fore;
};

Roles rolesOf(const QWidget *w)
{
    if (qobject_cast<const QAbstractScrollArea *>(w) || qobject_cast<const QComboBox *>(w)
        || qobject_cast<const QLineEdit *>(w))
        return {QPalette::Base, QPalette::Text};
    if (qobject_cast<const QAbstractButton *>(w))
        return {QPalette::Button, QPalette::ButtonText};
    return {QPalette::Window, QPalette::WindowText};
}

void setRole(QWidget *w, QPalette::ColorRole role, quint32 stored)
{
    QPalette p = w->palette();
    p.setColor(role, colorFromStored(stored));
    w->setPalette(p);
}

quint32 storedOf(const QWidget *w, const char *property, QPalette::ColorRole role)
{
    const QVariant v = w->property(property);
    if (v.isValid())
        return v.toUInt();
    return storedFromColor(w->palette().color(role));
}

} // namespace

void setStoredBack(QWidget *widget, quint32 color)
{
    const Roles r = rolesOf(widget);
    widget->setProperty(kBack, color);
    setRole(widget, r.back, color);
    if (r.back == QPalette::Window)
        widget->setAutoFillBackground(true);
}

void setStoredFore(QWidget *widget, quint32 color)
{
    widget->setProperty(kFore, color);
    setRole(widget, rolesOf(widget).fore, color);
}

quint32 storedBack(const QWidget *widget) { return storedOf(widget, kBack, rolesOf(widget).back); }
quint32 storedFore(const QWidget *widget) { return storedOf(widget, kFore, rolesOf(widget).fore); }

} // namespace tl
