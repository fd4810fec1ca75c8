// The tray icon and its menu, showing and hiding the window with its fades,
// and the fallback for desktops without a tray.

#include "app/TForm1.h"

#include "controls/builtinart.h"
#include "controls/guarded.h"
#include "platform/error.h"
#include "settings/settingstable.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QThread>
#include <QUrl>

namespace s = tl::setting;
using tl::SettingsStore;

namespace {
const QString kTitle = QStringLiteral("TessaleafV2");
constexpr int kTipLength = 63;
} // namespace

void TForm1::createTrayMenu()
{
    using tl::connectGuarded;
    auto item = [this](QMenu *menu, const char *name, const QString &text, int icon, void (TForm1::*handler)()) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        if (icon >= 0)
            a->setIcon(tl::builtin::pngIcon(tl::builtin::menuIcon(icon)));
        if (handler)
            connectGuarded(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        else
            a->setEnabled(false);  // its command arrives with its window
        return a;
    };
    auto submenu = [this](QMenu *menu, const char *name, const QString &text, int icon) {
        QMenu *m = menu->addMenu(text);
        m->setObjectName(QString::fromLatin1(name));
        m->setWindowTitle(text);
        if (icon >= 0)
            m->menuAction()->setIcon(tl::builtin::pngIcon(tl::builtin::menuIcon(icon)));
        return m;
    };
    // A shortcut shown beside an item; the keys themselves act through the
    // window's key preview, so here they count only while the menu is open.
    auto shown = [](QAction *a, QKeySequence key) {
        a->setShortcut(key);
        a->setShortcutContext(Qt::WidgetShortcut);
    };

    TrayPopUp = new QMenu(this);
    TrayPopUp->setObjectName(QStringLiteral("TrayPopUp"));
    Show1 = item(TrayPopUp, "Show1", QStringLiteral("Show"), -1, &TForm1::Show1Click);
    TrayPopUp->setDefaultAction(Show1);
    if (File1)
        TrayPopUp->addMenu(File1);
    Options1 = item(TrayPopUp, "Options1", QStringLiteral("Options"), -1, &TForm1::Options1Click);
    RecentSkins1 = submenu(TrayPopUp, "RecentSkins1", QStringLiteral("Available Skins"), -1);
    TrayPopUp->addAction(Sta1);
    TrayPopUp->addSeparator()->setObjectName(QStringLiteral("N3"));
    Help1 = submenu(TrayPopUp, "Help1", QStringLiteral("Help"), -1);
    Helptopics1 = item(Help1, "Helptopics1", QStringLiteral("Help Topics"), 1, &TForm1::Helptopics1Click);
    shown(Helptopics1, Qt::Key_F1);
    // Does nothing: F1 with or without Shift opens the help.
    Keyboardshortcuts1 = Help1->addAction(QStringLiteral("Keyboard shortcuts"));
    Keyboardshortcuts1->setObjectName(QStringLiteral("Keyboardshortcuts1"));
    shown(Keyboardshortcuts1, Qt::SHIFT | Qt::Key_F1);
    Support1 = submenu(Help1, "Support1", QStringLiteral("Support"), 14);
    SendFeedback1 = item(Support1, "SendFeedback1", QStringLiteral("Send Suggestion/Feedback"), -1, &TForm1::SendFeedback1Click);
    SendBugsReport1 = item(Support1, "SendBugsReport1", QStringLiteral("Send BugsReport"), -1, &TForm1::SendBugsReport1Click);
    MarrowpineWebSite1 = item(Help1, "MarrowpineWebSite1", QStringLiteral("Tessaleaf Web Site   "), 13, &TForm1::MarrowpineWebSite1Click);
    Help1->addSeparator()->setObjectName(QStringLiteral("N1"));
    About1 = item(Help1, "About1", QStringLiteral("About..."), -1, &TForm1::About1Click);
    TrayPopUp->addSeparator()->setObjectName(QStringLiteral("N2"));
    Exit1 = item(TrayPopUp, "Exit1", QStringLiteral("Exit"), 0, &TForm1::Exit1Click);

    tl::ITray *tray = m_services.tray.get();
    if (!tray)
        return;
    tray->setMenu(TrayPopUp);
    tl::connectGuarded(tray, &tl::ITray::leftPressed, this, [this] { TrayIconLeftPressed(); });
    connect(tray, &tl::ITray::menuRequested, this, [this](const QPoint &pos) { TrayPopUp->popup(pos); });
    tl::connectGuarded(tray, &tl::ITray::availabilityChanged, this, [this](bool on) { trayAvailabilityChanged(on); });
}

bool TForm1::hasTray() const
{
    return m_services.tray && m_services.tray->isAvailable();
}

void TForm1::PaintTray()
{
    if (!TrayPopUp)
        createTrayMenu();
    if (!m_services.tray)
        return;
    const QString text
        = QFileInfo(CurrentFile()).isFile() ? QFileInfo(CurrentFile()).fileName() : uiText("MainForm.langnonfileintray");
    // At start-up the window icon is set once the window is up.
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = tl::builtin::programTrayIcon();
    m_services.tray->add(icon, (kTitle + QStringLiteral(" - ") + text).left(kTipLength));
}

void TForm1::ModifyTray(const QString &text)
{
    if (m_services.tray)
        m_services.tray->setTip((kTitle + QStringLiteral(" - ") + text).left(kTipLength));
}

void TForm1::fadeOut()
{
    for (int a = m_alpha; a > 0; a -= 4) {
        setAlpha(a);
        if (fadePacer)
            fadePacer(a);
    }
    setAlpha(0);
    m_fadedOut = true;
}

void TForm1::fadeInTo(int target, bool eventsEveryStep)
{
    for (int v = 0; v < target; v += 4) {
        setAlpha(v);
        if (eventsEveryStep)
            QCoreApplication::processEvents();
        if (fadePacer)
            fadePacer(v);
    }
}

void TForm1::TrayIconLeftPressed()
{
    if (isVisible() && !isMinimized()) {
        storeOpacity();
        if (isOn(s::MinEffect))
            fadeOut();
        hideWindow();  // the tray click does not store the note shown
        return;
    }
    showWithFade(false);
}

void TForm1::Show1Click()
{
    showWithFade(true);
}

void TForm1::showWithFade(bool fromShowCommand)
{
    // Started hidden, the window gets its skin again each time it is shown.
    if (!StartedVisible) {
        LoadSkin(GetFromReg(s::CurrentSkin));
        QCoreApplication::processEvents();
    }
    showNormal();
    raise();
    activateWindow();
    const int target = tl::strToInt(GetFromReg(s::LastAlphaV));
    // Show lets events run on every step of its fade, the tray only after.
    if (isOn(s::MinEffect))
        fadeInTo(target, fromShowCommand);
    setAlpha(target & 0xFF);
    if (!fromShowCommand)
        QCoreApplication::processEvents();
}

void TForm1::cmdHideClick()
{
    close();
}

void TForm1::cmdCloseClick()
{
    if (!readyToExit())
        return;
    ExitRequested = true;
    storeOpacity();
    close();
}

void TForm1::setTaskbarEntry(bool shown)
{
    // Changing this flag re-creates the native window: keep what it showed.
    const bool wasVisible = isVisible() && !isMinimized();
    setWindowFlag(Qt::Tool, !shown);
    setWindowFlag(Qt::WindowStaysOnTopHint, m_onTop);
    if (wasVisible)
        show();
}

void TForm1::hideWindow()
{
    if (hasTray()) {
        hide();
        return;
    }
    // Hidden without a tray, the window could not be reached again.
    showMinimized();
    // The taskbar brings it back, not a show of ours: not faded out.
    if (m_fadedOut)
        setAlpha(tl::strToInt(GetFromReg(s::LastAlphaV)) & 0xFF);
    tellNoTrayOnce();
}

void TForm1::tellNoTrayOnce()
{
    if (m_toldNoTray)
        return;
    m_toldNoTray = true;
    m_services.dialogs->messageBox(this, kTitle,
                                   QStringLiteral("This desktop has no system tray, so Tessaleaf keeps a taskbar entry "
                                                  "and minimises its window instead of hiding it."),
                                   tl::MsgButtons::Ok, tl::MsgIcon::Information);
}

void TForm1::trayAvailabilityChanged(bool available)
{
    if (available) {
        // A tray appeared: move into it. A minimised window counts as hidden.
        const bool minimised = isMinimized();
        setTaskbarEntry(false);
        PaintTray();
        if (minimised)
            hide();
    } else {
        const bool hidden = !isVisible();
        setTaskbarEntry(true);
        if (hidden)
            showMinimized();
    }
}
