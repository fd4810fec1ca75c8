// Start-up, window state kept across runs, and shutdown.

#include "app/TForm1.h"

#include "controls/darerlabel.h"
#include "controls/flatbutton.h"
#include "controls/guarded.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "platform/windowsystem.h"
#include "settings/appearance.h"
#include "settings/preferitems.h"
#include "settings/settingstable.h"
#include "skins/skinfiles.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QWindow>

namespace s = tl::setting;
using tl::SettingsStore;

void TForm1::FormCreate(const QStringList &args)
{
    // A first start writes dozens of defaults: one synced write for all of
    // them, once the window is up.
    tl::SettingsFile::Batch settingsBatch(m_settings.file());
    if (GetFromReg(s::EnableLine) == QLatin1String("False"))
        for (QWidget *l : std::initializer_list<QWidget *>{lblTopLine, lblLeftLine, lblLineSeek, lblRightLine})
            l->hide();

    const FormPos pos = LoadFormPos();
    move(pos.x, pos.y);
    resize(std::max(pos.w, minimumWidth()), std::max(pos.h, minimumHeight()));
    Sta1->setChecked(isOn(s::OnTop));

    StartingUp = true;
    bool startRequest = false;
    if (!fadePacer)  // each step reaches the screen; about a quarter of a second for a full fade
        fadePacer = [](int) {
            tl::flushWindowSystem();
            QThread::msleep(4);
        };
    qApp->installEventFilter(this);
    setAcceptDrops(true);
    updateStepButtons();
    Panel1->setText(noFileText());
    for (int i = 1; i < args.size(); ++i)
        if (args[i].toLower() == QLatin1String("start"))
            startRequest = true;
    memo1->clear();
    tl::appearance::firstRunCheck(m_settings);
    StartedVisible = false;
    const QString skinAsked = GetFromReg(s::CurrentSkin);
    LoadSkin(skinAsked);
    PaintMenuSkin();
    if (!hasTray()) {
        setTaskbarEntry(true);
        startRequest = false;  // hidden with no tray would be out of reach
    }
    PaintTray();
    applyOnTop(Sta1->isChecked());
    if (const QString language = GetFromReg(s::CurLanguage); !language.isEmpty())
        LoadLanguage(language);
    m_alpha = std::clamp(tl::strToInt(GetFromReg(s::LastAlphaV)), 0, 255);
    setWindowOpacity(m_alpha / 255.0);

    if (!startRequest) {
        // The load above already gave the window this skin, unless it fell
        // back to another one; the language and the menus do not touch it.
        if (const QString skin = GetFromReg(s::CurrentSkin); skin != skinAsked)
            LoadSkin(skin);
        StartedVisible = true;
        show();
    }
    // A value that is no number reads as 0, the system look.
    SelectMenuStyle(GetFromReg(s::MenuStyle).trimmed().toInt());
    StartingUp = false;
    bannerStep = 1;
    if (!startRequest)
        timeScroll->start();
    QCoreApplication::processEvents();
    // A broken stored number ends only this part of the start.
    tl::runGuarded([this] { applyStoredPreferences(); });
    makeSeekBoxEditable();
    settingsBatch.finish();
    reportSettingsNotices();

    for (int i = 1; i < args.size(); ++i) {
        if (args[i].toLower() == QLatin1String("start") || !QFileInfo(args[i]).isFile())
            continue;
        m_session.file().path = tl::paths::longPath(args[i]);
        if (!QFileInfo(CurrentFile()).isFile())
            break;
        OpenNotes(CurrentFile());
    }
    m_session.file().shownEdited = false;
    tellRecovered();
    // The dictionaries once the window is up, off the start-up's path.
    QTimer::singleShot(0, this, [this] { tl::runGuarded([this] { applySpelling(); }); });
}

void TForm1::reportSettingsNotices()
{
    for (const QString &notice : tl::SettingsFile::takeNotices())
        m_services.dialogs->messageBox(this, QStringLiteral("Tessaleaf"), notice, tl::MsgButtons::Ok,
                                       tl::MsgIcon::Warning);
}

void TForm1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    FormShow();
    // A locked file asks for its passphrase once the window is up.
    if (!m_lockedPath.isEmpty())
        QTimer::singleShot(0, this, [this] { tl::runGuarded([this] { unlockAgain(); }); });
}

void TForm1::FormShow()
{
    // The control's own limit (32,767 characters) would stop typing in a
    // long note.
    memo1->setTextLimit(0x7FFFFFFF);
    ExitRequested = false;
    // The editor's default font follows the set in use; the built-in skin
    // wears the skin set although it is named like the look without one.
    const QString suffix = tl::prefer::suffixFor(GetFromReg(s::CurrentSkin), SkinLoaded);
    QFont font = memo1->document()->defaultFont();
    using tl::appearance::Element, tl::appearance::Property;
    const QString family = GetFromReg(tl::appearance::key<Element::Editor, Property::FontName>(suffix));
    const int size = GetFromRegInt(tl::appearance::key<Element::Editor, Property::FontSize>(suffix));
    if (!family.isEmpty())
        font.setFamily(family);
    if (size > 0)
        font.setPointSize(size);
    memo1->document()->setDefaultFont(font);
    memo1->update();
    // A new font is no edit of a document; a note is compared by its text.
    if (!m_session.file().isNotes())
        m_session.file().shownEdited = false;
}

bool TForm1::event(QEvent *event)
{
    const bool result = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return result;
}

void TForm1::FormActivate()
{
    Sta1Click();
}

void TForm1::Sta1Click()
{
    applyOnTop(Sta1->isChecked());
    SetFromReg(s::OnTop, Sta1->isChecked() ? QStringLiteral("true") : QStringLiteral("false"));
}

void TForm1::yieldTop(bool yield)
{
    applyOnTop(!yield && Sta1->isChecked());
}

void TForm1::applyOnTop(bool on)
{
    if (on == m_onTop)
        return;
    m_onTop = on;
    // Changing the widget's flags would re-create (and hide) the native
    // window; the QWindow flag keeps it shown.
    if (QWindow *w = windowHandle())
        w->setFlag(Qt::WindowStaysOnTopHint, on);
    else
        setWindowFlag(Qt::WindowStaysOnTopHint, on);
}

void TForm1::setAlpha(int alpha)
{
    m_alpha = std::clamp(alpha, 0, 255);
    m_fadedOut = false;
    setWindowOpacity(m_alpha / 255.0);
}

void TForm1::storeOpacity()
{
    // A window faded out keeps the opacity it had before the fade, or the
    // next show would bring it up invisible.
    if (!m_fadedOut)
        SetFromReg(s::LastAlphaV, QString::number(m_alpha));
}

TForm1::FormPos TForm1::LoadFormPos() const
{
    return {GetFromRegInt(s::X), GetFromRegInt(s::Y),
            GetFromRegInt(s::W), GetFromRegInt(s::H)};
}

void TForm1::SaveFormPos()
{
    SetFromRegInt(s::X, x());
    SetFromRegInt(s::Y, y());
    SetFromRegInt(s::H, height());
    SetFromRegInt(s::W, width());
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (FormCloseQuery()) {
        event->accept();
        // Hiding the last window does not end the program; Exit does.
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    } else {
        event->ignore();
    }
}

bool TForm1::FormCloseQuery()
{
    SaveFormPos();
    SetFromReg(s::OnTop, Sta1->isChecked() ? QStringLiteral("true") : QStringLiteral("false"));
    if (ExitRequested)
        return true;
    // Asked again once hidden (a key the editor leaves alone reaches the
    // window after the hide took its focus away): nothing is left to do.
    if (!isVisible())
        return false;
    // Stored before the window goes: a store refused is told while the
    // note is still in sight. Hidden, the editor keeps it either way.
    if (notesFileOpen() || shownNoteEdited())
        keepShownNote();
    storeOpacity();
    if (isOn(s::MinEffect))
        fadeOut();
    hideWindow();
    return false;
}

void TForm1::Exit1Click()
{
    if (!m_unattended && !readyToExit())
        return;
    ExitRequested = true;
    if (m_alpha != 0)
        storeOpacity();
    // A hidden window gets no close event from close(); ask directly.
    if (isVisible()) {
        close();
    } else if (FormCloseQuery()) {
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
}

void TForm1::FormDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    tl::skin::KillSkin(GetFromReg(s::CurrentSkin));
    if (m_services.tray)
        m_services.tray->remove();
    closeKeepingText();
    if (m_services.hotKey) {
        m_services.hotKey->release();
        m_services.hotKey->onPressed = nullptr;
    }
}
