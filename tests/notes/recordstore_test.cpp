#include "notes/recordstore.h"
#include "platform/error.h"
#include "support/tempenv.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <gtest/gtest.h>

#include <unistd.h>

using tl::RecordStore;

namespace {

RecordStore store()
{
    return RecordStore([] { return RecordStore::NewFileFields{QStringLiteral("Ann"), QStringLiteral("Acme")}; });
}

// A notes file as the Windows program lays it out, indented, with CR LF.
const char kThreeNotes[] =
    "<root>\r\n  <info>\r\n    <lastupdate>01.02.2003</lastupdate>\r\n    <authorname>Иван</authorname>\r\n"
    "    <companyname/>\r\n    <comments>one crlf two</comments>\r\n    <realpath></realpath>\r\n"
    "    <compresslevel></compresslevel>\r\n  </info>\r\n  <notes>\r\n"
    "    <note>{\\rtf1 first &amp; &lt;one&gt;}</note>\r\n    <note>{\\rtf1 second\r\n}</note>\r\n"
    "    <note>{\\rtf1 third}</note>\r\n  </notes>\r\n</root>\r\n";

QString threeNotes()
{
    return tltest::writeFile(tltest::freshFolder() + QStringLiteral("/Diary.nts"), kThreeNotes);
}

} // namespace

TEST(RecordStore, LoadsNotesByPositionDroppingLayoutWhitespace)
{
    RecordStore rs = store();
    const QString path = threeNotes();
    int count = 0;
    EXPECT_EQ(rs.loadNote(0, path, &count), QStringLiteral("{\\rtf1 first & <one>}"));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(rs.loadNote(1, path), QStringLiteral("{\\rtf1 second\n}"));  // CR LF read as LF
    EXPECT_EQ(rs.noteCount(path), 3);
    EXPECT_EQ(rs.param(path, QStringLiteral("AuthorName")), QStringLiteral("Иван"));
    EXPECT_THROW(rs.loadNote(3, path), tl::Error);
}

TEST(RecordStore, SavingIntoAMissingPathCreatesANewFileWithOneEmptyNote)
{
    RecordStore rs = store();
    const QString path = tltest::freshFolder() + QStringLiteral("/New.nts");
    rs.saveNote(0, path, QStringLiteral("ignored"));
    EXPECT_EQ(rs.noteCount(path), 1);
    EXPECT_EQ(rs.loadNote(0, path), QString());
    EXPECT_EQ(rs.param(path, QStringLiteral("lastupdate")),
              QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));
    EXPECT_EQ(rs.param(path, QStringLiteral("authorname")), QStringLiteral("Ann"));
    EXPECT_EQ(rs.param(path, QStringLiteral("CompanyName")), QStringLiteral("Acme"));
    EXPECT_EQ(rs.param(path, QStringLiteral("compresslevel")), QStringLiteral("0"));
    const QByteArray bytes = tltest::readFile(path);
    EXPECT_FALSE(bytes.startsWith("<?xml"));
    EXPECT_TRUE(bytes.contains("<lastupdate>"));
}

TEST(RecordStore, AppendReplaceAndRemoveKeepTheOtherNotes)
{
    RecordStore rs = store();
    const QString path = threeNotes();
    rs.saveNote(3, path, QStringLiteral("{\\rtf1 fourth}"));
    rs.saveNote(1, path, QStringLiteral("{\\rtf1 Заметка <b> & \"q\"}"));
    EXPECT_EQ(rs.noteCount(path), 4);
    RecordStore other = store();  // a fresh reader sees the same on disk
    EXPECT_EQ(other.loadNote(0, path), QStringLiteral("{\\rtf1 first & <one>}"));
    EXPECT_EQ(other.loadNote(1, path), QStringLiteral("{\\rtf1 Заметка <b> & \"q\"}"));
    EXPECT_EQ(other.loadNote(3, path), QStringLiteral("{\\rtf1 fourth}"));
    EXPECT_THROW(rs.saveNote(6, path, QStringLiteral("x")), tl::Error);

    EXPECT_TRUE(rs.removeNote(0, path));
    EXPECT_FALSE(rs.removeNote(3, path));
    EXPECT_EQ(other.noteCount(path), 3);
    EXPECT_EQ(other.loadNote(0, path), QStringLiteral("{\\rtf1 Заметка <b> & \"q\"}"));
    // The information block is untouched by note edits.
    EXPECT_EQ(other.param(path, QStringLiteral("comments")), QStringLiteral("one crlf two"));
}

TEST(RecordStore, StoringANoteAsItStandsLeavesTheFileUntouched)
{
    RecordStore rs = store();
    const QString path = threeNotes();
    // Line ends count as a reload gives them back.
    rs.saveNote(1, path, QStringLiteral("{\\rtf1 second\r\n}"));
    rs.saveNote(2, path, QStringLiteral("{\\rtf1 third}"));
    EXPECT_EQ(tltest::readFile(path), QByteArray(kThreeNotes));
    rs.saveNote(2, path, QStringLiteral("{\\rtf1 third!}"));
    EXPECT_NE(tltest::readFile(path), QByteArray(kThreeNotes));
    EXPECT_EQ(store().loadNote(2, path), QStringLiteral("{\\rtf1 third!}"));
    rs.saveNote(3, path, QString());  // an empty note appended is a change
    EXPECT_EQ(store().noteCount(path), 4);
}

TEST(RecordStore, SeesChangesMadeBehindItsBack)
{
    RecordStore rs = store();
    const QString path = threeNotes();
    EXPECT_EQ(rs.noteCount(path), 3);
    // Same size, another process's edit: the copy held must not be used.
    QByteArray changed(kThreeNotes);
    changed.replace("third", "THIRD");
    tltest::writeFile(path, changed);
    EXPECT_EQ(rs.loadNote(2, path), QStringLiteral("{\\rtf1 THIRD}"));
    QFile::remove(path);
    EXPECT_EQ(rs.noteCount(path), 0);
    EXPECT_EQ(rs.loadNote(0, path), QString());
}

// Another program rewrites the file in place, same size, and sets its old
// modification time back (a copy that keeps times): the next save must not
// put back the notes the store read before.
TEST(RecordStore, AnEditBehindItsBackThatKeepsTheTimeIsNotOverwritten)
{
    RecordStore rs = store();
    const QString path = threeNotes();
    EXPECT_EQ(rs.loadNote(0, path), QStringLiteral("{\\rtf1 first & <one>}"));
    const QDateTime modified = QFileInfo(path).lastModified();
    ::usleep(20000);  // past the file system's clock tick
    QByteArray changed(kThreeNotes);
    changed.replace("third", "THIRD");
    tltest::writeFile(path, changed);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    rs.saveNote(0, path, QStringLiteral("{\\rtf1 first, edited}"));
    RecordStore fresh = store();
    EXPECT_EQ(fresh.loadNote(0, path), QStringLiteral("{\\rtf1 first, edited}"));
    EXPECT_EQ(fresh.loadNote(2, path), QStringLiteral("{\\rtf1 THIRD}"));
}

// A CR another program wrote as a character reference is written raw by the
// next save and read as LF after it: the store gives it as LF from the first
// load, so the note reads the same before and after a save of another note.
TEST(RecordStore, ACarriageReturnReferenceReadsTheSameBeforeAndAfterASave)
{
    RecordStore rs = store();
    const QString path = tltest::writeFile(
        tltest::freshFolder() + QStringLiteral("/Cr.nts"),
        "<root><info><lastupdate/><authorname/><companyname/><comments>a&#13;&#10;b</comments><realpath/>"
        "<compresslevel/></info><notes><note>x</note><note>one&#13;two&#13;&#10;three</note></notes></root>");
    EXPECT_EQ(rs.loadNote(1, path), QStringLiteral("one\ntwo\nthree"));
    EXPECT_EQ(rs.param(path, QStringLiteral("Comments")), QStringLiteral("a\nb"));
    rs.saveNote(0, path, QStringLiteral("y"));
    RecordStore fresh = store();
    EXPECT_EQ(fresh.loadNote(1, path), QStringLiteral("one\ntwo\nthree"));
    EXPECT_EQ(fresh.param(path, QStringLiteral("Comments")), QStringLiteral("a\nb"));
}

TEST(RecordStore, SeesARewriteInPlaceThatSetsTheTimeBack)
{
    RecordStore rs = store();
    const QString path = threeNotes();
    EXPECT_EQ(rs.loadNote(2, path), QStringLiteral("{\\rtf1 third}"));
    QByteArray changed(kThreeNotes);
    changed.replace("third", "THIRD");
    tltest::rewriteInPlaceKeepingTime(path, changed);
    EXPECT_EQ(rs.loadNote(2, path), QStringLiteral("{\\rtf1 THIRD}"));
}

TEST(RecordStore, CountsByExtension)
{
    RecordStore rs = store();
    const QString dir = tltest::freshFolder();
    EXPECT_EQ(rs.noteCount(tltest::writeFile(dir + QStringLiteral("/a.txt"), "text")), 1);
    EXPECT_EQ(rs.noteCount(tltest::writeFile(dir + QStringLiteral("/a.rtf"), "{\\rtf1 x}")), 1);
    EXPECT_EQ(rs.noteCount(tltest::writeFile(dir + QStringLiteral("/UPPER.NTS"), kThreeNotes)), 3);
    EXPECT_EQ(rs.noteCount(dir + QStringLiteral("/missing.nts")), 0);
}

struct Broken {
    const char *name;
    const char *content;
    const char *reason;
};

class BrokenNotesFile : public testing::TestWithParam<Broken> {};

TEST_P(BrokenNotesFile, FailsNamingFileAndReasonAndWritesNothing)
{
    RecordStore rs = store();
    const QString path = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/Bad.nts"), GetParam().content);
    const QByteArray before = tltest::readFile(path);
    for (const auto &op : std::vector<std::function<void()>>{
             [&] { rs.loadNote(0, path); }, [&] { rs.saveNote(0, path, QStringLiteral("x")); },
             [&] { rs.removeNote(0, path); }, [&] { rs.noteCount(path); },
             [&] { rs.setParam(path, QStringLiteral("comments"), QStringLiteral("x")); }}) {
        try {
            op();
            ADD_FAILURE() << "no error";
        } catch (const tl::Error &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("Bad.nts"))) << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QLatin1String(GetParam().reason))) << e.message().toStdString();
        }
    }
    EXPECT_EQ(tltest::readFile(path), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenNotesFile,
    testing::Values(Broken{"NotXml", "{\\rtf1 plain rtf}", "well-formed"},
                    Broken{"Truncated", "<root><info/><notes><note>abc", "well-formed"},
                    Broken{"Empty", "", "well-formed"},
                    Broken{"NoNotes", "<root><info><lastupdate/></info></root>", "\"notes\""},
                    Broken{"NoInfoEither", "<root>  </root>", "\"info\""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RecordStore, ReadOnlyFileRefusesNoteWritesAndSkipsParamWrites)
{
    RecordStore rs = store();
    const QString path = threeNotes();
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup);
    const QByteArray before = tltest::readFile(path);
    EXPECT_THROW(rs.saveNote(0, path, QStringLiteral("x")), tl::Error);
    EXPECT_THROW(rs.removeNote(0, path), tl::Error);
    EXPECT_NO_THROW(rs.setParam(path, QStringLiteral("comments"), QStringLiteral("x")));
    EXPECT_EQ(tltest::readFile(path), before);
    // What the store holds is not ahead of the file after a failed write.
    EXPECT_EQ(rs.loadNote(0, path), QStringLiteral("{\\rtf1 first & <one>}"));
    EXPECT_EQ(rs.noteCount(path), 3);
}

TEST(RecordStore, InformationFieldsByNameIgnoringCase)
{
    RecordStore rs = store();
    const QString path = threeNotes();
    EXPECT_EQ(rs.param(path, QStringLiteral("CompressLevel")), QStringLiteral("0"));
    EXPECT_EQ(rs.param(path, QStringLiteral("compresslevel")), QString());
    EXPECT_EQ(rs.param(path, QStringLiteral("no such field")), QStringLiteral("01.02.2003"));
    rs.setParam(path, QStringLiteral("RealPath"), QStringLiteral("/home/u/Diary.znts"));
    EXPECT_EQ(store().param(path, QStringLiteral("REALPATH")), QStringLiteral("/home/u/Diary.znts"));
    EXPECT_EQ(rs.param(tltest::freshFolder() + QStringLiteral("/none.nts"), QStringLiteral("realpath")), QString());
}

struct Replace {
    const char *name;
    QString source, pattern, replacement, expected;
};

class FastStringReplaceCases : public testing::TestWithParam<Replace> {};

TEST_P(FastStringReplaceCases, Replaces)
{
    const Replace &r = GetParam();
    EXPECT_EQ(tl::FastStringReplace(r.source, r.pattern, r.replacement), r.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FastStringReplaceCases,
    testing::Values(
        Replace{"AsciiIgnoresCase", QStringLiteral("a CRLF b crlf c"), QStringLiteral("crlf"), QStringLiteral("\r\n"),
                QStringLiteral("a \r\n b \r\n c")},
        Replace{"CyrillicCaseMatters", QStringLiteral("Дом дом ДОМ"), QStringLiteral("дом"), QStringLiteral("x"),
                QStringLiteral("Дом x ДОМ")},
        Replace{"NoOverlap", QStringLiteral("aaaa"), QStringLiteral("aa"), QStringLiteral("b"), QStringLiteral("bb")},
        Replace{"OnlyMatchesToEmpty", QStringLiteral("abAB"), QStringLiteral("ab"), QString(), QString()},
        Replace{"EmptyPattern", QStringLiteral("keep"), QString(), QStringLiteral("x"), QStringLiteral("keep")},
        Replace{"TailShorterThanPattern", QStringLiteral("abc"), QStringLiteral("cd"), QStringLiteral("x"),
                QStringLiteral("abc")}),
    [](const auto &info) { return std::string(info.param.name); });
