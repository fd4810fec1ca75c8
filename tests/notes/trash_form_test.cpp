// Deleted notes in the main window: Delete moves the note into the file's
// trash, which counting, stepping and finding never see, and "Deleted
// notes..." brings it back, deletes it for good or empties the trash.

#include "notesfixture.h"

#include "notes/TfrmTrash.h"
#include "settings/TfrmPrefer.h"
#include "settings/settingstable.h"

#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeWidget>

namespace s = tl::setting;

namespace {

class TrashFormTest : public NotesFormTest {
protected:
    void startOn(const QStringList &notes)
    {
        file = notesFile(QStringLiteral("Diary.nts"), notes);
        form->FormCreate({QStringLiteral("tessaleaf"), file});
        activate(form.get());
        ASSERT_EQ(focused(), form->memo1);
    }
    static void activate(QWidget *w)
    {
        QApplication::setActiveWindow(w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    }
    static QWidget *focused() { return QApplication::focusWidget(); }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) { QTest::keyClick(focused(), k, mods); }

    // Alt+digit, then Delete answered OK.
    void deleteNote(int number)
    {
        key(Qt::Key(Qt::Key_0 + number), Qt::AltModifier);
        dialogs->answers = {tl::MsgResult::Ok};
        QTest::mouseClick(form->cmdDel, Qt::LeftButton, {}, QPoint(5, 5));
    }

    // Ctrl+Shift+T, as the file menu's item says; the dialog has the keyboard.
    TfrmTrash &openTrash()
    {
        key(Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_TRUE(form->frmTrash && form->frmTrash->isVisible());
        activate(form->frmTrash);
        EXPECT_EQ(focused(), form->frmTrash->lvTrash);
        return *form->frmTrash;
    }

    static QStringList rows(const TfrmTrash &d)
    {
        QStringList lines;
        for (int i = 0; i < d.lvTrash->topLevelItemCount(); ++i)
            lines << d.lvTrash->topLevelItem(i)->text(1);
        return lines;
    }

    QStringList trashOnDisk() const
    {
        QStringList texts;
        for (const tl::TrashedNote &t : tl::RecordStore().trashed(file))
            texts << plain(t.text);
        return texts;
    }

    QString file;
};

} // namespace

TEST_F(TrashFormTest, DeleteKeepsTheNoteInTheTrashAndRestorePutsItBackWhereItWas)
{
    startOn({QStringLiteral("alpha"), QStringLiteral("bravo"), QStringLiteral("charlie")});
    const QString bravo = tl::RecordStore().loadNote(1, file);
    deleteNote(2);
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("alpha"), QStringLiteral("charlie")}));
    EXPECT_EQ(trashOnDisk(), QStringList{QStringLiteral("bravo")});
    EXPECT_EQ(info(), QStringLiteral("Note 1 of 2 from Diary.nts"));

    // Steps, Alt+digits and Find see only the notes.
    key(Qt::Key_3, Qt::AltModifier);
    EXPECT_EQ(editorText(), QStringLiteral("alpha"));
    key(Qt::Key_2, Qt::AltModifier);
    EXPECT_EQ(editorText(), QStringLiteral("charlie"));
    EXPECT_FALSE(form->cmdNext->isEnabled());
    EXPECT_EQ(form->SearchString(QStringLiteral("bravo"), 0), 0);

    TfrmTrash &d = openTrash();
    EXPECT_EQ(rows(d), QStringList{QStringLiteral("bravo")});
    key(Qt::Key_Return);

    // The same RTF, at its old place, shown in the editor.
    EXPECT_EQ(tl::RecordStore().loadNote(1, file), bravo);
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("alpha"), QStringLiteral("bravo"), QStringLiteral("charlie")}));
    EXPECT_FALSE(tltest::readFile(file).contains("<trash"));
    EXPECT_EQ(editorText(), QStringLiteral("bravo"));
    EXPECT_EQ(info(), QStringLiteral("Note 2 of 3 from Diary.nts"));
    EXPECT_TRUE(rows(d).isEmpty());
    EXPECT_FALSE(d.cmdRestore->isEnabled());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(TrashFormTest, AnEditOfTheNoteShownIsStoredBeforeARestore)
{
    startOn({QStringLiteral("alpha"), QStringLiteral("bravo"), QStringLiteral("charlie")});
    deleteNote(1);
    key(Qt::Key_2, Qt::AltModifier);
    type(QStringLiteral(" typed"));
    openTrash();
    key(Qt::Key_Return);
    EXPECT_EQ(notesOf(file),
              (QStringList{QStringLiteral("alpha"), QStringLiteral("bravo"), QStringLiteral("charlie typed")}));
    EXPECT_EQ(editorText(), QStringLiteral("alpha"));
}

TEST_F(TrashFormTest, DeleteForGoodAndEmptyAskFirst)
{
    startOn({QStringLiteral("alpha"), QStringLiteral("bravo"), QStringLiteral("charlie"), QStringLiteral("delta")});
    deleteNote(1);
    deleteNote(1);
    deleteNote(1);
    TfrmTrash &d = openTrash();
    EXPECT_EQ(rows(d), (QStringList{QStringLiteral("charlie"), QStringLiteral("bravo"), QStringLiteral("alpha")}));
    dialogs->boxes.clear();

    key(Qt::Key_Down);  // "bravo"
    dialogs->answers = {tl::MsgResult::Cancel};
    key(Qt::Key_Delete);
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].buttons, tl::MsgButtons::OkCancel);
    EXPECT_EQ(trashOnDisk().size(), 3);
    dialogs->answers = {tl::MsgResult::Ok};
    key(Qt::Key_Delete);
    EXPECT_EQ(trashOnDisk(), (QStringList{QStringLiteral("alpha"), QStringLiteral("charlie")}));
    EXPECT_EQ(rows(d), (QStringList{QStringLiteral("charlie"), QStringLiteral("alpha")}));
    EXPECT_EQ(d.lvTrash->currentItem()->text(1), QStringLiteral("alpha"));  // the row at its place

    dialogs->answers = {tl::MsgResult::Cancel};
    QTest::mouseClick(d.cmdEmpty, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(trashOnDisk().size(), 2);
    dialogs->answers = {tl::MsgResult::Ok};
    QTest::mouseClick(d.cmdEmpty, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(trashOnDisk().isEmpty());
    EXPECT_FALSE(tltest::readFile(file).contains("trash"));
    EXPECT_FALSE(d.cmdEmpty->isEnabled());
    EXPECT_EQ(notesOf(file), QStringList{QStringLiteral("delta")});
    EXPECT_EQ(dialogs->boxes.size(), 4u);

    key(Qt::Key_Escape);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(TrashFormTest, TheTrashLimitsOfTheConfirmationsPageApplyWhenTheFileIsNextStored)
{
    startOn({QStringLiteral("alpha"), QStringLiteral("bravo"), QStringLiteral("charlie")});
    TfrmPrefer &prefer = form->preferences();
    EXPECT_EQ(prefer.spTrashDays->value(), 30);
    EXPECT_EQ(prefer.spTrashNotes->value(), 200);
    EXPECT_FALSE(prefer.spTrashNotes->accessibleName().isEmpty());
    prefer.spTrashNotes->setFocus();
    QTest::keyClick(prefer.spTrashNotes, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(prefer.spTrashNotes, QStringLiteral("1"));
    EXPECT_EQ(form->GetFromRegInt(s::TrashNotes), 1);
    activate(form.get());
    form->memo1->setFocus();

    deleteNote(1);
    deleteNote(1);
    EXPECT_EQ(trashOnDisk(), QStringList{QStringLiteral("bravo")});
}

TEST_F(TrashFormTest, TheMenusNameTheCommandInTheLanguageInUse)
{
    const QString program = path(QStringLiteral("program"));
    tltest::writeFile(program + QStringLiteral("/languages/German/general.lng"),
                      "[German]\nMainForm.DeletedNotes=Gel\xc3\xb6schte Notizen...\n"
                      "frmTrash=Gel\xc3\xb6schte Notizen\nfrmTrash.cmdRestore=&Wiederherstellen\n"
                      "frmTrash.list=Gel\xc3\xb6schte Notizen, neueste zuerst\n");
    form->ProgramFolder = program;
    startOn({QStringLiteral("alpha")});
    form->switchLanguage(QStringLiteral("German"));
    EXPECT_EQ(form->DeletedNotes2->text().remove(QLatin1Char('&')), QStringLiteral("Gelöschte Notizen..."));
    EXPECT_EQ(form->DeletedNotes1->text(), form->DeletedNotes2->text());
    ASSERT_TRUE(form->File1->actions().contains(form->DeletedNotes1));
    form->DeletedNotes1->trigger();
    ASSERT_TRUE(form->frmTrash && form->frmTrash->isVisible());
    EXPECT_EQ(form->frmTrash->windowTitle(), QStringLiteral("Gelöschte Notizen"));
    EXPECT_EQ(form->frmTrash->cmdRestore->accessibleName(), QStringLiteral("Wiederherstellen"));
    EXPECT_EQ(form->frmTrash->lvTrash->accessibleName(), QStringLiteral("Gelöschte Notizen, neueste zuerst"));
    form->frmTrash->reject();
}

TEST_F(TrashFormTest, DeletingTheOnlyNoteDeletesTheFileAfterABackup)
{
    // Not in the notes file's folder, where no backup goes.
    qputenv("XDG_DATA_HOME", QFile::encodeName(tltest::freshFolder()));
    startOn({QStringLiteral("alone")});
    const QByteArray before = tltest::readFile(file);
    dialogs->answers = {tl::MsgResult::Ok};
    QTest::mouseClick(form->cmdDel, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(QFile::exists(file));
    const std::vector<tl::backup::Copy> copies = tl::backup::list(tl::NotesSession::backupsFolder(), file);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(tltest::readFile(copies[0].path), before);
}

TEST_F(TrashFormTest, NoCopiesInTheSettingsTurnBackupsOff)
{
    qputenv("XDG_DATA_HOME", QFile::encodeName(tltest::freshFolder()));
    form->SetFromRegInt(s::BackupDays, 0);
    form->SetFromRegInt(s::BackupWeeks, 0);
    startOn({QStringLiteral("alpha"), QStringLiteral("bravo")});
    deleteNote(1);
    EXPECT_EQ(notesOf(file), QStringList{QStringLiteral("bravo")});
    EXPECT_TRUE(tl::backup::list(tl::NotesSession::backupsFolder(), file).empty());
}
