// The command-line export: its exit status and what it says, for each way
// it can go.

#include "support/tempenv.h"

#include "port/command.h"

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
    QStringList args = GetParam().args;
    for (QString &a : args)
        a.replace(QLatin1String("%D"), kDiary).replace(QLatin1String("%F"), folder);
    const Outcome r = run(args);
    EXPECT_EQ(r.status, GetParam().status) << qPrintable(r.err);
    EXPECT_THAT((r.status == 0 ? r.out : r.err).toStdString(), HasSubstr(GetParam().said));
    if (r.status != 0 && args.size() == 4)
        EXPECT_FALSE(QFileInfo::exists(args[3]) && !args[3].endsWith(QLatin1String("exists")));
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
        StatusCase{"rtfFolderExists", {"--export", "rtf-dir", "%D", "%F/exists"}, 1, "already exists"}),
    [](const ::testing::TestParamInfo<StatusCase> &info) { return std::string(info.param.name); });

TEST(ExportCommand, WritesTheFileItSays)
{
    const QString out = tltest::freshFolder() + QStringLiteral("/Diary.md");
    const Outcome r = run({QStringLiteral("--export"), QStringLiteral("md"), kDiary, out});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(tltest::readFile(out).startsWith("## Shopping list\n"));
}

} // namespace
