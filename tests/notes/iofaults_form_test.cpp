// The disk failing under the main window while it steps through notes: a
// full disk, the notes file replaced by a folder, the settings folder
// removed. Each ends the step with a message that says why and offers Save
// As, keeps the typed text in the editor and leaves the file as it was.

#include "notesfixture.h"

#include "platform/atomicfile.h"
#include "settings/settingstable.h"

#include <cerrno>

namespace s = tl::setting;

namespace {

using IoFaultTest = NotesFormTest;

struct StepFault {
    const char *name;
    std::function<void(const QString &file)> apply;
    const char *reason;  // in the error box's message
};

class StepFaults : public NotesFormTest, public testing::WithParamInterface<StepFault> {
protected:
    void TearDown() override
    {
        tl::setWriteFaultHook({});
        NotesFormTest::TearDown();
    }
};

TEST_P(StepFaults, TheStepStopsWithAMessageAndTheEditStaysInTheEditor)
{
    const QString file = notesFile(QStringLiteral("Diary.nts"), {QStringLiteral("one"), QStringLiteral("two")});
    open(file);
    type(QStringLiteral(" typed"));
    const QByteArray before = tltest::readFile(file);
    GetParam().apply(file);

    dialogs->answers = {tl::MsgResult::No};
    form->cmdNext->click();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    const QString told = dialogs->boxes[0].text;
    EXPECT_TRUE(told.contains(QStringLiteral("Diary.nts"))) << told.toStdString();
    EXPECT_TRUE(told.contains(QLatin1String(GetParam().reason))) << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("Save it under another name?"))) << told.toStdString();
    EXPECT_EQ(editorText(), QStringLiteral("one typed"));
    EXPECT_EQ(form->CurrentNote(), 0);
    if (QFileInfo(file).isFile()) {
        EXPECT_EQ(tltest::readFile(file), before);
    }
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("Diary")),
              QFileInfo(file).isFile() ? QStringList{QStringLiteral("Diary.nts")} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StepFaults,
    testing::Values(
        StepFault{"FullDisk", [](const QString &) { tl::setWriteFaultHook([] { return ENOSPC; }); },
                  "No space left on device"},
        StepFault{"FullAtFlush",
                  [](const QString &) {
                      tl::setWriteFaultHook([calls = 0]() mutable { return calls++ > 0 ? ENOSPC : 0; });
                  },
                  "No space left on device"},
        StepFault{"ReplacedByAFolder",
                  [](const QString &file) {
                      QFile::remove(file);
                      QDir().mkpath(file);
                  },
                  "no longer a notes file"},
        StepFault{"Deleted", [](const QString &file) { QFile::remove(file); }, "no longer a notes file"}),
    [](const auto &info) { return std::string(info.param.name); });

// With room on the disk again, the next step stores the edit the full disk
// refused: nothing typed is lost.
TEST_F(IoFaultTest, AfterAFullDiskTheNextStepStoresTheEdit)
{
    const QString file = notesFile(QStringLiteral("Diary.nts"), {QStringLiteral("one"), QStringLiteral("two")});
    open(file);
    type(QStringLiteral(" typed"));
    tl::setWriteFaultHook([] { return ENOSPC; });
    dialogs->answers = {tl::MsgResult::No};
    form->cmdNext->click();
    tl::setWriteFaultHook({});
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    form->cmdNext->click();
    EXPECT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(editorText(), QStringLiteral("two"));
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("one typed"), QStringLiteral("two")}));
}

// Another program changes a note between two steps: the step stores the note
// shown and keeps the other program's change.
TEST_F(IoFaultTest, AChangeByAnotherProgramBetweenTwoStepsIsKept)
{
    const QString file = notesFile(QStringLiteral("Diary.nts"), {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    open(file);
    type(QStringLiteral(" typed"));
    tl::RecordStore other;
    other.saveNote(2, file, QStringLiteral("three, from elsewhere"));
    form->cmdNext->click();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("one typed"), QStringLiteral("two"), QStringLiteral("three, from elsewhere")}));
}

// The settings folder removed while the program runs: the next setting
// written makes it again, without a message.
TEST_F(IoFaultTest, ASettingsFolderRemovedWhileRunningIsMadeAgain)
{
    set(s::AuthorName, QStringLiteral("Ann"));
    const QString config = dir + QStringLiteral("/config");
    ASSERT_TRUE(QFileInfo::exists(config + QStringLiteral("/settings.conf")));
    ASSERT_TRUE(QDir(config).removeRecursively());
    set(s::CompanyName, QStringLiteral("Leaf"));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(tltest::readFile(config + QStringLiteral("/settings.conf")).contains("Leaf"));
}

} // namespace
