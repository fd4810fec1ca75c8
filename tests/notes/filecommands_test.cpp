// Open, New file, Save and Save As through the fake dialogs.

#include "notesfixture.h"

#include "richtext/richedit.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMouseEvent>

namespace {

using FileCommandsTest = NotesFormTest;

TEST_F(FileCommandsTest, OpenThenCancelStoresTheNoteAndReopensAtTheFirst)
{
    const QString file = notesFile(QStringLiteral("Diary.nts"), {QStringLiteral("one"), QStringLiteral("two")});
    open(file);
    form->cmdNextClick();
    type(QStringLiteral("!"));
    form->File1Click();
    ASSERT_EQ(dialogs->openRequests.size(), 1u);
    EXPECT_EQ(dialogs->openRequests[0].fileName, file);
    EXPECT_TRUE(dialogs->openRequests[0].filter.startsWith(QStringLiteral("File of Notes (*.nts *.znts *.snts)")));
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("one"), QStringLiteral("two!")}));
    EXPECT_EQ(form->CurrentNote(), 0);
    EXPECT_EQ(editorText(), QStringLiteral("one"));
}

TEST_F(FileCommandsTest, OpenAndDropCloseTheOldFileAndShowTheNewOne)
{
    const QString old = tltest::writeFile(path(QStringLiteral("a.txt")), "a");
    const QString chosen = notesFile(QStringLiteral("B.nts"), {QStringLiteral("b1"), QStringLiteral("b2")});
    const QString dropped = tltest::writeFile(path(QStringLiteral("c.txt")), "c");
    open(old);
    type(QStringLiteral("+"));
    dialogs->openNames = {chosen};
    form->OpenFile2->trigger();
    EXPECT_EQ(tltest::readFile(old), QByteArray("a+"));
    EXPECT_EQ(info(), QStringLiteral("Note 1 of 2 from B.nts"));

    form->File1Click(dropped);
    EXPECT_EQ(dialogs->openRequests.size(), 1u);  // no dialog for a drop
    EXPECT_EQ(form->CurrentFile(), dropped);
    EXPECT_EQ(editorText(), QStringLiteral("c"));

    form->File1Click(dir);  // a folder is no file: the file stays open
    EXPECT_EQ(form->CurrentFile(), dropped);
}

TEST_F(FileCommandsTest, NewFileStartsANotesFileWithOneEmptyLine)
{
    const QString old = notesFile(QStringLiteral("Old.nts"), {QStringLiteral("o1"), QStringLiteral("o2")});
    open(old);
    type(QStringLiteral("!"));
    const QString file = path(QStringLiteral("New.nts"));
    dialogs->saveNames = {file};
    form->NewFile2->trigger();
    // The file open before is closed first: its edit is kept.
    EXPECT_EQ(notesOf(old), (QStringList{QStringLiteral("o1!"), QStringLiteral("o2")}));
    EXPECT_EQ(form->CurrentFile(), file);
    EXPECT_EQ(editorText(), QStringLiteral("\n"));
    EXPECT_EQ(info(), QStringLiteral("Note 1 of 1 from New.nts"));
    EXPECT_FALSE(form->cmdBack->isEnabled());
    EXPECT_FALSE(form->cmdNext->isEnabled());
    EXPECT_EQ(notesOf(file).size(), 1);
}

TEST_F(FileCommandsTest, NewFileCancelChangesNothing)
{
    const QString old = notesFile(QStringLiteral("Old.nts"), {QStringLiteral("o1")});
    open(old);
    const QByteArray before = tltest::readFile(old);
    form->NewFile2Click();
    EXPECT_EQ(form->CurrentFile(), old);
    EXPECT_EQ(editorText(), QStringLiteral("o1"));
    EXPECT_EQ(tltest::readFile(old), before);
}

TEST_F(FileCommandsTest, NewFileOverAReadOnlyFileWarnsAndLeavesNoFileOpen)
{
    const QString file = makeReadOnly(tltest::writeFile(path(QStringLiteral("Locked.nts")), "locked"));
    dialogs->saveNames = {file};
    form->NewFile2Click();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].caption, QStringLiteral("Warning!"));
    EXPECT_EQ(dialogs->boxes[0].text,
              QStringLiteral("This file of notes is read-only! You cannot save change with this flag."));
    EXPECT_EQ(dialogs->boxes[0].icon, tl::MsgIcon::Warning);
    EXPECT_TRUE(form->CurrentFile().isEmpty());
    EXPECT_EQ(editorText(), QStringLiteral("\n"));
    EXPECT_EQ(tltest::readFile(file), QByteArray("locked"));
}

// Save As from a text document, by the extension of the name chosen; Save
// then writes the same format again.
struct SaveAsCase {
    const char *name;
    enum { Plain, Rtf, Notes } format;
};

class SaveAsTest : public NotesFormTest, public testing::WithParamInterface<SaveAsCase> {};

TEST_P(SaveAsTest, WritesTheFormatOfTheName)
{
    const SaveAsCase &c = GetParam();
    open(tltest::writeFile(path(QStringLiteral("from.txt")), "hello"));
    const QString target = path(QString::fromUtf8(c.name));
    dialogs->saveNames = {target};
    form->SaveFileAs2->trigger();
    ASSERT_EQ(form->CurrentFile(), target);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tessaleaf - ") + QString::fromUtf8(c.name));
    type(QStringLiteral("!"));
    form->SaveFile2Click();
    const QByteArray bytes = tltest::readFile(target);
    switch (c.format) {
    case SaveAsCase::Plain:
        EXPECT_EQ(bytes, QByteArray("hello!"));
        break;
    case SaveAsCase::Rtf:
        EXPECT_TRUE(bytes.startsWith("{\\rtf")) << bytes.toStdString();
        EXPECT_EQ(tl::rtf::toPlainText(std::string_view(bytes.constData(), size_t(bytes.size()))),
                  QStringLiteral("hello!"));
        break;
    case SaveAsCase::Notes:
        EXPECT_EQ(notesOf(target), QStringList{QStringLiteral("hello!")});
        EXPECT_EQ(info(), QStringLiteral("Note 1 of 1 from ") + QString::fromUtf8(c.name));
        break;
    }
    EXPECT_FALSE(form->Modified());
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Names, SaveAsTest,
                         testing::Values(SaveAsCase{"to.txt", SaveAsCase::Plain},
                                         SaveAsCase{"to.rtf", SaveAsCase::Rtf},
                                         SaveAsCase{"to.RTF", SaveAsCase::Rtf},
                                         SaveAsCase{"to.nts", SaveAsCase::Notes}),
                         [](const testing::TestParamInfo<SaveAsCase> &info) {
                             std::string n = info.param.name;
                             for (char &ch : n)
                                 if (ch == '.')
                                     ch = '_';
                             return n;
                         });

TEST_F(FileCommandsTest, SaveAsOfANotesFileCopiesItAsLastWrittenAndGoesOnInTheCopy)
{
    const QString a = notesFile(QStringLiteral("A.nts"), {QStringLiteral("one"), QStringLiteral("two")});
    open(a);
    type(QStringLiteral(" edited"));
    const QString b = path(QStringLiteral("B.nts"));
    form->SaveFileAs(b);
    EXPECT_EQ(form->CurrentFile(), b);
    EXPECT_EQ(notesOf(b), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    form->cmdNextClick();
    EXPECT_EQ(notesOf(b), (QStringList{QStringLiteral("one edited"), QStringLiteral("two")}));
    EXPECT_EQ(notesOf(a), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    EXPECT_EQ(info(), QStringLiteral("Note 2 of 2 from B.nts"));
}

TEST_F(FileCommandsTest, SaveAsOfAWorkingCopyClearsItsRealPath)
{
    const QString copy = notesFile(QStringLiteral("Work.nts"), {QStringLiteral("one")});
    tl::RecordStore().setParam(copy, QStringLiteral("RealPath"), path(QStringLiteral("Diary.znts")));
    open(copy);
    EXPECT_EQ(info(), QStringLiteral("Note 1 of 1 from Diary.znts"));
    const QString b = path(QStringLiteral("Mine.nts"));
    form->SaveFileAs(b);
    EXPECT_EQ(tl::RecordStore().param(b, QStringLiteral("RealPath")), QString());
    EXPECT_EQ(tl::RecordStore().param(copy, QStringLiteral("RealPath")), path(QStringLiteral("Diary.znts")));
    EXPECT_EQ(info(), QStringLiteral("Note 1 of 1 from Mine.nts"));
}

TEST_F(FileCommandsTest, SaveAsToAReadOnlyNameWarnsAndWritesNothing)
{
    open(tltest::writeFile(path(QStringLiteral("a.txt")), "a"));
    for (const char *name : {"Locked.txt", "Locked.nts"}) {
        SCOPED_TRACE(name);
        dialogs->boxes.clear();
        const QString target = makeReadOnly(tltest::writeFile(path(QString::fromUtf8(name)), "locked"));
        form->SaveFileAs(target);
        ASSERT_EQ(dialogs->boxes.size(), 1u);
        EXPECT_EQ(dialogs->boxes[0].caption, QStringLiteral("Warning!"));
        EXPECT_EQ(tltest::readFile(target), QByteArray("locked"));
        EXPECT_EQ(form->CurrentFile(), path(QStringLiteral("a.txt")));
    }
}

TEST_F(FileCommandsTest, SaveOfAReadOnlyFileWarns)
{
    const QString file = makeReadOnly(notesFile(QStringLiteral("Diary.nts"), {QStringLiteral("one")}));
    const QByteArray before = tltest::readFile(file);
    open(file);
    form->SaveFile2->trigger();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].text,
              QStringLiteral("This file of notes is read-only! You cannot save change with this flag."));
    EXPECT_EQ(tltest::readFile(file), before);
}

TEST_F(FileCommandsTest, SaveWithNoFileAsksForANameOnlyWhenThereIsText)
{
    form->SaveFile2Click();
    EXPECT_TRUE(dialogs->saveRequests.empty());
    form->memo1->setContentText(QStringLiteral("draft"));
    form->SaveFile2Click();  // cancelled
    EXPECT_EQ(dialogs->saveRequests.size(), 1u);
    EXPECT_EQ(info(), QStringLiteral("No File of Notes"));
}

TEST_F(FileCommandsTest, TheSaveDialogRemembersTheLastName)
{
    open(tltest::writeFile(path(QStringLiteral("a.txt")), "a"));
    const QString first = path(QStringLiteral("first.txt"));
    dialogs->saveNames = {first};
    form->SaveFileAs2Click();
    form->SaveFileAs2Click();
    ASSERT_EQ(dialogs->saveRequests.size(), 2u);
    EXPECT_EQ(dialogs->saveRequests[0].defaultSuffix, QStringLiteral("nts"));
    EXPECT_EQ(dialogs->saveRequests[0].filter,
              QStringLiteral("File of Notes (*.nts);;Encrypted notes file (*.nts.age);;Text File (*.txt);;RTF File "
                             "(*.rtf);;All files (*)"));
    EXPECT_EQ(dialogs->saveRequests[1].fileName, first);
    // The first dialog starts beside the open file, the next where the last name was chosen.
    EXPECT_EQ(dialogs->saveRequests[0].folder, QFileInfo(path(QStringLiteral("a.txt"))).absolutePath());
    EXPECT_EQ(dialogs->saveRequests[1].folder, QFileInfo(first).absolutePath());
}

TEST_F(FileCommandsTest, TheFileMenusCarryTheFileCommands)
{
    for (QMenu *menu : {form->mnuFile, form->File1}) {
        QStringList texts;
        for (QAction *a : menu->actions())
            texts << a->text().remove(QLatin1Char('&'));
        EXPECT_EQ(texts, (QStringList{QStringLiteral("New File..."), QStringLiteral("Open File..."), QStringLiteral("Save"),
                                      QStringLiteral("Save File As..."), QStringLiteral("Export..."),
                                      QStringLiteral("Import..."), QString(), QStringLiteral("Deleted notes..."),
                                      QStringLiteral("Restore from backup...")}));
    }
    EXPECT_EQ(form->File1->title(), QStringLiteral("File..."));

    form->show();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 4), form->lblFile->mapToGlobal(QPointF(3, 4)),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(form->lblFile, &press);
    EXPECT_TRUE(form->mnuFile->isVisible());
    form->mnuFile->hide();

    form->File1->actions().at(1)->trigger();  // Open File...
    EXPECT_EQ(dialogs->openRequests.size(), 1u);
}

} // namespace
