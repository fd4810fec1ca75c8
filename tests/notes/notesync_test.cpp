// Storing the note shown into a notes file that another writer changes:
// where the note is found again, and what a store does to the file.

#include "notes/notesync.h"
#include "notes/recordstore.h"
#include "support/tempenv.h"

#include <QFile>
#include <gtest/gtest.h>

#include <vector>

using tl::sync::Plan;

namespace {

class Notes : public tl::sync::NoteList {
public:
    explicit Notes(std::vector<QByteArray> notes) : m_notes(std::move(notes)) {}
    int count() const override { return int(m_notes.size()); }
    bool holds(int index, QByteArrayView stored) const override { return QByteArrayView(m_notes[size_t(index)]) == stored; }

private:
    std::vector<QByteArray> m_notes;
};

struct LocateCase {
    const char *name;
    std::vector<QByteArray> notes;
    int index;
    QByteArray stored;
    int expected;
};

class Locate : public testing::TestWithParam<LocateCase> {};

TEST_P(Locate, FindsTheNearestNoteHoldingTheText)
{
    const LocateCase &c = GetParam();
    EXPECT_EQ(tl::sync::locate(Notes(c.notes), c.index, c.stored), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Notes, Locate,
    testing::Values(LocateCase{"AtItsPlace", {"a", "b", "c"}, 1, "b", 1},
                    LocateCase{"MovedOnByNotesAddedBefore", {"x", "y", "a", "b", "c"}, 1, "b", 3},
                    LocateCase{"MovedBackByANoteRemovedBefore", {"b", "c"}, 1, "b", 0},
                    LocateCase{"IndexBeyondTheNotesLeft", {"a", "b"}, 5, "b", 1},
                    LocateCase{"TheNearerOfTwoCopies", {"b", "x", "y", "z", "b"}, 3, "b", 4},
                    LocateCase{"BeforeWinsATie", {"b", "x", "b"}, 1, "b", 0},
                    LocateCase{"ChangedOutside", {"a", "B!", "c"}, 1, "b", -1},
                    LocateCase{"NoNotes", {}, 0, "", -1},
                    LocateCase{"APrefixIsNotTheNote", {"a", "bb", "c"}, 1, "b", -1}),
    [](const auto &info) { return std::string(info.param.name); });

struct PlanCase {
    const char *name;
    std::vector<QByteArray> notes;  // the file as it is now
    int shownIndex;
    QByteArray loaded;  // the note shown as it was loaded
    QByteArray ours;    // the editor's note now
    bool edited;
    Plan::Action action;
    int index;
    bool lost;
    std::optional<QByteArray> before = std::nullopt;  // the note before it when loaded
};

class PlanStore : public testing::TestWithParam<PlanCase> {};

TEST_P(PlanStore, NeverWritesOverTheOtherSide)
{
    const PlanCase &c = GetParam();
    const Plan plan = tl::sync::planStore(Notes(c.notes), {c.shownIndex, c.loaded, c.before}, c.ours, c.edited);
    EXPECT_EQ(plan.action, c.action);
    EXPECT_EQ(plan.index, c.index);
    EXPECT_EQ(plan.lost, c.lost);
}

INSTANTIATE_TEST_SUITE_P(
    Notes, PlanStore,
    testing::Values(
        PlanCase{"EditAtItsPlace", {"a", "b", "c"}, 1, "b", "b2", true, Plan::Replace, 1, false},
        PlanCase{"EditOfANoteMovedOn", {"new", "a", "b"}, 1, "b", "b2", true, Plan::Replace, 2, false},
        PlanCase{"EditOfTheLastNoteAfterTheFirstWasRemoved", {"b"}, 1, "b", "b2", true, Plan::Replace, 0, false},
        PlanCase{"AnUneditedNoteInTheEditorsFormIsWritten", {"a", "b"}, 1, "b", "b2", false, Plan::Replace, 1, false},
        PlanCase{"AnEditBackToTheLoadedTextIsNone", {"a", "b"}, 1, "b", "b", true, Plan::Nothing, 1, false},
        PlanCase{"BothChangedIt", {"a", "theirs", "c"}, 1, "b", "ours", true, Plan::Insert, 1, true},
        PlanCase{"RemovedOutsideWhileEditedAsTheLast", {"a"}, 1, "b", "ours", true, Plan::Insert, 1, true},
        PlanCase{"RemovedOutsideWhileEditedInTheMiddle", {"a", "c"}, 1, "b", "ours", true, Plan::Insert, 1, true},
        PlanCase{"ChangedOutsideNotEditedShowsTheirs", {"a", "theirs"}, 1, "b", "b", false, Plan::Nothing, 1, true},
        PlanCase{"RemovedOutsideNotEditedShowsTheLast", {"a"}, 1, "b", "b", false, Plan::Nothing, 0, true},
        PlanCase{"TheOtherSideHasOurEditAlready", {"a", "ours"}, 1, "b", "ours", true, Plan::Nothing, 1, false},
        PlanCase{"AllNotesRemovedOutside", {}, 0, "b", "ours", true, Plan::Insert, 0, true},
        PlanCase{"BothChangedItAfterNotesPutBefore", {"x", "y", "a", "theirs"}, 1, "b", "ours", true, Plan::Insert, 3,
                 true, "a"},
        PlanCase{"BothChangedItAndTheNoteBeforeIsGone", {"x", "theirs"}, 1, "b", "ours", true, Plan::Insert, 1, true,
                 "a"}),
    [](const auto &info) { return std::string(info.param.name); });

// The file side: the store puts ours into the file as it is now.
class StoreShown : public testing::Test {
protected:
    void SetUp() override { path = tltest::freshFolder() + QStringLiteral("/Sync.nts"); }

    void write(const QStringList &notes)
    {
        tl::RecordStore other;  // the other side, with its own view of the file
        if (!QFile::exists(path))
            other.saveNote(0, path, {});
        int had = 0;
        other.loadNote(0, path, &had);
        for (int i = 0; i < notes.size(); ++i)
            other.saveNote(i, path, notes[i]);
        for (int i = had - 1; i >= int(notes.size()); --i)
            other.removeNote(i, path);
    }
    QStringList notes()
    {
        tl::RecordStore reader;
        QStringList texts;
        int count = 0;
        reader.loadNote(0, path, &count);  // counts whatever the file is named
        for (int i = 0; i < count; ++i)
            texts << reader.loadNote(i, path);
        return texts;
    }
    tl::sync::ShownNote load(int index)
    {
        const QString text = ours.loadNote(index, path);
        tl::sync::ShownNote shown{index, tl::sync::storedForm(text), std::nullopt};
        if (index > 0)
            shown.before = tl::sync::storedForm(ours.loadNote(index - 1, path));
        return shown;
    }

    QString path;
    tl::RecordStore ours;
};

TEST_F(StoreShown, TheOtherSidesEditOfAnotherNoteStays)
{
    write({QStringLiteral("one"), QStringLiteral("two")});
    const tl::sync::ShownNote shown = load(0);
    write({QStringLiteral("one"), QStringLiteral("two, theirs")});
    const auto stored = ours.storeShown(path, shown, QStringLiteral("one, ours"), true);
    EXPECT_TRUE(stored.written);
    EXPECT_EQ(notes(), (QStringList{QStringLiteral("one, ours"), QStringLiteral("two, theirs")}));
}

TEST_F(StoreShown, BothEditsOfOneNoteAreKeptOursFirst)
{
    write({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    const tl::sync::ShownNote shown = load(1);
    write({QStringLiteral("one"), QStringLiteral("two, theirs"), QStringLiteral("three")});
    const auto stored = ours.storeShown(path, shown, QStringLiteral("two, ours"), true);
    EXPECT_EQ(stored.plan.action, Plan::Insert);
    EXPECT_EQ(stored.plan.index, 1);
    EXPECT_EQ(stored.count, 4);
    EXPECT_EQ(notes(), (QStringList{QStringLiteral("one"), QStringLiteral("two, ours"), QStringLiteral("two, theirs"),
                                    QStringLiteral("three")}));
}

TEST_F(StoreShown, NotesAddedAndRemovedOutsideStay)
{
    write({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    const tl::sync::ShownNote shown = load(2);
    // One note removed before ours, two added before it and one after.
    write({QStringLiteral("new 1"), QStringLiteral("new 2"), QStringLiteral("two"), QStringLiteral("three"),
           QStringLiteral("new 3")});
    const auto stored = ours.storeShown(path, shown, QStringLiteral("three, ours"), true);
    EXPECT_EQ(stored.plan.index, 3);
    EXPECT_EQ(notes(), (QStringList{QStringLiteral("new 1"), QStringLiteral("new 2"), QStringLiteral("two"),
                                    QStringLiteral("three, ours"), QStringLiteral("new 3")}));
}

TEST_F(StoreShown, WithoutAnEditTheFileIsNotWritten)
{
    write({QStringLiteral("one"), QStringLiteral("two")});
    const tl::sync::ShownNote shown = load(1);
    write({QStringLiteral("one"), QStringLiteral("two, theirs")});
    const QByteArray before = tltest::readFile(path);
    const auto stored = ours.storeShown(path, shown, QStringLiteral("{\\rtf1 two}"), false);
    EXPECT_FALSE(stored.written);
    EXPECT_TRUE(stored.plan.lost);
    EXPECT_EQ(tltest::readFile(path), before);
    EXPECT_FALSE(ours.isAsLastWritten(path));
}

TEST_F(StoreShown, KnowsItsOwnWriteFromAnother)
{
    write({QStringLiteral("one")});
    const tl::sync::ShownNote shown = load(0);
    ours.storeShown(path, shown, QStringLiteral("one, ours"), true);
    EXPECT_TRUE(ours.isAsLastWritten(path));
    write({QStringLiteral("one, theirs")});
    EXPECT_FALSE(ours.isAsLastWritten(path));
}

TEST_F(StoreShown, EditsMadeOnAnOlderCopyAreMadeAgainOnTheNewFile)
{
    // Here: "one" deleted, a note added and written, "two" edited; there:
    // a note put first, "three" changed. The fresh copy has no .nts name.
    path = tltest::freshFolder() + QStringLiteral("/.Sync.nts.theirs");
    write({QStringLiteral("zero"), QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three theirs")});
    using E = tl::sync::PendingEdit;
    const std::vector<E> edits{
        {E::Remove, {0, "one", std::nullopt}, {}},
        {E::Append, {}, {}},
        {E::Store, {2, "", "three"}, QStringLiteral("added")},
        {E::Store, {0, "two", std::nullopt}, QStringLiteral("two ours")},
        {E::Store, {1, "three", "two ours"}, QStringLiteral("three ours")},
    };
    EXPECT_EQ(ours.replay(path, edits), 1);
    // "three ours" lost its note to the other side: it goes after the note
    // that stood before it here, though that one moved on there.
    EXPECT_EQ(notes(), (QStringList{QStringLiteral("zero"), QStringLiteral("two ours"), QStringLiteral("three ours"),
                                    QStringLiteral("three theirs"), QStringLiteral("added")}));
}

} // namespace
