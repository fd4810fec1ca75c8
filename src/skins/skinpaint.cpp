// The skinned window's chrome pictures and the layout of both looks, the
// separator lines and the welcome banner of the information bar.

#include "app/TForm1.h"

#include "controls/bgimage.h"
#include "controls/darerlabel.h"
#include "controls/flatbutton.h"
#include "platform/colors.h"
#include "platform/widgetcolors.h"
#include "settings/appearance.h"
#include "settings/settingstable.h"
#include "skins/skinlayout.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace s = tl::setting;
using tl::SettingsStore;
namespace sk = tl::skin;

QString TForm1::welcomeText() const
{
    return uiText("MainForm.gLine");
}

void TForm1::PaintHead()
{
    const int W = width();
    imgHead->setGeometry(0, 0, W, 20);
    imgHead->setImage(sk::compose(SkinBitmap, {W, 20}, sk::headPieces(W)));
}

void TForm1::PaintLeft()
{
    // An 11 x 1 picture shown stretched: every row of the border is row 42.
    imgLeft->setImage(sk::compose(SkinBitmap, {11, 1}, sk::leftPieces()));
    imgLeft->setGeometry(0, 20, 11, sk::sideHeight(height()));
}

void TForm1::PaintRight()
{
    const int S = sk::sideHeight(height());
    imgRight->setImage(sk::compose(SkinBitmap, {19, std::max(1, S)}, sk::rightPieces(S)));
    imgRight->setGeometry(imgRight->x(), 20, 19, S);
}

void TForm1::PaintFoot()
{
    const int W = width();
    imgFoot->setGeometry(imgFoot->x(), imgFoot->y(), W - 11, 11);
    imgFoot->setImage(sk::compose(SkinBitmap, {W - 11, 11}, sk::footPieces(W)));
}

void TForm1::PaintSize()
{
    imgSize->resize(11, 11);
    imgSize->setImage(sk::compose(SkinBitmap, {11, 11}, {{sk::region::grip, {0, 0, 11, 11}}}));
}

void TForm1::PaintScroll(int pressed)
{
    imgScroll->resize(8, 18);
    const QRect src = pressed == 1 ? sk::region::thumbPressed : sk::region::thumb;
    imgScroll->setImage(sk::compose(SkinBitmap, {8, 18}, {{src, {0, 0, 8, 18}}}));
}

namespace {

QColor lineColour(const TForm1 &f)
{
    return tl::colorFromStored(quint32(f.GetFromRegInt(s::LineColor.inSkinSet(f.SkinLoaded))));
}

} // namespace

void TForm1::PaintButton(quint32 back, quint32 text, bool skinned)
{
    tl::setStoredBack(Panel1, back);
    tl::setStoredFore(Panel1, text);
    const int W = width(), H = height();
    int t = 0, l = 0, r = 0;
    if (skinned) {
        t = 20;
        l = imgLeft->width();
        r = 19;  // the right border's width in the skinned layout
        SetToolBarNBackColor(back);
    }
    panToolBar->move(l + 20, t);
    panFormat->move(l, panToolBar->height() + t + 1);
    Panel1->setGeometry(panToolBar->width() + l, t + 2, W - (panToolBar->width() + l) - r, 17);
    tl::setStoredBack(this, tl::storedBack(memo1));
    lblTopLine->setGeometry(33, panToolBar->y() + panToolBar->height(), W - 52, 1);
    const int formatHeight = skinned ? H - 53 : std::max(0, H - panFormat->y() - (panSearch->isVisible() ? 22 : 0));
    lblLeftLine->setGeometry(cmdFont->width() + 2, 0, 1, formatHeight);
    panFormat->resize(panFormat->width(), formatHeight);
    const QColor line = lineColour(*this), editor = tl::colorFromStored(tl::storedBack(memo1));
    for (tl::TDarerLabel *d : {lblLeftLine, lblTopLine}) {
        d->setBeginColor(line);
        d->setEndColor(editor);
    }
}

void TForm1::PaintSearch()
{
    lblRightLine->setVisible(!lblTopLine->isHidden());
    const int W = width(), H = height();
    const bool roomMade = m_searchRoom;
    panSearch->setGeometry(0, H - panSearch->height(), W, panSearch->height());
    panSearch->raise();
    if (!roomMade)
        Panel2->resize(Panel2->width(), Panel2->height() - panSearch->height());
    makeSeekBoxEditable();
    fitSearchLabel();
    panSearch->show();
    if (SkinLoaded)
        panSearch->setGeometry(imgLeft->width(), H - imgFoot->height() - panSearch->height(), W - 30,
                               panSearch->height());
    const QColor line = lineColour(*this), editor = tl::colorFromStored(tl::storedBack(memo1));
    lblLineSeek->setGeometry(22, 0, panSearch->width(), 1);
    lblLineSeek->setEndColor(line);
    lblLineSeek->setBeginColor(editor);
    lblRightLine->setEndColor(line);
    lblRightLine->setBeginColor(editor);
    const int top = panFormat->y() - 1;
    lblRightLine->setGeometry(SkinLoaded ? imgRight->x() - 1 : W - 1, top, 1, panSearch->y() - top + 1);
    // Showing the bar again must not take another pixel or another 22.
    if (!roomMade)
        Panel2->resize(Panel2->width() - 1, Panel2->height());
    m_searchRoom = true;
    lblRightLine->raise();
}

void TForm1::VisibleLines(const QString &flag)
{
    const bool on = flag == QLatin1String("True");
    lblTopLine->setVisible(on);
    lblLeftLine->setVisible(on);
    lblLineSeek->setVisible(on);
    lblRightLine->setVisible(on && !panSearch->isHidden());
}

void TForm1::PaintInfo(bool skinned)
{
    const QString suffix = skinned ? QStringLiteral("Skin") : QString();
    // Built afresh: the banner's fixed-pitch hints must not stay behind, or
    // a face that is not installed is stood in for by a fixed-pitch one.
    const QFont before = m_barFontBeforeBanner.value_or(Panel1->font());
    using tl::appearance::Element, tl::appearance::Property, tl::appearance::key;
    const QString name = GetFromReg(key<Element::InfoBar, Property::FontName>(suffix));
    const int size = GetFromRegInt(key<Element::InfoBar, Property::FontSize>(suffix));
    QFont f(name.isEmpty() ? before.family() : name, size > 0 ? size : before.pointSize());
    f.setBold(isOn(key<Element::InfoBar, Property::Style>(suffix)));
    Panel1->setFont(f);
    tl::setStoredFore(Panel1, quint32(GetFromRegInt(key<Element::InfoBar, Property::ForeGrd>(suffix))));
    tl::setStoredBack(Panel1, quint32(GetFromRegInt(key<Element::InfoBar, Property::BackGrd>(suffix))));
    Panel1->setToolTip(QStringLiteral("Information"));
}

void TForm1::FormResize()
{
    const int W = width(), H = height();
    const bool search = !panSearch->isHidden();
    if (SkinLoaded) {
        const sk::SkinnedFrame f = sk::resizedFrame(W, H, search);
        imgRight->setGeometry(f.imgRight);
        Panel2->setGeometry(f.Panel2);
        Panel1->setGeometry(f.Panel1);
        imgSize->move(f.imgSize.topLeft());
        imgFoot->move(f.imgFoot.topLeft());
        cmdClose->setGeometry(f.cmdClose);
        cmdHide->setGeometry(f.cmdHide);
        panSearch->setGeometry(f.panSearch);
        imgScroll->move(f.thumbLeft, std::min(imgScroll->y(), sk::thumbBottom(H)));
        lblTopLine->setGeometry(f.lblTopLine);
        lblLeftLine->setGeometry(f.lblLeftLine);
        panFormat->setGeometry(f.panFormat);
        lblLineSeek->setGeometry(f.lblLineSeek);
        lblRightLine->setGeometry(f.lblRightLine);
        // Not every size change comes from the grip: the window manager
        // resizes too (maximise, tiling, a resize request). The chrome
        // follows each one.
        PaintHead();
        PaintLeft();
        PaintRight();
        PaintFoot();
        PaintSize();
    } else {
        const sk::BuiltInFrame f = sk::builtInFrame(W, H, search);
        panToolBar->move(f.panToolBar.topLeft());
        Panel1->setGeometry(f.Panel1);
        panFormat->setGeometry(f.panFormat);
        lblLeftLine->setGeometry(f.lblLeftLine);
        lblTopLine->setGeometry(f.lblTopLine);
        Panel2->setGeometry(f.Panel2);
        if (search) {
            panSearch->setGeometry(f.panSearch);
            lblLineSeek->setGeometry(f.lblLineSeek);
            lblRightLine->setGeometry(W - 1, 21, 1, f.panSearch.top() - 21 + 1);
        }
    }
    m_searchRoom = search;
    Panel2Resize();
}

void TForm1::Panel2Resize()
{
    memo1->setGeometry(0, 0, Panel2->width(), Panel2->height());
}

void TForm1::timeScrollTimer()
{
    const int w = QFontMetrics(Panel1->font()).horizontalAdvance(QLatin1Char('R'));
    const int n = sk::bannerColumns(Panel1->width(), w);
    if (bannerStep == 1) {
        m_barFontBeforeBanner = Panel1->font();
        QFont f = Panel1->font();
        f.setFamily(QStringLiteral("Courier New"));
        f.setStyleHint(QFont::TypeWriter);  // any fixed-pitch face where it is missing
        f.setFixedPitch(true);
        Panel1->setFont(f);
    }
    if (const auto window = sk::bannerWindow(welcomeText(), n, bannerStep)) {
        Panel1->setText(*window);
        ++bannerStep;
        return;
    }
    timeScroll->stop();
    bannerStep = 0;
    PaintInfo(SkinLoaded);
    Panel1->setText(noFileText());
    if (QFileInfo(CurrentFile()).isFile())
        pShowPanelInfo(CurrentFile());
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->update();
}
