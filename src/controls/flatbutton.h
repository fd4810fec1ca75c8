#pragma once
// The flat speed button of the tool bars and the find bar: a normal and a
// hover look (font, text colour, background), each colour kept as stored.

#include <QFont>
#include <QToolButton>

namespace tl {

class FlatButton : public QToolButton {
    Q_OBJECT
public:
    explicit FlatButton(QWidget *parent = nullptr);

    struct Look {
        QFont font;
        quint32 fore = 0x80000012;  // button text
        quint32 back = 0x8000000F;  // button face
    };
    const Look &normalLook() const { return m_normal; }
    const Look &hoverLook() const { return m_hover; }
    void setNormalLook(const Look &look);
    void setHoverLook(const Look &look);
    quint32 pressedBack() const { return m_pressed; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Look m_normal;
    Look m_hover;
    quint32 m_pressed = 0xB59285;
};

} // namespace tl
