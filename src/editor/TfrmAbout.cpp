#include "editor/TfrmAbout.h"

#include "controls/builtinart.h"
#include "controls/eventhook.h"
#include "controls/guarded.h"
#include "editor/helplinks.h"
#include "i18n/language.h"
#include "platform/services.h"
#include "settings/settingsstore.h"
#include "settings/settingstable.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QUrl>

namespace {

// A label that looks and acts as a link; the click goes through the shell.
QLabel *linkLabel(QWidget *parent, const char *name, const QString &text, const QString &hint)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    QFont f = l->font();
    f.setUnderline(true);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, Qt::blue);
    l->setPalette(p);
    l->setCursor(Qt::PointingHandCursor);
    l->setToolTip(hint);
    return l;
}

struct Library {
    const char *name, *what, *holders, *licence, *url;
};

// What the program is built on and links.
const Library kLibraries[] = {
    { "Qt 6", "windows, widgets, printing, the tray and sound (Qt Base, Qt Print Support, Qt Multimedia)",
        "The Qt Company Ltd. and other contributors", "GNU Lesser General Public License, version 3",
        "https://www.qt.io/" },
    { "pugixml", "reading and writing notes files", "Arseny Kapoulkine", "MIT License", "https://pugixml.org/" },
    { "libzip", "compressed notes files and skin archives", "Dieter Baron and Thomas Klausner", "BSD 3-Clause License",
        "https://libzip.org/" },
    { "zlib", "compression, through libzip", "Jean-loup Gailly and Mark Adler", "zlib License", "https://zlib.net/" },
    { "Fontconfig", "finding the installed fonts", "Keith Packard and other contributors", "MIT-style License",
        "https://www.freedesktop.org/wiki/Software/fontconfig/" },
    { "libxcb", "the global hot key on X11", "The XCB developers", "MIT License", "https://xcb.freedesktop.org/" },
};

} // namespace

QString TfrmAbout::thanksHtml()
{
    QString html = QStringLiteral("<p>Tessaleaf is built on these libraries. Thanks to everyone who makes them.</p>");
    for (const Library &l : kLibraries)
        html += QStringLiteral("<p><b>%1</b> &mdash; %2.<br>Copyright %3.<br>%4. <a href=\"%5\">%5</a></p>")
                    .arg(QString::fromUtf8(l.name), QString::fromUtf8(l.what), QString::fromUtf8(l.holders),
                        QString::fromUtf8(l.licence), QString::fromUtf8(l.url));
    const QString mail = tl::links::supportMail(tl::links::MailSubject::None).toString();
    html += QStringLiteral("<p>Ideas, thanks and bug reports are welcome at <a href=\"%1\">%2</a>.</p>")
                .arg(mail, tl::links::supportAddress().toHtmlEscaped());
    return html;
}

TfrmAbout::TfrmAbout(const tl::SettingsStore &settings, tl::IShell &shell, const QString &programFolder,
                     QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
    , m_settings(settings)
    , m_shell(shell)
    , m_programFolder(programFolder)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Tessaleaf"));
    setFixedSize(340, 209);

    pcAbout = new QTabWidget(this);
    pcAbout->setObjectName(QStringLiteral("pcAbout"));
    pcAbout->setGeometry(6, 6, 328, 166);

    tsGeneral = new QWidget;
    tsGeneral->setObjectName(QStringLiteral("tsGeneral"));
    pcAbout->addTab(tsGeneral, QStringLiteral("General"));
    Image1 = new QLabel(tsGeneral);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(12, 12, 32, 32);
    Image1->setPixmap(tl::builtin::programWindowIcon().pixmap(32, 32));
    lblName = new QLabel(QStringLiteral("Tessaleaf"), tsGeneral);
    lblName->setObjectName(QStringLiteral("lblName"));
    QFont big = lblName->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    lblName->setFont(big);
    lblName->setGeometry(56, 10, 250, 20);
    lblVersion
        = new QLabel(QStringLiteral("Version %1, a notes keeper for the desktop").arg(tl::links::version()), tsGeneral);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setWordWrap(true);  // the whole line at any font size
    lblVersion->setGeometry(56, 32, 260, 32);

    lblWebsite = new QLabel(QStringLiteral("Website:"), tsGeneral);
    lblWebsite->setObjectName(QStringLiteral("lblWebsite"));
    lblWebsite->setGeometry(12, 72, 60, 16);
    Label3 = linkLabel(tsGeneral, "Label3", tl::links::webSite(), QStringLiteral("Welcome to our website!"));
    Label3->setGeometry(76, 72, 240, 16);
    lblSupport = new QLabel(QStringLiteral("Support:"), tsGeneral);
    lblSupport->setObjectName(QStringLiteral("lblSupport"));
    lblSupport->setGeometry(12, 94, 60, 16);
    Label4 = linkLabel(tsGeneral, "Label4", tl::links::supportAddress(), tl::links::supportAddress());
    Label4->setGeometry(76, 94, 240, 16);

    tsThanks = new QWidget;
    tsThanks->setObjectName(QStringLiteral("tsThanks"));
    pcAbout->addTab(tsThanks, QStringLiteral("Acknowledgements"));
    reThanks = new QTextBrowser(tsThanks);
    reThanks->setObjectName(QStringLiteral("reThanks"));
    reThanks->setFrameShape(QFrame::NoFrame);
    reThanks->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Links open through the shell, never inside the view.
    reThanks->setOpenLinks(false);
    reThanks->setOpenExternalLinks(false);
    // Never the focus: Tab skips it and a click leaves the focus on OK.
    reThanks->setFocusPolicy(Qt::NoFocus);
    QPalette page = reThanks->palette();
    page.setColor(QPalette::Base, tsThanks->palette().color(QPalette::Window));
    reThanks->setPalette(page);
    reThanks->setHtml(thanksHtml());
    reThanks->setGeometry(0, 0, 322, 138);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(134, 178, 72, 24);
    cmdOK->setDefault(true);

    tl::connectGuarded(cmdOK, &QPushButton::clicked, this, [this] { cmdOKClick(); });
    tl::connectGuarded(
        reThanks, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) { reThanksURLClick(url); });
    auto onClick = [this](QLabel *label, void (TfrmAbout::*click)()) {
        new tl::EventHook(label, [this, click](QEvent *e) {
            if (e->type() == QEvent::MouseButtonRelease)
                tl::runGuarded([this, click] { (this->*click)(); });
            return false;
        });
    };
    onClick(Label3, &TfrmAbout::Label3Click);
    onClick(Label4, &TfrmAbout::Label4Click);
}

void TfrmAbout::loadLanguage(const QString &language)
{
    const tl::i18n::Texts texts = tl::i18n::Texts::load(tl::i18n::aboutTexts, m_programFolder, language);
    setWindowTitle(texts["frmabout"]);
    lblWebsite->setText(texts["frmAbout.website"]);
    lblSupport->setText(texts["frmAbout.support"]);
    pcAbout->setTabText(pcAbout->indexOf(tsGeneral), texts["frmAbout.General"]);
    pcAbout->setTabText(pcAbout->indexOf(tsThanks), texts["frmAbout.Thanks"]);
}

void TfrmAbout::FormShow()
{
    // The texts of the language in use now: the switch does not reach this box.
    loadLanguage(m_settings.GetFromReg(tl::setting::CurLanguage));
    cmdOK->setFocus();
}

void TfrmAbout::cmdOKClick()
{
    accept();
}

void TfrmAbout::Label3Click()
{
    Q_EMIT webSiteAsked();
}

void TfrmAbout::Label4Click()
{
    m_shell.openUrl(tl::links::supportMail(tl::links::MailSubject::None));
}

void TfrmAbout::reThanksURLClick(const QUrl &url)
{
    m_shell.openUrl(url);
}

void TfrmAbout::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    tl::runGuarded([this] { FormShow(); });
}
