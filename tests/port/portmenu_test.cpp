// Export... and Import... from the file menu, driven as a person does:
// the menu opened on the file icon, its item by its access key, the dialog
// by keys sent to the focused control; file choices through the fake seam.

#include "notes/notesfixture.h"

#include "port/TfrmPort.h"
#include "port/notedocument.h"
#include "port/notesfile.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <gmock/gmock.h>

namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

class PortMenuTest : public NotesFormTest {
protected:
    void SetUp() override
    {
        NotesFormTest::SetUp();
        form->show();
        QApplication::setActiveWindow(form.get());
    }
    void TearDown() override
    {
        if (QWidget *dialog = QApplication::activeModalWidget())
            dialog->close();
        NotesFormTest::TearDown();
    }

    // Opens the file menu on the file icon and presses the item's access key.
    void chooseFromFileMenu(QAction *item)
    {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(3, 4), form->lblFile->mapToGlobal(QPointF(3, 4)),
                          Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(form->lblFile, &press);
        ASSERT_TRUE(form->mnuFile->isVisible());
        const QString text = item->text();
        const qsizetype amp = text.indexOf(QLatin1Char('&'));
        ASSERT_GE(amp, 0) << qPrintable(text);
        QTest::keyClick(form->mnuFile, text[amp + 1].toLatin1());
    }

    TfrmPort *dialog() { return qobject_cast<TfrmPort *>(QApplication::activeModalWidget()); }

    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(k), m);
    }
    void typeInFocus(const QString &text)
    {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    void focusDialog()
    {
        ASSERT_NE(dialog(), nullptr);
        QApplication::setActiveWindow(dialog());
        if (!QApplication::focusWidget() || QApplication::focusWidget()->window() != dialog())
            dialog()->cboChoice->setFocus();
    }
};

TEST_F(PortMenuTest, ExportWritesTheOpenFileWithTheEditJustMade)
{
    const QString file = notesFile(QStringLiteral("Diary.nts"), {QStringLiteral("first note"), QStringLiteral("second")});
    open(file);
    type(QStringLiteral("!"));
    chooseFromFileMenu(form->ExportNotes2);
    focusDialog();
    ASSERT_EQ(QApplication::focusWidget(), dialog()->cboChoice);
    // Proposed beside the file, named after it, as HTML.
    EXPECT_EQ(dialog()->txtTarget->text(), QDir::toNativeSeparators(path(QStringLiteral("Diary.html"))));
    key(Qt::Key_Down);  // Markdown
    EXPECT_EQ(dialog()->txtTarget->text(), QDir::toNativeSeparators(path(QStringLiteral("Diary.md"))));
    key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), dialog()->txtTarget);
    key(Qt::Key_A, Qt::ControlModifier);
    typeInFocus(path(QStringLiteral("out.md")));
    key(Qt::Key_Return);

    EXPECT_EQ(dialog(), nullptr);
    const QStringList lines = QString::fromUtf8(tltest::readFile(path(QStringLiteral("out.md")))).split(QLatin1Char('\n'));
    EXPECT_THAT(lines, Contains(QStringLiteral("## first note!")));
    EXPECT_THAT(lines, Contains(QStringLiteral("## second")));
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_THAT(dialogs->boxes[0].text.toStdString(), HasSubstr("2 notes written to"));
}

TEST_F(PortMenuTest, ExportBrowseOffersTheFormatsName)
{
    open(notesFile(QStringLiteral("Diary.nts"), {QStringLiteral("only")}));
    chooseFromFileMenu(form->ExportNotes2);
    focusDialog();
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Down);  // PDF
    dialogs->saveNames = {path(QStringLiteral("chosen.pdf"))};
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), dialog()->cmdBrowse);
    key(Qt::Key_Space);
    ASSERT_EQ(dialogs->saveRequests.size(), 1u);
    EXPECT_EQ(dialogs->saveRequests[0].defaultSuffix, QStringLiteral("pdf"));
    EXPECT_EQ(dialogs->saveRequests[0].fileName, QDir::toNativeSeparators(path(QStringLiteral("Diary.pdf"))));
    EXPECT_EQ(dialog()->target(), QDir::toNativeSeparators(path(QStringLiteral("chosen.pdf"))));
    key(Qt::Key_Escape);
    EXPECT_EQ(dialog(), nullptr);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("chosen.pdf"))));  // cancelled
}

TEST_F(PortMenuTest, ExportWithoutANotesFileSaysSo)
{
    chooseFromFileMenu(form->ExportNotes2);
    EXPECT_EQ(dialog(), nullptr);
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("Open a notes file to export its notes."));
}

TEST_F(PortMenuTest, ImportMakesANewNotesFileAndOpensIt)
{
    open(notesFile(QStringLiteral("Mine.nts"), {QStringLiteral("mine")}));
    chooseFromFileMenu(form->ImportNotes2);
    focusDialog();
    EXPECT_EQ(dialog()->kind(), tl::port::ImportKind::Gnote);
    const QString target = path(QStringLiteral("Notes from gnote.nts"));
    EXPECT_EQ(dialog()->target(), QDir::toNativeSeparators(target));
    key(Qt::Key_Tab);
    typeInFocus(QStringLiteral(TL_FIXTURES "/gnote"));
    key(Qt::Key_Return);

    EXPECT_EQ(dialog(), nullptr);
    const QStringList notes = tl::port::readAllNotes(target);
    ASSERT_EQ(notes.size(), 2);
    EXPECT_EQ(tl::port::titleOf(notes[0]), QStringLiteral("Ideas"));
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_THAT(dialogs->boxes[0].text.toStdString(), HasSubstr("skipped: dead.note"));
    EXPECT_EQ(form->CurrentFile(), target);
    EXPECT_TRUE(editorText().startsWith(QStringLiteral("Ideas\n"))) << qPrintable(editorText());
    EXPECT_EQ(notesOf(path(QStringLiteral("Mine.nts"))), QStringList{QStringLiteral("mine")});
}

TEST_F(PortMenuTest, AnImportThatFailsWritesNothingAndSaysWhy)
{
    open(notesFile(QStringLiteral("Mine.nts"), {QStringLiteral("mine")}));
    chooseFromFileMenu(form->ImportNotes2);
    focusDialog();
    key(Qt::Key_Tab);
    typeInFocus(path(QStringLiteral("nowhere")));
    key(Qt::Key_Return);
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].icon, tl::MsgIcon::Error);
    EXPECT_THAT(dialogs->boxes[0].text.toStdString(), HasSubstr("does not exist"));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("Notes from gnote.nts"))));
    EXPECT_EQ(form->CurrentFile(), path(QStringLiteral("Mine.nts")));
}

TEST_F(PortMenuTest, EveryControlHasANameAndTheTrayMenuHasTheItems)
{
    EXPECT_THAT(form->File1->actions(), Contains(form->ExportNotes1));
    EXPECT_THAT(form->File1->actions(), Contains(form->ImportNotes1));
    for (auto mode : {TfrmPort::Mode::Export, TfrmPort::Mode::Import}) {
        tl::i18n::Texts texts(tl::i18n::portTexts);
        TfrmPort port(form.get(), *dialogs, mode, texts);
        // The dialog's own controls (a combo box's inner parts aside).
        for (QWidget *w : port.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (w->focusPolicy() != Qt::NoFocus)
                EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className() << " " << qPrintable(w->objectName());
    }
}

} // namespace
