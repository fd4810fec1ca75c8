// Printing the note shown, help, mail and the About box, driven through the
// editor's keys and menu and the box's own controls.

#include "editor/editorfixture.h"

#include "editor/TfrmAbout.h"
#include "editor/helplinks.h"
#include "platform/paths.h"
#include "settings/settingstable.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>

namespace {

class ToolsTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        printing = static_cast<tltest::FakePrinting *>(form->services().printing.get());
        shell = static_cast<tltest::FakeShell *>(form->services().shell.get());
    }
    void startOn(const QString &f)
    {
        form->FormCreate({ QStringLiteral("tessaleaf"), f });
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        ASSERT_EQ(QApplication::focusWidget(), form->memo1);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), k, mods);
    }
    static bool havePoppler()
    {
        return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
            && !QStandardPaths::findExecutable(QStringLiteral("pdffonts")).isEmpty();
    }
    static QString run(const QString &tool, const QString &pdf)
    {
        QProcess p;
        QStringList args { pdf, QStringLiteral("-") };
        if (tool == QLatin1String("pdffonts"))
            args.removeLast();
        p.start(tool, args);
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    // A notes file whose first note has a bold word, opened.
    QString startOnFormattedNote()
    {
        const QString f = notesFile(QStringLiteral("Diary.nts"),
            { QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\f0 plain "
                             "{\\b strong} words\\par}"),
                QStringLiteral("second") });
        startOn(f);
        return f;
    }

    tltest::FakePrinting *printing = nullptr;
    tltest::FakeShell *shell = nullptr;
};

TEST_F(ToolsTest, WithoutAPrinterCtrlPOffersAPdfOfTheNoteShown)
{
    if (!havePoppler())
        GTEST_SKIP() << "pdftotext and pdffonts (poppler-utils) are not installed; scripts/setup.sh installs them";
    startOnFormattedNote();
    const QString pdf = path(QStringLiteral("out.pdf"));
    dialogs->saveNames.push_back(pdf);
    key(Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].buttons, tl::MsgButtons::YesNo);
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QStringLiteral("No printer")));
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QStringLiteral("PDF")));
    ASSERT_EQ(dialogs->saveRequests.size(), 1u);
    EXPECT_EQ(dialogs->saveRequests[0].fileName, path(QStringLiteral("Diary.pdf")));
    EXPECT_EQ(dialogs->saveRequests[0].defaultSuffix, QStringLiteral("pdf"));
    EXPECT_EQ(printing->dialogs, 0);
    ASSERT_TRUE(QFile::exists(pdf));
    // The note's text, and the page's number under it.
    EXPECT_EQ(run(QStringLiteral("pdftotext"), pdf).simplified(), QStringLiteral("plain strong words 1"));
    // The bold word is set in a bold face: the formatting is printed too.
    EXPECT_TRUE(run(QStringLiteral("pdffonts"), pdf).contains(QStringLiteral("Bold")));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ToolsTest, WithoutAPrinterNoOrNoNameWritesNothing)
{
    startOnFormattedNote();
    dialogs->answers.push_back(tl::MsgResult::No);
    form->Print1->trigger();
    EXPECT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_TRUE(dialogs->saveRequests.empty());
    form->Print1->trigger();  // Yes, then the save dialog is cancelled
    EXPECT_EQ(dialogs->saveRequests.size(), 1u);
    EXPECT_TRUE(QDir(dir).entryList({ QStringLiteral("*.pdf") }).isEmpty());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ToolsTest, AReadOnlyPdfIsNotReplaced)
{
    startOnFormattedNote();
    const QString pdf = makeReadOnly(tltest::writeFile(path(QStringLiteral("old.pdf")), "old"));
    dialogs->saveNames.push_back(pdf);
    form->Print1->trigger();
    EXPECT_EQ(tltest::readFile(pdf), QByteArray("old"));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("old.pdf")));
}

TEST_F(ToolsTest, WithAPrinterThePrintDialogSendsTheNoteWhereItSays)
{
    if (!havePoppler())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    startOnFormattedNote();
    printing->printer = true;
    const QString pdf = path(QStringLiteral("printed.pdf"));
    printing->dialog = [&](QPrinter &p) {
        EXPECT_EQ(p.docName(), QStringLiteral("Diary.nts"));
        p.setOutputFormat(QPrinter::PdfFormat);  // as the dialog's "Print to File"
        p.setOutputFileName(pdf);
        return true;
    };
    key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(printing->dialogs, 1);
    EXPECT_TRUE(dialogs->boxes.empty());
    // The note's text, and the page's number under it.
    EXPECT_EQ(run(QStringLiteral("pdftotext"), pdf).simplified(), QStringLiteral("plain strong words 1"));

    // Cancelled, nothing is printed.
    QFile::remove(pdf);
    printing->dialog = [&](QPrinter &p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(pdf);
        return false;
    };
    key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(printing->dialogs, 2);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ToolsTest, APrintJobThatCannotStartIsReported)
{
    startOnFormattedNote();
    printing->printer = true;
    printing->dialog = [&](QPrinter &p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(path(QStringLiteral("no/such/folder/x.pdf")));
        return true;
    };
    form->Print1->trigger();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("could not be printed")));
}

TEST_F(ToolsTest, HelpAndMailGoThroughTheShell)
{
    startOnFormattedNote();
    key(Qt::Key_F1);
    form->SendFeedback1Click();
    form->SendBugsReport1Click();
    form->MarrowpineWebSite1Click();
    const QString help = tl::links::helpFile(tl::paths::programFolder(), form->GetFromReg(tl::setting::CurLanguage));
    const std::vector<QUrl> expected{QUrl::fromLocalFile(help),
                                     tl::links::supportMail(tl::links::MailSubject::Feedback),
                                     tl::links::supportMail(tl::links::MailSubject::BugReport),
                                     QUrl(tl::links::webSite())};
    EXPECT_EQ(shell->opened, expected);
    EXPECT_TRUE(dialogs->boxes.empty());
    EXPECT_EQ(form->memo1->toPlainText(), QStringLiteral("plain strong words"));  // F1 types nothing
}

// With no program to open the help (no browser installed), F1 and the Help
// Topics item say so and name the file.
struct HelpCase {
    const char *name;
    bool byF1;  // else the Help Topics item
};

void PrintTo(const HelpCase &c, std::ostream *os) { *os << c.name; }

class HelpTest : public ToolsTest, public testing::WithParamInterface<HelpCase> {};

TEST_P(HelpTest, WithNothingToOpenItTheHelpFileIsNamed)
{
    startOnFormattedNote();
    shell->answer = false;
    if (GetParam().byF1)
        key(Qt::Key_F1);
    else
        form->Helptopics1->trigger();
    const QString help = tl::links::helpFile(tl::paths::programFolder(), form->GetFromReg(tl::setting::CurLanguage));
    ASSERT_EQ(shell->opened, std::vector<QUrl>{QUrl::fromLocalFile(help)});
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_TRUE(dialogs->boxes[0].text.startsWith(QStringLiteral("No program could open the help.")))
        << dialogs->boxes[0].text.toStdString();
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QDir::toNativeSeparators(help))) << dialogs->boxes[0].text.toStdString();
    EXPECT_EQ(dialogs->boxes[0].over, form.get());
    EXPECT_EQ(form->memo1->toPlainText(), QStringLiteral("plain strong words"));
}

INSTANTIATE_TEST_SUITE_P(Ways, HelpTest,
                         testing::Values(HelpCase{"F1", true}, HelpCase{"HelpTopicsItem", false}),
                         [](const testing::TestParamInfo<HelpCase> &i) { return std::string(i.param.name); });

TEST_F(ToolsTest, TheAboutBoxShowsTheProgramItsLinksAndItsLibraries)
{
    startOnFormattedNote();
    form->About1Click();
    TfrmAbout &a = *form->frmAbout;
    ASSERT_TRUE(a.isVisible());
    EXPECT_EQ(a.size(), QSize(340, 209));
    EXPECT_EQ(a.windowTitle(), QStringLiteral("About Tessaleaf"));
    ASSERT_EQ(a.pcAbout->count(), 2);
    EXPECT_EQ(a.pcAbout->tabText(0), QStringLiteral("General"));
    EXPECT_EQ(a.pcAbout->tabText(1), QStringLiteral("Acknowledgements"));
    EXPECT_EQ(a.pcAbout->currentWidget(), a.tsGeneral);
    EXPECT_TRUE(a.lblVersion->text().contains(tl::links::version()));
    EXPECT_FALSE(tl::links::version().isEmpty());
    EXPECT_EQ(a.Label3->toolTip(), QStringLiteral("Welcome to our website!"));
    EXPECT_EQ(a.Label4->toolTip(), tl::links::supportAddress());

    QTest::mouseClick(a.Label3, Qt::LeftButton, {}, QPoint(5, a.Label3->height() / 2));
    QTest::mouseClick(a.Label4, Qt::LeftButton, {}, QPoint(5, a.Label4->height() / 2));
    ASSERT_EQ(shell->opened.size(), 2u);
    EXPECT_EQ(shell->opened[0], QUrl(tl::links::webSite()));
    EXPECT_EQ(shell->opened[1], tl::links::supportMail(tl::links::MailSubject::None));

    // Every library the program links, each with its licence.
    const QString thanks = a.reThanks->toPlainText();
    for (const char *name : { "Qt 6", "pugixml", "libzip", "zlib", "Fontconfig", "libxcb" })
        EXPECT_TRUE(thanks.contains(QLatin1String(name))) << name;
    for (const char *licence : { "GNU Lesser General Public License", "MIT License", "BSD 3-Clause", "zlib License" })
        EXPECT_TRUE(thanks.contains(QLatin1String(licence))) << licence;
    EXPECT_EQ(a.reThanks->focusPolicy(), Qt::NoFocus);

    QTest::mouseClick(a.cmdOK, Qt::LeftButton, {}, a.cmdOK->rect().center());
    EXPECT_FALSE(a.isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_EQ(QApplication::focusWidget(), form->memo1);
}

TEST_F(ToolsTest, ALinkInTheAcknowledgementsOpensThroughTheShellAndTheBoxKeepsItsPage)
{
    startOnFormattedNote();
    form->About1Click();
    TfrmAbout &a = *form->frmAbout;
    a.pcAbout->setCurrentWidget(a.tsThanks);
    // The first link of the text, clicked where it is drawn.
    QTextCursor c(a.reThanks->document());
    QString href;
    while (!c.atEnd()) {
        c.movePosition(QTextCursor::NextCharacter);
        href = c.charFormat().anchorHref();
        if (!href.isEmpty())
            break;
    }
    ASSERT_FALSE(href.isEmpty());
    a.reThanks->setTextCursor(c);
    a.reThanks->ensureCursorVisible();
    const QPoint at = a.reThanks->cursorRect(c).center() + QPoint(-2, 0);
    QTest::mouseClick(a.reThanks->viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(shell->opened.size(), 1u);
    EXPECT_EQ(shell->opened[0], QUrl(href));
    EXPECT_TRUE(a.isVisible());

    QApplication::setActiveWindow(&a);  // as the window manager does
    ASSERT_TRUE(QTest::qWaitForWindowActive(&a));
    key(Qt::Key_Escape);
    EXPECT_FALSE(a.isVisible());
    form->About1Click();
    EXPECT_EQ(a.pcAbout->currentWidget(), a.tsThanks);
    a.cmdOKClick();
}

TEST_F(ToolsTest, LeavingTheAboutBoxWhileHiddenInTheTrayFocusesNothing)
{
    startOnFormattedNote();
    form->hide();
    form->About1Click();
    form->frmAbout->cmdOKClick();
    EXPECT_FALSE(form->isVisible());
    EXPECT_NE(QApplication::focusWidget(), form->memo1);
}

} // namespace
