// The notes buttons, the editor's typing hooks and the two file menus.
#include "app/TForm1.h"

#include "controls/builtinart.h"
#include "controls/eventhook.h"
#include "controls/flatbutton.h"
#include "controls/guarded.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTextEdit>

void TForm1::wireNotesComponents()
{
    // The buttons never keep the focus: after a step the typing goes on in
    // the editor.
    auto onClick = [this](tl::FlatButton *b, void (TForm1::*handler)()) {
        tl::connectGuarded(b, &QToolButton::clicked, this, [this, handler] { (this->*handler)(); });
        QObject::connect(b, &QToolButton::clicked, memo1, [this] { memo1->setFocus(); });
    };
    onClick(cmdBack, &TForm1::cmdBackClick);
    onClick(cmdNext, &TForm1::cmdNextClick);
    onClick(cmdNew, &TForm1::cmdNewClick);
    onClick(cmdDel, &TForm1::cmdDelClick);

    tl::connectGuarded(memo1, &QTextEdit::textChanged, this, [this] { memo1Change(); });
    new tl::EventHook(memo1, [this](QEvent *e) {
        // Alt with a key types no character (the editor leaves it alone).
        if (e->type() == QEvent::KeyPress && !static_cast<QKeyEvent *>(e)->text().isEmpty()
            && !(static_cast<QKeyEvent *>(e)->modifiers() & Qt::AltModifier))
            memo1KeyPress();
        return false;
    });
    new tl::EventHook(lblFile, [this](QEvent *e) {
        if (e->type() != QEvent::MouseButtonPress)
            return false;
        lblFileMouseDown(static_cast<QMouseEvent *>(e)->position().toPoint());
        return true;
    });

    auto item = [this](QMenu *menu, const char *name, const QString &text, void (TForm1::*handler)(), int icon) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        if (icon >= 0)
            a->setIcon(tl::builtin::pngIcon(tl::builtin::menuIcon(icon)));
        tl::connectGuarded(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return a;
    };
    mnuFile = new QMenu(this);
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    // Its items take access keys of their own, as the texts loader gives them.
    const QStringList texts = tl::i18n::withAccessKeys({uiText("MainForm.NewFile2"), uiText("MainForm.OpenFile2"),
                                                        uiText("MainForm.SaveFile2"), uiText("MainForm.Savefileas2"),
                                                        uiText("MainForm.DeletedNotes"), uiText("MainForm.RestoreBackup")});
    NewFile2 = item(mnuFile, "NewFile2", texts[0], &TForm1::NewFile2Click, 11);
    OpenFile2 = item(mnuFile, "OpenFile2", texts[1], &TForm1::OpenFile2Click, 15);
    SaveFile2 = item(mnuFile, "SaveFile2", texts[2], &TForm1::SaveFile2Click, -1);
    SaveFileAs2 = item(mnuFile, "SaveFileAs2", texts[3], &TForm1::SaveFileAs2Click, 10);
    mnuFile->addSeparator();
    DeletedNotes2 = item(mnuFile, "DeletedNotes2", texts[4], &TForm1::DeletedNotes1Click, -1);
    // The file menu hangs on a label: its trash and backups are reached by keys too.
    DeletedNotes2->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_T);
    DeletedNotes2->setShortcutContext(Qt::WindowShortcut);
    addAction(DeletedNotes2);
    RestoreBackup2 = item(mnuFile, "RestoreBackup2", texts[5], &TForm1::RestoreBackup1Click, -1);
    RestoreBackup2->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_B);
    RestoreBackup2->setShortcutContext(Qt::WindowShortcut);
    addAction(RestoreBackup2);
    File1 = new QMenu(QStringLiteral("File..."), this);
    File1->setObjectName(QStringLiteral("File1"));
    // The tray's copy reads as the file menu does (its access keys too).
    NewFile1 = item(File1, "NewFile1", NewFile2->text(), &TForm1::NewFile2Click, 11);
    OpenFile1 = item(File1, "OpenFile1", OpenFile2->text(), &TForm1::OpenFile2Click, 15);
    SaveFile1 = item(File1, "SaveFile1", SaveFile2->text(), &TForm1::SaveFile2Click, -1);
    SaveFileAs3 = item(File1, "SaveFileAs3", SaveFileAs2->text(), &TForm1::SaveFileAs2Click, 10);
    File1->addSeparator();
    DeletedNotes1 = item(File1, "DeletedNotes1", DeletedNotes2->text(), &TForm1::DeletedNotes1Click, -1);
    RestoreBackup1 = item(File1, "RestoreBackup1", RestoreBackup2->text(), &TForm1::RestoreBackup1Click, -1);
    File1->setWindowTitle(File1->title());
    wirePortItems();

    wireOutsideChanges();
    wireLocking();
    applyTrashLimits();
    wireBackups();
}
