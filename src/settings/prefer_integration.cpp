// The General page's ties into the desktop: file types, the start-up entry,
// launchers and the global hot key.

#include "settings/TfrmPrefer.h"

#include "controls/guarded.h"
#include "settings/hotkeytext.h"
#include "settings/preferwidgets.h"
#include "settings/settingsstore.h"
#include "settings/settingstable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace s = tl::setting;
namespace in = tl::integration;

using tl::prefer::checkBox;
using tl::prefer::label;
using tl::prefer::list;
using tl::prefer::named;

namespace {

// The "+" between two hot-key lists, centred in the gap they leave.
QLabel *plus(QWidget *page, const char *name, int x)
{
    QLabel *l = label(page, name, QStringLiteral("+"), x, 117);
    l->setGeometry(x, 117, 8, 21);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

} // namespace

void TfrmPrefer::createIntegrationControls()
{
    desktopPlaces = in::DesktopPlaces::fromEnvironment();
    QWidget *p = frame1;
    lblAddIcon = label(p, "lblAddIcon", QStringLiteral("Add icon to:"), 17, 93);
    cbAddIcon = list(p, "cbAddIcon", 94, 91, 101,
                     {QStringLiteral("Start Menu"), QStringLiteral("Programs Menu"), QStringLiteral("Desktop"),
                      QStringLiteral("QuickLaunch")});
    cmdAddIcon = named(new QPushButton(QStringLiteral("Add"), p), "cmdAddIcon");
    cmdAddIcon->setGeometry(200, 90, 60, 23);
    Label11 = label(p, "Label11", QStringLiteral("\"Hot\" key:"), 16, 119);
    // Wider than the Windows lists and moved left to make room: Qt's lists
    // need 58 pixels before "None" and "Shift" read whole.
    cbHotKey1 = list(p, "cbHotKey1", 78, 117, 58, tl::hotkey::firstList());
    Label12 = plus(p, "Label12", 136);
    cbHotKey2 = list(p, "cbHotKey2", 144, 117, 58, tl::hotkey::secondList());
    Label13 = plus(p, "Label13", 202);
    cbHotKey3 = list(p, "cbHotKey3", 210, 117, 58, tl::hotkey::keyList());
    for (QComboBox *c : {cbHotKey1, cbHotKey2, cbHotKey3}) {
        c->setMaxVisibleItems(13);
        // Styles that open the list as a menu ignore the visible-item limit,
        // and 39 keys then run off the screen.
        c->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    }
    chStartUp = checkBox(p, "chStartUp", QStringLiteral("Run the Tessaleaf at StartUp"), 17, 141);
    // Under the tree, left of Close: the page itself has no room to spare.
    lblHotKeyStatus = named(new QLabel(this), "lblHotKeyStatus");
    lblHotKeyStatus->setGeometry(6, 245, 228, 28);
    lblHotKeyStatus->setWordWrap(true);
    lblHotKeyStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont small = lblHotKeyStatus->font();
    small.setPointSize(7);
    lblHotKeyStatus->setFont(small);
    QPalette warn = lblHotKeyStatus->palette();
    warn.setColor(QPalette::WindowText, QColor(0xB0, 0x20, 0x20));
    lblHotKeyStatus->setPalette(warn);
    lblHotKeyStatus->hide();
    cbType = checkBox(p, "cbType", QStringLiteral("*.nts"), 17, 210);
    cbZNts = checkBox(p, "cbZNts", QStringLiteral("*.znts"), 102, 210);
    cbTXT = checkBox(p, "cbTXT", QStringLiteral("*.txt"), 189, 210);

    using tl::connectGuarded;
    // The list shares the menu style's change handler.
    connectGuarded(cbAddIcon, &QComboBox::activated, this, [this] { cbMenuStyleChange(); });
    connectGuarded(cmdAddIcon, &QPushButton::clicked, this, [this] { cmdAddIconClick(); });
    connectGuarded(chStartUp, &QCheckBox::toggled, this, [this] { chStartUpClick(); });
    connectGuarded(cbType, &QCheckBox::toggled, this, [this] { cbTypeClick(); });
    connectGuarded(cbZNts, &QCheckBox::toggled, this, [this] { cbZNtsClick(); });
    connectGuarded(cbTXT, &QCheckBox::toggled, this, [this] { cbTXTClick(); });
    // Registered as soon as it is chosen, so "taken" shows beside the lists
    // while the user can still pick another key; closing registers it again.
    for (QComboBox *c : {cbHotKey1, cbHotKey2, cbHotKey3})
        connectGuarded(c, &QComboBox::activated, this, [this] { SetHotKey(); });
}

void TfrmPrefer::readFileTypes()
{
    // Shown, not written again: start-up refreshed them.
    const QSignalBlocker quietNts(cbType), quietZnts(cbZNts), quietTxt(cbTXT);
    cbType->setChecked(in::isAssociated(desktopPlaces, in::FileType::Nts));
    cbZNts->setChecked(in::isAssociated(desktopPlaces, in::FileType::Znts));
    cbTXT->setChecked(in::isAssociated(desktopPlaces, in::FileType::Txt));
}

void TfrmPrefer::cbTypeClick()
{
    in::setAssociated(desktopPlaces, in::FileType::Nts, cbType->isChecked());
}

void TfrmPrefer::cbZNtsClick()
{
    in::setAssociated(desktopPlaces, in::FileType::Znts, cbZNts->isChecked());
}

void TfrmPrefer::cbTXTClick()
{
    in::setAssociated(desktopPlaces, in::FileType::Txt, cbTXT->isChecked());
}

void TfrmPrefer::chStartUpClick()
{
    in::setAutostart(desktopPlaces, chStartUp->isChecked());
}

void TfrmPrefer::cmdAddIconClick()
{
    // With no entry chosen the launcher goes where the list starts: the desktop.
    const int index = cbAddIcon->currentIndex();
    const auto place = index < 0 ? in::LauncherPlace::Desktop : in::LauncherPlace(index);
    const QString path = in::addLauncher(desktopPlaces, place);
    m_services.dialogs->messageBox(this, QStringLiteral("Tessaleaf"),
                                   QStringLiteral("The launcher was written to %1.").arg(QDir::toNativeSeparators(path)),
                                   tl::MsgButtons::Ok, tl::MsgIcon::Information);
}

void TfrmPrefer::loadHotKey()
{
    const QStringList words = tl::hotkey::shownWords(m_settings.GetFromReg(s::HotKey));
    QComboBox *const lists[] = {cbHotKey1, cbHotKey2, cbHotKey3};
    for (int i = 0; i < 3; ++i)
        lists[i]->setCurrentIndex(lists[i]->findText(words[i]));
    SetHotKey();
}

void TfrmPrefer::SetHotKey()
{
    // A list without a selection shows "", which counts as a chosen word.
    auto shown = [](const QComboBox *c) { return c->currentIndex() < 0 ? QString() : c->currentText(); };
    const QString first = shown(cbHotKey1), second = shown(cbHotKey2), key = shown(cbHotKey3);
    m_settings.SetFromReg(s::HotKey, tl::hotkey::storedText(first, second, key));
    Q_EMIT hotKeyChosen(tl::hotkey::parseShortcut(tl::hotkey::shortcutText(first, second, key)));
}

void TfrmPrefer::showHotKeyStatus(tl::IHotKey::Status status)
{
    using Status = tl::IHotKey::Status;
    switch (status) {
    case Status::None:
    case Status::Registered: lblHotKeyStatus->clear(); break;
    case Status::Taken: lblHotKeyStatus->setText(QStringLiteral("The hot key is taken by another program or the system.")); break;
    case Status::Unavailable:
        lblHotKeyStatus->setText(QStringLiteral(
            "No global keys on this desktop: its own shortcut settings can run tessaleaf --toggle."));
        break;
    }
    lblHotKeyStatus->setVisible(!lblHotKeyStatus->text().isEmpty() && frame1->isVisibleTo(this));
}
