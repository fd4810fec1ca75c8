// Dressing the window: a skin from the skin folder or the built-in one, and
// the framed built-in look.

#include "app/TForm1.h"

#include "controls/bgimage.h"
#include "controls/builtinart.h"
#include "controls/flatbutton.h"
#include "platform/colors.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "platform/widgetcolors.h"
#include "settings/appearance.h"
#include "settings/settingstable.h"
#include "skins/skinfiles.h"
#include "skins/skinlayout.h"

#include <QBitmap>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QTextEdit>
#include <QWindow>

namespace s = tl::setting;
using tl::SettingsStore;

namespace {

QString privateTempOrEmpty()
{
    // A temp folder that is refused (a link, another owner) makes archive
    // skins unavailable, as an unpack failure would.
    try {
        return tl::paths::privateTempFolder();
    } catch (const std::exception &) {
        return {};
    }
}

// A glyph's bottom-left pixel is its transparent colour.
QIcon glyphIcon(const QImage &glyph)
{
    if (glyph.isNull())
        return {};
    QPixmap pix = QPixmap::fromImage(glyph);
    pix.setMask(QBitmap::fromImage(glyph.createMaskFromColor(glyph.pixel(0, glyph.height() - 1), Qt::MaskInColor)));
    return QIcon(pix);
}

void setGlyph(tl::FlatButton *button, const QImage &glyph)
{
    button->setIcon(glyphIcon(glyph));
    button->setIconSize(glyph.size());
}

void setButtonBack(tl::FlatButton *b, quint32 colour)
{
    tl::FlatButton::Look look = b->normalLook();
    look.back = colour;
    b->setNormalLook(look);
}

// Flat tool buttons show their bar's colour until the pointer is over them.
void syncToolButtons(QWidget *bar)
{
    for (tl::FlatButton *b : bar->findChildren<tl::FlatButton *>())
        setButtonBack(b, tl::storedBack(bar));
}

} // namespace

void TForm1::applyFrame(bool skinned)
{
    // A change of border style re-creates the native window: keep it shown,
    // keep it on top, and give the tray its icon again.
    if (windowFlags().testFlag(Qt::FramelessWindowHint) != skinned) {
        const bool shown = isVisible();
        const QPoint at = pos();
        setWindowFlag(Qt::FramelessWindowHint, skinned);
        setWindowFlag(Qt::WindowStaysOnTopHint, m_onTop);
        move(at);
        if (shown)
            show();
    }
    PaintTray();
}

void TForm1::LoadPicButton(const QString &folder, tl::FlatButton *button)
{
    setGlyph(button, tl::skin::readGlyph(folder, button->objectName().toLatin1().constData()));
}

void TForm1::LoadSkin(const QString &name)
{
    tl::builtin::initArt();
    // Everything is read first, so a broken skin never leaves the window
    // half restyled.
    const tl::skin::SkinData skin = tl::skin::readSkin(
        name, GetFromReg(s::SkinDir),
        tl::skin::kindOf(name) == tl::skin::SkinKind::Archive ? privateTempOrEmpty() : QString());
    const int W = width(), H = height();

    SkinBitmap = skin.picture;
    lblFile->setGeometry(8, 1, 14, 11);

    tl::setStoredBack(memo1, skin.back);
    tl::setStoredFore(memo1, skin.text);
    for (QWidget *w : std::initializer_list<QWidget *>{cbSeek, panSearch, lblSearch})
        tl::setStoredBack(w, skin.back);
    for (tl::FlatButton *b : {cmdSearch, cmdSearchAgain, cmdSearchBack})
        setButtonBack(b, skin.back);
    tl::setStoredFore(cbSeek, skin.text);
    tl::setStoredFore(lblSearch, skin.text);

    const std::array<tl::FlatButton *, tl::skin::buttonCount> buttons{
        cmdBack, cmdNext, cmdNew, cmdDel, cmdACenter, cmdALeft, cmdARight, cmdBold,
        cmdBullet, cmdFont, cmdItalic, cmdSelectColor, cmdUnder, cmdSearch, cmdSearchAgain, cmdSearchBack};
    for (size_t i = 0; i < buttons.size(); ++i)
        setGlyph(buttons[i], skin.glyphs[i]);

    for (size_t i = 0; i < skin.cursors.size(); ++i) {
        const auto &c = skin.cursors[i];
        cursorSlots[i + 1] = c ? std::optional<QCursor>(QCursor(QPixmap::fromImage(c->image), c->hotSpot.x(), c->hotSpot.y()))
                               : std::nullopt;
    }
    auto give = [this](QWidget *w, int slot) {
        if (cursorSlots[size_t(slot)])
            w->setCursor(*cursorSlots[size_t(slot)]);
        else
            w->unsetCursor();
    };
    give(imgSize, 1);
    for (QWidget *w : std::initializer_list<QWidget *>{imgHead, imgFoot, imgLeft, imgRight})
        give(w, 2);
    give(imgScroll, 3);
    give(cmdClose, 4);
    give(cmdHide, 5);
    give(memo1->viewport(), 6);

    applyFrame(true);
    const tl::skin::SkinnedFrame frame = tl::skin::loadedFrame(W, H, false);
    imgHead->setGeometry(frame.imgHead);
    imgRight->setGeometry(frame.imgRight);
    imgLeft->setGeometry(0, 20, 11, 1);
    imgFoot->setGeometry(0, H - 11, 1, 11);
    for (QWidget *w : std::initializer_list<QWidget *>{imgLeft, imgRight, imgHead, imgFoot, imgSize})
        w->show();
    Panel2->setGeometry(frame.Panel2);
    m_searchRoom = false;

    PaintHead();
    PaintLeft();
    PaintRight();
    PaintSize();
    PaintFoot();
    PaintButton(skin.back, skin.text, true);

    if (!SkinLoaded || StartingUp)
        LoadSetReg(SettingsStore::q(tl::appearance::SkinSuffix));
    SkinLoaded = true;

    cmdClose->setGeometry(frame.cmdClose);
    cmdHide->setGeometry(frame.cmdHide);
    cmdClose->setText(QString());
    cmdHide->setText(QString());
    cmdClose->show();
    cmdHide->show();

    imgSize->move(frame.imgSize.topLeft());
    update();

    SaveSetReg(SettingsStore::q(tl::appearance::SkinSuffix));
    SetFromReg(s::CurrentSkin, skin.name);

    imgRight->resize(imgRight->width(), H - 25);
    PaintScroll(0);
    imgScroll->show();
    imgScroll->raise();
    imgScroll->move(frame.thumbLeft, 50);

    memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    if (panSearch->isVisible())
        PaintSearch();
    syncToolButtons(panToolBar);
    syncToolButtons(panFormat);
    applyMenuLook();
}

void TForm1::LoadSkinStd()
{
    applyFrame(false);
    for (QWidget *w : std::initializer_list<QWidget *>{imgLeft, imgRight, imgHead, imgFoot, imgSize, cmdClose, cmdHide,
                                                        imgScroll})
        w->hide();
    tl::setStoredBack(memo1, tl::SystemColorBit | 5);  // COLOR_WINDOW
    tl::setStoredFore(memo1, 0x000000);
    SkinLoaded = false;
    PaintButton(tl::SystemColorBit | 15, 0x000000, false);  // COLOR_BTNFACE
    m_searchRoom = false;
    LoadSetReg(QString());
    memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    FormResize();
    if (panSearch->isVisible())
        PaintSearch();
    syncToolButtons(panToolBar);
    syncToolButtons(panFormat);
    applyMenuLook();
}
