// Export of one notes file to each format, each output read back by a
// parser of its own kind: HTML and Markdown by Qt, the PDF by pdftotext,
// the RTF files by the program's reader.

#include "support/tempenv.h"

#include "notes/compressed.h"
#include "platform/error.h"
#include "port/export.h"
#include "port/notedocument.h"
#include "port/notesfile.h"
#include "richtext/rtfdocument.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <gmock/gmock.h>

namespace {

using namespace tl::port;
using ::testing::ElementsAre;

const QString kDiary = QStringLiteral(TL_FIXTURES "/Diary.nts");

QStringList diaryNotes() { return readAllNotes(kDiary); }

// The format of the first occurrence of word in doc.
QTextCharFormat formatOf(const QTextDocument &doc, const QString &word)
{
    const QTextCursor found = doc.find(word, 0, QTextDocument::FindWholeWords);
    EXPECT_FALSE(found.isNull()) << qPrintable(word);
    QTextCursor at(const_cast<QTextDocument *>(&doc));
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat();
}

// Positions of the words in the text, to tell their order.
std::vector<qsizetype> positionsIn(const QString &text, const QStringList &words)
{
    std::vector<qsizetype> at;
    for (const QString &w : words)
        at.push_back(text.indexOf(w));
    return at;
}

TEST(ExportTest, ReadsEveryNoteOfAPlainAndACompressedFile)
{
    const QStringList notes = diaryNotes();
    ASSERT_EQ(notes.size(), 3);
    EXPECT_EQ(titleOf(notes[0]), QStringLiteral("Shopping list"));
    EXPECT_EQ(titleOf(notes[1]), QStringLiteral("plain second note"));

    const QString archive = tltest::freshFolder() + QStringLiteral("/Diary.znts");
    tl::compressed::packNotes(kDiary, archive, 6);
    const QByteArray before = tltest::readFile(archive);
    EXPECT_EQ(readAllNotes(archive), notes);
    EXPECT_EQ(tltest::readFile(archive), before);  // only read
}

TEST(ExportTest, HtmlKeepsHeadingsOrderAndFormat)
{
    const QString html = QString::fromUtf8(htmlOf(diaryNotes(), QStringLiteral("Diary")));
    EXPECT_TRUE(html.startsWith(QLatin1String("<!DOCTYPE html>\n<html lang=")));
    EXPECT_THAT(html.toStdString(), ::testing::HasSubstr("<meta charset=\"utf-8\">"));
    // A table of contents linking to each note's section.
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(html.contains(QStringLiteral("href=\"#note-%1\"").arg(i))
                    && html.contains(QStringLiteral("<section id=\"note-%1\">").arg(i)))
            << i;

    QTextDocument doc;
    doc.setHtml(html);
    const QString text = doc.toPlainText();
    const std::vector<qsizetype> order = positionsIn(text, {QStringLiteral("Buy"), QStringLiteral("with a * star"),
                                                            QStringLiteral("end")});
    EXPECT_TRUE(order[0] >= 0 && order[0] < order[1] && order[1] < order[2]) << qPrintable(text);
    // The first line is the heading, not said twice.
    EXPECT_EQ(text.count(QStringLiteral("Shopping list")), 2);  // contents and heading

    EXPECT_GT(formatOf(doc, QStringLiteral("milk")).fontWeight(), QFont::Normal);
    EXPECT_EQ(formatOf(doc, QStringLiteral("Buy")).fontWeight(), QFont::Normal);
    EXPECT_TRUE(formatOf(doc, QStringLiteral("eggs")).fontItalic());
    EXPECT_EQ(formatOf(doc, QStringLiteral("example")).anchorHref(), QStringLiteral("https://example.org/a?b&c"));
    EXPECT_EQ(formatOf(doc, QStringLiteral("red")).foreground().color().name(), QStringLiteral("#ff0000"));
    EXPECT_EQ(doc.find(QStringLiteral("centred")).block().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    EXPECT_NE(doc.find(QStringLiteral("one")).block().textList(), nullptr);
    const QTextCursor cell = doc.find(QStringLiteral("d"), 0, QTextDocument::FindWholeWords);
    const QTextTable *table = cell.currentTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 2);
}

TEST(ExportTest, HtmlEmbedsPicturesAndEscapesText)
{
    // A 1x1 PNG picture, and text that is markup in HTML.
    const QString note = QStringLiteral(
        "{\\rtf1\\ansi a <b> & \"c\"\\par{\\pict\\pngblip\\picw1\\pich1 "
        "89504e470d0a1a0a0000000d4948445200000001000000010802000000907753de0000000c49444154789c63f8cfc000000301"
        "0100c9fe92ef0000000049454e44ae426082}\\par}");
    const QString html = QString::fromUtf8(htmlOf({note}, QStringLiteral("<T>")));
    EXPECT_THAT(html.toStdString(), ::testing::HasSubstr("<title>&lt;T&gt;</title>"));
    EXPECT_THAT(html.toStdString(), ::testing::HasSubstr("a &lt;b&gt; &amp; &quot;c&quot;"));
    const QRegularExpression img(QStringLiteral("<img src=\"data:image/png;base64,([A-Za-z0-9+/=]+)\""));
    const QRegularExpressionMatch m = img.match(html);
    ASSERT_TRUE(m.hasMatch()) << qPrintable(html);
    const QImage back = QImage::fromData(QByteArray::fromBase64(m.captured(1).toLatin1()), "PNG");
    EXPECT_EQ(back.size(), QSize(1, 1));
}

TEST(ExportTest, LinksThatWouldRunScriptStayText)
{
    const QString note = QStringLiteral(
        "{\\rtf1\\ansi T\\par {\\field{\\*\\fldinst HYPERLINK \"javascript:alert(1)\"}{\\fldrslt bad}} "
        "{\\field{\\*\\fldinst HYPERLINK \"mailto:a@example.org\"}{\\fldrslt good}}\\par}");
    const QString html = QString::fromUtf8(htmlOf({note}, QStringLiteral("T")));
    EXPECT_FALSE(html.contains(QLatin1String("javascript"))) << qPrintable(html);
    EXPECT_THAT(html.toStdString(), ::testing::HasSubstr("<a href=\"mailto:a@example.org\">good</a>"));
    const QString md = QString::fromUtf8(markdownOf({note}));
    EXPECT_FALSE(md.contains(QLatin1String("javascript"))) << qPrintable(md);
    EXPECT_TRUE(md.contains(QLatin1String("bad"))) << qPrintable(md);
}

TEST(ExportTest, MarkdownByLine)
{
    const QStringList lines = QString::fromUtf8(markdownOf(diaryNotes())).split(QLatin1Char('\n'));
    auto lineAt = [&](const QString &line) { return lines.indexOf(line); };
    const qsizetype h1 = lineAt(QStringLiteral("## Shopping list")), h2 = lineAt(QStringLiteral("## plain second note")),
                    h3 = lineAt(QStringLiteral("## Third"));
    EXPECT_TRUE(h1 == 0 && h1 < h2 && h2 < h3) << qPrintable(lines.join(QLatin1Char('\n')));
    EXPECT_GE(lineAt(QStringLiteral("Buy **milk** and *eggs*; see [example](<https://example.org/a?b&c>).")), 0);
    EXPECT_GE(lineAt(QStringLiteral("- one")), 0);
    EXPECT_EQ(lineAt(QStringLiteral("- two")), lineAt(QStringLiteral("- one")) + 1);
    // Notes apart by a rule with blank lines round it (else a heading).
    EXPECT_EQ(lines.count(QStringLiteral("---")), 2);
    EXPECT_EQ(lines[lineAt(QStringLiteral("---")) - 1], QString());
    // Markup in the text is escaped.
    EXPECT_GE(lineAt(QStringLiteral("with a \\* star and \\# hash")), 0);
    EXPECT_GE(lineAt(QStringLiteral("| a | b |")), 0);
    EXPECT_EQ(lines[lineAt(QStringLiteral("| a | b |")) + 1], QStringLiteral("| --- | --- |"));

    // And a CommonMark reader sees the same.
    QTextDocument doc;
    doc.setMarkdown(QString::fromUtf8(markdownOf(diaryNotes())));
    EXPECT_GT(formatOf(doc, QStringLiteral("milk")).fontWeight(), QFont::Normal);
    EXPECT_EQ(formatOf(doc, QStringLiteral("example")).anchorHref(), QStringLiteral("https://example.org/a?b&c"));
    EXPECT_GE(doc.toPlainText().indexOf(QStringLiteral("with a * star and # hash")), 0);
}

TEST(ExportTest, MarkdownEscapesWhatWouldStartABlock)
{
    const QString md = QString::fromUtf8(markdownOf({QStringLiteral("Title\n- not a list\n1. not numbered\n    not code")}));
    QTextDocument doc;
    doc.setMarkdown(md);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("Title\n- not a list\n1. not numbered\nnot code")) << qPrintable(md);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        EXPECT_EQ(b.textList(), nullptr) << qPrintable(b.text());
}

TEST(ExportTest, TextSeparatesNotesByAFormFeedLine)
{
    const QStringList parts = QString::fromUtf8(textOf(diaryNotes())).split(QStringLiteral("\f\n"));
    ASSERT_EQ(parts.size(), 3);
    EXPECT_TRUE(parts[0].startsWith(QLatin1String("Shopping list\nBuy milk and eggs; see example.\n")));
    EXPECT_EQ(parts[1], QStringLiteral("plain second note\nwith a * star and # hash\n"));
    EXPECT_TRUE(parts[2].startsWith(QLatin1String("Third\n")));
}

TEST(ExportTest, PdfHasEachNoteOnAPageOfItsOwn)
{
    const QString folder = tltest::freshFolder();
    exportNotes(diaryNotes(), ExportFormat::Pdf, folder + QStringLiteral("/Diary.pdf"), QStringLiteral("Diary"));
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {folder + QStringLiteral("/Diary.pdf"), QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(60000));
    ASSERT_EQ(pdftotext.exitCode(), 0);
    const QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QLatin1Char('\f'));
    ASSERT_GE(pages.size(), 3);
    EXPECT_TRUE(pages[0].contains(QLatin1String("Shopping list")) && pages[0].contains(QLatin1String("milk")));
    EXPECT_TRUE(pages[1].contains(QLatin1String("plain second note")));
    EXPECT_TRUE(pages[2].contains(QLatin1String("Third")));
    // Numbered at the foot.
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(pages[i].trimmed().endsWith(QString::number(i + 1))) << qPrintable(pages[i]);
}

TEST(ExportTest, RtfFolderHoldsOneFilePerNoteByNumberAndFirstLine)
{
    const QString out = tltest::freshFolder() + QStringLiteral("/notes");
    const QStringList notes = diaryNotes();
    exportNotes(notes, ExportFormat::RtfFolder, out, QStringLiteral("Diary"));
    EXPECT_THAT(QDir(out).entryList(QDir::Files, QDir::Name),
                ElementsAre("001 Shopping list.rtf", "002 plain second note.rtf", "003 Third.rtf"));
    // Nothing else left beside it.
    EXPECT_EQ(QDir(QFileInfo(out).path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("notes")});
    for (int i = 0; i < notes.size(); ++i) {
        const QByteArray rtf = tltest::readFile(out + QLatin1Char('/') + rtfFileName(i, notes[i]));
        EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
        EXPECT_EQ(tl::rtf::toPlainText(std::string_view(rtf.constData(), size_t(rtf.size()))),
                  tl::port::plainTextOf(notes[i]).chopped(notes[i].endsWith(QLatin1Char('\n')) ? 1 : 0))
            << i;
    }
}

TEST(ExportTest, RtfFileNamesAreSafe)
{
    EXPECT_EQ(rtfFileName(0, QStringLiteral("../a/b: c?")), QStringLiteral("001 _a_b_ c_.rtf"));
    EXPECT_EQ(rtfFileName(11, QStringLiteral("...hidden")), QStringLiteral("012 hidden.rtf"));
    EXPECT_EQ(rtfFileName(1, QString()), QStringLiteral("002.rtf"));
    EXPECT_EQ(rtfFileName(2, QString(100, QLatin1Char('x'))), QStringLiteral("003 ") + QString(60, QLatin1Char('x')) + QStringLiteral(".rtf"));
}

TEST(ExportTest, AnExistingTargetIsKept)
{
    const QString folder = tltest::freshFolder();
    const QString existing = tltest::writeFile(folder + QStringLiteral("/notes/mine.txt"), "mine");
    EXPECT_THROW(exportNotes(diaryNotes(), ExportFormat::RtfFolder, folder + QStringLiteral("/notes"), {}), tl::Error);
    EXPECT_EQ(tltest::readFile(existing), "mine");
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("notes")});
}

} // namespace
