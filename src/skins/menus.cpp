// The two menu styles and the skin menu of the tray.

#include "app/TForm1.h"

#include "controls/guarded.h"
#include "platform/colors.h"
#include "platform/widgetcolors.h"
#include "settings/settingstable.h"
#include "skins/menustyle.h"
#include "skins/skinfiles.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTextEdit>

namespace s = tl::setting;

namespace {

// The menu and its submenus, at any depth.
QList<QMenu *> withSubmenus(QMenu *menu)
{
    QList<QMenu *> all{menu};
    for (QAction *a : menu->actions())
        if (QMenu *sub = a->menu())
            all += withSubmenus(sub);
    return all;
}

// The icon column: the background a little towards black, or towards
// white on a dark one.
QColor shade(const QColor &c, int percent)
{
    const int to = c.lightness() > 128 ? 0 : 255;
    auto mix = [&](int v) { return v + (to - v) * percent / 100; };
    return QColor(mix(c.red()), mix(c.green()), mix(c.blue()));
}

} // namespace

void TForm1::SelectMenuStyle(int style)
{
    if (style != 0 && style != 1)
        return;
    m_menuStyle = style;
    applyMenuLook();
}

void TForm1::applyMenuLook()
{
    if (!TrayPopUp)
        createTrayMenu();
    const bool extended = m_menuStyle == 1;
    QPointer<QStyle> &style = m_menuStyles[extended ? 1 : 0];
    if (!style) {
        style = new tl::MenuStyle(extended);
        style->setParent(this);
    }

    // A skin gives its editor colours; the built-in look the system's.
    QPalette pal = QApplication::palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    pal.setColor(QPalette::Base, pal.color(QPalette::Button));
    pal.setColor(QPalette::Button, shade(pal.color(QPalette::Window), 6));
    if (SkinLoaded) {
        const QColor back = tl::colorFromStored(tl::storedBack(memo1));
        const QColor text = tl::colorFromStored(tl::storedFore(memo1));
        const QColor hi = QColor::fromRgbF(0.6f * back.redF() + 0.4f * text.redF(),
                                           0.6f * back.greenF() + 0.4f * text.greenF(),
                                           0.6f * back.blueF() + 0.4f * text.blueF());
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
            pal.setColor(g, QPalette::Window, back);
            pal.setColor(g, QPalette::Base, back);
            pal.setColor(g, QPalette::Button, shade(back, 8));
            pal.setColor(g, QPalette::WindowText, text);
            pal.setColor(g, QPalette::Text, text);
            pal.setColor(g, QPalette::ButtonText, text);
            pal.setColor(g, QPalette::Highlight, hi);
            pal.setColor(g, QPalette::HighlightedText, text);
        }
        QColor faint = text;
        faint.setAlphaF(0.45f);
        pal.setColor(QPalette::Disabled, QPalette::WindowText, faint);
        pal.setColor(QPalette::Disabled, QPalette::Text, faint);
        pal.setColor(QPalette::Disabled, QPalette::ButtonText, faint);
        pal.setColor(QPalette::Disabled, QPalette::Light, back);  // no etched shadow under faint text
        pal.setColor(QPalette::Disabled, QPalette::Window, back);
        pal.setColor(QPalette::Disabled, QPalette::Button, shade(back, 8));
    }

    // The file menu shows its icons in both styles, the others only in
    // "Extended".
    const QList<QMenu *> followers = withSubmenus(TrayPopUp) + withSubmenus(mnuMemo) + withSubmenus(pSearch);
    for (QMenu *m : followers + withSubmenus(mnuFile)) {
        m->setStyle(style);
        m->setPalette(pal);
        const bool icons = extended || !followers.contains(m);
        for (QAction *a : m->actions())
            a->setIconVisibleInMenu(icons);
    }
}

void TForm1::PaintMenuSkin()
{
    if (!TrayPopUp)
        createTrayMenu();
    for (QAction *a : RecentSkins1->actions()) {
        RecentSkins1->removeAction(a);
        delete a;
    }
    auto add = [this](const QString &name) {
        // The name as it is, never an access key.
        QAction *a = RecentSkins1->addAction(QString(name).replace(QLatin1Char('&'), QStringLiteral("&&")));
        a->setData(name);
        tl::connectGuarded(a, &QAction::triggered, this, [this, a] { mypopuphandler(a); });
    };
    add(tl::SettingsStore::q(s::NoSkin));
    const QStringList skins = tl::skin::listSkins(GetFromReg(s::SkinDir));
    for (int i = 0; i < std::min<int>(int(skins.size()), MenuSkinLimit); ++i)
        add(skins[i]);
    if (skins.size() > MenuSkinLimit) {
        RecentSkins1->addSeparator();
        QAction *more = RecentSkins1->addAction(
            QStringLiteral("%1 more skins in the skin folder").arg(skins.size() - MenuSkinLimit));
        more->setObjectName(QStringLiteral("MoreSkins"));
        more->setEnabled(false);
    }
    applyMenuLook();
}

void TForm1::mypopuphandler(QAction *item)
{
    // The unpacked copy of the archive skin in use goes first.
    tl::skin::KillSkin(GetFromReg(s::CurrentSkin));
    LoadSkin(item->data().toString());
}
