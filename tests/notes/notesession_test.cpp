// The notes session without a window: storing the note shown into a notes
// file that another writer changes, what the window is told to show and say.

#include "notes/notesession.h"
#include "platform/error.h"
#include "support/tempenv.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

#include <functional>

namespace {

QStringList notesOf(const QString &file)
{
    tl::RecordStore store;
    QStringList notes;
    const int count = store.noteCount(file);
    for (int i = 0; i < count; ++i)
        notes << store.loadNote(i, file);
    return notes;
}

QString notesFile(const QStringList &notes)
{
    const QString path = tltest::freshFolder() + QStringLiteral("/Synced.nts");
    tl::RecordStore store;
    store.saveNote(0, path, {});
    for (int i = 0; i < notes.size(); ++i)
        store.saveNote(i, path, notes[i]);
    return path;
}

struct StoreCase {
    const char *name;
    int shown;  // the note loaded
    bool edited;
    // The other writer, between the load and the store.
    std::function<void(tl::RecordStore &, const QString &)> outside;
    QStringList expected;  // the file afterwards
    int note;              // the note shown afterwards
    bool moved;
    const char *told;  // the information bar's notice; null: nothing told
};

void PrintTo(const StoreCase &c, std::ostream *os)
{
    *os << c.name;
}

class SessionStore : public testing::TestWithParam<StoreCase> {};

TEST_P(SessionStore, StoresOnlyTheNoteShownAndSaysWhatHappenedOutside)
{
    const StoreCase &c = GetParam();
    const QString file = notesFile({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    tl::NotesSession session;
    session.file().adopt(file);
    ASSERT_EQ(session.loadNote(c.shown, file), QStringList({"one", "two", "three"})[c.shown]);
    session.file().shownEdited = c.edited;
    tl::RecordStore other;
    if (c.outside)
        c.outside(other, file);

    const tl::NotesSession::Stored stored = session.storeShown(file, QStringLiteral("ours, longer"));

    EXPECT_EQ(notesOf(file), c.expected);
    EXPECT_TRUE(stored.looked);
    EXPECT_EQ(stored.from, c.shown);
    EXPECT_EQ(session.file().note, c.note);
    EXPECT_EQ(session.file().noteCount, c.expected.size());
    EXPECT_EQ(stored.moved, c.moved);
    ASSERT_EQ(stored.keptBoth.has_value(), c.told != nullptr);
    if (c.told) {
        EXPECT_EQ(stored.keptBoth->bar, QString::fromUtf8(c.told));
        EXPECT_TRUE(stored.keptBoth->message.contains(QStringLiteral("\"Synced.nts\""))) << stored.keptBoth->message.toStdString();
    }
    EXPECT_TRUE(session.file().pending.empty());  // no working copy
    // What tells the next store our edit from theirs: the note as written now.
    const tl::sync::ShownNote &shown = session.file().shown;
    const bool written = c.expected.contains(QStringLiteral("ours, longer"));
    EXPECT_EQ(shown.index, c.note);
    EXPECT_EQ(shown.stored, written ? QByteArray("ours, longer") : QByteArray("two"));
    if (written)
        EXPECT_EQ(shown.before, c.expected[c.note - 1].toUtf8());
    EXPECT_FALSE(session.file().shownEdited);
}

void changeTwo(tl::RecordStore &other, const QString &file)
{
    other.saveNote(1, file, QStringLiteral("two theirs"));
}

INSTANTIATE_TEST_SUITE_P(
    NotesSession, SessionStore,
    testing::Values(
        StoreCase{"AsLoaded", 1, true, {}, {"one", "ours, longer", "three"}, 1, false, nullptr},
        StoreCase{"ChangedOutsideTooBothKept", 1, true, changeTwo,
                  {"one", "ours, longer", "two theirs", "three"}, 1, true,
                  " - changed outside too: both kept, the other as note 3"},
        StoreCase{"RemovedOutsideKeptAgain", 2, true,
                  [](tl::RecordStore &other, const QString &file) { other.removeNote(2, file); },
                  {"one", "two", "ours, longer"}, 2, false, " - removed outside: kept again"},
        StoreCase{"FoundAfterANoteAddedBefore", 1, true,
                  [](tl::RecordStore &other, const QString &file) {
                      other.saveNote(3, file, QStringLiteral("three"));
                      other.saveNote(1, file, QStringLiteral("two"));
                      other.saveNote(2, file, QStringLiteral("two"));
                      other.saveNote(1, file, QStringLiteral("new"));
                  },
                  {"one", "new", "ours, longer", "three"}, 2, true, nullptr},
        StoreCase{"UneditedChangedOutsideWritesNothing", 1, false, changeTwo, {"one", "two theirs", "three"}, 1, false,
                  nullptr}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(NotesSession, AWorkingCopyKeepsEveryStoreForItsArchive)
{
    const QString file = notesFile({QStringLiteral("one"), QStringLiteral("two")});
    tl::NotesSession session;
    session.file().adopt(file);
    session.file().archive = QStringLiteral("/elsewhere/Synced.znts");
    session.loadNote(1, file);
    session.file().shownEdited = true;
    tl::RecordStore().saveNote(1, file, QStringLiteral("two theirs"));

    const tl::NotesSession::Stored stored = session.storeShown(file, QStringLiteral("two ours"));

    ASSERT_EQ(session.file().pending.size(), 1u);
    const tl::sync::PendingEdit &edit = session.file().pending.front();
    EXPECT_EQ(edit.kind, tl::sync::PendingEdit::Store);
    EXPECT_EQ(edit.shown.index, 1);
    EXPECT_EQ(edit.shown.stored, QByteArray("two"));  // as loaded, to be found again in the archive's notes
    EXPECT_EQ(edit.text, QStringLiteral("two ours"));
    // The notice names the archive, the file the user knows.
    ASSERT_TRUE(stored.keptBoth);
    EXPECT_TRUE(stored.keptBoth->message.contains(QStringLiteral("\"Synced.znts\"")));

    // The same text again is no edit: nothing more to replay.
    session.storeShown(file, QStringLiteral("two ours"));
    EXPECT_EQ(session.file().pending.size(), 1u);
}

TEST(NotesSession, ANoteNotLoadedYetGoesWhereItStands)
{
    const QString file = notesFile({QStringLiteral("one"), QStringLiteral("two")});
    tl::NotesSession session;
    session.file().adopt(file);
    session.file().note = 1;
    session.file().shownEdited = true;

    const tl::NotesSession::Stored stored = session.storeShown(file, QStringLiteral("two ours"));

    EXPECT_FALSE(stored.looked);
    EXPECT_FALSE(stored.keptBoth);
    EXPECT_EQ(notesOf(file), (QStringList{"one", "two ours"}));
    EXPECT_EQ(session.file().note, 1);
    EXPECT_EQ(session.file().shown.index, -1);
    EXPECT_FALSE(session.file().shownEdited);  // the file holds it now
}

TEST(NotesSession, LoadingANoteOfTheOpenFileMakesItTheNoteShown)
{
    const QString file = notesFile({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    tl::NotesSession session;
    session.file().adopt(file);
    EXPECT_EQ(session.loadNote(2, file), QStringLiteral("three"));
    EXPECT_EQ(session.file().note, 2);
    EXPECT_EQ(session.file().noteCount, 3);
    EXPECT_EQ(session.file().shown.index, 2);
    EXPECT_EQ(session.file().shown.stored, QByteArray("three"));
    EXPECT_EQ(session.file().shown.before, QByteArray("two"));

    // Another file's note is only read.
    const QString another = notesFile({QStringLiteral("x")});
    EXPECT_EQ(session.loadNote(0, another), QStringLiteral("x"));
    EXPECT_EQ(session.file().shown.index, 2);
}

TEST(NotesSession, AddAppendsAfterEveryNoteTheFileHoldsNowAndShowsIt)
{
    const QString file = notesFile({QStringLiteral("one"), QStringLiteral("two")});
    tl::NotesSession session;
    session.file().adopt(file);
    session.file().archive = QStringLiteral("/elsewhere/Synced.znts");
    session.loadNote(1, file);
    session.file().shownEdited = true;
    session.file().unheld = 1;
    tl::RecordStore().saveNote(2, file, QStringLiteral("theirs"));

    session.appendNote();

    EXPECT_EQ(notesOf(file), (QStringList{"one", "two", "theirs", ""}));
    const tl::OpenFile &open = session.file();
    EXPECT_EQ(open.note, 3);
    EXPECT_EQ(open.noteCount, 4);
    EXPECT_EQ(open.shown.index, 3);
    EXPECT_TRUE(open.shown.stored.isEmpty());
    EXPECT_FALSE(open.shown.before);
    EXPECT_FALSE(open.shownEdited);
    EXPECT_EQ(open.unheld, 0u);
    EXPECT_FALSE(open.hasNextNote());
    ASSERT_EQ(open.pending.size(), 1u);
    EXPECT_EQ(open.pending.front().kind, tl::sync::PendingEdit::Append);
}

TEST(NotesSession, AddThatCannotWriteChangesNothing)
{
    const QString file = notesFile({QStringLiteral("one")});
    tl::NotesSession session;
    session.file().adopt(file);
    session.loadNote(0, file);
    session.file().shownEdited = true;
    QFile::setPermissions(file, QFile::ReadOwner);

    EXPECT_THROW(session.appendNote(), tl::Error);

    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(notesOf(file), QStringList{"one"});
    EXPECT_EQ(session.file().note, 0);
    EXPECT_EQ(session.file().noteCount, 1);
    EXPECT_EQ(session.file().shown.index, 0);
    EXPECT_TRUE(session.file().shownEdited);
}

struct FollowCase {
    const char *name;
    bool edited;      // the editor was changed since the load
    QString editor;   // what it holds
    std::function<void(tl::RecordStore &, const QString &)> outside;
    tl::NotesSession::Followed::Action action;
    int note;   // the note shown afterwards
    int count;  // the notes the session knows of afterwards
};

void PrintTo(const FollowCase &c, std::ostream *os)
{
    *os << c.name;
}

class SessionFollow : public testing::TestWithParam<FollowCase> {};

TEST_P(SessionFollow, TheNoteShownFollowsAnOutsideChangeUnlessEdited)
{
    const FollowCase &c = GetParam();
    const QString file = notesFile({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    tl::NotesSession session;
    session.file().adopt(file);
    session.loadNote(1, file);
    session.file().shownEdited = c.edited;
    tl::RecordStore other;
    c.outside(other, file);

    const tl::NotesSession::Followed followed = session.followOutsideChange(c.editor);

    EXPECT_EQ(followed.action, c.action);
    EXPECT_EQ(session.file().note, c.note);
    EXPECT_EQ(session.file().noteCount, c.count);
    if (c.action != tl::NotesSession::Followed::KeepEdit) {
        EXPECT_EQ(followed.from, 1);
        EXPECT_EQ(followed.to, c.note);
        EXPECT_EQ(followed.count, c.count);
    }
    EXPECT_EQ(tl::RecordStore().loadNote(1, file), c.action == tl::NotesSession::Followed::Moved ? "new" : "two theirs")
        << "the file is only read";
}

void addBefore(tl::RecordStore &other, const QString &file)
{
    other.saveNote(3, file, QStringLiteral("three"));
    other.saveNote(2, file, QStringLiteral("two"));
    other.saveNote(1, file, QStringLiteral("new"));
}

INSTANTIATE_TEST_SUITE_P(
    NotesSession, SessionFollow,
    testing::Values(
        FollowCase{"AnEditStays", true, QStringLiteral("two ours"), changeTwo, tl::NotesSession::Followed::KeepEdit, 1,
                   3},
        FollowCase{"MovedByANoteAddedBefore", false, QStringLiteral("two"), addBefore,
                   tl::NotesSession::Followed::Moved, 2, 4},
        FollowCase{"ChangedOutsideIsReadAgain", false, QStringLiteral("two"), changeTwo,
                   tl::NotesSession::Followed::Reload, 1, 3},
        // Typed and typed back: no edit.
        FollowCase{"AnEditTypedBackIsNone", true, QStringLiteral("two"), changeTwo,
                   tl::NotesSession::Followed::Reload, 1, 3}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(NotesSession, AChangeSeenIsOursTheArchivesOrTheNotesFiles)
{
    using Change = tl::NotesSession::Change;
    const QString file = notesFile({QStringLiteral("one"), QStringLiteral("two")});
    tl::NotesSession session;
    session.file().adopt(file);
    session.loadNote(0, file);
    session.file().shownEdited = true;
    EXPECT_TRUE(session.follower().refresh());
    EXPECT_EQ(session.follower().path(), file);

    session.storeShown(file, QStringLiteral("one ours"));
    EXPECT_EQ(session.changeSeen(false), Change::Own);
    EXPECT_EQ(session.changeSeen(true), Change::Notes);  // a file put back is read again
    tl::RecordStore().saveNote(1, file, QStringLiteral("two theirs"));
    EXPECT_EQ(session.changeSeen(false), Change::Notes);

    // Once another file is open, a change told of the old one is not its.
    session.file().adopt(notesFile({QStringLiteral("x")}));
    EXPECT_EQ(session.changeSeen(true), Change::Own);

    // A working copy follows its archive.
    session.file().archive = tltest::freshFolder() + QStringLiteral("/Synced.znts");
    EXPECT_EQ(session.watchedPath(), session.file().archive);
    session.follower().refresh();
    EXPECT_EQ(session.changeSeen(false), Change::Archive);
    session.file().clear();
    EXPECT_TRUE(session.watchedPath().isEmpty());
}

} // namespace

TEST(NotesSession, ARestoredNoteLeavesTheNoteShownAsItIsAndAWorkingCopyKeepsItsTrashEdits)
{
    const QString file = notesFile({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    tl::NotesSession session;
    session.file().adopt(file);
    session.file().archive = QStringLiteral("/elsewhere/Synced.znts");
    session.records().removeNote(0, file);
    session.records().removeNote(0, file);
    session.loadNote(0, file);  // "three"
    const std::vector<tl::TrashedNote> trashed = session.trashed();
    ASSERT_EQ(trashed.size(), 2u);

    EXPECT_EQ(session.restoreTrashed(trashed[0]), 0);  // "one" before the note shown
    EXPECT_EQ(session.file().note, 1);
    EXPECT_EQ(session.file().shown.index, 1);
    EXPECT_EQ(session.file().noteCount, 2);
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("one"), QStringLiteral("three")}));
    EXPECT_EQ(session.restoreTrashed(trashed[0]), -1);

    EXPECT_TRUE(session.discardTrashed(session.trashed().front()));
    EXPECT_FALSE(session.emptyTrash());
    ASSERT_EQ(session.file().pending.size(), 2u);
    EXPECT_EQ(session.file().pending[0].kind, tl::sync::PendingEdit::Restore);
    EXPECT_EQ(session.file().pending[0].text, QStringLiteral("one"));
    EXPECT_EQ(session.file().pending[1].kind, tl::sync::PendingEdit::Discard);
    EXPECT_EQ(session.file().pending[1].text, QStringLiteral("two"));
}
