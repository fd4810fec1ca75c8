// The editor control: content in and out, format through its own API,
// plain-text paste, lines and scrolling, text limit, address marks and
// printing.

#include "richtext/content.h"
#include "richtext/richedit.h"
#include "richtext/rtfdocument.h"
#include "support/tempenv.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QPrinter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <functional>

namespace {

using tl::RichEdit;

void select(RichEdit &e, int from, int to)
{
    QTextCursor c = e.textCursor();
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    e.setTextCursor(c);
}

void caretAt(RichEdit &e, int at) { select(e, at, at); }

// ---- content in

struct ContentCase {
    const char *name;
    QString input;
    QString plain;
};

void PrintTo(const ContentCase &c, std::ostream *os) { *os << c.name; }

class SetContent : public ::testing::TestWithParam<ContentCase> {};

TEST_P(SetContent, GivesText)
{
    RichEdit e;
    e.setContentText(QStringLiteral("old text"));
    e.setContentText(GetParam().input);
    EXPECT_EQ(e.plainText(), GetParam().plain);
    EXPECT_EQ(e.textCursor().position(), 0);
    EXPECT_FALSE(e.document()->isUndoAvailable());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SetContent,
    ::testing::Values(
        ContentCase{"Rtf", QStringLiteral("{\\rtf1 one\\par two\\par\n}"), "one\ntwo"},
        ContentCase{"RtfWithLfLineEnds", QStringLiteral("{\\rtf1\n\\pard a\\par\nb\\par\n}"), "a\nb"},
        ContentCase{"PlainText", QStringLiteral("line 1\nline 2"), "line 1\nline 2"},
        ContentCase{"PlainTextThatMentionsRtf", QStringLiteral(" {\\rtf1 x}"), " {\\rtf1 x}"},
        ContentCase{"UppercaseIsNotRtf", QStringLiteral("{\\RTF1 x}"), "{\\RTF1 x}"},
        ContentCase{"Empty", QString(), QString()},
        ContentCase{"RtfHoldingWideCharacters", QString::fromUtf8("{\\rtf1 \u0416\u4E2D}"),
                    QString::fromUtf8("\u0416\u4E2D")},
        ContentCase{"Latin1CharactersAsBytes", QString::fromUtf8("{\\rtf1 caf\u00e9}"),
                    QString::fromUtf8("caf\u00e9")}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SetContentFormat, PlainTextDropsTheFormatAtTheCaret)
{
    RichEdit e;
    e.setContentText(QStringLiteral("{\\rtf1 \\b bold}"));
    caretAt(e, 2);
    ASSERT_TRUE(e.selectionCharFormat().bold);
    e.setContentText(QStringLiteral("plain"));
    caretAt(e, 2);
    EXPECT_FALSE(e.selectionCharFormat().bold);
}

// ---- format through the editor's own API survives a trip through RTF

struct ApiCase {
    const char *name;
    std::function<void(RichEdit &)> build;
};

void PrintTo(const ApiCase &c, std::ostream *os) { *os << c.name; }

class ApiRoundTrip : public ::testing::TestWithParam<ApiCase> {};

TEST_P(ApiRoundTrip, FormatSurvivesExactly)
{
    RichEdit a;
    a.setFont(QFont(QStringLiteral("Tahoma"), 10));
    GetParam().build(a);
    const QString rtf = a.toRtf();
    ASSERT_TRUE(rtf.startsWith(QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0")));
    ASSERT_TRUE(rtf.endsWith(u'}'));

    RichEdit b;
    b.setFont(QFont(QStringLiteral("Courier"), 20));
    b.setContentText(rtf);
    EXPECT_EQ(b.plainText(), a.plainText());
    // Defaults of a are written out explicitly, so compare against a's
    // document with its defaults resolved.
    EXPECT_EQ(rtftest::contentOf(*b.document()), rtftest::contentOf(*a.document()));
    EXPECT_EQ(b.toRtf(), rtf);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, ApiRoundTrip,
    ::testing::Values(
        ApiCase{"TypedText", [](RichEdit &e) { e.insertPlainText(QStringLiteral("typed\nlines\there")); }},
        ApiCase{"EachStyle",
                [](RichEdit &e) {
                    e.insertPlainText(QStringLiteral("bold italic under all"));
                    select(e, 0, 4);
                    e.setSelectionBold(true);
                    select(e, 5, 11);
                    e.setSelectionItalic(true);
                    select(e, 12, 17);
                    e.setSelectionUnderline(true);
                    select(e, 18, 21);
                    e.setSelectionBold(true);
                    e.setSelectionItalic(true);
                    e.setSelectionUnderline(true);
                }},
        ApiCase{"FontSizeColour",
                [](RichEdit &e) {
                    e.insertPlainText(QStringLiteral("name size colour"));
                    select(e, 0, 4);
                    e.setSelectionFontName(QStringLiteral("Times New Roman"));
                    select(e, 5, 9);
                    e.setSelectionPointSize(18);
                    select(e, 10, 16);
                    e.setSelectionColor(QColor(0x12, 0x34, 0x56));
                }},
        ApiCase{"HalfPointSize",
                [](RichEdit &e) {
                    e.insertPlainText(QStringLiteral("small"));
                    select(e, 0, 5);
                    e.setSelectionPointSize(8.5);
                }},
        ApiCase{"AlignmentPerParagraph",
                [](RichEdit &e) {
                    e.insertPlainText(QStringLiteral("left\ncentre\nright\nleft again"));
                    caretAt(e, 6);
                    e.setParagraphAlignment(Qt::AlignHCenter);
                    caretAt(e, 13);
                    e.setParagraphAlignment(Qt::AlignRight);
                }},
        ApiCase{"Bullets",
                [](RichEdit &e) {
                    e.insertPlainText(QStringLiteral("intro\none\ntwo\nout"));
                    select(e, 7, 11);
                    e.setParagraphBullet(true);
                }},
        ApiCase{"CyrillicAndBeyond",
                [](RichEdit &e) {
                    e.insertPlainText(QString::fromUtf8("Привет, мир — 中文 😀 ü"));
                    select(e, 0, 6);
                    e.setSelectionBold(true);
                }},
        ApiCase{"EmptyLinesAndLineBreak",
                [](RichEdit &e) {
                    e.insertPlainText(QStringLiteral("a\n\n\nb"));
                    QTextCursor c = e.textCursor();
                    c.insertText(QString(QChar::LineSeparator) + QStringLiteral("c"));
                }}),
    [](const auto &info) { return std::string(info.param.name); });

// ---- selection format

class SelectionFormat : public ::testing::Test {
protected:
    void SetUp() override
    {
        e.setFont(QFont(QStringLiteral("Tahoma"), 10));
        e.setContentText(QStringLiteral("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Verdana;}}"
                                        "{\\colortbl ;\\red255\\green0\\blue0;}"
                                        "\\f0\\fs20 plain \\b\\i\\ul\\cf1\\f1\\fs32 styled\\b0 half\\par}"));
    }
    RichEdit e;
};

TEST_F(SelectionFormat, ReadsTheFormatOfTheSelection)
{
    select(e, 6, 12);
    const RichEdit::CharFormat f = e.selectionCharFormat();
    EXPECT_EQ(f.fontName, QStringLiteral("Verdana"));
    EXPECT_EQ(f.pointSize, 16);
    EXPECT_EQ(f.color, QColor(255, 0, 0));
    EXPECT_TRUE(f.bold);
    EXPECT_TRUE(f.italic);
    EXPECT_TRUE(f.underline);
}

TEST_F(SelectionFormat, PartlyBoldIsNotBoldAndClickMakesAllBold)
{
    select(e, 8, 14);
    ASSERT_FALSE(e.selectionCharFormat().bold);
    EXPECT_TRUE(e.selectionCharFormat().italic);
    e.setSelectionBold(true);
    EXPECT_TRUE(e.selectionCharFormat().bold);
    select(e, 8, 14);
    e.setSelectionBold(false);
    EXPECT_FALSE(e.selectionCharFormat().bold);
    select(e, 6, 8);
    EXPECT_TRUE(e.selectionCharFormat().bold); // outside the selection: unchanged
    select(e, 8, 14);
    EXPECT_TRUE(e.selectionCharFormat().underline); // other styles untouched
}

TEST_F(SelectionFormat, CaretWithoutSelectionGetsTheFormatForTyping)
{
    caretAt(e, 3);
    EXPECT_EQ(e.selectionCharFormat().fontName, QStringLiteral("Arial"));
    e.setSelectionUnderline(true);
    e.insertPlainText(QStringLiteral("U"));
    select(e, 3, 4);
    EXPECT_TRUE(e.selectionCharFormat().underline);
    select(e, 0, 3);
    EXPECT_FALSE(e.selectionCharFormat().underline);
}

TEST(Paragraph, AlignmentAndBulletFollowTheCaret)
{
    RichEdit e;
    e.setContentText(QStringLiteral("{\\rtf1\\pard\\qc a\\par\\pard{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt}b\\par\\pard\\qr c\\par}"));
    caretAt(e, 0);
    EXPECT_EQ(e.paragraphAlignment(), Qt::AlignHCenter);
    EXPECT_FALSE(e.paragraphBullet());
    caretAt(e, 2);
    EXPECT_EQ(e.paragraphAlignment(), Qt::AlignLeft);
    EXPECT_TRUE(e.paragraphBullet());
    caretAt(e, 4);
    EXPECT_EQ(e.paragraphAlignment(), Qt::AlignRight);

    caretAt(e, 2);
    e.setParagraphBullet(false);
    EXPECT_FALSE(e.paragraphBullet());
    EXPECT_EQ(e.textCursor().blockFormat().indent(), 0);
    e.setParagraphBullet(true);
    EXPECT_TRUE(e.paragraphBullet());
    caretAt(e, 0);
    EXPECT_FALSE(e.paragraphBullet());
}

// ---- paste arrives as plain text in the format at the caret

struct PasteCase {
    const char *name;
    std::function<QMimeData *()> make;
    QString pasted;
};

void PrintTo(const PasteCase &c, std::ostream *os) { *os << c.name; }

class Paste : public ::testing::TestWithParam<PasteCase> {};

TEST_P(Paste, ArrivesAsPlainText)
{
    RichEdit e;
    e.setContentText(QStringLiteral("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 [\\i ]}"));
    caretAt(e, 1);
    const RichEdit::CharFormat before = e.selectionCharFormat();
    QApplication::clipboard()->setMimeData(GetParam().make());
    e.paste();
    EXPECT_EQ(e.plainText(), QStringLiteral("[") + GetParam().pasted + QStringLiteral("]"));
    for (int i = 1; i <= GetParam().pasted.size(); ++i) {
        select(e, i, i + 1);
        const RichEdit::CharFormat f = e.selectionCharFormat();
        if (e.textCursor().selectedText().at(0) == QChar::ParagraphSeparator)
            continue;
        EXPECT_EQ(f.fontName, before.fontName) << i;
        EXPECT_EQ(f.pointSize, before.pointSize) << i;
        EXPECT_FALSE(f.bold) << i;
        EXPECT_FALSE(f.italic) << i;
        EXPECT_FALSE(f.color.isValid()) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sources, Paste,
    ::testing::Values(
        PasteCase{"Html",
                  [] {
                      auto *m = new QMimeData;
                      m->setHtml(QStringLiteral("<b style='color:red;font-size:30pt'>Bold</b> <i>it</i>"));
                      m->setText(QStringLiteral("Bold it"));
                      return m;
                  },
                  QStringLiteral("Bold it")},
        PasteCase{"Rtf",
                  [] {
                      auto *m = new QMimeData;
                      m->setData(QStringLiteral("text/rtf"), "{\\rtf1 \\b\\fs60 big}");
                      m->setText(QStringLiteral("big"));
                      return m;
                  },
                  QStringLiteral("big")},
        PasteCase{"WindowsLineEnds",
                  [] {
                      auto *m = new QMimeData;
                      m->setText(QStringLiteral("a\r\nb\rc"));
                      return m;
                  },
                  QStringLiteral("a\nb\nc")}),
    [](const auto &info) { return std::string(info.param.name); });

// Text and images; an image only where the document is rich text.
TEST(PasteFormats, TextAndImages)
{
    struct Probe : RichEdit {
        using RichEdit::canInsertFromMimeData;
    } e;
    QMimeData image;
    image.setImageData(QImage(4, 4, QImage::Format_RGB32));
    EXPECT_TRUE(e.canInsertFromMimeData(&image));
    QMimeData html;
    html.setHtml(QStringLiteral("<b>x</b>"));
    html.setText(QStringLiteral("x"));
    EXPECT_TRUE(e.canInsertFromMimeData(&html));
    QMimeData other;
    other.setData(QStringLiteral("application/x-other"), "1");
    EXPECT_FALSE(e.canInsertFromMimeData(&other));
}

QImage testImage()
{
    QImage image(6, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(1, 2, qRgb(200, 10, 30));
    image.setPixel(5, 0, qRgb(0, 90, 250));
    return image;
}

QByteArray testPng()
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    testImage().save(&buffer, "PNG");
    return png;
}

TEST(PasteImage, InsertsAPngPictureAtTheCaret)
{
    RichEdit e;
    e.setContentText(QStringLiteral("{\\rtf1 ab}"));
    caretAt(e, 1);
    QApplication::clipboard()->setImage(testImage());
    e.paste();
    EXPECT_EQ(e.plainText(), QString::fromUtf8("a\uFFFCb"));
    EXPECT_EQ(e.textCursor().position(), 2);

    // Saved as a PNG picture of the image, at its size, and loaded back so.
    const QString rtf = e.toRtf();
    const qsizetype at = rtf.indexOf(QLatin1String("{\\pict\\pngblip\\picw6\\pich4\\picwgoal90\\pichgoal60"));
    ASSERT_GE(at, 0) << rtf.toStdString();
    const qsizetype data = rtf.indexOf(u'\n', at) + 1;
    const QByteArray png = QByteArray::fromHex(rtf.mid(data, rtf.indexOf(u'}', data) - data).toLatin1());
    EXPECT_EQ(QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32), testImage());

    RichEdit back;
    back.setContentText(rtf);
    EXPECT_EQ(back.plainText(), e.plainText());
    EXPECT_EQ(back.toRtf(), rtf);
}

TEST(PasteImage, TextWinsAndLimitHolds)
{
    RichEdit e;
    e.setContentText(QStringLiteral("ab"));
    caretAt(e, 2);
    auto *both = new QMimeData;
    both->setImageData(testImage());
    both->setText(QStringLiteral("text"));
    QApplication::clipboard()->setMimeData(both);
    e.paste();
    EXPECT_EQ(e.plainText(), QStringLiteral("abtext"));

    e.setTextLimit(6);
    QApplication::clipboard()->setImage(testImage());
    e.paste();
    EXPECT_EQ(e.plainText(), QStringLiteral("abtext"));
}

// Cut and paste (and a drag) inside the editor keep the pictures where they
// were in the text; the text still takes the caret's format.
TEST(PasteImage, PicturesCopiedInTheEditorComeAlong)
{
    RichEdit e;
    const std::string wmf = "{\\pict\\wmetafile8\\picwgoal300\\pichgoal150 0100090000030c00}";
    e.setContentText(QString::fromStdString("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 [\\i x{\\pict\\pngblip\\picw6\\pich4 "
                                            + testPng().toHex().toStdString() + "}y" + wmf + "z\\i0 ]}"));
    select(e, 1, 6);
    e.cut();
    EXPECT_EQ(e.plainText(), QStringLiteral("[]"));
    caretAt(e, 2);
    e.paste();
    caretAt(e, 0);
    e.paste();
    EXPECT_EQ(e.plainText(), QString::fromUtf8("x\uFFFCy\uFFFCz[]x\uFFFCy\uFFFCz"));
    const QString rtf = e.toRtf();
    EXPECT_EQ(rtf.count(QLatin1String("{\\pict\\pngblip\\picw6\\pich4\n") + QString::fromLatin1(testPng().toHex().left(128))), 2)
        << rtf.toStdString();
    EXPECT_EQ(rtf.count(QString::fromStdString(wmf)), 2);
    for (int at : {0, 1, 2, 3, 4, 7, 8}) {
        select(e, at, at + 1);
        EXPECT_FALSE(e.selectionCharFormat().italic) << at;
    }
}

TEST(PasteImage, ObjectCharactersInTextAreDropped)
{
    RichEdit e;
    QApplication::clipboard()->setText(QString::fromUtf8("a\uFFFCb"));
    e.paste();
    EXPECT_EQ(e.plainText(), QStringLiteral("ab"));
}

// ---- lines and scrolling

class Lines : public ::testing::Test {
protected:
    void SetUp() override
    {
        e.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
        e.setLineWrapMode(QTextEdit::WidgetWidth);
        e.resize(300, 120);
        e.show();
        QStringList lines;
        for (int i = 0; i < 50; ++i)
            lines << QStringLiteral("line %1").arg(i);
        e.setContentText(lines.join(u'\n'));
    }
    RichEdit e;
};

TEST_F(Lines, CountsParagraphLines)
{
    EXPECT_EQ(e.lineCount(), 50);
    caretAt(e, e.document()->findBlockByNumber(17).position() + 2);
    EXPECT_EQ(e.caretLine(), 17);
}

TEST_F(Lines, WrappedLinesCount)
{
    e.setContentText(QString(400, u'w').replace(QRegularExpression("(w{9})"), "\\1 ") + "\nend");
    const int lines = e.lineCount();
    EXPECT_GT(lines, 3);
    caretAt(e, e.document()->lastBlock().position());
    EXPECT_EQ(e.caretLine(), lines - 1);
}

TEST_F(Lines, CaretLineIsTheEndOfTheSelection)
{
    const int start = e.document()->findBlockByNumber(3).position();
    const int end = e.document()->findBlockByNumber(9).position() + 1;
    select(e, end, start); // anchor after the caret
    EXPECT_EQ(e.caretLine(), 9);
}

TEST_F(Lines, ScrollsByLines)
{
    ASSERT_EQ(e.firstVisibleLine(), 0);
    e.scrollLines(5);
    EXPECT_EQ(e.firstVisibleLine(), 5);
    e.scrollLines(-2);
    EXPECT_EQ(e.firstVisibleLine(), 3);
    e.scrollLines(-100);
    EXPECT_EQ(e.firstVisibleLine(), 0);
    e.scrollLines(1000);
    EXPECT_EQ(e.verticalScrollBar()->value(), e.verticalScrollBar()->maximum());
}

TEST_F(Lines, ScrollToTopThenToTheCaretLine)
{
    caretAt(e, e.document()->findBlockByNumber(20).position());
    e.scrollLines(-e.lineCount());
    e.scrollLines(e.caretLine());
    EXPECT_EQ(e.firstVisibleLine(), 20);
}

TEST(LinesEmpty, EmptyEditorHasOneLine)
{
    RichEdit e;
    EXPECT_EQ(e.lineCount(), 1);
    EXPECT_EQ(e.caretLine(), 0);
    e.scrollLines(3);
    EXPECT_EQ(e.firstVisibleLine(), 0);
}

// ---- text limit

class Limit : public ::testing::Test {
protected:
    void SetUp() override
    {
        e.show();
        e.setFocus();
        e.setTextLimit(5);
    }
    RichEdit e;
};

TEST_F(Limit, TypingStopsAtTheLimit)
{
    EXPECT_EQ(RichEdit().textLimit(), 32767);
    QTest::keyClicks(&e, QStringLiteral("abcdefg"));
    EXPECT_EQ(e.plainText(), QStringLiteral("abcde"));
    QTest::keyClick(&e, Qt::Key_Backspace);
    QTest::keyClick(&e, Qt::Key_Return);
    EXPECT_EQ(e.plainText(), QStringLiteral("abcd\n"));
    QTest::keyClick(&e, Qt::Key_X);
    EXPECT_EQ(e.plainText(), QStringLiteral("abcd\n"));
}

TEST_F(Limit, TypingOverASelectionReplacesIt)
{
    e.setContentText(QStringLiteral("abcde"));
    select(e, 1, 3);
    QTest::keyClicks(&e, QStringLiteral("XY"));
    EXPECT_EQ(e.plainText(), QStringLiteral("aXYde"));
}

TEST_F(Limit, PasteIsCut)
{
    e.setContentText(QStringLiteral("ab"));
    caretAt(e, 2);
    QApplication::clipboard()->setText(QStringLiteral("123456"));
    e.paste();
    EXPECT_EQ(e.plainText(), QStringLiteral("ab123"));
}

TEST_F(Limit, ReachingItIsSignalledForTypingAndPaste)
{
    QSignalSpy reached(&e, &RichEdit::textLimitReached);
    QTest::keyClicks(&e, QStringLiteral("abcde"));
    EXPECT_EQ(reached.count(), 0);
    QTest::keyClick(&e, Qt::Key_F);
    EXPECT_EQ(reached.count(), 1);
    e.setContentText(QStringLiteral("ab"));
    caretAt(e, 2);
    QApplication::clipboard()->setText(QStringLiteral("123"));
    e.paste();
    EXPECT_EQ(reached.count(), 1);
    QApplication::clipboard()->setText(QStringLiteral("4567"));
    e.paste();
    EXPECT_EQ(reached.count(), 2);
    EXPECT_EQ(e.plainText(), QStringLiteral("ab123"));
}

TEST_F(Limit, SetContentIsNotLimited)
{
    e.setContentText(QStringLiteral("much longer than five"));
    EXPECT_EQ(e.plainText(), QStringLiteral("much longer than five"));
}

// ---- keys with Alt are commands, not text

TEST(AltKeys, TypeNothing)
{
    RichEdit e;
    e.show();
    e.setFocus();
    e.setContentText(QStringLiteral("ab"));
    caretAt(e, 2);
    for (Qt::Key k : {Qt::Key_2, Qt::Key_Q, Qt::Key_Return, Qt::Key_Space})
        QTest::keyClick(&e, k, Qt::AltModifier);
    EXPECT_EQ(e.plainText(), QStringLiteral("ab"));
    QTest::keyClick(&e, Qt::Key_C);
    EXPECT_EQ(e.plainText(), QStringLiteral("abc"));
}

// ---- web addresses

class Urls : public ::testing::Test {
protected:
    void SetUp() override
    {
        e.resize(400, 200);
        e.show();
        e.setContentText(QStringLiteral("{\\rtf1 see http://example.com/a?b=1. or www.tessaleaf.example\\par "
                                        "mail mailto:me@example.org, \\b bold\\par}"));
    }
    int at(const char *s) const { return int(e.plainText().indexOf(QLatin1String(s))); }
    RichEdit e;
};

TEST_F(Urls, MarksAddressesOnlyWhenOn)
{
    EXPECT_FALSE(e.isLinkAt(at("example.com")));
    e.setAutoUrlDetect(true);
    EXPECT_TRUE(e.autoUrlDetect());
    EXPECT_TRUE(e.isLinkAt(at("http")));
    EXPECT_TRUE(e.isLinkAt(at("b=1")));
    EXPECT_FALSE(e.isLinkAt(at("b=1") + 3)); // the sentence's full stop
    EXPECT_TRUE(e.isLinkAt(at("www")));
    EXPECT_TRUE(e.isLinkAt(at("me@")));
    EXPECT_FALSE(e.isLinkAt(at("see")));
    EXPECT_FALSE(e.isLinkAt(at("bold")));
    e.setAutoUrlDetect(false);
    EXPECT_FALSE(e.isLinkAt(at("http")));
}

TEST_F(Urls, SwitchingLeavesTextAndFormatAlone)
{
    const QString before = e.toRtf();
    e.setAutoUrlDetect(true);
    EXPECT_EQ(e.toRtf(), before);
    e.setAutoUrlDetect(false);
    EXPECT_EQ(e.toRtf(), before);
}

TEST_F(Urls, NewlyTypedAddressIsMarked)
{
    e.setAutoUrlDetect(true);
    caretAt(e, 0);
    e.insertPlainText(QStringLiteral("https://new.example "));
    EXPECT_TRUE(e.isLinkAt(2));
}

TEST_F(Urls, ClickOnALinkOnlyPlacesTheCaret)
{
    e.setAutoUrlDetect(true);
    const int pos = at("example.com") + 3;
    QTextCursor c = e.textCursor();
    c.setPosition(pos);
    const QPoint p = e.cursorRect(c).center();
    caretAt(e, 0);
    const QString before = e.toRtf();
    QTest::mouseClick(e.viewport(), Qt::LeftButton, {}, p);
    EXPECT_NEAR(e.textCursor().position(), pos, 1);
    EXPECT_FALSE(e.textCursor().hasSelection());
    EXPECT_EQ(e.toRtf(), before);
}

// ---- links the note holds

class Links : public ::testing::Test {
protected:
    void SetUp() override
    {
        e.resize(400, 200);
        e.show();
        e.setContentText(QStringLiteral("{\\rtf1 see {\\field{\\*\\fldinst{HYPERLINK \"https://example.org/x\"}}"
                                        "{\\fldrslt{\\ul the link}}} and http://marked.example\\par}"));
        e.setAutoUrlDetect(true);
    }
    QPoint at(const char *text, int offset = 2) const
    {
        QTextCursor c(e.document());
        c.setPosition(int(e.plainText().indexOf(QLatin1String(text))) + offset);
        return e.cursorRect(c).center();
    }
    RichEdit e;
    QSignalSpy spy{&e, &RichEdit::linkActivated};
};

TEST_F(Links, AClickOrCtrlClickActivatesTheLink)
{
    QTest::mouseClick(e.viewport(), Qt::LeftButton, {}, at("the link"));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toUrl(), QUrl(QStringLiteral("https://example.org/x")));
    QTest::mouseClick(e.viewport(), Qt::LeftButton, Qt::ControlModifier, at("link"));
    EXPECT_EQ(spy.count(), 2);
    EXPECT_FALSE(e.textCursor().hasSelection());
}

TEST_F(Links, TextMarkedAddressesAndDragsActivateNothing)
{
    QTest::mouseClick(e.viewport(), Qt::LeftButton, {}, at("see"));
    QTest::mouseClick(e.viewport(), Qt::LeftButton, {}, at("marked"));
    QTest::mouseClick(e.viewport(), Qt::RightButton, {}, at("the link"));
    QTest::mouseClick(e.viewport(), Qt::LeftButton, Qt::ShiftModifier, at("the link"));
    QTest::mousePress(e.viewport(), Qt::LeftButton, {}, at("the link", 1));
    QTest::mouseMove(e.viewport(), at("and"));
    QTest::mouseRelease(e.viewport(), Qt::LeftButton, {}, at("the link", 6));
    EXPECT_EQ(spy.count(), 0);
}

TEST_F(Links, HoverShowsAHandAndGivesTheCursorBack)
{
    e.viewport()->setCursor(Qt::CrossCursor); // as a skin sets its own
    QTest::mouseMove(e.viewport(), at("the link"));
    EXPECT_EQ(e.viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(e.viewport(), at("marked"));
    EXPECT_EQ(e.viewport()->cursor().shape(), Qt::CrossCursor);
}

TEST_F(Links, KeepTheirTargetAndLookThroughASave)
{
    const QString rtf = e.toRtf();
    EXPECT_TRUE(rtf.contains(QLatin1String("{\\field{\\*\\fldinst{HYPERLINK \"https://example.org/x\"}}"
                                           "{\\fldrslt{\\ul the link}}} and http")))
        << rtf.toStdString();
    RichEdit back;
    back.setContentText(rtf);
    QTextCursor c(back.document());
    c.setPosition(int(back.plainText().indexOf(QLatin1String("link"))) + 1);
    EXPECT_EQ(c.charFormat().anchorHref(), QStringLiteral("https://example.org/x"));
    EXPECT_TRUE(c.charFormat().fontUnderline());
    EXPECT_EQ(back.toRtf(), rtf);
}

// ---- printing

TEST(Print, ToPdf)
{
    RichEdit e;
    e.setContentText(QStringLiteral("{\\rtf1 \\b Printed\\par page\\par}"));
    const QString pdf = tltest::freshFolder() + "/out.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    e.printContent(&printer);
    const QByteArray data = tltest::readFile(pdf);
    EXPECT_TRUE(data.startsWith("%PDF")) << data.left(20).toStdString();
    EXPECT_GT(data.size(), 500);
}

} // namespace
