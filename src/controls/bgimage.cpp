#include "controls/bgimage.h"

#include <QEvent>
#include <QPainter>

namespace tl {

TicBGimage::TicBGimage(QWidget *parent) : GraphicControl(parent)
{
    resize(150, 150);
    if (parent)
        parent->installEventFilter(this);
}

QSize TicBGimage::sizeHint() const { return {150, 150}; }

void TicBGimage::invalidate()
{
    m_buffer = QImage();
    update();
}

void TicBGimage::setAlign(Alignment a)
{
    if (m_align == a)
        return;
    m_align = a;
    followParent();
    applyAutoSize();
}

void TicBGimage::setAutoSize(bool on)
{
    if (m_autoSize == on)
        return;
    m_autoSize = on;
    applyAutoSize();
    invalidate();
}

void TicBGimage::setImage(const QImage &image)
{
    m_image = image;
    applyAutoSize();
    invalidate();
}

void TicBGimage::setImageStyle(ImageStyle style)
{
    if (m_style == style)
        return;
    m_style = style;
    invalidate();
}

void TicBGimage::setTransparent(bool on)
{
    if (m_transparent == on)
        return;
    m_transparent = on;
    invalidate();
}

void TicBGimage::applyAutoSize()
{
    if (m_autoSize && m_align == alNone && !m_image.isNull() && size() != m_image.size())
        resize(m_image.size());
}

void TicBGimage::followParent()
{
    QWidget *p = parentWidget();
    if (!p || m_align == alNone)
        return;
    const QRect r = p->rect();
    switch (m_align) {
    case alTop:
        setGeometry(0, 0, r.width(), height());
        break;
    case alBottom:
        setGeometry(0, r.height() - height(), r.width(), height());
        break;
    case alLeft:
        setGeometry(0, 0, width(), r.height());
        break;
    case alRight:
        setGeometry(r.width() - width(), 0, width(), r.height());
        break;
    case alClient:
        setGeometry(r);
        break;
    case alNone:
        break;
    }
}

bool TicBGimage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        followParent();
    return GraphicControl::eventFilter(watched, event);
}

void TicBGimage::resizeEvent(QResizeEvent *)
{
    m_buffer = QImage();
}

QImage TicBGimage::composed() const
{
    if (m_image.isNull())
        return {};
    if (!m_buffer.isNull())
        return m_buffer;
    const QImage pic = m_image.convertToFormat(QImage::Format_ARGB32);
    // Stretching copies pixels (no smoothing), so skin pieces stay crisp.
    QImage out;
    if (m_style == icNone) {
        out = pic;
    } else {
        out = QImage(size().expandedTo({1, 1}), QImage::Format_ARGB32);
        out.fill(Qt::transparent);
        QPainter p(&out);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        if (m_style == icStretch) {
            p.drawImage(out.rect(), pic);
        } else {
            for (int y = 0; y < out.height(); y += pic.height())
                for (int x = 0; x < out.width(); x += pic.width())
                    p.drawImage(x, y, pic);
        }
    }
    if (m_transparent && out.width() > 1 && out.height() > 1) {
        const QRgb key = out.pixel(1, 1);
        for (int y = 0; y < out.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
            for (int x = 0; x < out.width(); ++x)
                if (line[x] == key)
                    line[x] = 0;
        }
    }
    m_buffer = out;
    return m_buffer;
}

void TicBGimage::paintEvent(QPaintEvent *)
{
    const QImage img = composed();
    if (img.isNull())
        return;
    QPainter p(this);
    p.drawImage(0, 0, img);
}

} // namespace tl
