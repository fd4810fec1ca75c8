// Opening and closing files of every kind, from the command line too.

#include "notesfixture.h"

#include "settings/settingstable.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QTest>

#include <clocale>
#include <string>

namespace s = tl::setting;

namespace {

using DocumentsTest = NotesFormTest;

struct OpenCase {
    const char *name;
    bool notes;  // opens as a notes file
    const char *info;
};

class OpenKindTest : public NotesFormTest, public testing::WithParamInterface<OpenCase> {};

// The extension is compared exactly: a notes file named in capitals is a document.
TEST_P(OpenKindTest, DispatchesOnTheExactExtension)
{
    const OpenCase &c = GetParam();
    const QString file = notesFile(QString::fromUtf8(c.name), {QStringLiteral("one"), QStringLiteral("two")});
    open(file);
    EXPECT_EQ(info(), QString::fromUtf8(c.info));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tessaleaf - ") + QString::fromUtf8(c.name));
    EXPECT_EQ(form->cmdNext->isEnabled(), c.notes);
    EXPECT_FALSE(form->cmdBack->isEnabled());
    if (c.notes)
        EXPECT_EQ(editorText(), QStringLiteral("one"));
    else
        EXPECT_TRUE(editorText().startsWith(QStringLiteral("<root>")));
    EXPECT_FALSE(form->Modified());
}

INSTANTIATE_TEST_SUITE_P(Names, OpenKindTest,
                         testing::Values(OpenCase{"Diary.nts", true, "Note 1 of 2 from Diary.nts"},
                                         OpenCase{"Diary.NTS", false, "Text or RTF Diary.NTS"},
                                         OpenCase{"Diary.snts", false, "Text or RTF Diary.snts"}));

TEST_F(DocumentsTest, ADocumentNamedLikeNotesStaysADocument)
{
    const QString file = notesFile(QStringLiteral("Diary.NTS"), {QStringLiteral("one"), QStringLiteral("two")});
    open(file);
    type(QStringLiteral("x"));
    form->SaveFile2Click();
    // Written as the text shown, not stuffed into one of its notes.
    EXPECT_EQ(tltest::readFile(file), editorText().toUtf8());
    EXPECT_TRUE(editorText().endsWith(QStringLiteral("x")));
    form->cmdDelClick();  // one document: the whole file goes
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

TEST_F(DocumentsTest, ADocumentNamedLikeNotesIsSearchedAsShown)
{
    open(notesFile(QStringLiteral("Diary.NTS"), {QStringLiteral("one"), QStringLiteral("two")}));
    const QString shown = editorText();
    const QByteArray bytes = tltest::readFile(path(QStringLiteral("Diary.NTS")));
    form->cbSeek->setEditText(QStringLiteral("two"));
    QTest::keyClick(form->cbSeek->lineEdit(), Qt::Key_Return);
    // The hit is in the text shown: no note of the file takes its place, and
    // nothing is written into the file on the way.
    EXPECT_EQ(editorText(), shown);
    EXPECT_EQ(form->memo1->textCursor().selectedText(), QStringLiteral("two"));
    EXPECT_EQ(form->CurrentNote(), 0);
    EXPECT_EQ(tltest::readFile(path(QStringLiteral("Diary.NTS"))), bytes);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

TEST_F(DocumentsTest, TextAndRtfDocumentsOpenWholeAndAreSavedInTheirOwnFormat)
{
    const QString txt = tltest::writeFile(path(QStringLiteral("a.txt")), "line 1\r\nline 2\r\n");
    open(txt);
    EXPECT_EQ(editorText(), QStringLiteral("line 1\nline 2\n"));
    EXPECT_EQ(info(), QStringLiteral("Text or RTF a.txt"));
    type(QStringLiteral("3"));
    form->CloseNotes(txt);
    EXPECT_EQ(tltest::readFile(txt), QByteArray("line 1\r\nline 2\r\n3"));

    const QString rtf = tltest::writeFile(path(QStringLiteral("b.rtf")),
                                          "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}}\\f0 plain \\b bold\\b0\\par}");
    open(rtf);
    EXPECT_EQ(editorText(), QStringLiteral("plain bold"));
    type(QStringLiteral("!"));
    form->CloseNotes(rtf);
    const QByteArray written = tltest::readFile(rtf);
    EXPECT_TRUE(written.startsWith("{\\rtf")) << written.toStdString();
    EXPECT_TRUE(written.contains("\\b")) << written.toStdString();
    EXPECT_EQ(tl::rtf::toPlainText(std::string_view(written.constData(), size_t(written.size()))),
              QStringLiteral("plain bold!"));
}

// Closing a changed text document: asked only when AskBySave says "true" in any case.
struct CloseCase {
    const char *name;
    const char *askBySave;
    tl::MsgResult answer;
    bool asked;
    bool written;
};

class CloseDocumentTest : public NotesFormTest, public testing::WithParamInterface<CloseCase> {};

TEST_P(CloseDocumentTest, WritesAChangedDocument)
{
    const CloseCase &c = GetParam();
    const QString file = tltest::writeFile(path(QStringLiteral("a.txt")), "old");
    set(s::AskBySave, QString::fromUtf8(c.askBySave));
    open(file);
    type(QStringLiteral("er"));
    dialogs->answers = {c.answer};
    form->CloseNotes(file);
    ASSERT_EQ(dialogs->boxes.size(), c.asked ? 1u : 0u);
    if (c.asked) {
        EXPECT_EQ(dialogs->boxes[0].caption, QStringLiteral("Подтверждение"));
        EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("Сохранить изменения перед выходом?"));
        EXPECT_EQ(dialogs->boxes[0].buttons, tl::MsgButtons::YesNo);
    }
    EXPECT_EQ(tltest::readFile(file), c.written ? QByteArray("older") : QByteArray("old"));
}

INSTANTIATE_TEST_SUITE_P(Settings, CloseDocumentTest,
                         testing::Values(CloseCase{"NotAsked", "false", tl::MsgResult::No, false, true},
                                         CloseCase{"AskedYes", "true", tl::MsgResult::Yes, true, true},
                                         CloseCase{"AskedNo", "true", tl::MsgResult::No, true, false},
                                         CloseCase{"CaseIgnored", "TRUE", tl::MsgResult::No, true, false}),
                         [](const testing::TestParamInfo<CloseCase> &info) { return std::string(info.param.name); });

TEST_F(DocumentsTest, AnUnchangedDocumentIsNotWritten)
{
    const QString file = tltest::writeFile(path(QStringLiteral("a.txt")), "same");
    open(file);
    QFile::remove(file);  // a write would bring it back
    tltest::writeFile(file, "changed outside");
    form->CloseNotes(file);
    EXPECT_EQ(tltest::readFile(file), QByteArray("changed outside"));
}

// Text files in other encodings open editable; a save writes the text back
// in the file's own encoding, with its byte-order mark and line ends.
struct EncodedCase {
    const char *name;
    std::string_view bytes;
    const char16_t *shown;
    char16_t typed;
    std::string_view saved;  // after typing at the end
};

// Bytes that are no UTF-8 are read in the locale's single-byte page: the C
// locale has none, so they are read as Windows-1252 whatever the machine's.
class CLocale {
public:
    CLocale() : m_before(std::setlocale(LC_CTYPE, nullptr)) { std::setlocale(LC_CTYPE, "C"); }
    ~CLocale() { std::setlocale(LC_CTYPE, m_before.c_str()); }

private:
    std::string m_before;
};

class EncodedDocumentTest : public NotesFormTest, public testing::WithParamInterface<EncodedCase> {
    CLocale m_locale;
};

TEST_P(EncodedDocumentTest, OpensEditableAndSavesInItsOwnEncoding)
{
    const EncodedCase &c = GetParam();
    const QByteArray bytes(c.bytes.data(), qsizetype(c.bytes.size()));
    const QString file = tltest::writeFile(path(QStringLiteral("a.txt")), bytes);
    open(file);
    EXPECT_EQ(editorText(), QStringView(c.shown).toString().replace(QChar(0xA0), QLatin1Char(' ')));
    EXPECT_FALSE(form->memo1->isReadOnly());
    EXPECT_EQ(info(), QStringLiteral("Text or RTF a.txt"));

    // An edit undone and saved leaves every byte as it was.
    type(QString(QChar(c.typed)));
    QTest::keyClick(form->memo1, Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(form->Modified());
    form->SaveFile2Click();
    EXPECT_EQ(tltest::readFile(file), bytes);

    type(QString(QChar(c.typed)));
    form->SaveFile2Click();
    EXPECT_EQ(tltest::readFile(file), QByteArray(c.saved.data(), qsizetype(c.saved.size())));
    EXPECT_EQ(info(), QStringLiteral("Text or RTF a.txt"));
    EXPECT_TRUE(dialogs->boxes.empty());
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Files, EncodedDocumentTest,
    testing::Values(EncodedCase{"Latin1", "na\xEFve caf\xE9", u"naïve café", u'\u00FC', "na\xEFve caf\xE9\xFC"},
                    EncodedCase{"Utf8WithBom", "\xEF\xBB\xBF" "caf\xC3\xA9\n", u"café\n", u'\u00FC',
                                "\xEF\xBB\xBF" "caf\xC3\xA9\n\xC3\xBC"},
                    EncodedCase{"CrLf", "one\r\ntwo\r\n", u"one\ntwo\n", u'3', "one\r\ntwo\r\n3"},
                    EncodedCase{"Latin1CrLf", "caf\xE9\r\nna\xEFve\r\n", u"café\nnaïve\n", u'\u00FC',
                                "caf\xE9\r\nna\xEFve\r\n\xFC"},
                    EncodedCase{"Windows1252", "\x80 \x81\x8D\x8F\x90\x9D", u"€ \u0081\u008D\u008F\u0090\u009D",
                                u'\u20AC', "\x80 \x81\x8D\x8F\x90\x9D\x80"},
                    // The editor shows a no-break space as a space; the file keeps it.
                    EncodedCase{"NoBreakSpace", "a\xC2\xA0" "b\n", u"a\u00A0b\n", u'c', "a\xC2\xA0" "b\nc"},
                    EncodedCase{"Latin1NoBreakSpace", "caf\xE9\xA0!", u"café\u00A0!", u'?', "caf\xE9\xA0!?"}),
    [](const testing::TestParamInfo<EncodedCase> &info) { return std::string(info.param.name); });

// A character the file's code page has no byte for: the text goes to disk
// whole, as UTF-8, and the information bar says why.
TEST_F(DocumentsTest, TextThatNoLongerFitsItsCodePageIsSavedAsUtf8)
{
    CLocale locale;
    const QString file = tltest::writeFile(path(QStringLiteral("a.txt")), "caf\xE9\r\n");
    open(file);
    type(QStringLiteral("Жук"));
    form->SaveFile2Click();
    EXPECT_EQ(tltest::readFile(file), QByteArray("caf\xC3\xA9\r\n\xD0\x96\xD1\x83\xD0\xBA"));
    EXPECT_EQ(info(), QStringLiteral("Text or RTF a.txt - saved as UTF-8: Windows-1252 has no \"Ж\""));
    EXPECT_TRUE(dialogs->boxes.empty());
    open(file);
    EXPECT_EQ(editorText(), QStringLiteral("café\nЖук"));
    EXPECT_EQ(info(), QStringLiteral("Text or RTF a.txt"));
}

// Bytes no text encoding explains (an archive) are browsed: never written
// back over the file, and the information bar says why.
TEST_F(DocumentsTest, ABinaryFileIsOnlyBrowsed)
{
    const QByteArray bytes("PK\x03\x04\x14\0\0\0\x08\0\xff\xfe binary \x80\x81", 22);
    const QString file = tltest::writeFile(path(QStringLiteral("Diary.zip")), bytes);
    open(file);
    EXPECT_TRUE(form->memo1->isReadOnly());
    EXPECT_EQ(info(), QStringLiteral("Text or RTF Diary.zip (read-only: a binary file, not text)"));
    type(QStringLiteral("x"));
    form->session().file().shownEdited = true;
    form->SaveFile2Click();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].caption, QStringLiteral("Warning!"));
    EXPECT_EQ(dialogs->boxes[0].text,
              QStringLiteral("\"Diary.zip\" is shown read-only: a binary file, not text. It is not written."));
    form->SaveFileAs(file);
    form->CloseNotes(file);
    EXPECT_EQ(tltest::readFile(file), bytes);
}

// The warning names what is read-only: a document is no file of notes.
TEST_F(DocumentsTest, SaveOfAReadOnlyDocumentWarnsOfADocument)
{
    const QString file = makeReadOnly(tltest::writeFile(path(QStringLiteral("a.txt")), "caf\xE9"));
    open(file);
    EXPECT_EQ(info(), QStringLiteral("Text or RTF a.txt (read-only)"));
    form->session().file().shownEdited = true;
    form->SaveFile2Click();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].caption, QStringLiteral("Warning!"));
    EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("This document is read-only! You cannot save changes with this flag."));
    EXPECT_EQ(tltest::readFile(file), QByteArray("caf\xE9"));
}

TEST_F(DocumentsTest, ClosingANotesFileStoresTheNoteShown)
{
    const QString file = notesFile(QStringLiteral("Diary.nts"), {QStringLiteral("one"), QStringLiteral("two")});
    open(file);
    form->cmdNextClick();
    type(QStringLiteral("!"));
    form->FormDestroy();
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("one"), QStringLiteral("two!")}));
}

// A note shaped as Word writes one with a footnote: the editor has no place
// for the footnote, so the note is browsed and never written back.
const QString kFootnoted = QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 see{\\super\\chftn}"
                                          "{\\footnote\\pard\\plain{\\super\\chftn} the source}\\par}");

TEST_F(DocumentsTest, ANoteTheEditorCannotHoldIsBrowsedAndKeptAsItIs)
{
    const QString file =
        notesFile(QStringLiteral("Diary.nts"), {QStringLiteral("one"), kFootnoted, QStringLiteral("three")});
    open(file);
    form->cmdNextClick();
    EXPECT_EQ(editorText(), QStringLiteral("see"));
    EXPECT_TRUE(form->memo1->isReadOnly());
    EXPECT_EQ(info(), QStringLiteral("Note 2 of 3 from Diary.nts (read-only: a save would lose its footnotes)"));
    type(QStringLiteral("x"));
    EXPECT_EQ(editorText(), QStringLiteral("see"));
    EXPECT_FALSE(form->Modified());  // a key the browsed note refused is no edit
    form->cmdNextClick();
    EXPECT_FALSE(form->memo1->isReadOnly());
    EXPECT_EQ(info(), QStringLiteral("Note 3 of 3 from Diary.nts"));
    form->cmdBackClick();
    EXPECT_TRUE(form->memo1->isReadOnly());
    // Add is still open to the file; the note shown stays as it was.
    form->cmdNewClick();
    EXPECT_FALSE(form->memo1->isReadOnly());
    EXPECT_EQ(info(), QStringLiteral("Note 4 of 4 from Diary.nts"));
    type(QStringLiteral("four"));
    form->FormDestroy();
    tl::RecordStore store;
    EXPECT_EQ(store.loadNote(1, file), kFootnoted);
    EXPECT_EQ(notesOf(file).at(3), QStringLiteral("four"));
}

TEST_F(DocumentsTest, ADocumentTheEditorCannotHoldIsOnlySavedUnderAnotherName)
{
    const QByteArray bytes = kFootnoted.toLatin1();
    const QString file = tltest::writeFile(path(QStringLiteral("Paper.rtf")), bytes);
    open(file);
    EXPECT_TRUE(form->memo1->isReadOnly());
    EXPECT_EQ(info(), QStringLiteral("Text or RTF Paper.rtf (read-only: a save would lose its footnotes)"));
    form->session().file().shownEdited = true;
    form->SaveFile2Click();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].text,
              QStringLiteral("\"Paper.rtf\" is shown read-only: a save would lose its footnotes. It is not written."));
    form->CloseNotes(file);
    EXPECT_EQ(tltest::readFile(file), bytes);
    // A copy under another name holds what the editor shows, and is the
    // editor's to change.
    const QString copy = path(QStringLiteral("Copy.rtf"));
    form->SaveFileAs(copy);
    EXPECT_EQ(tltest::readFile(file), bytes);
    EXPECT_EQ(plain(QString::fromLatin1(tltest::readFile(copy))), QStringLiteral("see"));
    EXPECT_FALSE(form->memo1->isReadOnly());
    EXPECT_EQ(info(), QStringLiteral("Text or RTF Copy.rtf"));
}

// Started with files on the command line.
class CommandLineTest : public NotesFormTest {
protected:
    void start(const QStringList &files)
    {
        tl::runGuarded([&] { form->FormCreate(QStringList{QStringLiteral("tessaleaf")} + files); });
    }
};

TEST_F(CommandLineTest, ANotesFileThatIsNoXmlIsReportedAndNothingIsWritten)
{
    const QString broken = tltest::writeFile(path(QStringLiteral("Broken.nts")), "not <xml");
    start({broken});
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("Broken.nts"))) << errors[0].toStdString();
    EXPECT_TRUE(form->CurrentFile().isEmpty());
    EXPECT_EQ(info(), QStringLiteral("No File of Notes"));
    type(QStringLiteral("typed"));
    form->cmdNext->click();
    form->FormDestroy();
    EXPECT_EQ(tltest::readFile(broken), QByteArray("not <xml"));
    EXPECT_EQ(errors.size(), 1);
}

TEST_F(CommandLineTest, AMissingFileIsSkippedAndTheNextOpened)
{
    const QString file = notesFile(QStringLiteral("Diary.nts"), {QStringLiteral("one"), QStringLiteral("two")});
    start({path(QStringLiteral("missing.nts")), file});
    EXPECT_EQ(form->CurrentFile(), file);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tessaleaf - Diary.nts"));
    EXPECT_EQ(info(), QStringLiteral("Note 1 of 2 from Diary.nts"));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(CommandLineTest, AFileNamedTwiceOpensAtItsFirstNote)
{
    const QString file = notesFile(QStringLiteral("Diary.nts"), {QStringLiteral("one"), QStringLiteral("two")});
    start({file, QDir(dir).relativeFilePath(file).prepend(dir + QStringLiteral("/./"))});
    EXPECT_EQ(form->CurrentFile(), file);
    EXPECT_EQ(editorText(), QStringLiteral("one"));
    EXPECT_FALSE(form->Modified());
    type(QStringLiteral("+"));
    form->FormDestroy();
    EXPECT_EQ(notesOf(file), (QStringList{QStringLiteral("one+"), QStringLiteral("two")}));
}

} // namespace
