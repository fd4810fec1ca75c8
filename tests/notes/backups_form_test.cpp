// "Restore from backup..." in the main window: the backups of the open notes
// file, what the chosen one holds that the file does not, one note or the
// whole file brought back.

#include "notesfixture.h"

#include "notes/TfrmBackups.h"
#include "settings/settingstable.h"

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

class BackupsFormTest : public NotesFormTest {
protected:
    void SetUp() override
    {
        NotesFormTest::SetUp();
        // Outside the notes file's folder, where no backup goes.
        qputenv("XDG_DATA_HOME", QFile::encodeName(tltest::freshFolder()));
    }
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
    TfrmBackups &openBackups()
    {
        key(Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_TRUE(form->frmBackups && form->frmBackups->isVisible());
        activate(form->frmBackups);
        EXPECT_EQ(focused(), form->frmBackups->lvBackups);
        return *form->frmBackups;
    }
    static QStringList rows(const QTreeWidget *list)
    {
        QStringList out;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < list->columnCount() - (list->columnCount() == 3 ? 2 : 0); ++c)
                cells << list->topLevelItem(i)->text(c);
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }
    std::vector<tl::backup::Copy> copies() const { return tl::backup::list(tl::NotesSession::backupsFolder(), file); }

    QString file;
};

} // namespace

TEST_F(BackupsFormTest, ANoteChangedSinceComesBackAsANewNoteAndTheWholeFileAfterAQuestion)
{
    startOn({QStringLiteral("alpha"), QStringLiteral("bravo"), QStringLiteral("charlie")});
    const QByteArray original = tltest::readFile(file);
    type(QStringLiteral(" typed"));
    QTest::mouseClick(form->cmdNext, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_EQ(copies().size(), 1u);
    EXPECT_EQ(tltest::readFile(copies()[0].path), original);

    TfrmBackups &d = openBackups();
    ASSERT_EQ(d.lvBackups->topLevelItemCount(), 1);
    EXPECT_EQ(d.lvBackups->topLevelItem(0)->text(1), QStringLiteral("3"));
    // Note 2, shown, was stored in the editor's own form when the dialog opened.
    EXPECT_EQ(rows(d.lvChanges), (QStringList{QStringLiteral("Changed since|alpha"), QStringLiteral("Changed since|bravo")}));
    key(Qt::Key_Tab);
    ASSERT_EQ(focused(), d.lvChanges);
    key(Qt::Key_Return);

    // The backup's note, as it was stored, after the others; shown.
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("alpha typed"), QStringLiteral("bravo"),
                                          QStringLiteral("charlie"), QStringLiteral("alpha")}));
    EXPECT_EQ(editorText(), QStringLiteral("alpha"));
    EXPECT_EQ(info(), QStringLiteral("Note 4 of 4 from Diary.nts"));
    EXPECT_EQ(rows(d.lvChanges), (QStringList{QStringLiteral("Changed since|alpha"), QStringLiteral("Changed since|bravo"),
                                              QStringLiteral("Added since|alpha")}));

    dialogs->answers = {tl::MsgResult::Cancel};
    QTest::mouseClick(d.cmdRestoreFile, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(notesOf(file).size(), 4);
    const QStringList notesBefore = notesOf(file);
    dialogs->answers = {tl::MsgResult::Ok};
    QTest::mouseClick(d.cmdRestoreFile, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(tltest::readFile(file), original);
    EXPECT_EQ(editorText(), QStringLiteral("alpha"));
    EXPECT_EQ(info(), QStringLiteral("Note 1 of 3 from Diary.nts"));
    // What was replaced is the newest backup now.
    ASSERT_EQ(copies().size(), 2u);
    EXPECT_EQ(notesOf(copies()[0].path), notesBefore);
    EXPECT_EQ(dialogs->boxes.size(), 2u);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(BackupsFormTest, WithBackupsOffThereIsNothingToRestore)
{
    form->SetFromRegInt(tl::setting::BackupDays, 0);
    form->SetFromRegInt(tl::setting::BackupWeeks, 0);
    startOn({QStringLiteral("alpha")});
    TfrmBackups &d = openBackups();
    EXPECT_EQ(d.lvBackups->topLevelItemCount(), 0);
    EXPECT_EQ(rows(d.lvChanges), QStringList{QStringLiteral("|No backup of this file yet.")});
    EXPECT_FALSE(d.cmdRestoreNote->isEnabled());
    EXPECT_FALSE(d.cmdRestoreFile->isEnabled());
    EXPECT_FALSE(d.lvBackups->accessibleName().isEmpty());
    EXPECT_EQ(d.cmdRestoreFile->accessibleName(), QStringLiteral("Restore whole file"));
}
