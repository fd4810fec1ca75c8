#pragma once
// A label that paints a colour gradient behind its text, with raised or
// inset text, a 3-D frame and a border, and a run-time design mode in which
// the user moves and resizes it with the mouse.

#include "controls/gradient.h"
#include "controls/graphiccontrol.h"

#include <QColor>
#include <QImage>
#include <QString>

namespace tl {

class TDarerLabel : public GraphicControl {
    Q_OBJECT
public:
    enum TextStyle { tsNormal, tsRaised, tsInset };
    Q_ENUM(TextStyle)
    enum TextShadeType { stLight, stHeavy };
    Q_ENUM(TextShadeType)
    enum TextLayout { tlLeftRight, tlUpDown };
    Q_ENUM(TextLayout)

    // Published in their declared order.
    Q_PROPERTY(QColor BtnHiliteClr READ btnHiliteClr WRITE setBtnHiliteClr)
    Q_PROPERTY(QColor BtnShadowClr READ btnShadowClr WRITE setBtnShadowClr)
    Q_PROPERTY(QColor TxtHiliteClr READ txtHiliteClr WRITE setTxtHiliteClr)
    Q_PROPERTY(QColor TxtShadowClr READ txtShadowClr WRITE setTxtShadowClr)
    Q_PROPERTY(QColor BeginColor READ beginColor WRITE setBeginColor)
    Q_PROPERTY(QColor EndColor READ endColor WRITE setEndColor)
    Q_PROPERTY(tl::darer::GradientStyle GradientStyle READ gradientStyle WRITE setGradientStyle)
    Q_PROPERTY(TextStyle TextStyle READ textStyle WRITE setTextStyle)
    Q_PROPERTY(TextShadeType TextShadeType READ textShadeType WRITE setTextShadeType)
    Q_PROPERTY(TextLayout TextLayout READ textLayout WRITE setTextLayout)
    Q_PROPERTY(int FrameSize READ frameSize WRITE setFrameSize)
    Q_PROPERTY(int ShadowOffset READ shadowOffset WRITE setShadowOffset)
    Q_PROPERTY(QColor BorderColor READ borderColor WRITE setBorderColor)
    Q_PROPERTY(bool DrawBorder READ drawBorder WRITE setDrawBorder)
    Q_PROPERTY(int ResizeBorder READ resizeBorder WRITE setResizeBorder)
    Q_PROPERTY(bool DesignMode READ designMode WRITE setDesignMode)
    Q_PROPERTY(bool EditSelected READ editSelected WRITE setEditSelected)
    Q_PROPERTY(QString DarerCommand READ darerCommand WRITE setDarerCommand)
    // Kept from the plain label.
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor FontColor READ fontColor WRITE setFontColor)
    Q_PROPERTY(bool Transparent READ transparent WRITE setTransparent)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)

public:
    explicit TDarerLabel(QWidget *parent = nullptr);

    QColor btnHiliteClr() const { return m_btnHilite; }
    QColor btnShadowClr() const { return m_btnShadow; }
    QColor txtHiliteClr() const { return m_txtHilite; }
    QColor txtShadowClr() const { return m_txtShadow; }
    QColor beginColor() const { return m_begin; }
    QColor endColor() const { return m_end; }
    darer::GradientStyle gradientStyle() const { return m_gradient; }
    TextStyle textStyle() const { return m_textStyle; }
    TextShadeType textShadeType() const { return m_shade; }
    TextLayout textLayout() const { return m_layout; }
    int frameSize() const { return m_frameSize; }
    int shadowOffset() const { return m_shadowOffset; }
    QColor borderColor() const { return m_borderColor; }
    bool drawBorder() const { return m_drawBorder; }
    int resizeBorder() const { return m_resizeBorder; }
    bool designMode() const { return m_designMode; }
    bool editSelected() const { return m_editSelected; }
    QString darerCommand() const { return m_command; }
    QString caption() const { return m_caption; }
    QColor fontColor() const { return m_fontColor; }
    bool transparent() const { return m_transparent; }
    bool autoSize() const { return m_autoSize; }

    void setBtnHiliteClr(QColor c);
    void setBtnShadowClr(QColor c);
    void setTxtHiliteClr(QColor c);
    void setTxtShadowClr(QColor c);
    void setBeginColor(QColor c);
    void setEndColor(QColor c);
    void setGradientStyle(darer::GradientStyle s);
    void setTextStyle(TextStyle s);
    void setTextShadeType(TextShadeType s);
    void setTextLayout(TextLayout l);
    // Out of range values store the initial 3 (0 .. 10 allowed).
    void setFrameSize(int size);
    // Out of range values store the initial 2 (1 .. 10 allowed).
    void setShadowOffset(int offset);
    void setBorderColor(QColor c);
    void setDrawBorder(bool on);
    void setResizeBorder(int width);
    void setDesignMode(bool on);
    void setEditSelected(bool on);
    void setDarerCommand(const QString &text) { m_command = text; }
    void setCaption(const QString &text);
    void setFontColor(QColor c);
    void setTransparent(bool on);
    void setAutoSize(bool on);

    // Which part of the label a design-mode drag grabs.
    enum Zone { zInside, zLeft, zRight, zTop, zBottom, zTopLeft, zTopRight, zBottomLeft, zBottomRight };
    Zone zoneAt(QPoint p) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // After a design-mode move or resize, with the new position.
    void posChanged(int left, int top);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    template <typename T> void assign(T &field, const T &value);
    void invalidate();
    void compose();
    void drawFrames(QPainter &p) const;
    void drawText(QPainter &p) const;
    void drawCopy(QPainter &p, QColor colour, int dx, int dy) const;
    void applyAutoSize();

    QColor m_btnHilite, m_btnShadow, m_txtHilite, m_txtShadow;
    QColor m_begin, m_end, m_borderColor, m_fontColor;
    darer::GradientStyle m_gradient = darer::gsVertCenter;
    TextStyle m_textStyle = tsNormal;
    TextShadeType m_shade = stLight;
    TextLayout m_layout = tlLeftRight;
    int m_frameSize = 3;
    int m_shadowOffset = 2;
    bool m_drawBorder = true;
    int m_resizeBorder = 4;
    bool m_designMode = false;
    bool m_editSelected = false;
    QString m_command;
    QString m_caption;
    bool m_transparent = false;
    bool m_autoSize = false;

    QImage m_buffer;  // the composed label; null when it must be redrawn
    bool m_cursorKept = false;
    QCursor m_ownCursor;
    bool m_dragging = false;
    bool m_changed = false;
    Zone m_zone = zInside;
    QPoint m_pressGlobal;
    QRect m_pressGeometry;
};

} // namespace tl
