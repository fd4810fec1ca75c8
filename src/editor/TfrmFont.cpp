#include "editor/TfrmFont.h"

#include "controls/darerlabel.h"
#include "controls/eventhook.h"
#include "controls/guarded.h"
#include "controls/popupwindow.h"
#include "i18n/language.h"
#include "platform/error.h"
#include "richtext/richedit.h"
#include "settings/settingsstore.h"
#include "settings/settingstable.h"

#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QToolButton>

namespace {
// The sizes offered; any other whole number may be typed.
const char *const kSizes[] = {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36", "48", "72"};
// What the editor can hold; larger or smaller numbers are brought into range.
constexpr int kMinPoints = 1, kMaxPoints = 1638;
} // namespace

TfrmFont::TfrmFont(tl::RichEdit &editor, const tl::SettingsStore &settings, const QString &programFolder,
                   QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_editor(editor),
      m_settings(settings),
      m_programFolder(programFolder)
{
    setObjectName(QStringLiteral("frmFont"));
    setWindowTitle(QStringLiteral("Font Name & Size"));
    setModal(true);
    setFixedSize(252, 38);
    const QFont small(QStringLiteral("Tahoma"), 8);
    setFont(small);

    lblHead = new tl::TDarerLabel(this);
    lblHead->setObjectName(QStringLiteral("lblHead"));
    lblHead->setGeometry(0, 0, 252, 13);
    lblHead->setGradientStyle(tl::darer::gsHorizontal);
    lblHead->setBeginColor(QColor(0x00, 0x30, 0x80));
    lblHead->setEndColor(QColor(0xA0, 0xC0, 0xF0));
    lblHead->setFontColor(Qt::white);
    lblHead->setDrawBorder(false);
    lblHead->setFrameSize(0);
    lblHead->setCaption(QStringLiteral("Font Name & Size"));

    imgHead = new QWidget(this);
    imgHead->setObjectName(QStringLiteral("imgHead"));
    imgHead->setGeometry(0, 0, 238, 13);
    imgHead->setAttribute(Qt::WA_TranslucentBackground);
    imgHead->setCursor(Qt::SizeAllCursor);

    LbSpeedButton1 = new QToolButton(this);
    LbSpeedButton1->setObjectName(QStringLiteral("LbSpeedButton1"));
    LbSpeedButton1->setText(QStringLiteral("X"));
    LbSpeedButton1->setToolTip(QStringLiteral("Close"));
    LbSpeedButton1->setAutoRaise(true);
    LbSpeedButton1->setFont(small);
    LbSpeedButton1->setGeometry(238, 0, 14, 13);

    lblFont = new QLabel(QStringLiteral("Font:"), this);
    lblFont->setObjectName(QStringLiteral("lblFont"));
    lblFont->setGeometry(4, 18, 28, 16);
    cbFont = new QComboBox(this);
    cbFont->setObjectName(QStringLiteral("cbFont"));
    cbFont->setGeometry(32, 15, 132, 21);
    lblSize = new QLabel(QStringLiteral("Size:"), this);
    lblSize->setObjectName(QStringLiteral("lblSize"));
    lblSize->setGeometry(170, 18, 26, 16);
    cbSize = new QComboBox(this);
    cbSize->setObjectName(QStringLiteral("cbSize"));
    cbSize->setEditable(true);
    cbSize->setInsertPolicy(QComboBox::NoInsert);
    cbSize->setGeometry(196, 15, 52, 21);
    for (const char *s : kSizes)
        cbSize->addItem(QString::fromLatin1(s));

    tl::connectGuarded(LbSpeedButton1, &QToolButton::clicked, this, [this] { LbSpeedButton1Click(); });
    new tl::EventHook(lblFont, [this](QEvent *e) {
        if (e->type() == QEvent::MouseButtonRelease)
            LbSpeedButton1Click();
        return false;
    });
    new tl::EventHook(imgHead, [this](QEvent *e) {
        // Cast only once the type says it is a mouse event.
        auto at = [e] { return static_cast<QMouseEvent *>(e)->globalPosition().toPoint(); };
        switch (e->type()) {
        case QEvent::MouseButtonPress: imgHeadMouseDown(at()); return true;
        case QEvent::MouseMove: imgHeadMouseMove(at()); return true;
        case QEvent::MouseButtonRelease: imgHeadMouseUp(at()); return true;
        default: return false;
        }
    });
    // Only what the user does applies; filling the lists from the selection blocks these.
    tl::connectGuarded(cbFont, &QComboBox::currentTextChanged, this, [this] { cbFontChange(); });
    tl::connectGuarded(cbSize, &QComboBox::editTextChanged, this, [this] { cbSizeChange(); });

    FormCreate();
}

void TfrmFont::FormCreate()
{
    const QSignalBlocker block(cbFont);
    cbFont->clear();
    cbFont->addItems(QFontDatabase::families());
}

void TfrmFont::fillFromSelection()
{
    const tl::RichEdit::CharFormat f = m_editor.selectionCharFormat();
    const QSignalBlocker blockFont(cbFont), blockSize(cbSize);
    cbFont->setCurrentIndex(cbFont->findText(f.fontName, Qt::MatchFixedString));
    cbSize->setEditText(f.pointSize > 0 ? QString::number(qRound(f.pointSize)) : QString());
}

void TfrmFont::loadLanguage(const QString &language)
{
    const tl::i18n::Texts texts = tl::i18n::Texts::load(tl::i18n::fontTexts, m_programFolder, language);
    lblHead->setCaption(texts["frmFont"]);
    lblFont->setText(texts["frmFont.lblFont"]);
    lblSize->setText(texts["frmFont.lblSize"]);
}

void TfrmFont::FormShow()
{
    // The texts of the language in use now: the switch does not reach this popup.
    loadLanguage(m_settings.GetFromReg(tl::setting::CurLanguage));
    fillFromSelection();
    tl::placePopup(this, parentWidget());
    // The popup above everything, the main window no longer.
    Q_EMIT topYielded(true);
}

void TfrmFont::FormActivate()
{
    fillFromSelection();
}

void TfrmFont::cbFontChange()
{
    if (cbFont->currentText().isEmpty())
        return;
    m_editor.setSelectionFontName(cbFont->currentText());
}

void TfrmFont::cbSizeChange()
{
    const QString text = cbSize->currentText();
    const int points = tl::strToInt(text);  // "'x' is not a valid integer value"
    m_editor.setSelectionPointSize(std::clamp(points, kMinPoints, kMaxPoints));
}

void TfrmFont::LbSpeedButton1Click()
{
    close();
    Q_EMIT topYielded(false);
}

void TfrmFont::imgHeadMouseDown(QPoint global)
{
    m_drag.press(global);
}

void TfrmFont::imgHeadMouseMove(QPoint global)
{
    m_drag.move(global);
}

void TfrmFont::imgHeadMouseUp(QPoint global)
{
    m_drag.release(global);
}

void TfrmFont::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    tl::runGuarded([this] { FormShow(); });
}

bool TfrmFont::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        tl::runGuarded([this] { FormActivate(); });
    return QDialog::event(event);
}

void TfrmFont::keyPressEvent(QKeyEvent *event)
{
    // Esc only closes; the main window goes back on top when it is next activated.
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}
