#include "controls/darerlabel.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace tl {

namespace {
constexpr int kDefaultFrame = 3;
constexpr int kDefaultShadow = 2;
// Colours of a new label; stored values are 0x00BBGGRR, these are the same
// colours as RGB.
const QColor kTextColour(0, 0, 0xFF);        // 0xFF0000
const QColor kTxtHilite(0x80, 0x80, 0x80);   // 0x808080
const QColor kBegin(0x00, 0x80, 0x00);       // 0x008000
const QColor kEnd(0xFF, 0xFF, 0x00);         // 0x00FFFF
const QColor kSelection(0, 0, 0xFF);         // 0xFF0000
} // namespace

TDarerLabel::TDarerLabel(QWidget *parent)
    : GraphicControl(parent),
      m_btnHilite(QApplication::palette().color(QPalette::Light)),
      m_btnShadow(QApplication::palette().color(QPalette::Dark)),
      m_txtHilite(kTxtHilite),
      m_txtShadow(QApplication::palette().color(QPalette::Dark)),
      m_begin(kBegin),
      m_end(kEnd),
      m_borderColor(Qt::black),
      m_fontColor(kTextColour)
{
    resize(75, 25);
}

QSize TDarerLabel::sizeHint() const { return {75, 25}; }

template <typename T> void TDarerLabel::assign(T &field, const T &value)
{
    if (field == value)
        return;
    field = value;
    invalidate();
}

void TDarerLabel::invalidate()
{
    m_buffer = QImage();
    update();
}

void TDarerLabel::setBtnHiliteClr(QColor c) { assign(m_btnHilite, c); }
void TDarerLabel::setBtnShadowClr(QColor c) { assign(m_btnShadow, c); }
void TDarerLabel::setTxtHiliteClr(QColor c) { assign(m_txtHilite, c); }
void TDarerLabel::setTxtShadowClr(QColor c) { assign(m_txtShadow, c); }
void TDarerLabel::setBeginColor(QColor c) { assign(m_begin, c); }
void TDarerLabel::setEndColor(QColor c) { assign(m_end, c); }
void TDarerLabel::setGradientStyle(darer::GradientStyle s) { assign(m_gradient, s); }
void TDarerLabel::setTextStyle(TextStyle s) { assign(m_textStyle, s); }
void TDarerLabel::setTextShadeType(TextShadeType s) { assign(m_shade, s); }
void TDarerLabel::setTextLayout(TextLayout l) { assign(m_layout, l); }
void TDarerLabel::setBorderColor(QColor c) { assign(m_borderColor, c); }
void TDarerLabel::setDrawBorder(bool on) { assign(m_drawBorder, on); }
void TDarerLabel::setResizeBorder(int width) { m_resizeBorder = width; }
void TDarerLabel::setFontColor(QColor c) { assign(m_fontColor, c); }
void TDarerLabel::setTransparent(bool on) { assign(m_transparent, on); }

void TDarerLabel::setFrameSize(int size)
{
    assign(m_frameSize, (size < 0 || size > 10) ? kDefaultFrame : size);
}

void TDarerLabel::setShadowOffset(int offset)
{
    assign(m_shadowOffset, (offset < 1 || offset > 10) ? kDefaultShadow : offset);
}

void TDarerLabel::setCaption(const QString &text)
{
    if (m_caption == text)
        return;
    m_caption = text;
    applyAutoSize();
    invalidate();
}

void TDarerLabel::setAutoSize(bool on)
{
    m_autoSize = on;
    applyAutoSize();
}

void TDarerLabel::applyAutoSize()
{
    if (!m_autoSize)
        return;
    const QFontMetrics fm(font());
    const QRect r = fm.boundingRect(QRect(), Qt::TextExpandTabs | Qt::TextSingleLine, m_caption);
    resize(std::max(1, r.width()), std::max(1, fm.height()));
}

void TDarerLabel::setDesignMode(bool on)
{
    if (m_designMode == on)
        return;
    m_designMode = on;
    // Hovering picks the sizing cursor, so moves must arrive unpressed too.
    setMouseTracking(on);
    if (on && !m_cursorKept) {
        m_ownCursor = cursor();
        m_cursorKept = true;
    }
    if (!on) {
        m_dragging = false;
        setEditSelected(false);
        if (m_cursorKept)
            setCursor(m_ownCursor);
    }
}

void TDarerLabel::setEditSelected(bool on) { assign(m_editSelected, on); }

void TDarerLabel::resizeEvent(QResizeEvent *)
{
    m_buffer = QImage();
}

void TDarerLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        applyAutoSize();
        invalidate();
    }
    GraphicControl::changeEvent(event);
}

void TDarerLabel::paintEvent(QPaintEvent *)
{
    if (!m_cursorKept) {
        m_ownCursor = cursor();
        m_cursorKept = true;
    }
    if (m_buffer.isNull())
        compose();
    QPainter p(this);
    p.drawImage(0, 0, m_buffer);
}

void TDarerLabel::compose()
{
    // Composed whole off screen and kept until something visible changes,
    // so a repaint is one copy and never shows a half-drawn gradient.
    m_buffer = QImage(size().expandedTo({1, 1}), QImage::Format_ARGB32_Premultiplied);
    m_buffer.fill(Qt::transparent);
    if (!m_transparent)
        darer::paintGradient(m_buffer, m_gradient, m_begin, m_end);

    QPainter p(&m_buffer);
    p.setFont(font());
    if (m_gradient != darer::gsTextOnly && !m_transparent) {
        drawFrames(p);
        if (m_drawBorder) {
            p.setPen(m_borderColor);
            p.setBrush(Qt::NoBrush);
            p.drawRect(0, 0, width() - 1, height() - 1);
        }
    }
    drawText(p);
    if (m_designMode && m_editSelected && width() > 2 && height() > 2) {
        QPen pen(kSelection, 1, Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(1, 1, width() - 3, height() - 3);
    }
}

void TDarerLabel::drawFrames(QPainter &p) const
{
    // Rings from the outside in: light top and left, dark bottom and right.
    const int w = width(), h = height();
    for (int k = 0; k < m_frameSize && 2 * k < std::min(w, h); ++k) {
        const int l = k, t = k, r = w - 1 - k, b = h - 1 - k;
        p.setPen(m_btnHilite);
        p.drawLine(l, t, r, t);
        p.drawLine(l, t, l, b);
        p.setPen(m_btnShadow);
        p.drawLine(l, b, r, b);
        p.drawLine(r, t, r, b);
    }
}

void TDarerLabel::drawCopy(QPainter &p, QColor colour, int dx, int dy) const
{
    const QFontMetrics fm(p.font());
    p.setPen(colour);
    if (m_layout == tlLeftRight) {
        const int flags = Qt::TextExpandTabs | Qt::TextSingleLine;
        const QRect r = fm.boundingRect(QRect(), flags, m_caption);
        const int x = (width() - r.width()) / 2, y = (height() - fm.height()) / 2;
        p.drawText(QRect(x + dx, y + dy, r.width() + 1, fm.height()), flags | Qt::AlignLeft | Qt::AlignTop,
                   m_caption);
        return;
    }
    // One character per line, in a column as wide as "00".
    const int column = fm.horizontalAdvance(QStringLiteral("00"));
    const int lines = int(m_caption.size());
    const int x = (width() - column) / 2;
    int y = (height() - lines * fm.height()) / 2;
    for (const QChar ch : m_caption) {
        p.drawText(QRect(x + dx, y + dy, column, fm.height()), Qt::AlignHCenter | Qt::AlignTop, QString(ch));
        y += fm.height();
    }
}

void TDarerLabel::drawText(QPainter &p) const
{
    if (m_caption.isEmpty())
        return;
    const int s = m_shadowOffset;
    const bool heavy = m_shade == stHeavy;
    const TextStyle style = m_gradient == darer::gsTextOnly ? tsNormal : m_textStyle;
    switch (style) {
    case tsNormal:
        break;
    case tsRaised:
        drawCopy(p, m_txtHilite, 0, 0);
        if (heavy)
            drawCopy(p, m_txtShadow, 2 * s, 2 * s);
        break;
    case tsInset:
        if (heavy)
            drawCopy(p, m_txtShadow, 0, 0);
        drawCopy(p, m_txtHilite, 2 * s, 2 * s);
        break;
    }
    drawCopy(p, m_fontColor, s, s);
}

TDarerLabel::Zone TDarerLabel::zoneAt(QPoint p) const
{
    const int b = m_resizeBorder;
    const bool left = p.x() < b, right = p.x() >= width() - b;
    const bool top = p.y() < b, bottom = p.y() >= height() - b;
    if (top && left)
        return zTopLeft;
    if (top && right)
        return zTopRight;
    if (bottom && left)
        return zBottomLeft;
    if (bottom && right)
        return zBottomRight;
    if (left)
        return zLeft;
    if (right)
        return zRight;
    if (top)
        return zTop;
    if (bottom)
        return zBottom;
    return zInside;
}

namespace {
Qt::CursorShape cursorFor(TDarerLabel::Zone z)
{
    switch (z) {
    case TDarerLabel::zTopLeft:
    case TDarerLabel::zBottomRight:
        return Qt::SizeFDiagCursor;
    case TDarerLabel::zTopRight:
    case TDarerLabel::zBottomLeft:
        return Qt::SizeBDiagCursor;
    case TDarerLabel::zLeft:
    case TDarerLabel::zRight:
        return Qt::SizeHorCursor;
    case TDarerLabel::zTop:
    case TDarerLabel::zBottom:
        return Qt::SizeVerCursor;
    case TDarerLabel::zInside:
        break;
    }
    return Qt::ArrowCursor;
}
} // namespace

void TDarerLabel::enterEvent(QEnterEvent *event)
{
    if (m_designMode && isEnabled())
        setEditSelected(true);
    GraphicControl::enterEvent(event);
}

void TDarerLabel::leaveEvent(QEvent *event)
{
    if (m_designMode && isEnabled() && !m_dragging)
        setEditSelected(false);
    GraphicControl::leaveEvent(event);
}

void TDarerLabel::mousePressEvent(QMouseEvent *event)
{
    if (!(m_designMode && m_editSelected && event->button() == Qt::LeftButton)) {
        GraphicControl::mousePressEvent(event);
        return;
    }
    m_dragging = true;
    m_changed = false;
    m_zone = zoneAt(event->position().toPoint());
    m_pressGlobal = event->globalPosition().toPoint();
    m_pressGeometry = geometry();
}

void TDarerLabel::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_designMode) {
        GraphicControl::mouseMoveEvent(event);
        return;
    }
    if (!m_dragging) {
        if (m_editSelected)
            setCursor(cursorFor(zoneAt(event->position().toPoint())));
        return;
    }
    const QPoint d = event->globalPosition().toPoint() - m_pressGlobal;
    QRect g = m_pressGeometry;
    if (m_zone == zInside) {
        g.moveTopLeft(g.topLeft() + d);
    } else {
        // Each edge moves with the pointer but stops one pixel short of
        // the opposite edge.
        if (m_zone == zLeft || m_zone == zTopLeft || m_zone == zBottomLeft)
            g.setLeft(std::min(g.left() + d.x(), g.right()));
        if (m_zone == zRight || m_zone == zTopRight || m_zone == zBottomRight)
            g.setRight(std::max(g.right() + d.x(), g.left()));
        if (m_zone == zTop || m_zone == zTopLeft || m_zone == zTopRight)
            g.setTop(std::min(g.top() + d.y(), g.bottom()));
        if (m_zone == zBottom || m_zone == zBottomLeft || m_zone == zBottomRight)
            g.setBottom(std::max(g.bottom() + d.y(), g.top()));
    }
    if (g != geometry()) {
        setGeometry(g);
        m_changed = true;
    }
}

void TDarerLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_dragging) {
        GraphicControl::mouseReleaseEvent(event);
        return;
    }
    m_dragging = false;
    if (!rect().contains(event->position().toPoint()))
        setEditSelected(false);
    if (m_changed)
        Q_EMIT posChanged(x(), y());
}

} // namespace tl
