#include "controls/builtinart.h"

#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QtCore/qglobal.h>

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void initArtResource() { Q_INIT_RESOURCE(art); }

namespace tl::builtin {

void initArt() { initArtResource(); }

QImage readPng(const QString &path)
{
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

namespace {

// One built-in PNG, decoded when a menu first draws it: the menus hold a
// few dozen icons, and none is seen before the window is up.
class LazyPngEngine : public QIconEngine {
public:
    explicit LazyPngEngine(QString path) : m_path(std::move(path)) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QIconEngine *clone() const override { return new LazyPngEngine(*this); }
    QString key() const override { return QStringLiteral("tessaleaf-lazy-png"); }

private:
    const QIcon &icon()
    {
        if (m_icon.isNull())
            m_icon.addPixmap(QPixmap::fromImage(readPng(m_path)));
        return m_icon;
    }

    QString m_path;
    QIcon m_icon;
};

QIcon programIconUpTo(int largest)
{
    QIcon icon;
    for (int size : programIconSizes)
        if (size <= largest)
            icon.addPixmap(QPixmap::fromImage(readPng(programIcon(size))));
    return icon;
}

} // namespace

QIcon pngIcon(const QString &path) { return QIcon(new LazyPngEngine(path)); }

QIcon programWindowIcon() { return programIconUpTo(128); }

QIcon programTrayIcon() { return programIconUpTo(32); }

} // namespace tl::builtin
