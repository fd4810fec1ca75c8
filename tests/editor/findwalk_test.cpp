// The find bar's walk without widgets: occurrences, counters, stored notes.

#include "editor/findwalk.h"
#include "editor/keysounds.h"
#include "platform/error.h"
#include "support/tempenv.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

using tl::find::FindNthOccurrence;

struct NthCase {
    const char *name;
    const char *needle;
    const char *haystack;
    int n;
    int expected;
};

class FindNthOccurrenceTest : public testing::TestWithParam<NthCase> {};

TEST_P(FindNthOccurrenceTest, GivesThePositionOfTheNthOccurrence)
{
    const NthCase &c = GetParam();
    EXPECT_EQ(FindNthOccurrence(QString::fromUtf8(c.needle), QString::fromUtf8(c.haystack), c.n), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindNthOccurrenceTest,
    testing::Values(NthCase{"FirstOfOne", "word", "a word", 1, 3}, NthCase{"SecondOfOne", "word", "a word", 2, 0},
                    NthCase{"OverlapFirst", "aa", "aaaa", 1, 1}, NthCase{"OverlapSecond", "aa", "aaaa", 2, 2},
                    NthCase{"OverlapThird", "aa", "aaaa", 3, 3}, NthCase{"OverlapFourth", "aa", "aaaa", 4, 0},
                    NthCase{"SecondApart", "ab", "xabyab", 2, 5}, NthCase{"ZeroN", "a", "aaa", 0, 0},
                    NthCase{"NegativeN", "a", "aaa", -2, 0}, NthCase{"EmptyNeedle", "", "aaa", 1, 0},
                    NthCase{"NeedleLonger", "aaaa", "aa", 1, 0}, NthCase{"WholeText", "abc", "abc", 1, 1},
                    NthCase{"AtTheEnd", "c", "abc", 1, 3}, NthCase{"CaseMatters", "A", "a", 1, 0}),
    [](const testing::TestParamInfo<NthCase> &i) { return std::string(i.param.name); });

struct LowerCase {
    const char *name;
    const char *in;
    const char *out;
};

class AsciiLowerTest : public testing::TestWithParam<LowerCase> {};

TEST_P(AsciiLowerTest, MapsOnlyAsciiCapitals)
{
    const LowerCase &c = GetParam();
    EXPECT_EQ(tl::find::asciiLower(QString::fromUtf8(c.in)), QString::fromUtf8(c.out));
    QString inPlace = QString::fromUtf8(c.in);
    tl::find::asciiLowerInPlace(inPlace);
    EXPECT_EQ(inPlace, QString::fromUtf8(c.out));
}

INSTANTIATE_TEST_SUITE_P(Cases, AsciiLowerTest,
                         testing::Values(LowerCase{"Ascii", "Hello WORLD", "hello world"},
                                         LowerCase{"Edges", "@AZ[`az{", "@az[`az{"},
                                         LowerCase{"Cyrillic", "ПРИВЕТ Мир", "ПРИВЕТ Мир"},
                                         LowerCase{"Latin1", "ÄÖÜ É", "ÄÖÜ É"}, LowerCase{"Empty", "", ""}),
                         [](const testing::TestParamInfo<LowerCase> &i) { return std::string(i.param.name); });

TEST(SearchCounters, ResetGivesEveryNoteAFreshOne)
{
    tl::find::SearchCounters c;
    c.reset(3);
    ASSERT_EQ(c.size(), 3);
    c[1] = 5;
    c.reset(2);
    EXPECT_EQ(c.size(), 2);
    EXPECT_EQ(c[0], 1);
    EXPECT_EQ(c[1], 1);
}

TEST(SearchCounters, ANoteAddedSinceFindReadsAsFreshAndGrowsTheArray)
{
    tl::find::SearchCounters c;
    c.reset(2);
    c[0] = 0;
    EXPECT_EQ(c[4], 1);
    EXPECT_EQ(c.size(), 5);
    EXPECT_EQ(c[0], 0);
    EXPECT_EQ(c[3], 1);
    EXPECT_THROW(c[-1], tl::Error);
}

TEST(SearchCounters, FollowingAnOutsideChangeKeepsOnlyTheShownNotesCounter)
{
    tl::find::SearchCounters c;
    c.follow(0, 1, 3);  // no search yet: stays without counters
    EXPECT_EQ(c.size(), 0);
    c.reset(3);
    c[0] = 0;
    c[1] = 3;
    c[2] = 2;
    // Two notes put before the note shown (note 2), one removed after it.
    c.follow(1, 3, 4);
    EXPECT_EQ(c.size(), 4);
    EXPECT_EQ(c[3], 3);
    for (int i : {0, 1, 2})
        EXPECT_EQ(c[i], 1) << i;
}

// Plain texts held in memory, as the walk sees them.
class Texts : public tl::find::NoteTexts {
public:
    explicit Texts(QStringList notes) : m_notes(std::move(notes)) {}
    int count() const override { return int(m_notes.size()); }
    QString plainText(int note) const override
    {
        ++reads;
        return m_notes.at(note);
    }
    mutable int reads = 0;

private:
    QStringList m_notes;
};

TEST(SearchWalk, PassedNotesLowerTheirCountersAndTheHitStops)
{
    Texts notes({QStringLiteral("none"), QStringLiteral("a Word"), QStringLiteral("word")});
    tl::find::SearchCounters c;
    c.reset(3);
    const tl::find::Hit hit = tl::find::searchWalk(QStringLiteral("WORD"), 1, c, notes);
    EXPECT_EQ(hit.note, 1);
    EXPECT_EQ(hit.position, 3);
    EXPECT_FALSE(hit.missedInLast);
    EXPECT_EQ(c[0], 0);
    EXPECT_EQ(c[1], 1);
    EXPECT_EQ(c[2], 1);
    EXPECT_EQ(notes.reads, 2);  // nothing after the hit is read
}

TEST(SearchWalk, AMissInTheLastNoteIsReported)
{
    Texts notes({QStringLiteral("word"), QStringLiteral("x")});
    tl::find::SearchCounters c;
    c.reset(2);
    c[0] = 2;
    const tl::find::Hit hit = tl::find::searchWalk(QStringLiteral("word"), 1, c, notes);
    EXPECT_EQ(hit.position, 0);
    EXPECT_TRUE(hit.missedInLast);
    EXPECT_EQ(c[0], 1);  // the last occurrence of the note
    EXPECT_EQ(c[1], 0);
}

TEST(SearchWalk, StepsBackOverSpentNotesButNeverBeforeTheFirst)
{
    Texts notes({QStringLiteral("word"), QStringLiteral("x"), QStringLiteral("x"), QStringLiteral("word")});
    tl::find::SearchCounters c;
    c.reset(4);
    c[1] = 0;
    c[2] = 0;
    c[3] = 0;
    tl::find::Hit hit = tl::find::searchWalk(QStringLiteral("word"), 4, c, notes);
    EXPECT_EQ(hit.note, 0);  // note 1 kept its counter, so the walk starts there
    c[0] = 0;
    c[1] = 0;
    hit = tl::find::searchWalk(QStringLiteral("word"), 2, c, notes);
    EXPECT_EQ(hit.note, 0);  // reset down to the first note and found again
    EXPECT_EQ(c[1], 1);
}

TEST(SearchWalk, AStartBeyondTheNotesFindsNothing)
{
    Texts notes({QStringLiteral("word")});
    tl::find::SearchCounters c;
    c.reset(1);
    const tl::find::Hit hit = tl::find::searchWalk(QStringLiteral("word"), 3, c, notes);
    EXPECT_EQ(hit.position, 0);
    EXPECT_FALSE(hit.missedInLast);
}

QString notesXml(const QStringList &notes)
{
    QString xml = QStringLiteral("<root><info><lastupdate/><authorname/><companyname/><comments/><realpath/>"
                                 "<compresslevel>0</compresslevel></info><notes>");
    for (const QString &n : notes)
        xml += QStringLiteral("<note>") + n.toHtmlEscaped() + QStringLiteral("</note>");
    return xml + QStringLiteral("</notes></root>");
}

TEST(NotesFileTexts, GivesEachStoredNoteAsPlainText)
{
    const QString file = tltest::writeFile(
        tltest::freshFolder() + QStringLiteral("/a.nts"),
        notesXml({QStringLiteral("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Tahoma;}}\\f0 Hello \\b bold\\b0"
                                 "\\par second \\'cf\\'f0\\'e8}"),
                  QStringLiteral("plain note"), QString(),
                  QStringLiteral("{\\rtf1\\ansi\\deff0 Д\\u1044? x}")})
            .toUtf8());
    tl::find::NotesFileTexts texts(file);
    ASSERT_EQ(texts.count(), 4);
    EXPECT_EQ(texts.plainText(0), QStringLiteral("Hello bold\nsecond При"));
    EXPECT_EQ(texts.plainText(1), QStringLiteral("plain note"));
    EXPECT_EQ(texts.plainText(2), QString());
    EXPECT_EQ(texts.plainText(3), QStringLiteral("ДД x"));
}

TEST(NotesFileTexts, ABrokenOrMissingFileIsAnError)
{
    const QString dir = tltest::freshFolder();
    EXPECT_THROW(tl::find::NotesFileTexts(dir + QStringLiteral("/missing.nts")), tl::Error);
    EXPECT_THROW(tl::find::NotesFileTexts(tltest::writeFile(dir + QStringLiteral("/b.nts"), "<root><info>")), tl::Error);
    EXPECT_THROW(tl::find::NotesFileTexts(tltest::writeFile(dir + QStringLiteral("/c.nts"), "<root><info/></root>")),
                 tl::Error);
}

// Between two Find steps the file is changed in one way; the second step
// must see the change.
enum class Change { None, InPlaceTimeSetBack, SameSizeNewTime, ReplacedByRename, NoteAppended };

struct CacheCase {
    const char *name;
    Change change;
    bool secondFindsNew;
};

class NotesTextCacheTest : public testing::TestWithParam<CacheCase> {};

void setMtime(const QString &path, const struct timespec &t)
{
    const struct timespec times[2] = {t, t};
    ASSERT_EQ(utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

TEST_P(NotesTextCacheTest, AStepSeesTheFileAsItIsNow)
{
    const QString dir = tltest::freshFolder();
    const QString file = dir + QStringLiteral("/a.nts");
    tltest::writeFile(file, notesXml({QStringLiteral("alpha"), QStringLiteral("delta"), QStringLiteral("gamma")}).toUtf8());
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &before), 0);

    tl::find::NotesTextCache cache;
    tl::find::SearchCounters counters;
    counters.reset(3);
    // Two full walks without a hit: the second finds the file as the first
    // did, and every note is kept.
    for (int walk = 0; walk < 2; ++walk) {
        counters.reset(3);
        EXPECT_EQ(tl::find::searchWalk(QStringLiteral("omega"), 1, counters, *cache.texts(file)).position, 0);
    }

    const QByteArray other = notesXml({QStringLiteral("alpha"), QStringLiteral("omega"), QStringLiteral("gamma")}).toUtf8();
    switch (GetParam().change) {
    case Change::None:
        break;
    case Change::InPlaceTimeSetBack:
        // Same inode and size, the old time put back: only the status
        // change time tells.
        tltest::rewriteInPlaceKeepingTime(file, other);
        break;
    case Change::SameSizeNewTime: {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write(other);
        f.close();
        struct timespec later = before.st_mtim;
        later.tv_nsec = (later.tv_nsec + 1) % 1000000000;
        setMtime(file, later);
        break;
    }
    case Change::ReplacedByRename:
        tltest::writeFile(dir + QStringLiteral("/new.nts"), other);
        ASSERT_TRUE(QFile::remove(file));
        ASSERT_TRUE(QFile::rename(dir + QStringLiteral("/new.nts"), file));
        setMtime(file, before.st_mtim);
        break;
    case Change::NoteAppended:
        tltest::writeFile(file, notesXml({QStringLiteral("alpha"), QStringLiteral("delta"), QStringLiteral("gamma"),
                                          QStringLiteral("omega")})
                                    .toUtf8());
        break;
    }

    counters.reset(4);
    const auto texts = cache.texts(file);
    const tl::find::Hit hit = tl::find::searchWalk(QStringLiteral("OMEGA"), 1, counters, *texts);
    EXPECT_EQ(hit.position != 0, GetParam().secondFindsNew);
    // Whatever was kept, the notes asked for now match the file read afresh
    // whenever its id says it changed.
    if (GetParam().change != Change::None) {
        const tl::find::NotesFileTexts fresh(file);
        ASSERT_EQ(texts->count(), fresh.count());
        for (int i = 0; i < fresh.count(); ++i)
            EXPECT_EQ(texts->foldedText(i), tl::find::asciiLower(fresh.plainText(i))) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Changes, NotesTextCacheTest,
    testing::Values(CacheCase{"Unchanged", Change::None, false},
                    CacheCase{"InPlaceTimeSetBack", Change::InPlaceTimeSetBack, true},
                    CacheCase{"SameSizeNewTime", Change::SameSizeNewTime, true},
                    CacheCase{"ReplacedByRename", Change::ReplacedByRename, true},
                    CacheCase{"NoteAppended", Change::NoteAppended, true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(NotesTextCache, NotesAWalkDidNotReachAreReadWhenALaterStepNeedsThem)
{
    const QString file = tltest::writeFile(
        tltest::freshFolder() + QStringLiteral("/a.nts"),
        notesXml({QStringLiteral("word one"), QStringLiteral("nothing"), QStringLiteral("word two")}).toUtf8());
    tl::find::NotesTextCache cache;
    tl::find::SearchCounters counters;
    counters.reset(3);
    // The first hit stops the walk in note 1; Find Next goes on to note 3.
    tl::find::Hit hit = tl::find::searchWalk(QStringLiteral("word"), 1, counters, *cache.texts(file));
    ASSERT_EQ(hit.note, 0);
    ++counters[0];
    hit = tl::find::searchWalk(QStringLiteral("word"), 1, counters, *cache.texts(file));
    EXPECT_EQ(hit.note, 2);
    EXPECT_EQ(hit.position, 1);
    EXPECT_THROW(cache.texts(file + QStringLiteral(".missing")), tl::Error);
}

struct KeyCase {
    const char *name;
    int key;
    const char *sound;
};

class KeySoundTest : public testing::TestWithParam<KeyCase> {};

TEST_P(KeySoundTest, PicksTheClickOfTheKey)
{
    EXPECT_EQ(tl::keySoundFile(GetParam().key), QString::fromLatin1(GetParam().sound));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeySoundTest,
    testing::Values(KeyCase{"Backspace", Qt::Key_Backspace, "sound/back.wav"},
                    KeyCase{"Return", Qt::Key_Return, "sound/bell.wav"},
                    KeyCase{"KeypadEnter", Qt::Key_Enter, "sound/bell.wav"}, KeyCase{"Shift", Qt::Key_Shift, ""},
                    KeyCase{"Control", Qt::Key_Control, ""}, KeyCase{"Alt", Qt::Key_Alt, ""},
                    KeyCase{"Escape", Qt::Key_Escape, ""}, KeyCase{"PageUp", Qt::Key_PageUp, ""},
                    KeyCase{"PageDown", Qt::Key_PageDown, ""}, KeyCase{"End", Qt::Key_End, ""},
                    KeyCase{"Home", Qt::Key_Home, ""}, KeyCase{"Left", Qt::Key_Left, ""},
                    KeyCase{"F1", Qt::Key_F1, ""}, KeyCase{"F12", Qt::Key_F12, ""},
                    KeyCase{"F13", Qt::Key_F13, "sound/type.wav"}, KeyCase{"Up", Qt::Key_Up, "sound/type.wav"},
                    KeyCase{"Right", Qt::Key_Right, "sound/type.wav"}, KeyCase{"Down", Qt::Key_Down, "sound/type.wav"},
                    KeyCase{"Letter", Qt::Key_A, "sound/type.wav"}, KeyCase{"Space", Qt::Key_Space, "sound/type.wav"},
                    KeyCase{"Delete", Qt::Key_Delete, "sound/type.wav"}),
    [](const testing::TestParamInfo<KeyCase> &i) { return std::string(i.param.name); });

} // namespace
