#pragma once
// A colour box: a drop-down list of the standard colours, the extended
// ones and a few of the system's, each with a swatch and its name, then
// "Custom...", which asks for any colour. Values are stored colours
// (0x00BBGGRR, or 0x80000000 + a system colour index).

#include <QComboBox>

#include <functional>
#include <optional>

class QColor;

namespace tl {

class ColorBox : public QComboBox {
    Q_OBJECT
public:
    // ask: the colour dialog, nothing when cancelled.
    using Ask = std::function<std::optional<QColor>(const QColor &initial)>;
    explicit ColorBox(Ask ask, QWidget *parent = nullptr);

    quint32 color() const;
    // Shows value: its named entry, else a custom entry holding it. Runs
    // no handler.
    void setColor(quint32 value);

Q_SIGNALS:
    // The user chose a colour (from the list or through the dialog).
    void colorChosen(quint32 value);

private:
    void chosen(int index);
    int customIndex() const { return count() - 1; }
    void showCustom(quint32 value);
    Ask m_ask;
    int m_before = 0;  // the entry shown before the user's choice
    int m_named = 0;   // entries before the custom ones
};

} // namespace tl
