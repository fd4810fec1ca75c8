#pragma once
// The two looks of the popup menus. Both go through this proxy so the
// menus take the colours of the skin in use; "Extended" draws the items
// itself: a 24-pixel icon column, a selection filled and framed in the
// highlight colour, and the icons.

#include <QProxyStyle>

namespace tl {

class MenuStyle : public QProxyStyle {
    Q_OBJECT
public:
    static constexpr int IconWidth = 24;

    // Takes the base style of the application's kind.
    explicit MenuStyle(bool extended);

    bool extended() const { return m_extended; }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;

private:
    bool m_extended;
};

} // namespace tl
