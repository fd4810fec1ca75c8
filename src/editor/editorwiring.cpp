// The editor subsystem's part of the main window: the format column's
// groups and hints, the editor's context menu and hooks, the find bar's
// texts, buttons and menu, and the font popup.

#include "app/TForm1.h"

#include "controls/builtinart.h"
#include "controls/eventhook.h"
#include "controls/flatbutton.h"
#include "controls/guarded.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QUrl>

void TForm1::wireEditorComponents()
{
    using tl::connectGuarded;
    auto run = [this](void (TForm1::*handler)()) {
        return [this, handler] { (this->*handler)(); };
    };
    struct Button {
        tl::FlatButton *button;
        const char *hint;
        bool sticky;  // stays down until clicked again or its group changes
        bool format;  // acts on the editor, which then has the focus back
        void (TForm1::*click)();
    };
    // The find buttons leave the focus where it is; a hit gives it to the
    // editor.
    const Button buttons[] = {
        {cmdFont, "Change Current Font", false, true, &TForm1::cmdFontClick},
        {cmdBold, "Bold", true, true, &TForm1::cmdBoldClick},
        {cmdItalic, "Italic", true, true, &TForm1::cmdItalicClick},
        {cmdUnder, "Underline", true, true, &TForm1::cmdUnderClick},
        {cmdSelectColor, "Select Color", false, true, &TForm1::cmdSelectColorClick},
        {cmdALeft, "Align Left", true, true, &TForm1::cmdALeftClick},
        {cmdACenter, "Align Center", true, true, &TForm1::cmdACenterClick},
        {cmdARight, "Align Right", true, true, &TForm1::cmdARightClick},
        {cmdBullet, "Bullet", true, true, &TForm1::cmdBulletClick},
        {cmdSearch, "Find", false, false, &TForm1::cmdSearchClick},
        {cmdSearchBack, "Find Back (F2)", false, false, &TForm1::cmdSearchBackClick},
        {cmdSearchAgain, "Find Next (F3)", false, false, &TForm1::cmdSearchAgainClick},
    };
    for (const Button &b : buttons) {
        b.button->setToolTip(QString::fromLatin1(b.hint));
        b.button->setAccessibleName(QString::fromLatin1(b.hint));
        b.button->setCheckable(b.sticky);
        // The built-in glyph until a skin brings its own.
        if (b.button->icon().isNull())
            b.button->setIcon(tl::builtin::pngIcon(tl::builtin::buttonGlyphPng(qPrintable(b.button->objectName()))));
        connectGuarded(b.button, &QToolButton::clicked, this, run(b.click));
        if (b.format)
            connect(b.button, &QToolButton::clicked, memo1, [this] { memo1->setFocus(); });
    }
    cmdSearchBack->setEnabled(false);
    cmdSearchAgain->setEnabled(false);

    // Keys dropped at the limit are told about, once.
    connectGuarded(memo1, &tl::RichEdit::textLimitReached, this, [this] {
        if (m_toldTextLimit)
            return;
        m_toldTextLimit = true;
        m_services.dialogs->messageBox(
            this, QStringLiteral("Tessaleaf"),
            QStringLiteral("The editor holds at most %1 characters. Typing or pasting beyond that is not taken.")
                .arg(QLocale().toString(memo1->textLimit())),
            tl::MsgButtons::Ok, tl::MsgIcon::Information);
    });
    connectGuarded(memo1, &QTextEdit::selectionChanged, this, run(&TForm1::memo1SelectionChange));
    connectGuarded(memo1, &QTextEdit::cursorPositionChanged, this, run(&TForm1::memo1SelectionChange));
    new tl::EventHook(memo1, [this](QEvent *e) {
        if (e->type() == QEvent::KeyPress)
            memo1KeyDown(static_cast<QKeyEvent *>(e));
        return false;
    });
    // The links a note holds open as the shell opens web addresses.
    connectGuarded(memo1, &tl::RichEdit::linkActivated, this,
                   [this](const QUrl &url) { m_services.shell->openUrl(url); });
    // The editor's own menu would open beside ours.
    memo1->setContextMenuPolicy(Qt::PreventContextMenu);
    memo1->viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
    new tl::EventHook(memo1->viewport(), [this](QEvent *e) {
        if (e->type() == QEvent::MouseButtonPress) {
            auto *m = static_cast<QMouseEvent *>(e);
            memo1MouseDown(m->button(), memo1->viewport()->mapTo(memo1, m->position().toPoint()));
        }
        return false;
    });

    // Items with a shortcut act while the editor (or, for pSearch, the find
    // bar) has the focus; the editor's own undo, clipboard and select-all keys
    // do the same as the items.
    auto item = [this, &run](QMenu *menu, QWidget *scope, const char *name, const QString &text, QKeySequence key,
                             int icon, void (TForm1::*handler)()) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty()) {
            a->setShortcut(key);
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            scope->addAction(a);
        }
        if (icon >= 0) {
            a->setIcon(tl::builtin::pngIcon(tl::builtin::menuIcon(icon)));
            a->setIconVisibleInMenu(false);  // the menu style shows icons
        }
        if (handler)
            connectGuarded(a, &QAction::triggered, this, run(handler));
        else
            a->setEnabled(false);  // its command arrives with its window
        return a;
    };
    mnuMemo = new QMenu(this);
    mnuMemo->setObjectName(QStringLiteral("mnuMemo"));
    const QKeySequence none;
    Undo1 = item(mnuMemo, memo1, "Undo1", QStringLiteral("Undo"), Qt::CTRL | Qt::Key_Z, 6, &TForm1::Undo1Click);
    mnuMemo->addSeparator()->setObjectName(QStringLiteral("N5"));
    Cut1 = item(mnuMemo, memo1, "Cut1", QStringLiteral("Cut"), Qt::CTRL | Qt::Key_X, 3, &TForm1::Cut1Click);
    Copy1 = item(mnuMemo, memo1, "Copy1", QStringLiteral("Copy"), Qt::CTRL | Qt::Key_C, 2, &TForm1::Copy1Click);
    Paste1 = item(mnuMemo, memo1, "Paste1", QStringLiteral("Paste"), Qt::CTRL | Qt::Key_V, 4, &TForm1::Paste1Click);
    mnuMemo->addSeparator()->setObjectName(QStringLiteral("N4"));
    Font1 = item(mnuMemo, memo1, "Font1", QStringLiteral("Options"), none, -1, &TForm1::Font1Click);
    mnuMemo->addSeparator()->setObjectName(QStringLiteral("N6"));
    SelectAll1 = item(mnuMemo, memo1, "SelectAll1", QStringLiteral("Select All"), Qt::CTRL | Qt::Key_A, 7,
                      &TForm1::SelectAll1Click);
    FindBar1 = item(mnuMemo, memo1, "FindBar1", QStringLiteral("Show Find Bar      "), Qt::CTRL | Qt::Key_F, -1,
                    &TForm1::FindBar1Click);
    Print1 = item(mnuMemo, memo1, "Print1", QStringLiteral("Print"), Qt::CTRL | Qt::Key_P, 8, &TForm1::Print1Click);
    // Never shown: its Ctrl+S only keeps Save As from the editor.
    Sendtoemail1 = mnuMemo->addMenu(QStringLiteral("Send to email..."));
    Sendtoemail1->setObjectName(QStringLiteral("Sendtoemail1"));
    Sendtoemail1->menuAction()->setShortcut(Qt::CTRL | Qt::Key_S);
    Sendtoemail1->menuAction()->setVisible(false);
    Selection2 = item(Sendtoemail1, memo1, "Selection2", QStringLiteral("Selection"), none, -1, nullptr);
    Record4 = item(Sendtoemail1, memo1, "Record4", QStringLiteral("Record"), none, -1, nullptr);
    FileofNotes1 = item(Sendtoemail1, memo1, "FileofNotes1", QStringLiteral("File of Notes"), none, -1, nullptr);
    for (QAction *a : {Selection2, Record4, FileofNotes1})
        a->setVisible(false);
    Jumptonote1 = item(mnuMemo, memo1, "Jumptonote1", QStringLiteral("Jump to note..."), Qt::CTRL | Qt::Key_O, -1,
                       &TForm1::Jumptonote1Click);
    Fileinformation1 = item(mnuMemo, memo1, "Fileinformation1", QStringLiteral("File Properties..."),
                            Qt::ALT | Qt::Key_Return, 12, &TForm1::Fileinformation1Click);

    lblSearch->setText(QStringLiteral("Look for:"));
    pSearch = new QMenu(this);
    pSearch->setObjectName(QStringLiteral("pSearch"));
    Hide1 = item(pSearch, panSearch, "Hide1", QStringLiteral("Hide"), Qt::CTRL | Qt::Key_F, -1, &TForm1::FindBar1Click);
    panSearch->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(panSearch, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { pSearch->popup(panSearch->mapToGlobal(p)); });
    connectGuarded(cbSeek, &QComboBox::editTextChanged, this, run(&TForm1::cbSeekChange));
    connectGuarded(cbSeek, &QComboBox::textActivated, this, run(&TForm1::cbSeekChange));
    new tl::EventHook(lblSearch, [this](QEvent *e) {
        if (e->type() == QEvent::FontChange)
            fitSearchLabel();  // a new look for the label
        if (e->type() == QEvent::MouseButtonRelease)
            lblSearchClick();
        return false;
    });
}
