#pragma once
// A picture control: shows its picture at natural size, stretched or tiled,
// optionally leaving out one transparent colour. With no picture it paints
// nothing, which makes it an invisible drag area.

#include "controls/graphiccontrol.h"

#include <QImage>

namespace tl {

class TicBGimage : public GraphicControl {
    Q_OBJECT
public:
    enum ImageStyle { icNone, icStretch, icTiled };
    Q_ENUM(ImageStyle)
    enum Alignment { alNone, alTop, alBottom, alLeft, alRight, alClient };
    Q_ENUM(Alignment)

    Q_PROPERTY(Alignment Align READ align WRITE setAlign)
    Q_PROPERTY(bool Auto_Size READ autoSize WRITE setAutoSize)
    Q_PROPERTY(QImage Image READ image WRITE setImage)
    Q_PROPERTY(ImageStyle Image_Style READ imageStyle WRITE setImageStyle)
    Q_PROPERTY(bool Transparent READ transparent WRITE setTransparent)

public:
    explicit TicBGimage(QWidget *parent = nullptr);

    Alignment align() const { return m_align; }
    bool autoSize() const { return m_autoSize; }
    const QImage &image() const { return m_image; }
    ImageStyle imageStyle() const { return m_style; }
    bool transparent() const { return m_transparent; }

    // Aligned controls follow their parent's size: a strip along one side
    // keeps its own thickness, alClient covers the parent.
    void setAlign(Alignment a);
    // Resizes the control to its picture while it is not aligned.
    void setAutoSize(bool on);
    void setImage(const QImage &image);
    void setImageStyle(ImageStyle style);
    // The colour of the composed pixel (1, 1) is left out everywhere.
    void setTransparent(bool on);

    // What a paint puts down: the control's picture as composed off screen,
    // transparent where nothing is drawn. Null for an empty picture.
    QImage composed() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void invalidate();
    void followParent();
    void applyAutoSize();

    Alignment m_align = alNone;
    bool m_autoSize = false;
    QImage m_image;
    ImageStyle m_style = icNone;
    bool m_transparent = false;
    mutable QImage m_buffer;
};

} // namespace tl
