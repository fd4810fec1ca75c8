#pragma once
// The Preferences pages place their controls by hand, at the pixel places
// the dialog was drawn with; these make one named control at its place.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QString>
#include <QStringList>
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

// A drop-down list one line high.
inline QComboBox *list(QWidget *page, const char *name, int x, int y, int width, const QStringList &entries = {})
{
    auto *c = named(new QComboBox(page), name);
    c->setGeometry(x, y, width, 21);
    c->addItems(entries);
    return c;
}

} // namespace tl::prefer
