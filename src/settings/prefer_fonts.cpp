// The Preferences' fonts and colours page: an element, one of its display
// items, and that item's font and colours, each edit sent to the main
// window at once and stored in the appearance set in use at that moment.

#include "settings/TfrmPrefer.h"

#include "controls/guarded.h"
#include "platform/error.h"
#include "settings/colorbox.h"
#include "settings/preferwidgets.h"
#include "settings/settingsstore.h"
#include "settings/settingstable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace s = tl::setting;
using tl::appearance::Property;

using tl::prefer::label;
using tl::prefer::list;
using tl::prefer::named;

void TfrmPrefer::createFontsPage()
{
    QWidget *p = frame2;
    auto ask = [this](const QColor &initial) { return m_services.dialogs->color(this, initial); };

    Label2 = label(p, "Label2", QStringLiteral("Show settings for:"), 17, 17);
    cbElement = list(p, "cbElement", 17, 33, 160);
    cmdDefault = named(new QPushButton(QStringLiteral("Use Default"), p), "cmdDefault");
    cmdDefault->setGeometry(184, 32, 81, 23);
    Label10 = label(p, "Label10", QStringLiteral("Display Items:"), 17, 58);
    lbItems = named(new QListWidget(p), "lbItems");
    lbItems->setGeometry(17, 74, 113, 79);
    Label6 = label(p, "Label6", QStringLiteral("Font Color:"), 136, 58);
    cbForeGrd = named(new tl::ColorBox(ask, p), "cbForeGrd");
    cbForeGrd->setGeometry(136, 74, 128, 21);
    Label7 = label(p, "Label7", QStringLiteral("Background Color:"), 136, 98);
    cbBackGrd = named(new tl::ColorBox(ask, p), "cbBackGrd");
    cbBackGrd->setGeometry(136, 114, 128, 21);
    cbBold = named(new QCheckBox(QStringLiteral("Bold"), p), "cbBold");
    cbBold->move(136, 138);
    cbBold->adjustSize();
    Label3 = label(p, "Label3", QStringLiteral("Font:"), 17, 158);
    FontComboBox1 = list(p, "FontComboBox1", 17, 174, 160);
    Label5 = label(p, "Label5", QStringLiteral("Size:"), 185, 158);
    cbSize = list(p, "cbSize", 184, 174, 81);
    cbSize->setEditable(true);
    cbSize->setInsertPolicy(QComboBox::NoInsert);
    for (int size = 6; size <= 24; ++size)
        cbSize->addItem(QString::number(size));
    cbSize->setCurrentIndex(cbSize->findText(QStringLiteral("10")));
    cbSize->setEditText(QStringLiteral("10"));
    cbSeparatLines = named(new QCheckBox(QStringLiteral("Separating Lines"), p), "cbSeparatLines");
    cbSeparatLines->move(17, 204);
    cbSeparatLines->adjustSize();
    cbLineColor = named(new tl::ColorBox(ask, p), "cbLineColor");
    cbLineColor->setGeometry(137, 202, 128, 21);
    cbLineColor->setEnabled(false);

    using tl::connectGuarded;
    connectGuarded(cbElement, &QComboBox::activated, this, [this] { cbElementChange(); });
    connectGuarded(lbItems, &QListWidget::currentRowChanged, this, [this] {
        if (!m_showingItem)
            lbItemsClick();
    });
    connectGuarded(FontComboBox1, &QComboBox::activated, this, [this] { FontComboBox1Change(); });
    // Every change of the text, typed or picked.
    connectGuarded(cbSize, &QComboBox::editTextChanged, this, [this] {
        if (!m_showingItem)
            cbSizeChange();
    });
    connectGuarded(cbForeGrd, &tl::ColorBox::colorChosen, this, [this] { cbForeGrdChange(); });
    connectGuarded(cbBackGrd, &tl::ColorBox::colorChosen, this, [this] { cbBackGrdChange(); });
    connectGuarded(cbBold, &QCheckBox::toggled, this, [this] {
        if (!m_showingItem)
            cbBoldClick();
    });
    connectGuarded(cmdDefault, &QPushButton::clicked, this, [this] { cmdDefaultClick(); });
    connectGuarded(cbLineColor, &tl::ColorBox::colorChosen, this, [this] { cbLineColorChange(); });
    connectGuarded(cbSeparatLines, &QCheckBox::toggled, this, [this] { cbSeparatLinesClick(); });
}

void TfrmPrefer::fillFontList()
{
    if (FontComboBox1->count() > 1)
        return;
    const QString shown = FontComboBox1->currentText();
    FontComboBox1->clear();
    FontComboBox1->addItems(QFontDatabase::families());
    showFontName(shown);
}

void TfrmPrefer::showFontName(const QString &family)
{
    int i = FontComboBox1->findText(family, Qt::MatchFixedString);
    if (i < 0 && !family.isEmpty()) {
        // A stored name that is not installed is shown as it is.
        FontComboBox1->insertItem(0, family);
        i = 0;
    }
    FontComboBox1->setCurrentIndex(i);
}

const tl::prefer::Item *TfrmPrefer::chosenItem() const
{
    // The first entry that reads as the list shows: two elements translated
    // alike are one.
    const int element = cbElement->currentIndex() < 0 ? -1 : cbElement->findText(cbElement->currentText());
    const std::span<const tl::prefer::Item> items = tl::prefer::itemsOf(element);
    const int row = lbItems->currentRow();
    return row >= 0 && row < int(items.size()) ? &items[size_t(row)] : nullptr;
}

void TfrmPrefer::cbElementChange()
{
    const int element = cbElement->currentIndex();
    m_settings.SetFromReg(s::LastElementEditor, QString::number(element));
    if (element >= 0) {
        auto word = [this](tl::prefer::ItemWord w) {
            static constexpr std::string_view keys[] = {"frmPrefer.Normal", "frmPrefer.Hover",  "frmPrefer.Text",
                                                        "frmPrefer.Button", "frmPrefer.ComboBox", "frmPrefer.Label"};
            return m_texts[keys[int(w)]];
        };
        const bool wasShowing = std::exchange(m_showingItem, true);
        lbItems->clear();
        for (const tl::prefer::Item &item : tl::prefer::itemsOf(cbElement->findText(cbElement->currentText()))) {
            QString text = word(item.word);
            if (item.state != item.word)
                text += QStringLiteral(" - ") + word(item.state);
            else if (item.target == tl::appearance::Element::SearchLabel)
                text += QStringLiteral(" \"") + m_window.searchLabel() + QLatin1Char('"');
            lbItems->addItem(text);
        }
        lbItems->setCurrentRow(0);
        m_showingItem = wasShowing;
    }
    lbItemsClick();
}

void TfrmPrefer::lbItemsClick()
{
    using tl::appearance::Element;
    const bool wasShowing = std::exchange(m_showingItem, true);
    for (QWidget *w : std::initializer_list<QWidget *>{FontComboBox1, cbForeGrd, cbSize, cbBold})
        w->setEnabled(true);
    cbForeGrd->setColor(0);
    cbBackGrd->setColor(0);
    cbBold->setChecked(false);
    if (const tl::prefer::Item *item = chosenItem()) {
        const tl::appearance::Shown shown = m_window.appearance(item->target);
        if (item->target == Element::ToolBar || item->target == Element::ToolBarHover) {
            for (QWidget *w : std::initializer_list<QWidget *>{FontComboBox1, cbForeGrd, cbSize, cbBold})
                w->setEnabled(false);
        } else {
            showFontName(shown.font.family());
            // The list opens on the size shown, where it has that size.
            const QString size = QString::number(tl::appearance::pointSizeOf(shown.font));
            if (const int index = cbSize->findText(size); index >= 0)
                cbSize->setCurrentIndex(index);
            cbSize->setEditText(size);
            cbForeGrd->setColor(shown.fore);
            cbBold->setChecked(tl::appearance::exactlyBold(shown.font));
        }
        cbBackGrd->setColor(shown.back);
    }
    m_showingItem = wasShowing;
}

void TfrmPrefer::editAppearance(Property column, const QString &text, qint32 number, bool bold)
{
    const tl::prefer::Item *item = chosenItem();
    if (!item)
        return;
    const tl::appearance::Value *value = tl::prefer::valueOf(*item, column);
    if (!value)
        return;  // the page offers no such edit for the item
    Q_EMIT appearanceEdited(item->target, column, text, number, bold);
    // The set in use now, not when the dialog was opened.
    const QString suffix = setInUse();
    using tl::setting::Type;
    if (tl::appearance::typeOf(column) == Type::String)
        m_settings.SetFromReg(tl::appearance::keyOf<Type::String>(*value, suffix),
                           column == Property::Style ? (bold ? QStringLiteral("true") : QStringLiteral("false"))
                                                     : text);
    else
        m_settings.SetFromRegInt(tl::appearance::keyOf<Type::Integer>(*value, suffix), number);
}

void TfrmPrefer::FontComboBox1Change()
{
    editAppearance(Property::FontName, FontComboBox1->currentText(), 0, false);
}

void TfrmPrefer::cbSizeChange()
{
    // Throws for a text that is no integer: nothing applied, nothing stored.
    editAppearance(Property::FontSize, {}, tl::strToInt(cbSize->currentText()), false);
}

void TfrmPrefer::cbForeGrdChange()
{
    editAppearance(Property::ForeGrd, {}, qint32(cbForeGrd->color()), false);
}

void TfrmPrefer::cbBackGrdChange()
{
    editAppearance(Property::BackGrd, {}, qint32(cbBackGrd->color()), false);
}

void TfrmPrefer::cbBoldClick()
{
    editAppearance(Property::Style, {}, 0, cbBold->isChecked());
}

void TfrmPrefer::cmdDefaultClick()
{
    Q_EMIT defaultLookAsked();
}

void TfrmPrefer::cbLineColorChange()
{
    const quint32 c = cbLineColor->color();
    Q_EMIT lineColorChosen(c);
    m_settings.SetFromRegInt(tl::appearance::inSet(s::LineColor, setInUse()), qint32(c));
}

void TfrmPrefer::cbSeparatLinesClick()
{
    const bool on = cbSeparatLines->isChecked();
    cbLineColor->setEnabled(on);
    const QString flag = on ? QStringLiteral("True") : QStringLiteral("False");
    m_settings.SetFromReg(s::EnableLine, flag);
    Q_EMIT linesShown(on);
}

QString TfrmPrefer::setInUse() const
{
    return tl::prefer::suffixFor(m_settings.GetFromReg(s::CurrentSkin), m_window.skinLoaded());
}
