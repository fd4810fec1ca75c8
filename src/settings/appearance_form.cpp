// Applying an appearance set to the main window's controls and storing the
// controls' fonts and colours as a set.

#include "app/TForm1.h"

#include "controls/flatbutton.h"
#include "platform/widgetcolors.h"
#include "settings/settingstable.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QTextEdit>

#include <functional>

namespace {

using Buttons = std::initializer_list<tl::FlatButton *>;

// Bold and nothing else: bold italic does not count.
bool exactlyBold(const QFont &f)
{
    return f.bold() && !f.italic() && !f.underline() && !f.strikeOut();
}

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

int pointSizeOf(const QFont &f)
{
    return f.pointSize() > 0 ? f.pointSize() : qRound(f.pointSizeF());
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

void TForm1::LoadSetReg(const QString &suffix)
{
    if (!m_settings.canOpen())
        return;
    SetFromReg(tl::setting::CurrentSkin, tl::SettingsStore::q(tl::setting::NoSkin));

    auto has = [&](const char *name) { return m_settings.exists(QLatin1String(name) + suffix); };
    auto text = [&](const char *name) { return GetFromReg(QLatin1String(name) + suffix); };
    auto number = [&](const char *name) { return GetFromRegInt(QLatin1String(name) + suffix); };
    auto on = [&](const char *name) { return isOn(QLatin1String(name) + suffix); };
    auto ifString = [&](const char *name, const std::function<void(const QString &)> &apply) {
        if (has(name))
            apply(text(name));
    };
    auto ifNumber = [&](const char *name, const std::function<void(qint32)> &apply) {
        if (has(name))
            apply(number(name));
    };
    const Buttons buttons{cmdSearch, cmdSearchBack, cmdSearchAgain};

    ifString("EditorFontName", [&](const QString &v) { setFamily(memo1, v); });
    ifNumber("EditorFontSize", [&](qint32 v) { setPointSize(memo1, v); });
    ifNumber("EditorForeGrd", [&](qint32 v) { tl::setStoredFore(memo1, quint32(v)); });
    ifNumber("EditorBackGrd", [&](qint32 v) { tl::setStoredBack(memo1, quint32(v)); });
    if (has("EditorStyle") && on("EditorStyle"))
        setBold(memo1, true);

    ifNumber("SearchBarNBackGrdButton", [&](qint32 v) { editLook(buttons, false, [&](auto &l) { l.back = quint32(v); }); });
    ifNumber("SearchBarHBackGrdButton", [&](qint32 v) { editLook(buttons, true, [&](auto &l) { l.back = quint32(v); }); });
    ifNumber("SearchBarBackGrdlblSearch", [&](qint32 v) {
        tl::setStoredBack(panSearch, quint32(v));
        tl::setStoredBack(lblSearch, quint32(v));
    });
    ifNumber("SearchBarForeGrdlblSearch", [&](qint32 v) { tl::setStoredFore(lblSearch, quint32(v)); });
    ifNumber("SearchBarBackGrdComboBox", [&](qint32 v) { tl::setStoredBack(cbSeek, quint32(v)); });
    ifNumber("SearchBarNForeGrdButton", [&](qint32 v) { editLook(buttons, false, [&](auto &l) { l.fore = quint32(v); }); });
    ifNumber("SearchBarHForeGrdButton", [&](qint32 v) { editLook(buttons, true, [&](auto &l) { l.fore = quint32(v); }); });
    ifNumber("SearchBarForeGrdComboBox", [&](qint32 v) { tl::setStoredFore(cbSeek, quint32(v)); });
    ifString("SearchBarNFontNameButton", [&](const QString &v) { editLook(buttons, false, [&](auto &l) { l.font.setFamily(v); }); });
    ifString("SearchBarHFontNameButton", [&](const QString &v) { editLook(buttons, true, [&](auto &l) { l.font.setFamily(v); }); });
    ifString("SearchBarFontNameComboBox", [&](const QString &v) { setFamily(cbSeek, v); });
    ifString("SearchBarFontNamelblSearch", [&](const QString &v) { setFamily(lblSearch, v); });
    ifNumber("SearchBarNFontSizeButton", [&](qint32 v) {
        if (v > 0)
            editLook(buttons, false, [&](auto &l) { l.font.setPointSize(v); });
    });
    ifNumber("SearchBarHFontSizeButton", [&](qint32 v) {
        if (v > 0)
            editLook(buttons, true, [&](auto &l) { l.font.setPointSize(v); });
    });
    ifNumber("SearchBarFontSizeComboBox", [&](qint32 v) { setPointSize(cbSeek, v); });
    ifNumber("SearchBarFontSizelblSearch", [&](qint32 v) { setPointSize(lblSearch, v); });

    // The styles apply whether stored or not: anything but "true" is regular.
    const bool nBold = on("SearchBarNStyleButton");
    const bool hBold = on("SearchBarHStyleButton");
    editLook(buttons, false, [&](auto &l) { l.font.setBold(nBold); });
    editLook(buttons, true, [&](auto &l) { l.font.setBold(hBold); });
    setBold(cbSeek, on("SearchBarStyleComboBox"));
    setBold(lblSearch, on("SearchBarStylelblSearch"));

    ifNumber("ToolBarNBackGrd", [&](qint32 v) { SetToolBarNBackColor(quint32(v)); });
    ifNumber("ToolBarHBackGrd", [&](qint32 v) { SetToolBarHBackColor(quint32(v)); });

    ifString("InfoBarFontName", [&](const QString &v) { setFamily(Panel1, v); });
    ifNumber("InfoBarFontSize", [&](qint32 v) { setPointSize(Panel1, v); });
    ifNumber("InfoBarForeGrd", [&](qint32 v) { tl::setStoredFore(Panel1, quint32(v)); });
    ifNumber("InfoBarBackGrd", [&](qint32 v) { tl::setStoredBack(Panel1, quint32(v)); });
    if (has("InfoBarStyle") && on("InfoBarStyle"))
        setBold(Panel1, true);
}

void TForm1::SaveSetReg(const QString &suffix)
{
    if (!m_settings.canOpen())
        return;
    SetFromReg(tl::setting::CurrentSkin, tl::SettingsStore::q(tl::setting::NoSkin));

    auto putText = [&](const char *name, const QString &v) { SetFromReg(QLatin1String(name) + suffix, v); };
    auto putNumber = [&](const char *name, quint32 v) { SetFromRegInt(QLatin1String(name) + suffix, qint32(v)); };
    // Name, size, text colour, background and style of one element, with
    // the element's own spelling of each value name.
    auto putFive = [&](const char *name, const char *size, const char *fore, const char *back, const char *style,
                       const QFont &font, quint32 foreColor, quint32 backColor) {
        putText(name, font.family());
        putNumber(size, quint32(pointSizeOf(font)));
        putNumber(fore, foreColor);
        putNumber(back, backColor);
        putText(style, boolText(exactlyBold(font)));
    };

    putFive("EditorFontName", "EditorFontSize", "EditorForeGrd", "EditorBackGrd", "EditorStyle",
            memo1->font(), tl::storedFore(memo1), tl::storedBack(memo1));
    putFive("SearchBarFontNameComboBox", "SearchBarFontSizeComboBox", "SearchBarForeGrdComboBox",
            "SearchBarBackGrdComboBox", "SearchBarStyleComboBox", cbSeek->font(), tl::storedFore(cbSeek),
            tl::storedBack(cbSeek));
    putFive("SearchBarFontNamelblSearch", "SearchBarFontSizelblSearch", "SearchBarForeGrdlblSearch",
            "SearchBarBackGrdlblSearch", "SearchBarStylelblSearch", lblSearch->font(), tl::storedFore(lblSearch),
            tl::storedBack(lblSearch));
    const tl::FlatButton::Look &n = cmdSearch->normalLook();
    putFive("SearchBarNFontNameButton", "SearchBarNFontSizeButton", "SearchBarNForeGrdButton",
            "SearchBarNBackGrdButton", "SearchBarNStyleButton", n.font, n.fore, n.back);
    const tl::FlatButton::Look &h = cmdSearch->hoverLook();
    putFive("SearchBarHFontNameButton", "SearchBarHFontSizeButton", "SearchBarHForeGrdButton",
            "SearchBarHBackGrdButton", "SearchBarHStyleButton", h.font, h.fore, h.back);
    putNumber("ToolBarNBackGrd", tl::storedBack(panToolBar));
    putNumber("ToolBarHBackGrd", cmdOpen->hoverLook().back);
    putFive("InfoBarFontName", "InfoBarFontSize", "InfoBarForeGrd", "InfoBarBackGrd", "InfoBarStyle",
            Panel1->font(), tl::storedFore(Panel1), tl::storedBack(Panel1));
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
