// The window's dialogs: each is made when first asked for and handed only
// what it reads; what it changes comes back as its signals, connected to
// the window here and nowhere else. A slot that throws is reported where
// it ran, as every command is.

#include "app/TForm1.h"

#include "controls/guarded.h"
#include "editor/TfrmAbout.h"
#include "editor/TfrmFont.h"
#include "notes/TfrmSeek.h"
#include "platform/error.h"
#include "settings/TfrmPrefer.h"
#include "settings/settingstable.h"
#include "skins/skinspage.h"

#include <QComboBox>
#include <QLabel>

using tl::connectGuarded;

// Building it costs as much as a tenth of the start-up.
TfrmSeek &TForm1::seekPopup()
{
    if (!frmSeek) {
        frmSeek = new TfrmSeek(m_settings, *m_services.dialogs, programFolder(),
                               [this] { return myFileSize(CurrentFile()); }, this);
        connectComponents(*frmSeek);
    }
    return *frmSeek;
}

// The font popup and the About box cost more to build than the rest of the
// editor's parts together.
TfrmFont &TForm1::fontPopup()
{
    if (!frmFont) {
        frmFont = new TfrmFont(*memo1, m_settings, programFolder(), this);
        connectComponents(*frmFont);
    }
    return *frmFont;
}

TfrmAbout &TForm1::aboutBox()
{
    if (!frmAbout) {
        frmAbout = new TfrmAbout(m_settings, *m_services.shell, programFolder(), this);
        connectComponents(*frmAbout);
    }
    return *frmAbout;
}

void TForm1::connectComponents(TfrmSeek &seek)
{
    connectGuarded(&seek, &TfrmSeek::topYielded, this, [this](bool yield) { yieldTop(yield); });
    connectGuarded(&seek, &TfrmSeek::noteChosen, this, [this](int index) { showJumpedNote(index); });
}

void TForm1::connectComponents(TfrmFont &font)
{
    connectGuarded(&font, &TfrmFont::topYielded, this, [this](bool yield) { yieldTop(yield); });
}

void TForm1::connectComponents(TfrmAbout &about)
{
    connectGuarded(&about, &TfrmAbout::webSiteAsked, this, [this] { MarrowpineWebSite1Click(); });
    // Back from the box, typing goes on in the editor; hidden in the tray,
    // the window takes no focus.
    connect(&about, &QDialog::finished, this, [this] {
        if (isVisible())
            memo1->setFocus();
    });
}

TfrmPrefer &TForm1::preferences()
{
    if (!frmPrefer) {
        TfrmPrefer::Window window;
        window.shown = [this] { return isVisible(); };
        window.opacity = [this] { return alpha(); };
        window.skinLoaded = [this] { return SkinLoaded; };
        window.appearance = [this](tl::appearance::Element element) { return shownAppearance(element); };
        window.searchLabel = [this] { return lblSearch->text(); };
        frmPrefer = new TfrmPrefer(m_settings, m_services, programFolder(), std::move(window), this);
        connectComponents(*frmPrefer);
        // A broken stored number leaves the rest of the controls unfilled.
        tl::runGuarded([this] { frmPrefer->FormCreate(); });
        frmPrefer->showHotKeyStatus(m_hotKeyStatus);
    }
    return *frmPrefer;
}

namespace {

void showModally(TForm1 &form, TfrmPrefer &dialog)
{
    // Above the main window while it is open; typing goes on in the editor after.
    form.yieldTop(true);
    dialog.exec();
    form.yieldTop(false);
    if (form.isVisible())
        form.memo1->setFocus();
}

} // namespace

void TForm1::Options1Click()
{
    TfrmPrefer &d = preferences();
    d.cbElement->setCurrentIndex(tl::strToInt(GetFromReg(tl::setting::LastElementEditor)));
    d.cbElementChange();
    showModally(*this, d);
}

void TForm1::Font1Click()
{
    showModally(*this, preferences());
}

void TForm1::connectComponents(TfrmPrefer &prefer)
{
    // The language switch reloads the dialog before this window.
    languageLoaders.push_back([&prefer](const QString &language) { prefer.loadLanguage(language); });
    connectGuarded(&prefer, &TfrmPrefer::lockMinutesChosen, this, [this] { restartLockTimer(); });
    connectGuarded(&prefer, &TfrmPrefer::opacityChosen, this, [this](int alpha) {
        setAlpha(alpha);
        // Hidden, the window comes back with the stored opacity: this one.
        if (!isVisible())
            SetFromReg(tl::setting::LastAlphaV, QString::number(alpha));
    });
    connectGuarded(&prefer, &TfrmPrefer::languageChosen, this,
                   [this](const QString &language) { switchLanguage(language); });
    connectGuarded(&prefer, &TfrmPrefer::menuStyleChosen, this, [this](int style) { SelectMenuStyle(style); });
    connectGuarded(&prefer, &TfrmPrefer::editorCursorChosen, this,
                   [this](const QString &file) { useEditorCursor(file); });
    // The marks lie over the text: the note and its format stay as they are.
    connectGuarded(&prefer, &TfrmPrefer::webAddressesMarked, this, [this](bool on) { memo1->setAutoUrlDetect(on); });
    connectGuarded(&prefer, &TfrmPrefer::appearanceEdited, this,
                   [this](tl::appearance::Element element, tl::appearance::Property property, const QString &text,
                          qint32 number, bool bold) { applyAppearance(element, property, text, number, bold); });
    connectGuarded(&prefer, &TfrmPrefer::defaultLookAsked, this, [this] { useDefaultLook(); });
    connectGuarded(&prefer, &TfrmPrefer::lineColorChosen, this, [this](quint32 color) { useLineColor(color); });
    connectGuarded(&prefer, &TfrmPrefer::linesShown, this,
                   [this](bool shown) { VisibleLines(shown ? QStringLiteral("True") : QStringLiteral("False")); });
    connectGuarded(&prefer, &TfrmPrefer::hotKeyChosen, this,
                   [this, &prefer](QKeyCombination key) { prefer.showHotKeyStatus(useHotKey(key)); });
    connectGuarded(&prefer, &TfrmPrefer::helpAsked, this, [this, &prefer] { openHelp(&prefer); });
    connectGuarded(&prefer, &TfrmPrefer::trashLimitsChanged, this, [this] { applyTrashLimits(); });
    connectComponents(*prefer.skinsPage);
    connectComponents(*prefer.spellingOptions);
}

void TForm1::connectComponents(TSkinsPage &skins)
{
    // The copy of an archive skin chosen there stays until the menu or the
    // end of the program removes it.
    connectGuarded(&skins, &TSkinsPage::skinChosen, this, [this](const QString &name) { LoadSkin(name); });
    connectGuarded(&skins, &TSkinsPage::skinFolderChanged, this, [this] { PaintMenuSkin(); });
}
