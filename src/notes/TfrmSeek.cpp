#include "notes/TfrmSeek.h"

#include "controls/darerlabel.h"
#include "controls/eventhook.h"
#include "controls/flatbutton.h"
#include "controls/guarded.h"
#include "controls/popupwindow.h"
#include "i18n/language.h"
#include "notes/jumpcheck.h"
#include "platform/services.h"
#include "settings/settingsstore.h"
#include "settings/settingstable.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

TfrmSeek::TfrmSeek(const tl::SettingsStore &settings, tl::IDialogs &dialogs, const QString &programFolder,
                   std::function<int()> noteCount, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_settings(settings)
    , m_dialogs(dialogs)
    , m_programFolder(programFolder)
    , m_noteCount(std::move(noteCount))
{
    setObjectName(QStringLiteral("frmSeek"));
    setWindowTitle(QStringLiteral("Open note"));
    setFixedSize(206, 45);
    const QFont small(QStringLiteral("Tahoma"), 8);
    setFont(small);

    lblHead = new tl::TDarerLabel(this);
    lblHead->setObjectName(QStringLiteral("lblHead"));
    lblHead->setGeometry(0, 0, 206, 16);
    lblHead->setGradientStyle(tl::darer::gsElliptic);
    lblHead->setBeginColor(QColor(0xC0, 0xC0, 0xC0)); // silver
    lblHead->setEndColor(QColor(0x80, 0x80, 0x80)); // grey
    lblHead->setFontColor(Qt::white);
    QFont head(QStringLiteral("Tahoma"), 8);
    head.setBold(true);
    lblHead->setFont(head);
    lblHead->setDrawBorder(false);
    lblHead->setFrameSize(0);
    lblHead->setCaption(QStringLiteral("Open note"));

    imgHead = new QWidget(this);
    imgHead->setObjectName(QStringLiteral("imgHead"));
    imgHead->setGeometry(-27, 1, 233, 16);
    imgHead->setAttribute(Qt::WA_TranslucentBackground);

    cmdClose = new tl::FlatButton(this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setText(QStringLiteral("X"));
    cmdClose->setToolTip(QStringLiteral("Close"));
    cmdClose->setAccessibleName(QStringLiteral("Close"));
    QFont closeFont(QStringLiteral("Trebuchet MS"), 8);
    closeFont.setBold(true);
    tl::FlatButton::Look look = cmdClose->normalLook();
    look.font = closeFont;
    look.fore = 0x00FFFFFF;
    cmdClose->setNormalLook(look);
    cmdClose->setGeometry(190, 0, 16, 16);
    cmdClose->setFocusPolicy(Qt::NoFocus);
    cmdClose->raise(); // above the drag handle

    lblNumber = new QLabel(QStringLiteral("Note number:"), this);
    lblNumber->setObjectName(QStringLiteral("lblNumber"));
    lblNumber->move(12, 23);
    lblNumber->adjustSize();

    txtNumber = new QLineEdit(this);
    txtNumber->setObjectName(QStringLiteral("txtNumber"));
    txtNumber->setGeometry(96, 21, 40, 19);

    cmdGoNumber = new tl::FlatButton(this);
    cmdGoNumber->setObjectName(QStringLiteral("cmdGoNumber"));
    cmdGoNumber->setText(QStringLiteral("Jump"));
    cmdGoNumber->setGeometry(140, 19, 53, 21);
    // A click leaves the typing in the number box.
    cmdGoNumber->setFocusPolicy(Qt::NoFocus);

    tl::connectGuarded(cmdClose, &QToolButton::clicked, this, [this] { cmdCloseClick(); });
    tl::connectGuarded(cmdGoNumber, &QToolButton::clicked, this, [this] { cmdGoNumberClick(); });
    new tl::EventHook(imgHead, [this](QEvent *e) {
        auto at = [e] { return static_cast<QMouseEvent *>(e)->globalPosition().toPoint(); };
        switch (e->type()) {
        case QEvent::MouseButtonPress:
            imgHeadMouseDown(at());
            return true;
        case QEvent::MouseMove:
            imgHeadMouseMove(at());
            return true;
        case QEvent::MouseButtonRelease:
            imgHeadMouseUp(at());
            return true;
        default:
            return false;
        }
    });
}

void TfrmSeek::loadLanguage(const QString &language)
{
    const tl::i18n::Texts texts = tl::i18n::Texts::load(tl::i18n::seekTexts, m_programFolder, language);
    setWindowTitle(texts["frmseek"]);
    lblHead->setCaption(texts["frmseek"]);
    lblNumber->setText(texts["frmseek.lblNumber"]);
    cmdGoNumber->setText(texts["frmseek.cmdGoNumber"]);
}

void TfrmSeek::FormShow()
{
    // The texts of the language in use now: the switch does not reach this popup.
    loadLanguage(m_settings.GetFromReg(tl::setting::CurLanguage));
    txtNumber->setFixedHeight(17);
    txtNumber->clear();
    txtNumber->setFocus();
    activateWindow();  // the typing goes to the number at once
    tl::placePopup(this, parentWidget());
    // Above the main window while it is up.
    Q_EMIT topYielded(true);
}

void TfrmSeek::cmdGoNumberClick()
{
    const tl::jump::Check c = tl::jump::checkNumber(txtNumber->text(), m_noteCount());
    if (c.verdict != tl::jump::Verdict::Show) {
        const char *text = c.verdict == tl::jump::Verdict::NotANumber ? tl::jump::kNotANumber : tl::jump::kNoSuchNote;
        m_dialogs.messageBox(this, QString::fromLatin1(tl::jump::kCaption), QString::fromLatin1(text),
            tl::MsgButtons::Ok, tl::MsgIcon::None);
        return;
    }
    Q_EMIT noteChosen(c.index);
    accept();
}

void TfrmSeek::cmdCloseClick()
{
    reject();
}

void TfrmSeek::FormClose()
{
    // The main window takes the top again when "Always On Top" says so.
    Q_EMIT topYielded(false);
}

void TfrmSeek::done(int result)
{
    QDialog::done(result);
    tl::runGuarded([this] { FormClose(); });
}

void TfrmSeek::imgHeadMouseDown(QPoint global)
{
    m_drag.press(global);
}

void TfrmSeek::imgHeadMouseMove(QPoint global)
{
    m_drag.move(global);
}

void TfrmSeek::imgHeadMouseUp(QPoint global)
{
    m_drag.release(global);
}

void TfrmSeek::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    tl::runGuarded([this] { FormShow(); });
}

void TfrmSeek::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        cmdCloseClick();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        tl::runGuarded([this] { cmdGoNumberClick(); });
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
