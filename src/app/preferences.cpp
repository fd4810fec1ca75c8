// What the Preferences change in the window, and those of their settings
// that act from start-up, before the dialog is ever made.

#include "app/TForm1.h"

#include "controls/builtinart.h"
#include "controls/darerlabel.h"
#include "controls/guarded.h"
#include "i18n/language.h"
#include "platform/colors.h"
#include "platform/error.h"
#include "settings/hotkeytext.h"
#include "settings/integration.h"
#include "settings/settingstable.h"
#include "skins/skinfiles.h"

#include <QAction>
#include <QFileInfo>

namespace s = tl::setting;

void TForm1::applyStoredPreferences()
{
    const QString language
        = tl::i18n::pickLanguage(tl::i18n::languageList(programFolder()), GetFromReg(s::CurLanguage));
    // Numbers the dialog reads with the language: a broken one ends these
    // steps here, the error told, before anything changed.
    tl::strToInt(GetFromReg(s::LastElementEditor));
    const int storedStyle = tl::strToInt(GetFromReg(s::MenuStyle));
    switchLanguage(language);

    // A style the list does not hold is stored as no choice.
    const int style = storedStyle == 0 || storedStyle == 1 ? storedStyle : -1;
    SetFromReg(s::MenuStyle, QString::number(style));
    SelectMenuStyle(style);

    if (isOn(s::AutoURLDetect))
        memo1->setAutoUrlDetect(true);

    // Written again, so that they name this copy of the program.
    namespace in = tl::integration;
    const in::DesktopPlaces places = in::DesktopPlaces::fromEnvironment();
    for (const in::FileType type : {in::FileType::Nts, in::FileType::Znts, in::FileType::Txt})
        if (in::isAssociated(places, type))
            tl::runGuarded([&] { in::setAssociated(places, type, true); });

    if (GetFromReg(s::UseCursor) == QLatin1String("1"))
        if (const QString file = GetFromReg(s::MemoCursor); !file.isEmpty() && QFileInfo(file).isFile())
            tl::runGuarded([&] { useEditorCursor(file); });

    if (GetFromReg(s::EnableLine) == QLatin1String("True"))
        VisibleLines(QStringLiteral("True"));

    // Stored as the dialog's lists show it.
    const QStringList words = tl::hotkey::shownWords(GetFromReg(s::HotKey));
    SetFromReg(s::HotKey, tl::hotkey::storedText(words[0], words[1], words[2]));
    useHotKey(tl::hotkey::parseShortcut(tl::hotkey::shortcutText(words[0], words[1], words[2])));
}

namespace {

std::optional<QCursor> cursorFrom(const QString &path)
{
    const std::optional<tl::skin::CursorImage> c = tl::skin::readCursor(path);
    if (!c)
        return std::nullopt;
    return QCursor(QPixmap::fromImage(c->image), c->hotSpot.x(), c->hotSpot.y());
}

} // namespace

void TForm1::useEditorCursor(const QString &file)
{
    // A file goes to slot 9; without one, the built-in I-beam takes its own.
    const tl::builtin::CursorArt &ibeam = tl::builtin::cursors[5];
    const size_t slot = file.isEmpty() ? size_t(ibeam.slot) : 9;
    cursorSlots[slot] = cursorFrom(file.isEmpty() ? tl::builtin::cursorPath(ibeam) : file);
    const std::optional<QCursor> &c = cursorSlots[slot];
    memo1->viewport()->setCursor(c ? *c : QCursor(Qt::ArrowCursor));
}

tl::IHotKey::Status TForm1::useHotKey(QKeyCombination key)
{
    const bool none = key.key() == Qt::Key_unknown;
    if (Show1) {
        // Shown beside the item; the key itself acts through the hot key.
        Show1->setShortcut(none ? QKeySequence() : QKeySequence(key));
        Show1->setShortcutContext(Qt::WidgetShortcut);
    }
    // The new key replaces the one registered before.
    using Status = tl::IHotKey::Status;
    tl::IHotKey *hotKey = m_services.hotKey.get();
    m_hotKeyStatus = !hotKey ? (none ? Status::None : Status::Unavailable)
                             : hotKey->setHotKey(none ? QKeyCombination(Qt::Key_unknown) : key);
    return m_hotKeyStatus;
}

void TForm1::useLineColor(quint32 color)
{
    // The lines fade from the line colour into the editor's: the top and
    // left ones start with it, the find bar's and the right one end with it.
    for (tl::TDarerLabel *l : {lblTopLine, lblLeftLine})
        l->setBeginColor(tl::colorFromStored(color));
    for (tl::TDarerLabel *l : {lblLineSeek, lblRightLine})
        l->setEndColor(tl::colorFromStored(color));
}

void TForm1::useDefaultLook()
{
    // The built-in skin is named "<none>" too, but it is a skin: only the
    // look without one goes back to the first-run defaults.
    if (GetFromReg(s::CurrentSkin) == tl::SettingsStore::q(s::NoSkin) && !SkinLoaded) {
        tl::appearance::WriteDefault(m_settings);
        LoadSkinStd();
        return;
    }
    // A skin load over a skin gives the controls the skin's own colours and
    // saves them as the "Skin" set.
    LoadSkin(GetFromReg(s::CurrentSkin));
}
