// Applying an appearance set to the main window's controls and storing the
// controls' fonts and colours as a set.

#include "app/TForm1.h"

#include "controls/flatbutton.h"
#include "platform/widgetcolors.h"
#include "settings/appearance.h"
#include "settings/settingstable.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QTextEdit>

#include <functional>

namespace {

using tl::appearance::exactlyBold;
using tl::appearance::pointSizeOf;
using Buttons = std::initializer_list<tl::FlatButton *>;

QString boolText(bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); }

void setFamily(QWidget *w, const QString &family)
{
    QFont f = w->font();
    f.setFamily(family);
    w->setFont(f);
}

void setPointSize(QWidget *w, int size)
{
    if (size <= 0)
        return;
    QFont f = w->font();
    f.setPointSize(size);
    w->setFont(f);
}

void setBold(QWidget *w, bool bold)
{
    QFont f = w->font();
    f.setBold(bold);
    w->setFont(f);
}

void editLook(Buttons buttons, bool hover, const std::function<void(tl::FlatButton::Look &)> &edit)
{
    for (tl::FlatButton *b : buttons) {
        tl::FlatButton::Look look = hover ? b->hoverLook() : b->normalLook();
        edit(look);
        hover ? b->setHoverLook(look) : b->setNormalLook(look);
    }
}

} // namespace

void TForm1::applyAppearance(tl::appearance::Element element, tl::appearance::Property property, const QString &text,
                             qint32 number, bool bold)
{
    using tl::appearance::Element;
    using tl::appearance::Property;
    const Buttons buttons{cmdSearch, cmdSearchBack, cmdSearchAgain};
    QWidget *w = nullptr;
    switch (element) {
    case Element::ToolBar: SetToolBarNBackColor(quint32(number)); return;
    case Element::ToolBarHover: SetToolBarHBackColor(quint32(number)); return;
    case Element::SearchButtons:
    case Element::SearchButtonsHover:
        if (property == Property::FontSize && number <= 0)
            return;
        editLook(buttons, element == Element::SearchButtonsHover, [&](tl::FlatButton::Look &l) {
            switch (property) {
            case Property::FontName: l.font.setFamily(text); break;
            case Property::FontSize: l.font.setPointSize(number); break;
            case Property::ForeGrd: l.fore = quint32(number); break;
            case Property::BackGrd: l.back = quint32(number); break;
            case Property::Style: l.font.setBold(bold); break;
            }
        });
        return;
    case Element::Editor: w = memo1; break;
    case Element::SearchCombo: w = cbSeek; break;
    case Element::SearchLabel: w = lblSearch; break;
    case Element::InfoBar: w = Panel1; break;
    }
    switch (property) {
    case Property::FontName: setFamily(w, text); break;
    case Property::FontSize: setPointSize(w, number); break;
    case Property::ForeGrd: tl::setStoredFore(w, quint32(number)); break;
    case Property::BackGrd:
        if (element == Element::SearchLabel)
            tl::setStoredBack(panSearch, quint32(number));
        tl::setStoredBack(w, quint32(number));
        break;
    case Property::Style: setBold(w, bold); break;
    }
}

TForm1::AppearanceShown TForm1::shownAppearance(tl::appearance::Element element) const
{
    using tl::appearance::Element;
    auto shownBy = [](const QWidget *w) { return AppearanceShown{w->font(), tl::storedFore(w), tl::storedBack(w)}; };
    auto shownAs = [](const tl::FlatButton::Look &l) { return AppearanceShown{l.font, l.fore, l.back}; };
    // The find bar's buttons look alike: cmdSearch speaks for the three.
    switch (element) {
    case Element::Editor: return shownBy(memo1);
    case Element::SearchButtons: return shownAs(cmdSearch->normalLook());
    case Element::SearchButtonsHover: return shownAs(cmdSearch->hoverLook());
    case Element::SearchCombo: return shownBy(cbSeek);
    case Element::SearchLabel: return shownBy(lblSearch);
    case Element::InfoBar: return shownBy(Panel1);
    case Element::ToolBar: return {{}, 0, tl::storedBack(panToolBar)};
    case Element::ToolBarHover: return {{}, 0, cmdOpen->hoverLook().back};
    }
    return {};
}

void TForm1::LoadSetReg(const QString &suffix)
{
    using tl::appearance::Property;
    using tl::setting::Type;
    if (!m_settings.canOpen())
        return;
    SetFromReg(tl::setting::CurrentSkin, tl::SettingsStore::q(tl::setting::NoSkin));

    for (const tl::appearance::Value &v : tl::appearance::values) {
        if (tl::appearance::typeOf(v.property) == Type::String) {
            const tl::setting::Text key = tl::appearance::keyOf<Type::String>(v, suffix);
            if (v.property != Property::Style) {
                if (m_settings.exists(key))
                    applyAppearance(v.element, v.property, GetFromReg(key), 0, false);
            } else if (!tl::appearance::styleOnlyAddsBold(v.element)) {
                applyAppearance(v.element, v.property, {}, 0, isOn(key));
            } else if (m_settings.exists(key) && isOn(key)) {
                applyAppearance(v.element, v.property, {}, 0, true);
            }
        } else if (const tl::setting::Number key = tl::appearance::keyOf<Type::Integer>(v, suffix);
                   m_settings.exists(key)) {
            applyAppearance(v.element, v.property, {}, GetFromRegInt(key), false);
        }
    }
}

void TForm1::SaveSetReg(const QString &suffix)
{
    using tl::appearance::Element;
    using tl::appearance::Property;
    if (!m_settings.canOpen())
        return;
    SetFromReg(tl::setting::CurrentSkin, tl::SettingsStore::q(tl::setting::NoSkin));

    for (Element element : tl::appearance::saveOrder) {
        const AppearanceShown shown = shownAppearance(element);
        for (int p = 0; p < tl::appearance::kProperties; ++p) {
            const tl::appearance::Value *v = tl::appearance::find(element, Property(p));
            if (!v)
                continue;
            const auto text = [&] { return tl::appearance::keyOf<tl::setting::Type::String>(*v, suffix); };
            const auto number = [&] { return tl::appearance::keyOf<tl::setting::Type::Integer>(*v, suffix); };
            switch (v->property) {
            case Property::FontName: SetFromReg(text(), shown.font.family()); break;
            case Property::FontSize: SetFromRegInt(number(), pointSizeOf(shown.font)); break;
            case Property::ForeGrd: SetFromRegInt(number(), qint32(shown.fore)); break;
            case Property::BackGrd: SetFromRegInt(number(), qint32(shown.back)); break;
            case Property::Style: SetFromReg(text(), boolText(exactlyBold(shown.font))); break;
            }
        }
    }
}

void TForm1::SetToolBarNBackColor(quint32 color)
{
    tl::setStoredBack(panFormat, color);
    tl::setStoredBack(panToolBar, color);
}

void TForm1::SetToolBarHBackColor(quint32 color)
{
    // The stored hover colour becomes the tool buttons' hot-track colour, so
    // that what is saved from cmdOpen is what was loaded.
    QList<tl::FlatButton *> buttons = panToolBar->findChildren<tl::FlatButton *>();
    buttons += panFormat->findChildren<tl::FlatButton *>();
    buttons += {cmdOpen, cmdSave, cmdZoomOut};
    for (tl::FlatButton *b : buttons) {
        tl::FlatButton::Look look = b->hoverLook();
        look.back = color;
        b->setHoverLook(look);
    }
}
