// The editor subsystem's part of the main window: the format column's
// groups and hints, the editor's context menu and hooks, the find bar's
// texts, buttons and menu, and the font popup.

#include "app/TForm1.h"

#include "app/application.h"
#include "controls/flatbutton.h"
#include "controls/builtinart.h"
#include "editor/TfrmFont.h"
#include "notes/eventhook.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QUrl>

void TForm1::wireEditorComponents()
{
    auto run = [this](void (TForm1::*handler)()) {
        return [this, handler] { tl::Application::guarded([&] { (this->*handler)(); }); };
    };
    struct Button {
        tl::FlatButton *button;
        const char *hint;
        bool sticky;  // stays down until clicked again or its group changes
        void (TForm1::*click)();
    };
    const Button buttons[] = {
        {cmdFont, "Change Current Font", false, &TForm1::cmdFontClick},
        {cmdBold, "Bold", true, &TForm1::cmdBoldClick},
        {cmdItalic, "Italic", true, &TForm1::cmdItalicClick},
        {cmdUnder, "Underline", true, &TForm1::cmdUnderClick},
        {cmdSelectColor, "Select Color", false, &TForm1::cmdSelectColorClick},
        {cmdALeft, "Align Left", true, &TForm1::cmdALeftClick},
        {cmdACenter, "Align Center", true, &TForm1::cmdACenterClick},
        {cmdARight, "Align Right", true, &TForm1::cmdARightClick},
        {cmdBullet, "Bullet", true, &TForm1::cmdBulletClick},
        {cmdSearch, "Find", false, &TForm1::cmdSearchClick},
        {cmdSearchBack, "Find Back (F2)", false, &TForm1::cmdSearchBackClick},
        {cmdSearchAgain, "Find Next (F3)", false, &TForm1::cmdSearchAgainClick},
    };
    for (const Button &b : buttons) {
        b.button->setToolTip(QString::fromLatin1(b.hint));
        b.button->setAccessibleName(QString::fromLatin1(b.hint));
        b.button->setCheckable(b.sticky);
        // The built-in glyph until a skin brings its own.
        if (b.button->icon().isNull())
            b.button->setIcon(QIcon(tl::builtin::buttonGlyphPng(qPrintable(b.button->objectName()))));
        connect(b.button, &QToolButton::clicked, this, run(b.click));
    }
    cmdSearchBack->setEnabled(false);
    cmdSearchAgain->setEnabled(false);

    connect(memo1, &QTextEdit::selectionChanged, this, run(&TForm1::memo1SelectionChange));
    connect(memo1, &QTextEdit::cursorPositionChanged, this, run(&TForm1::memo1SelectionChange));
    new tl::EventHook(memo1, [this](QEvent *e) {
        if (e->type() == QEvent::KeyPress)
            memo1KeyDown(static_cast<QKeyEvent *>(e));
        return false;
    });
    // The links a note holds open as the shell opens web addresses.
    connect(memo1, &tl::RichEdit::linkActivated, this, [this](const QUrl &url) {
        tl::Application::guarded([&] { m_services.shell->openUrl(url); });
    });
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
            a->setIcon(QIcon(tl::builtin::menuIcon(icon)));
            a->setIconVisibleInMenu(false);  // the menu style shows icons
        }
        if (handler)
            connect(a, &QAction::triggered, this, run(handler));
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
    Font1 = item(mnuMemo, memo1, "Font1", QStringLiteral("Options"), none, -1, nullptr);
    mnuMemo->addSeparator()->setObjectName(QStringLiteral("N6"));
    SelectAll1 = item(mnuMemo, memo1, "SelectAll1", QStringLiteral("Select All"), Qt::CTRL | Qt::Key_A, 7,
                      &TForm1::SelectAll1Click);
    FindBar1 = item(mnuMemo, memo1, "FindBar1", QStringLiteral("Show Find Bar      "), Qt::CTRL | Qt::Key_F, -1,
                    &TForm1::FindBar1Click);
    Print1 = item(mnuMemo, memo1, "Print1", QStringLiteral("Print"), Qt::CTRL | Qt::Key_P, 8, nullptr);
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
                       nullptr);
    Fileinformation1 = item(mnuMemo, memo1, "Fileinformation1", QStringLiteral("File Properties..."),
                            Qt::ALT | Qt::Key_Return, 12, nullptr);

    lblSearch->setText(QStringLiteral("Look for:"));
    cbSeek->setInsertPolicy(QComboBox::NoInsert);
    pSearch = new QMenu(this);
    pSearch->setObjectName(QStringLiteral("pSearch"));
    Hide1 = item(pSearch, panSearch, "Hide1", QStringLiteral("Hide"), Qt::CTRL | Qt::Key_F, -1, &TForm1::FindBar1Click);
    panSearch->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(panSearch, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { pSearch->popup(panSearch->mapToGlobal(p)); });
    connect(cbSeek, &QComboBox::editTextChanged, this, run(&TForm1::cbSeekChange));
    connect(cbSeek, &QComboBox::textActivated, this, run(&TForm1::cbSeekChange));
    new tl::EventHook(cbSeek->lineEdit(), [this](QEvent *e) {
        if (e->type() != QEvent::KeyPress)
            return false;
        auto *k = static_cast<QKeyEvent *>(e);
        cbSeekKeyDown(k);
        return k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter;
    });
    new tl::EventHook(lblSearch, [this](QEvent *e) {
        if (e->type() == QEvent::MouseButtonRelease)
            lblSearchClick();
        return false;
    });

    frmFont = new TfrmFont(this);
}
