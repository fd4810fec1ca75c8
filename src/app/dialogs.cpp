// The window's dialogs: each is made when first asked for and handed only
// what it reads; what it changes comes back as its signals, connected to
// the window here and nowhere else. A slot that throws is reported where
// it ran, as every command is.

#include "app/TForm1.h"

#include "controls/guarded.h"
#include "editor/TfrmAbout.h"
#include "editor/TfrmFont.h"
#include "notes/TfrmSeek.h"

using tl::connectGuarded;

// Building it costs as much as a tenth of the start-up.
TfrmSeek &TForm1::seekPopup()
{
    if (!frmSeek) {
        frmSeek = new TfrmSeek(m_settings, *m_services.dialogs, programFolder(),
                               [this] { return myFileSize(CurrentFile); }, this);
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
