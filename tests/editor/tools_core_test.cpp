// Help lookup, mail links and the PDF of a note, without windows.

#include "editor/helplinks.h"
#include "editor/printing.h"
#include "support/tempenv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

// Which help files a program folder holds, the language set, and which one opens.
struct HelpCase {
    const char *name;
    std::vector<const char *> files;  // relative to the program folder
    const char *language;
    const char *opened;  // relative
};

void PrintTo(const HelpCase &c, std::ostream *os) { *os << c.name; }

class HelpLookupTest : public testing::TestWithParam<HelpCase> {};

TEST_P(HelpLookupTest, OpensTheFirstHelpFileThatExists)
{
    const HelpCase &c = GetParam();
    const QString program = tltest::freshFolder();
    for (const char *f : c.files)
        tltest::writeFile(program + QLatin1Char('/') + QLatin1String(f), "<html></html>");
    EXPECT_EQ(tl::links::helpFile(program, QString::fromUtf8(c.language)),
              program + QLatin1Char('/') + QLatin1String(c.opened));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HelpLookupTest,
    testing::Values(
        HelpCase{"LanguageFolderFirst", {"languages/Deutsch/help.html", "help.html"}, "Deutsch",
                 "languages/Deutsch/help.html"},
        HelpCase{"BesideTheProgramWithoutALanguageHelp", {"languages/Deutsch/general.lng", "help.html"}, "Deutsch",
                 "help.html"},
        HelpCase{"BesideTheProgramBeforeEnglish", {"languages/English/help.html", "help.html"}, "Deutsch",
                 "help.html"},
        HelpCase{"EnglishAsTheLastResort", {"languages/English/help.html"}, "Deutsch", "languages/English/help.html"},
        HelpCase{"FolderNamesInAnyCase", {"Languages/deutsch/help.html", "help.html"}, "Deutsch",
                 "Languages/deutsch/help.html"},
        HelpCase{"AFolderNamedHelpIsNoFile", {"languages/Deutsch/help.html/x", "help.html"}, "Deutsch", "help.html"},
        HelpCase{"NoWayOutOfTheLanguages", {"languages/English/general.lng", "secret/help.html", "help.html"},
                 "../secret", "help.html"},
        HelpCase{"EmptyLanguage", {"help.html"}, "", "help.html"},
        HelpCase{"NoneAtAllStillTheOneBesideTheProgram", {"languages/Deutsch/general.lng"}, "Deutsch", "help.html"}),
    [](const testing::TestParamInfo<HelpCase> &i) { return std::string(i.param.name); });

TEST(MailLinks, GoToTheSupportAddressWithTheMenusSubjects)
{
    const QString to = QStringLiteral("mailto:") + tl::links::supportAddress();
    EXPECT_EQ(tl::links::supportMail(tl::links::MailSubject::None).toString(), to);
    EXPECT_EQ(tl::links::supportMail(tl::links::MailSubject::Feedback).toString(),
        to + QStringLiteral("?subject=Suggestion/Feedback"));
    EXPECT_EQ(tl::links::supportMail(tl::links::MailSubject::BugReport).toString(),
        to + QStringLiteral("?subject=BugReport"));
    EXPECT_TRUE(tl::links::supportAddress().contains(QLatin1Char('@')));
    EXPECT_TRUE(QUrl(tl::links::webSite()).isValid());
    EXPECT_EQ(QUrl(tl::links::webSite()).scheme(), QStringLiteral("https"));
}

TEST(PdfName, LiesBesideTheOpenFileOrInHome)
{
    const QString dir = tltest::freshFolder();
    EXPECT_EQ(tl::print::pdfNameFor(dir + QStringLiteral("/work.notes.nts"), QStringLiteral("/home/u")),
        dir + QStringLiteral("/work.notes.pdf"));
    EXPECT_EQ(tl::print::pdfNameFor(QString(), QStringLiteral("/home/u")), QStringLiteral("/home/u/Note.pdf"));
    EXPECT_EQ(tl::print::pdfNameFor(dir + QStringLiteral("/gone/a.nts"), QStringLiteral("/home/u")),
        QStringLiteral("/home/u/Note.pdf"));
}

// The text of each page of a PDF, by pdftotext (poppler-utils).
QStringList pdfPages(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

int pageObjects(const QByteArray &pdf)
{
    return int(QString::fromLatin1(pdf).count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

TEST(NotePdf, HoldsTheNotesTextPageAfterPage)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed; scripts/setup.sh installs it";
    QTextDocument doc;
    QStringList lines;
    for (int i = 1; i <= 150; ++i)
        lines << QStringLiteral("line %1 of the note").arg(i);
    doc.setPlainText(lines.join(QLatin1Char('\n')));
    const QByteArray pdf = tl::print::pdfOf(doc, QStringLiteral("long.nts"));
    ASSERT_TRUE(pdf.startsWith("%PDF-"));
    const QString file = tltest::writeFile(tltest::freshFolder() + QStringLiteral("/long.pdf"), pdf);
    const QStringList pages = pdfPages(file);
    ASSERT_GE(pages.size(), 3);
    EXPECT_EQ(pageObjects(pdf), pages.size());
    EXPECT_TRUE(pages.first().contains(QStringLiteral("line 1 of the note")));
    EXPECT_FALSE(pages.first().contains(QStringLiteral("line 150 of the note")));
    EXPECT_TRUE(pages.last().contains(QStringLiteral("line 150 of the note")));
    // Every line once, in order, across the pages.
    const QString all = pages.join(QLatin1Char('\n'));
    qsizetype at = 0;
    for (const QString &l : lines) {
        const qsizetype found = all.indexOf(QRegularExpression(QLatin1String("\\b") + l + QLatin1String("\\b")), at);
        ASSERT_GE(found, at) << l.toStdString();
        at = found + l.size();
    }
}

} // namespace
