#include "notes/notesxml.h"
#include "notes/recordstore.h"
#include "notes/trash.h"
#include "platform/error.h"
#include "support/tempenv.h"

#include <QFile>
#include <gtest/gtest.h>

#include <pugixml.hpp>

using tl::RecordStore;
using tl::TrashedNote;

namespace {

const char kFourNotes[] =
    "<root>\n  <info>\n    <lastupdate>01.02.2003</lastupdate>\n    <authorname/>\n    <companyname/>\n"
    "    <comments/>\n    <realpath/>\n    <compresslevel>0</compresslevel>\n  </info>\n  <notes>\n"
    "    <note>{\\rtf1 one}</note>\n    <note>{\\rtf1 two &amp; more\n\\par second line}</note>\n"
    "    <note>{\\rtf1 three}</note>\n    <note>{\\rtf1 four}</note>\n  </notes>\n</root>\n";

QString fourNotes()
{
    return tltest::writeFile(tltest::freshFolder() + QStringLiteral("/Diary.nts"), kFourNotes);
}

std::vector<QString> notesOf(const QString &path)
{
    RecordStore rs;
    int count = 0;
    rs.loadNote(0, path, &count);
    std::vector<QString> notes;
    for (int i = 0; i < count; ++i)
        notes.push_back(rs.loadNote(i, path));
    return notes;
}

std::vector<QString> trashTexts(const QString &path)
{
    std::vector<QString> texts;
    for (const TrashedNote &t : RecordStore().trashed(path))
        texts.push_back(t.text);
    return texts;
}

// Reads a notes file as a reader that knows only the information block and
// the notes does: the first two element children of the root, by position.
struct TwoChildReader {
    bool ok = false;
    std::vector<std::string> notes;
    explicit TwoChildReader(const QString &path)
    {
        pugi::xml_document doc;
        if (!doc.load_file(path.toLocal8Bit().constData()))
            return;
        pugi::xml_node children[2];
        int n = 0;
        for (pugi::xml_node c = doc.document_element().first_child(); c && n < 2; c = c.next_sibling())
            if (c.type() == pugi::node_element)
                children[n++] = c;
        if (n < 2 || std::string_view(children[0].name()) != "info")
            return;
        for (pugi::xml_node note = children[1].first_child(); note; note = note.next_sibling())
            if (note.type() == pugi::node_element)
                notes.push_back(note.child_value());
        ok = true;
    }
};

} // namespace

TEST(Trash, DeletedNoteGoesIntoTheTrashAfterTheNotesAndComesBackWhereItWas)
{
    const QString path = fourNotes();
    const std::vector<QString> before = notesOf(path);
    RecordStore rs;
    ASSERT_TRUE(rs.removeNote(1, path));

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(path.toLocal8Bit().constData()));
    const pugi::xml_node trash = tl::nthElement(doc.document_element(), 2);
    ASSERT_STREQ(trash.name(), "trash");
    const pugi::xml_node kept = trash.child("note");
    EXPECT_STREQ(kept.attribute("position").value(), "1");
    const QDateTime deleted = QDateTime::fromString(QString::fromUtf8(kept.attribute("deleted").value()), Qt::ISODate);
    ASSERT_TRUE(deleted.isValid());
    EXPECT_LE(qAbs(deleted.secsTo(QDateTime::currentDateTimeUtc())), 60);

    // Counted, loaded and stepped through, the notes are the three left.
    EXPECT_EQ(rs.noteCount(path), 3);
    EXPECT_EQ(RecordStore().noteCount(path), 3);
    EXPECT_EQ(notesOf(path), (std::vector<QString>{before[0], before[2], before[3]}));
    EXPECT_THROW(rs.loadNote(3, path), tl::Error);

    const std::vector<TrashedNote> trashed = rs.trashed(path);
    ASSERT_EQ(trashed.size(), 1u);
    EXPECT_EQ(trashed[0].text, before[1]);
    EXPECT_EQ(trashed[0].position, 1);
    EXPECT_EQ(tl::trash::firstLine(trashed[0].text), QStringLiteral("two & more"));

    EXPECT_EQ(rs.restoreTrashed(path, trashed[0]), 1);
    EXPECT_EQ(notesOf(path), before);
    EXPECT_TRUE(trashTexts(path).empty());
    // The trash emptied leaves the file as a reader of two blocks made it.
    EXPECT_FALSE(tltest::readFile(path).contains("<trash"));
    EXPECT_FALSE(tltest::readFile(path).contains("deleted="));
}

TEST(Trash, AFileWithoutATrashGetsNoneUntilANoteIsDeleted)
{
    const QString path = fourNotes();
    RecordStore rs;
    rs.saveNote(2, path, QStringLiteral("{\\rtf1 three, edited}"));
    rs.saveNote(4, path, QStringLiteral("{\\rtf1 five}"));
    rs.setParam(path, QStringLiteral("comments"), QStringLiteral("c"));
    EXPECT_FALSE(tltest::readFile(path).contains("trash"));
    EXPECT_TRUE(rs.trashed(path).empty());
    EXPECT_FALSE(rs.emptyTrash(path));
    rs.removeNote(0, path);
    EXPECT_TRUE(tltest::readFile(path).contains("<trash>"));
}

TEST(Trash, AReaderOfTheFirstTwoChildrenStillReadsAFileWithATrash)
{
    const QString path = fourNotes();
    RecordStore rs;
    rs.removeNote(3, path);
    rs.removeNote(0, path);
    const TwoChildReader reader(path);
    ASSERT_TRUE(reader.ok);
    EXPECT_EQ(reader.notes, (std::vector<std::string>{"{\\rtf1 two & more\n\\par second line}", "{\\rtf1 three}"}));
}

struct RestoreCase {
    const char *name;
    int deleted;         // note deleted first
    int removedAfter;    // then this many notes removed from the end, for good
    int expectedIndex;   // where it comes back
};

class TrashRestore : public ::testing::TestWithParam<RestoreCase> {};

TEST_P(TrashRestore, GoesBackToItsPositionOrTheEnd)
{
    const RestoreCase c = GetParam();
    const QString path = fourNotes();
    const QString text = notesOf(path)[size_t(c.deleted)];
    RecordStore rs;
    rs.removeNote(c.deleted, path);
    for (int i = 0; i < c.removedAfter; ++i) {
        rs.removeNote(rs.noteCount(path) - 1, path);
        rs.discardTrashed(path, rs.trashed(path).back());
    }
    const int count = rs.noteCount(path);
    const TrashedNote trashed = rs.trashed(path).front();
    EXPECT_EQ(rs.restoreTrashed(path, trashed), c.expectedIndex);
    EXPECT_EQ(rs.noteCount(path), count + 1);
    EXPECT_EQ(rs.loadNote(c.expectedIndex, path), text);
    // Restored once only.
    EXPECT_EQ(rs.restoreTrashed(path, trashed), -1);
}

INSTANTIATE_TEST_SUITE_P(, TrashRestore,
                         ::testing::Values(RestoreCase{"First", 0, 0, 0}, RestoreCase{"Middle", 2, 0, 2},
                                           RestoreCase{"Last", 3, 0, 3}, RestoreCase{"PlaceGone", 2, 2, 1},
                                           RestoreCase{"PlaceIsTheEndNow", 1, 2, 1}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Trash, DeleteForGoodAndEmptyAskForNothingElse)
{
    const QString path = fourNotes();
    RecordStore rs;
    rs.removeNote(0, path);
    rs.removeNote(0, path);
    rs.removeNote(0, path);
    EXPECT_EQ(trashTexts(path), (std::vector<QString>{QStringLiteral("{\\rtf1 one}"),
                                                      QStringLiteral("{\\rtf1 two & more\n\\par second line}"),
                                                      QStringLiteral("{\\rtf1 three}")}));
    std::vector<TrashedNote> trashed = rs.trashed(path);
    EXPECT_TRUE(rs.discardTrashed(path, trashed[1]));
    EXPECT_FALSE(rs.discardTrashed(path, trashed[1]));
    EXPECT_EQ(trashTexts(path), (std::vector<QString>{QStringLiteral("{\\rtf1 one}"), QStringLiteral("{\\rtf1 three}")}));
    // Found by its text and time though it moved up in the trash.
    EXPECT_TRUE(rs.discardTrashed(path, trashed[2]));
    EXPECT_TRUE(rs.emptyTrash(path));
    EXPECT_TRUE(trashTexts(path).empty());
    EXPECT_FALSE(tltest::readFile(path).contains("trash"));
    EXPECT_EQ(notesOf(path), std::vector<QString>{QStringLiteral("{\\rtf1 four}")});
}

TEST(Trash, ListedNewestFirst)
{
    const QDateTime t0 = QDateTime::fromString(QStringLiteral("2026-03-01T10:00:00Z"), Qt::ISODate);
    const std::vector<TrashedNote> listed{{QStringLiteral("a"), t0.addDays(1), 0, 0},
                                          {QStringLiteral("b"), t0, 0, 1},
                                          {QStringLiteral("c"), t0.addDays(1), 0, 2},
                                          {QStringLiteral("d"), t0.addDays(2), 0, 3}};
    std::vector<QString> order;
    for (const TrashedNote &t : tl::trash::newestFirst(listed))
        order.push_back(t.text);
    EXPECT_EQ(order, (std::vector<QString>{QStringLiteral("d"), QStringLiteral("c"), QStringLiteral("a"),
                                           QStringLiteral("b")}));
}

// Both sides deleted a note, each from its own copy of the file: every store
// reads the file as it is, so neither side's trash is written over.
TEST(Trash, BothSidesDeletingDifferentNotesKeepBothInTheTrash)
{
    const QString path = fourNotes();
    RecordStore here, there;
    EXPECT_EQ(here.noteCount(path), 4);
    EXPECT_EQ(there.noteCount(path), 4);
    there.removeNote(3, path);
    here.removeNote(0, path);
    EXPECT_EQ(trashTexts(path), (std::vector<QString>{QStringLiteral("{\\rtf1 four}"), QStringLiteral("{\\rtf1 one}")}));

    // A working copy's removal made again in the archive's fresh notes.
    const QString fresh = fourNotes();
    there.removeNote(2, fresh);
    const tl::sync::ShownNote removed{0, QByteArray("{\\rtf1 one}"), std::nullopt};
    here.replay(fresh, {{tl::sync::PendingEdit::Remove, removed, {}}});
    EXPECT_EQ(trashTexts(fresh), (std::vector<QString>{QStringLiteral("{\\rtf1 three}"), QStringLiteral("{\\rtf1 one}")}));
    EXPECT_EQ(notesOf(fresh), (std::vector<QString>{QStringLiteral("{\\rtf1 two & more\n\\par second line}"),
                                                    QStringLiteral("{\\rtf1 four}")}));
}

struct PruneCase {
    const char *name;
    std::vector<int> ageDays;  // of the trashed notes, in file order
    tl::TrashLimits limits;
    std::vector<int> kept;     // indexes into ageDays, in file order
};

class TrashPrune : public ::testing::TestWithParam<PruneCase> {};

TEST_P(TrashPrune, KeepsWhatTheLimitsAllowWhenTheFileIsNextStored)
{
    const PruneCase c = GetParam();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QByteArray trash = "<trash>";
    for (size_t i = 0; i < c.ageDays.size(); ++i)
        trash += "<note deleted=\"" + now.addDays(-c.ageDays[i]).addSecs(-60).toString(Qt::ISODate).toUtf8()
            + "\" position=\"0\">{\\rtf1 n" + QByteArray::number(qsizetype(i)) + "}</note>";
    trash += "</trash>";
    QByteArray file(kFourNotes);
    file.replace("</notes>\n", "</notes>\n" + trash);
    const QString path = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/Old.nts"), file);

    RecordStore rs;
    rs.setTrashLimits(c.limits);
    EXPECT_EQ(rs.trashed(path).size(), c.ageDays.size());  // reading prunes nothing
    rs.saveNote(0, path, QStringLiteral("{\\rtf1 one, edited}"));
    std::vector<QString> expected;
    for (const int k : c.kept)
        expected.push_back(QStringLiteral("{\\rtf1 n%1}").arg(k));
    EXPECT_EQ(trashTexts(path), expected);
    if (expected.empty())
        EXPECT_FALSE(tltest::readFile(path).contains("trash"));
}

INSTANTIATE_TEST_SUITE_P(
    , TrashPrune,
    ::testing::Values(PruneCase{"ByAge", {40, 2, 31, 29}, {30, 200}, {1, 3}},
                      PruneCase{"ByCountOldestLeave", {5, 1, 9, 3}, {30, 2}, {1, 3}},
                      PruneCase{"AgeThenCount", {50, 5, 1, 9, 3}, {30, 2}, {2, 4}},
                      PruneCase{"EverythingOld", {31, 45}, {30, 200}, {}},
                      PruneCase{"NoLimits", {400, 1, 900}, {0, 0}, {0, 1, 2}}),
    [](const auto &info) { return std::string(info.param.name); });

// What a working copy's trash saw is made again in the archive's fresh notes.
TEST(Trash, RestoreAndDeleteForGoodAreMadeAgainInAnotherCopy)
{
    using tl::sync::PendingEdit;
    RecordStore rs;
    // The other copy never had the note: it comes back where it was restored.
    const QString without = fourNotes();
    rs.replay(without, {{PendingEdit::Restore, {1, {}, std::nullopt}, QStringLiteral("{\\rtf1 kept}")}});
    EXPECT_EQ(rs.loadNote(1, without), QStringLiteral("{\\rtf1 kept}"));
    EXPECT_EQ(rs.noteCount(without), 5);

    // The other copy has it in its trash: it leaves the trash, once.
    const QString with = fourNotes();
    rs.removeNote(2, with);
    rs.removeNote(0, with);
    rs.replay(with, {{PendingEdit::Restore, {2, {}, std::nullopt}, QStringLiteral("{\\rtf1 three}")},
                     {PendingEdit::Discard, {}, QStringLiteral("{\\rtf1 one}")}});
    EXPECT_EQ(notesOf(with), (std::vector<QString>{QStringLiteral("{\\rtf1 two & more\n\\par second line}"),
                                                   QStringLiteral("{\\rtf1 four}"), QStringLiteral("{\\rtf1 three}")}));
    EXPECT_TRUE(trashTexts(with).empty());
}
