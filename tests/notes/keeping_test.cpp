// Text the editor holds that cannot go where it belongs: a notes file that
// turned read-only under an edit, text typed with no file open, a way out
// with nobody to answer. Nothing of it is dropped without the user's word.

#include "notesfixture.h"

#include "notes/recovery.h"
#include "settings/TfrmPrefer.h"
#include "settings/settingstable.h"

#include <QCheckBox>
#include <QComboBox>

namespace s = tl::setting;

namespace {

class KeepingTest : public NotesFormTest {
protected:
    // rw.nts with three notes, note 1 edited, then made read-only outside.
    QString editThenLock()
    {
        const QString file = notesFile(QStringLiteral("rw.nts"), {QStringLiteral("one"), QStringLiteral("two"),
                                                                  QStringLiteral("three")});
        open(file);
        type(QStringLiteral(" typed"));
        makeReadOnly(file);
        before = tltest::readFile(file);
        return file;
    }

    void typeScratch(const QString &text)
    {
        ASSERT_TRUE(form->CurrentFile().isEmpty());
        type(text);
    }

    static QStringList recovered()
    {
        return QDir(tl::recovery::folder()).entryList(QDir::Files);
    }

    QString recoveredText(const QString &name) const
    {
        return plain(QString::fromUtf8(tltest::readFile(tl::recovery::folder() + QLatin1Char('/') + name)));
    }

    QByteArray before;
};

struct Leave {
    const char *name;
    std::function<void(TForm1 &)> act;
};

class RefusedStore : public KeepingTest, public testing::WithParamInterface<Leave> {};

// Every way away from the edited note stops, names the file and the reason,
// keeps the edit in the editor and offers Save As.
TEST_P(RefusedStore, StopsSaysWhyAndKeepsTheEdit)
{
    const QString file = editThenLock();
    dialogs->answers = {tl::MsgResult::No};
    GetParam().act(*form);

    ASSERT_EQ(dialogs->boxes.size(), 1u);
    const tltest::AskedBox &box = dialogs->boxes[0];
    EXPECT_TRUE(box.text.contains(QDir::toNativeSeparators(file))) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QStringLiteral("read-only"))) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QStringLiteral("Save it under another name?"))) << box.text.toStdString();
    EXPECT_EQ(box.buttons, tl::MsgButtons::YesNo);
    EXPECT_EQ(editorText(), QStringLiteral("one typed"));
    EXPECT_EQ(form->CurrentNote(), 0);
    EXPECT_EQ(tltest::readFile(file), before);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Ways, RefusedStore,
    testing::Values(Leave{"Next", [](TForm1 &f) { f.cmdNext->click(); }},
                    Leave{"AltDigit", [](TForm1 &f) { f.JumpToNote(3); }},
                    Leave{"JumpPopup", [](TForm1 &f) { f.showJumpedNote(2); }},
                    Leave{"Add", [](TForm1 &f) { f.cmdNew->click(); }},
                    Leave{"FindInAnotherNote",
                          [](TForm1 &f) {
                              f.cbSeek->setEditText(QStringLiteral("three"));
                              f.cmdSearch->click();
                          }}),
    [](const auto &info) { return std::string(info.param.name); });

// The step keys reach a document too: it is not stored as a note, nor asked about.
TEST_F(KeepingTest, AStepWithADocumentOpenWritesNothing)
{
    const QString file = tltest::writeFile(path(QStringLiteral("plain.txt")), "plain");
    open(file);
    type(QStringLiteral(" more"));
    form->JumpToNote(2);
    form->cmdNextClick();
    form->cmdBackClick();
    EXPECT_TRUE(dialogs->boxes.empty());
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(tltest::readFile(file), QByteArray("plain"));
    EXPECT_EQ(editorText(), QStringLiteral("plain more"));
}

TEST_F(KeepingTest, SaveAsFromTheRefusalPutsTheEditIntoTheNewFile)
{
    const QString file = editThenLock();
    const QString copy = path(QStringLiteral("copy.nts"));
    dialogs->answers = {tl::MsgResult::Yes};
    dialogs->saveNames = {copy};
    form->cmdNext->click();

    EXPECT_EQ(form->CurrentFile(), copy);
    EXPECT_EQ(notesOf(copy), (QStringList{QStringLiteral("one typed"), QStringLiteral("two"), QStringLiteral("three")}));
    EXPECT_EQ(tltest::readFile(file), before);
    // The next step goes on in the copy.
    form->cmdNext->click();
    EXPECT_EQ(editorText(), QStringLiteral("two"));
    EXPECT_EQ(dialogs->boxes.size(), 1u);
}

// Hiding keeps the text in the editor either way: it says so and hides.
TEST_F(KeepingTest, HidingWithARefusedStoreTellsAndHides)
{
    editThenLock();
    form->show();
    dialogs->answers = {tl::MsgResult::No};
    form->cmdHideClick();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QStringLiteral("read-only")));
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(editorText(), QStringLiteral("one typed"));
}

struct ExitAnswer {
    const char *name;
    tl::MsgResult answer;
    bool exits;
    QStringList savedNotes;  // in "kept.nts", when Save As was chosen
};

class ExitWithScratchText : public KeepingTest, public testing::WithParamInterface<ExitAnswer> {};

TEST_P(ExitWithScratchText, AsksSaveAsDiscardOrCancel)
{
    typeScratch(QStringLiteral("scratch words"));
    dialogs->answers = {GetParam().answer};
    dialogs->saveNames = {path(QStringLiteral("kept.nts"))};
    form->Exit1Click();

    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].buttons, tl::MsgButtons::SaveAsDiscardCancel);
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QStringLiteral("in no file"))) << dialogs->boxes[0].text.toStdString();
    EXPECT_EQ(form->ExitRequested, GetParam().exits);
    EXPECT_EQ(editorText(), QStringLiteral("scratch words"));
    if (!GetParam().savedNotes.isEmpty())
        EXPECT_EQ(notesOf(path(QStringLiteral("kept.nts"))), GetParam().savedNotes);
    else
        EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("kept.nts"))));
    form->FormDestroy();
    EXPECT_TRUE(recovered().isEmpty()) << recovered().join(QLatin1Char(' ')).toStdString();  // a person answered
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ExitWithScratchText,
    testing::Values(ExitAnswer{"Cancel", tl::MsgResult::Cancel, false, {}},
                    ExitAnswer{"Discard", tl::MsgResult::No, true, {}},
                    ExitAnswer{"SaveAs", tl::MsgResult::Yes, true, {QStringLiteral("scratch words")}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(KeepingTest, ExitAsksNothingWithTheConfirmationOffOrNothingTyped)
{
    EXPECT_EQ(form->GetFromReg(s::AskExit), QStringLiteral("true"));  // on by default
    form->Exit1Click();  // an empty editor
    EXPECT_TRUE(form->ExitRequested);
    form->ExitRequested = false;

    typeScratch(QStringLiteral("scratch"));
    QCheckBox *box = form->preferences().cbExit;
    ASSERT_TRUE(box->isChecked());
    box->click();
    EXPECT_EQ(form->GetFromReg(s::AskExit), QStringLiteral("false"));
    form->Exit1Click();
    EXPECT_TRUE(form->ExitRequested);
    EXPECT_TRUE(dialogs->boxes.empty());
}

TEST_F(KeepingTest, ExitWithARefusedStoreAsksAndCancelKeepsTheProgram)
{
    const QString file = editThenLock();
    dialogs->answers = {tl::MsgResult::Cancel, tl::MsgResult::No};
    form->Exit1Click();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].buttons, tl::MsgButtons::SaveAsDiscardCancel);
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QStringLiteral("read-only")));
    EXPECT_FALSE(form->ExitRequested);
    EXPECT_EQ(editorText(), QStringLiteral("one typed"));

    form->Exit1Click();  // Discard: the way out drops it, as told
    EXPECT_TRUE(form->ExitRequested);
    form->FormDestroy();
    EXPECT_TRUE(recovered().isEmpty());
    EXPECT_EQ(tltest::readFile(file), before);
}

class UnattendedEnd;
struct Unattended {
    const char *name;
    std::function<void(UnattendedEnd &)> setUp;
    QString recoveredSuffix;  // of the one file kept; empty: none
    QString text;             // what it holds
};

class UnattendedEnd : public KeepingTest, public testing::WithParamInterface<Unattended> {
public:
    using KeepingTest::editThenLock;
    using KeepingTest::notesFile;
    using KeepingTest::open;
    using KeepingTest::path;
    using KeepingTest::set;
    using KeepingTest::type;
};

// Ended with nobody to ask (a signal, the session's end): what cannot be
// stored goes to one recovery file; what was stored leaves none.
TEST_P(UnattendedEnd, KeepsWhatCouldNotBeStored)
{
    GetParam().setUp(*this);
    form->setUnattended();
    form->Exit1Click();
    form->FormDestroy();
    EXPECT_TRUE(dialogs->boxes.empty());

    const QStringList files = recovered();
    if (GetParam().recoveredSuffix.isEmpty()) {
        EXPECT_TRUE(files.isEmpty()) << files.join(QLatin1Char(' ')).toStdString();
        return;
    }
    ASSERT_EQ(files.size(), 1) << files.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(files[0].endsWith(GetParam().recoveredSuffix)) << files[0].toStdString();
    EXPECT_EQ(recoveredText(files[0]).trimmed(), GetParam().text);
    EXPECT_EQ(QFile::permissions(tl::recovery::folder() + QLatin1Char('/') + files[0]),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnattendedEnd,
    testing::Values(
        Unattended{"TextInNoFile", [](UnattendedEnd &t) { t.type(QStringLiteral("scratch words")); },
                   QStringLiteral(" Untitled.rtf"), QStringLiteral("scratch words")},
        Unattended{"ReadOnlyNotesFile", [](UnattendedEnd &t) { t.editThenLock(); },
                   QStringLiteral(" rw.nts note 1.rtf"), QStringLiteral("one typed")},
        Unattended{"DocumentWhoseQuestionCannotBeAsked",
                   [](UnattendedEnd &t) {
                       t.set(s::AskBySave, QStringLiteral("true"));
                       t.open(tltest::writeFile(t.path(QStringLiteral("Notes.txt")), "plain text"));
                       t.type(QStringLiteral(" more"));
                   },
                   QStringLiteral(" Notes.txt"), QStringLiteral("plain text more")},
        Unattended{"EverythingStored",
                   [](UnattendedEnd &t) {
                       t.open(t.notesFile(QStringLiteral("ok.nts"), {QStringLiteral("one")}));
                       t.type(QStringLiteral(" typed"));
                   },
                   QString(), QString()}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(KeepingTest, TheNextStartOffersTheRecoveredTextOnce)
{
    const QString kept = tl::recovery::keep(QStringLiteral("Untitled"), QStringLiteral(".txt"), "saved words");
    dialogs->answers = {tl::MsgResult::Yes};
    form->tellRecovered();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QDir::toNativeSeparators(kept))) << dialogs->boxes[0].text.toStdString();
    EXPECT_EQ(form->CurrentFile(), kept);
    EXPECT_EQ(editorText(), QStringLiteral("saved words"));

    form->tellRecovered();
    EXPECT_EQ(dialogs->boxes.size(), 1u);
}

} // namespace
