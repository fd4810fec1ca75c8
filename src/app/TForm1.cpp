#include "app/TForm1.h"

#include "controls/bgimage.h"
#include "controls/darerlabel.h"
#include "controls/flatbutton.h"
#include "controls/guarded.h"
#include "richtext/richedit.h"
#include "settings/settingstable.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QTextEdit>
#include <QTimer>

namespace {

QFrame *panel(QWidget *parent, const char *name)
{
    auto *p = new QFrame(parent);
    p->setObjectName(QString::fromLatin1(name));
    p->setFrameShape(QFrame::NoFrame);
    p->setAutoFillBackground(true);
    return p;
}

tl::TicBGimage *picture(QWidget *parent, const char *name, tl::TicBGimage::ImageStyle style)
{
    auto *l = new tl::TicBGimage(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setImageStyle(style);
    l->hide();  // chrome pictures show only while a skin dresses the window
    return l;
}

QLabel *hotArea(QWidget *parent, const char *name)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->hide();
    return l;
}

// A one-pixel separator that fades from the line colour into the editor's.
tl::TDarerLabel *line(QWidget *parent, const char *name, tl::darer::GradientStyle style)
{
    auto *l = new tl::TDarerLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGradientStyle(style);
    l->setDrawBorder(false);
    l->setFrameSize(0);
    return l;
}

tl::FlatButton *button(QWidget *parent, const char *name, const QString &hint, QRect geometry)
{
    auto *b = new tl::FlatButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setAccessibleName(hint);
    b->setGeometry(geometry);
    return b;
}

} // namespace

TForm1::TForm1(tl::Services services, const QString &settingsFile, QWidget *parent)
    : QWidget(parent, Qt::Tool),
      m_services(std::move(services)),
      m_settings(settingsFile.isEmpty() ? tl::SettingsStore() : tl::SettingsStore(settingsFile))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tessaleaf"));
    setMinimumSize(150, 243);
    createComponents();
    // The global hot key calls the window up like the tray menu's "Show".
    if (m_services.hotKey)
        m_services.hotKey->onPressed = [this] { Show1Click(); };
}

tl::RecordStore::NewFileFields TForm1::newNotesFileFields() const
{
    return {GetFromReg(tl::setting::AuthorName), GetFromReg(tl::setting::CompanyName)};
}

TForm1::~TForm1()
{
    // The program runs FormDestroy itself, where errors reach the error box;
    // this is the last chance for a window destroyed any other way.
    try {
        FormDestroy();
    } catch (...) {
    }
}

QString TForm1::noFileText() const
{
    return uiText("MainForm.langnonfileininfo");
}

void TForm1::createComponents()
{
    // Stacking from bottom to top, pictures and labels beneath the panels.
    imgRight = picture(this, "imgRight", tl::TicBGimage::icStretch);
    imgHead = picture(this, "imgHead", tl::TicBGimage::icNone);
    cmdClose = hotArea(this, "cmdClose");
    cmdClose->setToolTip(QStringLiteral("Close"));
    cmdHide = hotArea(this, "cmdHide");
    cmdHide->setToolTip(QStringLiteral("Minimize"));
    imgFoot = picture(this, "imgFoot", tl::TicBGimage::icNone);
    imgSize = picture(this, "imgSize", tl::TicBGimage::icNone);
    imgLeft = picture(this, "imgLeft", tl::TicBGimage::icStretch);
    lblFile = new QLabel(this);
    lblFile->setObjectName(QStringLiteral("lblFile"));
    lblFile->setToolTip(QStringLiteral("Tessaleaf Menu"));
    lblFile->setGeometry(8, 1, 14, 11);
    lblTopLine = line(this, "lblTopLine", tl::darer::gsHorizontal);
    lblRightLine = line(this, "lblRightLine", tl::darer::gsVertical);
    lblRightLine->hide();
    imgScroll = picture(this, "imgScroll", tl::TicBGimage::icNone);

    panFormat = panel(this, "panFormat");
    panFormat->resize(25, 200);
    cmdFont = button(panFormat, "cmdFont", QStringLiteral("Font"), {1, -1, 20, 20});
    cmdBold = button(panFormat, "cmdBold", QStringLiteral("Bold"), {1, 19, 20, 20});
    cmdItalic = button(panFormat, "cmdItalic", QStringLiteral("Italic"), {1, 39, 20, 20});
    cmdUnder = button(panFormat, "cmdUnder", QStringLiteral("Underline"), {1, 59, 20, 20});
    cmdSelectColor = button(panFormat, "cmdSelectColor", QStringLiteral("Color"), {1, 79, 20, 21});
    cmdALeft = button(panFormat, "cmdALeft", QStringLiteral("Align Left"), {1, 101, 20, 20});
    cmdACenter = button(panFormat, "cmdACenter", QStringLiteral("Center"), {1, 122, 20, 20});
    cmdARight = button(panFormat, "cmdARight", QStringLiteral("Align Right"), {1, 142, 20, 20});
    cmdBullet = button(panFormat, "cmdBullet", QStringLiteral("Bullets"), {1, 163, 20, 20});
    lblLeftLine = line(panFormat, "lblLeftLine", tl::darer::gsVertical);
    lblLeftLine->setGeometry(22, 0, 1, 200);

    Panel1 = new QLabel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setAutoFillBackground(true);
    Panel1->setToolTip(QStringLiteral("Information"));
    Panel1->setFont(QFont(QStringLiteral("Tahoma"), 8));
    Panel1->setFixedHeight(17);

    panSearch = panel(this, "panSearch");
    panSearch->resize(260, 22);
    panSearch->hide();
    lblSearch = new QLabel(panSearch);
    lblSearch->setObjectName(QStringLiteral("lblSearch"));
    lblSearch->setGeometry(8, 5, 44, 13);
    cbSeek = new QComboBox(panSearch);
    cbSeek->setObjectName(QStringLiteral("cbSeek"));
    cbSeek->setGeometry(53, 3, 145, 19);
    cmdSearch = button(panSearch, "cmdSearch", QStringLiteral("Find"), {199, 3, 21, 19});
    cmdSearchBack = button(panSearch, "cmdSearchBack", QStringLiteral("Find Back"), {219, 3, 19, 19});
    cmdSearchAgain = button(panSearch, "cmdSearchAgain", QStringLiteral("Find Forward"), {237, 3, 19, 19});
    lblLineSeek = line(panSearch, "lblLineSeek", tl::darer::gsHorizontal);
    lblLineSeek->setGeometry(22, 0, 260, 1);

    panToolBar = panel(this, "panToolBar");
    panToolBar->resize(81, 21);
    cmdBack = button(panToolBar, "cmdBack", QStringLiteral("Jump to previous note"), {0, 0, 20, 20});
    cmdNext = button(panToolBar, "cmdNext", QStringLiteral("Jump to forward note"), {19, 0, 20, 20});
    cmdNew = button(panToolBar, "cmdNew", QStringLiteral("Add new note"), {38, 0, 20, 20});
    cmdDel = button(panToolBar, "cmdDel", QStringLiteral("Delete current note/file"), {57, 0, 20, 20});
    // Present for the appearance sets (the hover colour is read from cmdOpen)
    // but never shown.
    cmdOpen = button(this, "cmdOpen", QString(), {});
    cmdSave = button(this, "cmdSave", QString(), {});
    cmdZoomOut = button(this, "cmdZoomOut", QString(), {});
    for (QWidget *w : {static_cast<QWidget *>(cmdOpen), static_cast<QWidget *>(cmdSave),
                       static_cast<QWidget *>(cmdZoomOut)})
        w->hide();

    Panel2 = panel(this, "Panel2");
    memo1 = new tl::RichEdit(Panel2);
    memo1->setObjectName(QStringLiteral("memo1"));
    memo1->setFrameShape(QFrame::NoFrame);
    memo1->setAcceptRichText(true);
    // The typing starts in the editor. Without a focus widget the window's
    // activation would hand the focus to the first button that takes Tab
    // (cmdFont), and the next space would press it.
    memo1->setFocus();

    imgScroll->raise();

    Sta1 = new QAction(QStringLiteral("Always On Top"), this);
    Sta1->setObjectName(QStringLiteral("Sta1"));
    Sta1->setCheckable(true);
    tl::connectGuarded(Sta1, &QAction::triggered, this, [this] { Sta1Click(); });

    timeScroll = new QTimer(this);
    timeScroll->setObjectName(QStringLiteral("timeScroll"));
    timeScroll->setInterval(100);

    wireSkinComponents();

    wireNotesComponents();
    wireEditorComponents();
    wireSpelling();
    wireInfoComponents();
}

// --- notes: tool buttons, editor hooks, the file menu on lblFile and its
// "File..." copy for the tray menu.

void TForm1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TForm1::setEditorText(const QString &text)
{
    memo1->setContentText(text);
    m_session.file().unheld = memo1->unheldContent();
    m_session.file().shownEdited = false;  // the editor holds what was given, no edit
}
