#pragma once
// The Preferences pages place their controls by hand, at the pixel places
// the dialog was drawn with; these make one named control at its place.

#include <QCheckBox>
#include <QLabel>
#include <QString>
#include <QWidget>

namespace tl::prefer {

template <typename W>
W *named(W *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

inline QLabel *label(QWidget *page, const char *name, const QString &text, int x, int y)
{
    auto *l = named(new QLabel(text, page), name);
    l->move(x, y);
    l->adjustSize();
    return l;
}

inline QCheckBox *checkBox(QWidget *page, const char *name, const QString &text, int x, int y)
{
    auto *c = named(new QCheckBox(text, page), name);
    c->move(x, y);
    c->adjustSize();
    return c;
}

} // namespace tl::prefer
