// The command-line export and import: the exit status and what is said,
// for each way they can go.

#include "support/tempenv.h"

#include "notes/compressed.h"
#include "port/command.h"
#include "port/notedocument.h"
#include "port/notesfile.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <gmock/gmock.h>

namespace {

using ::testing::HasSubstr;

const QString kDiary = QStringLiteral(TL_FIXTURES "/Diary.nts");

struct Outcome {
    int status = -1;
    QString out, err;
};

Outcome run(const QStringList &args)
{
    Outcome r;
    QTextStream out(&r.out), err(&r.err);
    r.status = tl::port::runPortCommand(args, out, err);
    return r;
}

struct StatusCase {
    const char *name;
    QStringList args;  // %D: the diary fixture, %O: an output in a fresh folder
    int status;
    const char *said;  // on stderr, or on stdout for 0
};

class ExportCommandTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(ExportCommandTest, StatusAndMessage)
{
    const QString folder = tltest::freshFolder();
    tltest::writeFile(folder + QStringLiteral("/broken.nts"), "<root><info/>");
    tltest::writeFile(folder + QStringLiteral("/exists/x"), "x");
    // A notes file under another name than its own.
    const QByteArray diary = tltest::readFile(kDiary);
    tltest::writeFile(folder + QStringLiteral("/Same.xml"), diary);
    QStringList args = GetParam().args;
    for (QString &a : args)
        a.replace(QLatin1String("%D"), kDiary).replace(QLatin1String("%F"), folder);
    const Outcome r = run(args);
    EXPECT_EQ(r.status, GetParam().status) << qPrintable(r.err);
    EXPECT_THAT((r.status == 0 ? r.out : r.err).toStdString(), HasSubstr(GetParam().said));
    if (r.status != 0 && args.size() == 4)
        EXPECT_FALSE(QFileInfo::exists(args[3]) && !args[3].contains(QLatin1String("exists"))
                     && !args[3].contains(QLatin1String("Same")));
    EXPECT_EQ(tltest::readFile(folder + QStringLiteral("/exists/x")), "x");
    EXPECT_EQ(tltest::readFile(folder + QStringLiteral("/Same.xml")), diary);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExportCommandTest,
    ::testing::Values(
        StatusCase{"html", {"--export", "html", "%D", "%F/out.html"}, 0, "3 notes written to"},
        StatusCase{"txt", {"--export", "txt", "%D", "%F/out.txt"}, 0, "3 notes written to"},
        StatusCase{"unknownFormat", {"--export", "doc", "%D", "%F/out.doc"}, 2, "unknown export format \"doc\""},
        StatusCase{"tooFewArguments", {"--export", "html", "%D"}, 2, "Usage:"},
        StatusCase{"tooManyArguments", {"--export", "html", "%D", "%F/a", "%F/b"}, 2, "Usage:"},
        StatusCase{"missingFile", {"--export", "md", "%F/missing.nts", "%F/out.md"}, 1, "does not exist"},
        StatusCase{"brokenFile", {"--export", "md", "%F/broken.nts", "%F/out.md"}, 1, "not a well-formed notes file"},
        StatusCase{"folderAsInput", {"--export", "md", "%F", "%F/out.md"}, 1, "is not a file"},
        StatusCase{"outputFolderMissing", {"--export", "md", "%D", "%F/no/out.md"}, 1, "out.md"},
        StatusCase{"rtfFolderExists", {"--export", "rtf-dir", "%D", "%F/exists"}, 1, "already exists"},
        StatusCase{"outputIsTheSource", {"--export", "txt", "%F/Same.xml", "%F/./Same.xml"}, 1, "the notes file itself"},
        StatusCase{"outputNamedLikeANotesFile", {"--export", "html", "%D", "%F/Other.znts"}, 1, "name of a notes file"}),
    [](const ::testing::TestParamInfo<StatusCase> &info) { return std::string(info.param.name); });

TEST(ExportCommand, ACompressedFileGoesOutAsItsPlainOneDoes)
{
    const QString folder = tltest::freshFolder();
    const QString archive = folder + QStringLiteral("/Diary.znts");
    tl::compressed::packNotes(kDiary, archive, 9);
    const QByteArray packed = tltest::readFile(archive);
    const Outcome fromArchive = run({QStringLiteral("--export"), QStringLiteral("txt"), archive, folder + QStringLiteral("/a.txt")});
    const Outcome fromPlain = run({QStringLiteral("--export"), QStringLiteral("txt"), kDiary, folder + QStringLiteral("/p.txt")});
    ASSERT_EQ(fromArchive.status, 0) << qPrintable(fromArchive.err);
    ASSERT_EQ(fromPlain.status, 0) << qPrintable(fromPlain.err);
    EXPECT_EQ(tltest::readFile(folder + QStringLiteral("/a.txt")), tltest::readFile(folder + QStringLiteral("/p.txt")));
    EXPECT_TRUE(tltest::readFile(folder + QStringLiteral("/a.txt")).startsWith("Shopping list\n"));
    EXPECT_EQ(tltest::readFile(archive), packed);

    // A damaged archive is said, and nothing is written.
    tltest::writeFile(folder + QStringLiteral("/Broken.znts"), packed.left(packed.size() / 2));
    const Outcome broken = run({QStringLiteral("--export"), QStringLiteral("txt"), folder + QStringLiteral("/Broken.znts"),
                                folder + QStringLiteral("/b.txt")});
    EXPECT_EQ(broken.status, 1);
    EXPECT_THAT(broken.err.toStdString(), HasSubstr("Broken.znts"));
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/b.txt")));
}

TEST(ExportCommand, WritesTheFileItSays)
{
    const QString out = tltest::freshFolder() + QStringLiteral("/Diary.md");
    const Outcome r = run({QStringLiteral("--export"), QStringLiteral("md"), kDiary, out});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(tltest::readFile(out).startsWith("## Shopping list\n"));
}

struct ImportStatusCase {
    const char *name;
    QStringList args;  // %G: the gnote fixture, %F: a fresh folder
    int status;
    const char *said;  // on stderr, or on stdout for 0
};

class ImportCommandTest : public ::testing::TestWithParam<ImportStatusCase> {};

TEST_P(ImportCommandTest, StatusAndMessage)
{
    const QString folder = tltest::freshFolder();
    QDir(folder).mkpath(QStringLiteral("empty"));
    tltest::writeFile(folder + QStringLiteral("/taken.nts"), "mine");
    QStringList args = GetParam().args;
    for (QString &a : args)
        a.replace(QLatin1String("%G"), QStringLiteral(TL_FIXTURES "/gnote")).replace(QLatin1String("%F"), folder);
    const Outcome r = run(args);
    EXPECT_EQ(r.status, GetParam().status) << qPrintable(r.err);
    EXPECT_THAT((r.status == 0 ? r.out : r.err).toStdString(), HasSubstr(GetParam().said));
    EXPECT_EQ(tltest::readFile(folder + QStringLiteral("/taken.nts")), "mine");
    if (r.status != 0)
        EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/out.nts")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImportCommandTest,
    ::testing::Values(
        ImportStatusCase{"gnote", {"--import", "gnote", "%G", "%F/out.nts"}, 0, "2 notes written to"},
        ImportStatusCase{"reportsTheSkipped", {"--import", "gnote", "%G", "%F/out.nts"}, 0, "skipped: c0de.note: a template"},
        ImportStatusCase{"unknownKind", {"--import", "evernote", "%G", "%F/out.nts"}, 2, "unknown import kind"},
        ImportStatusCase{"notANotesFile", {"--import", "gnote", "%G", "%F/out.txt"}, 2, "*.nts"},
        ImportStatusCase{"tooFewArguments", {"--import", "gnote", "%G"}, 2, "Usage:"},
        ImportStatusCase{"missingSource", {"--import", "gnote", "%F/none", "%F/out.nts"}, 1, "does not exist"},
        ImportStatusCase{"nothingToTake", {"--import", "files", "%F/empty", "%F/out.nts"}, 1, "nothing written"},
        ImportStatusCase{"outputExists", {"--import", "gnote", "%G", "%F/taken.nts"}, 1, "already exists"}),
    [](const ::testing::TestParamInfo<ImportStatusCase> &info) { return std::string(info.param.name); });

TEST(ImportCommand, WritesANotesFileThisProgramReads)
{
    const QString out = tltest::freshFolder() + QStringLiteral("/Imported.nts");
    const Outcome r = run({QStringLiteral("--import"), QStringLiteral("gnote"), QStringLiteral(TL_FIXTURES "/gnote"), out});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    const QStringList notes = tl::port::readAllNotes(out);
    ASSERT_EQ(notes.size(), 2);
    EXPECT_EQ(tl::port::titleOf(notes[0]), QStringLiteral("Ideas"));
    EXPECT_THAT(r.out.toStdString(), HasSubstr("taken: 8a7c.note: Ideas"));
    // Nothing beside it but the file itself.
    EXPECT_EQ(QDir(QFileInfo(out).path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("Imported.nts")});
}

} // namespace
