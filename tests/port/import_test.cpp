// Each importer on its hand-made sample: the notes taken, their order and
// first lines, one formatting run and one link in the RTF written, what was
// skipped and why; the sources stay as they were.

#include "support/tempenv.h"

#include "platform/error.h"
#include "port/import.h"
#include "port/notedocument.h"
#include "port/notesfile.h"
#include "richtext/rtfdocument.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QTextDocument>
#include <gmock/gmock.h>

namespace {

using namespace tl::port;

const QString kFixtures = QStringLiteral(TL_FIXTURES);

struct FormatCheck {
    const char *word;  // nullptr: none for this source
    bool bold = false, italic = false, underline = false;
};

struct ImportCase {
    const char *name;
    ImportKind kind;
    const char *source;  // under the fixtures
    std::vector<const char *> titles;  // each note's first line, in order
    FormatCheck format;
    const char *linkWord;  // nullptr: no link in this source
    const char *href;
    std::vector<std::pair<const char *, const char *>> skipped;  // source, part of the reason
};

// Every file under path with its bytes, to tell that nothing changed.
QByteArray stateOf(const QString &path)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QDirIterator it(path, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    QStringList files;
    while (it.hasNext())
        files << it.next();
    files.sort();
    for (const QString &f : files) {
        hash.addData(f.toUtf8());
        hash.addData(tltest::readFile(f));
    }
    return hash.result();
}

QTextCharFormat formatOfWord(QTextDocument &doc, const QString &word)
{
    const QTextCursor found = doc.find(word, 0, QTextDocument::FindWholeWords | QTextDocument::FindCaseSensitively);
    EXPECT_FALSE(found.isNull()) << qPrintable(word) << " in " << qPrintable(doc.toPlainText());
    QTextCursor at(&doc);
    at.setPosition(found.isNull() ? 0 : found.selectionStart() + 1);
    return at.charFormat();
}

class ImportTest : public ::testing::TestWithParam<ImportCase> {};

TEST_P(ImportTest, TakesTheNotesInOrderWithTheirFormat)
{
    const ImportCase &c = GetParam();
    const QString source = kFixtures + QLatin1Char('/') + QString::fromUtf8(c.source);
    const QByteArray before = stateOf(QFileInfo(source).isDir() ? source : QFileInfo(source).path());
    const ImportReport report = importNotes(c.kind, source);

    QStringList titles;
    for (const QString &note : report.notes)
        titles << titleOf(note);
    QStringList expected;
    for (const char *t : c.titles)
        expected << QString::fromUtf8(t);
    EXPECT_EQ(titles, expected);
    ASSERT_EQ(report.taken.size(), size_t(report.notes.size()));
    for (size_t i = 0; i < report.taken.size(); ++i)
        EXPECT_EQ(report.taken[i].title, titles[qsizetype(i)]);

    std::vector<std::pair<QString, QString>> skipped;
    for (const ImportReport::Skipped &s : report.skipped)
        skipped.push_back({s.source, s.reason});
    ASSERT_EQ(skipped.size(), c.skipped.size()) << qPrintable(reportLines(report).join(QLatin1Char('\n')));
    for (size_t i = 0; i < skipped.size(); ++i) {
        EXPECT_EQ(skipped[i].first, QString::fromUtf8(c.skipped[i].first));
        EXPECT_TRUE(skipped[i].second.contains(QString::fromUtf8(c.skipped[i].second)))
            << qPrintable(skipped[i].second);
    }

    // The whole text of all notes, to look up a word's format and a link.
    auto noteWith = [&](const char *word, QTextDocument &doc) {
        for (const QString &note : report.notes) {
            doc.clear();
            readNote(note, doc);
            if (!doc.find(QString::fromUtf8(word), 0, QTextDocument::FindWholeWords).isNull())
                return true;
        }
        return false;
    };
    if (c.format.word) {
        QTextDocument doc;
        ASSERT_TRUE(noteWith(c.format.word, doc)) << c.format.word;
        const QTextCharFormat f = formatOfWord(doc, QString::fromUtf8(c.format.word));
        EXPECT_EQ(f.fontWeight() > QFont::Normal, c.format.bold);
        EXPECT_EQ(f.fontItalic(), c.format.italic);
        EXPECT_EQ(f.fontUnderline(), c.format.underline);
    }
    if (c.linkWord) {
        QTextDocument doc;
        ASSERT_TRUE(noteWith(c.linkWord, doc)) << c.linkWord;
        EXPECT_EQ(formatOfWord(doc, QString::fromUtf8(c.linkWord)).anchorHref(), QString::fromUtf8(c.href));
    }
    EXPECT_EQ(stateOf(QFileInfo(source).isDir() ? source : QFileInfo(source).path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, ImportTest,
    ::testing::Values(
        ImportCase{"gnote", ImportKind::Gnote, "gnote", {"Ideas", "Groceries \u2014 Home"},
                   {"oat", true, false, false}, "example", "https://example.org/soup",
                   {{"c0de.note", "a template"}, {"dead.note", "not well-formed XML"}}},
        ImportCase{"tomboy", ImportKind::Tomboy, "gnote", {"Ideas", "Groceries \u2014 Home"},
                   {"bread", false, true, false}, "soup", "https://example.org/soup",
                   {{"c0de.note", "a template"}, {"dead.note", "not well-formed XML"}}},
        ImportCase{"xpad", ImportKind::Xpad, "xpad", {"Call the plumber", "Birthday: 12 May", "Lost info"},
                   {"plumber", false, false, false}, nullptr, nullptr,
                   {{"info-GONE00", "content file content-GONE00 is missing"}, {"content-LATIN1", "not UTF-8"}}},
        ImportCase{"xfce4", ImportKind::Xfce4Notes, "xfce4-notes",
                   {"Notes \u2014 Home", "Notes 2 \u2014 Work", "Notes 10 \u2014 Work"},
                   {"Home", true, false, false}, nullptr, nullptr, {{"Home/Bad", "not UTF-8"}}},
        ImportCase{"stickyGnome", ImportKind::Sticky, "sticky-gnome",
                   {"Bike repair", "Caf\u00e9 \U0001F600 emoji italic", "Per-note file"},
                   {"chain", true, false, false}, "example", "https://example.org/chain",
                   {{"notes/9f9f9f9f-3333-4c4d-8e5f-607182930415.json", "not JSON"}}},
        ImportCase{"stickyGnomeOffsetsCountCharacters", ImportKind::Sticky, "sticky-gnome/notes.json",
                   {"Bike repair", "Caf\u00e9 \U0001F600 emoji italic"}, {"emoji", false, true, false}, nullptr,
                   nullptr, {}},
        ImportCase{"stickyIndicator", ImportKind::Sticky, "sticky-indicator/indicator-stickynotes",
                   {"Money", "Plain thought"}, {"Money", true, false, false}, nullptr, nullptr,
                   {{"indicator-stickynotes, note 3", "no text"}}},
        ImportCase{"knotes", ImportKind::KNotes, "knotes", {"Reading list", "Meeting, Friday"},
                   {"Dune", true, false, false}, "this", "https://example.org/book",
                   {{"notes.ics, journal entry 3", "cut off"}}},
        ImportCase{"files", ImportKind::Files, "files", {"Plain text file", "Markdown file", "RTF file"},
                   {"strong", true, false, false}, "link", "https://example.org/md",
                   {{"d.rtf", "not RTF"}, {"e.png", "not a .txt, .md or .rtf"}}}),
    [](const ::testing::TestParamInfo<ImportCase> &info) { return std::string(info.param.name); });

TEST(Import, GnoteKeepsListsAndTheRestOfTheFormat)
{
    const ImportReport report = importNotes(ImportKind::Gnote, kFixtures + QStringLiteral("/gnote"));
    ASSERT_EQ(report.notes.size(), 2);
    QTextDocument doc;
    readNote(report.notes[1], doc);
    // The title once, the content's copy of it dropped.
    EXPECT_EQ(doc.toPlainText().count(QStringLiteral("Groceries")), 1) << qPrintable(doc.toPlainText());
    const QTextCursor apples = doc.find(QStringLiteral("apples"));
    const QTextCursor pears = doc.find(QStringLiteral("pears"));
    ASSERT_FALSE(apples.isNull() || pears.isNull());
    ASSERT_NE(apples.block().textList(), nullptr);
    EXPECT_EQ(apples.block().textList(), pears.block().textList());
    EXPECT_EQ(doc.find(QStringLiteral("Recipe")).block().textList(), nullptr);
    EXPECT_TRUE(formatOfWord(doc, QStringLiteral("jam")).fontStrikeOut());
    EXPECT_EQ(formatOfWord(doc, QStringLiteral("big")).fontPointSize(), 14);
    EXPECT_EQ(tl::rtf::fontNameOf(formatOfWord(doc, QStringLiteral("code"))), QStringLiteral("Monospace"));
}

TEST(Import, DeeplyNestedMarksKeepTheirText)
{
    const QString folder = tltest::freshFolder();
    QByteArray deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<bold>";
    deep += "core";
    for (int i = 0; i < 100000; ++i)
        deep += "</bold>";
    tltest::writeFile(folder + QStringLiteral("/deep.note"),
                      "<note xmlns=\"http://beatniksoftware.com/tomboy\"><title>Deep</title><text><note-content>Deep\n"
                          + deep + "</note-content></text></note>");
    const ImportReport report = importNotes(ImportKind::Gnote, folder);
    ASSERT_EQ(report.notes.size(), 1);
    QTextDocument doc;
    readNote(report.notes[0], doc);
    EXPECT_GT(formatOfWord(doc, QStringLiteral("core")).fontWeight(), QFont::Normal);
}

TEST(Import, CharactersNoNotesFileCanHoldAreReplacedAndSaid)
{
    const QString folder = tltest::freshFolder();
    tltest::writeFile(folder + QStringLiteral("/a.txt"), QByteArray("nul\0 bell\a end\n", 15));
    const ImportReport report = importNotes(ImportKind::Files, folder);
    ASSERT_EQ(report.notes.size(), 1);
    EXPECT_EQ(report.notes[0], QStringLiteral("nul\ufffd bell\ufffd end"));
    ASSERT_EQ(report.notices.size(), 1);
    EXPECT_THAT(report.notices[0].toStdString(), ::testing::HasSubstr("a.txt: 2 characters"));
    // And the notes file holds them as taken.
    const QString out = folder + QStringLiteral("/out.nts");
    tl::port::writeNewNotesFile(out, report.notes);
    EXPECT_EQ(readAllNotes(out), report.notes);
}

TEST(Import, ASourceThatCannotBeReadIsAnError)
{
    const QString folder = tltest::freshFolder();
    tltest::writeFile(folder + QStringLiteral("/notes.ics"), "no calendar");
    EXPECT_THROW(importNotes(ImportKind::Gnote, folder + QStringLiteral("/missing")), tl::Error);
    EXPECT_THROW(importNotes(ImportKind::Xpad, folder + QStringLiteral("/notes.ics")), tl::Error);  // no folder
    EXPECT_THROW(importNotes(ImportKind::KNotes, folder), tl::Error);
}

TEST(Import, UsualPlacesAreThoseThatExist)
{
    const QString home = tltest::freshFolder();
    QDir(home).mkpath(QStringLiteral("data/gnote"));
    QDir(home).mkpath(QStringLiteral("config/indicator-stickynotes"));
    const QString data = home + QStringLiteral("/data"), config = home + QStringLiteral("/config");
    EXPECT_EQ(usualPlaces(ImportKind::Gnote, home, data, config), QStringList{data + QStringLiteral("/gnote")});
    EXPECT_EQ(usualPlaces(ImportKind::Tomboy, home, data, config), QStringList());
    EXPECT_EQ(usualPlaces(ImportKind::Sticky, home, data, config),
              QStringList{config + QStringLiteral("/indicator-stickynotes")});
}

} // namespace
