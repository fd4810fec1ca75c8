// Ending the program by a signal while a modal dialog is open: the dialog
// is cancelled and the window takes its normal way out.

#include "app/run.h"
#include "app/shutdown.h"
#include "controls/flatbutton.h"
#include "formfixture.h"
#include "notes/recordstore.h"
#include "notes/recovery.h"
#include "platform/qtservices.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMap>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <csignal>
#include <functional>

namespace {

const char kNotes[] = "<root><info><lastupdate/><authorname/><companyname/><comments/><realpath/>"
                      "<compresslevel/></info><notes><note>first</note><note>second</note></notes></root>";

// Sees every modal window shown and acts once on the first that matches:
// what happens while it is up.
class WhenShown : public QObject {
public:
    using Match = std::function<bool(QWidget *)>;
    WhenShown(Match match, std::function<void()> act) : m_match(std::move(match)), m_act(std::move(act))
    {
        qApp->installEventFilter(this);
    }
    QStringList kinds;  // class names of the modal windows shown, in turn
    QStringList texts;  // of the message boxes among them

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto *w = static_cast<QWidget *>(watched);
        if (!w->isWindow() || !w->isModal())
            return false;
        kinds << QString::fromLatin1(w->metaObject()->className());
        if (auto *box = qobject_cast<QMessageBox *>(w))
            texts << box->text();
        if (!m_done && m_match(w)) {
            m_done = true;
            m_act();
        }
        return false;
    }

private:
    Match m_match;
    std::function<void()> m_act;
    bool m_done = false;
};

bool isMessageBox(QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; }
bool isFileDialog(QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; }

// Ends a test that would otherwise wait for ever on a dialog nobody
// answers: hides every modal window and ends the loop, again and again.
class HangGuard {
public:
    HangGuard()
    {
        m_timer.setInterval(20000);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            hung = true;
            while (QWidget *w = QApplication::activeModalWidget())
                w->hide();
            QCoreApplication::exit(99);
        });
        m_timer.start();
    }
    bool hung = false;

private:
    QTimer m_timer;
};

// The recovery files the run left, with their bytes.
QMap<QString, QByteArray> recoveredFiles()
{
    QMap<QString, QByteArray> files;
    const QDir folder(tl::recovery::folder());
    for (const QString &name : folder.entryList(QDir::Files))
        files[name] = tltest::readFile(folder.filePath(name));
    return files;
}

bool anyDialogShown()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<QDialog *>(w) && w->isVisible())
            return true;
    return false;
}

class ShutdownTest : public FormTest {
protected:
    // The window with the real dialogs: its message boxes and file dialogs
    // are real modal windows with event loops of their own.
    TForm1 &makeRealForm()
    {
        auto fakes = tltest::makeFakeServices();
        tray = fakes.tray;
        fakes.services.dialogs = std::make_unique<tl::QtDialogs>();
        form = std::make_unique<TForm1>(std::move(fakes.services), settingsPath);
        return *form;
    }

    int run(QStringList args)
    {
        args.prepend(QStringLiteral("tessaleaf"));
        return tl::runMainWindow(*form, args);
    }

    // Once the program idles with file open: a person starts working.
    void whenOpen(const QString &file, std::function<void()> act)
    {
        auto *poll = new QTimer(form.get());
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, file, act] {
            if (form->CurrentFile() != file)
                return;
            poll->stop();
            act();
        });
        poll->start(0);
    }

    // The window as the signal finds it: moved, faded, no longer on top.
    void changeWindow()
    {
        form->move(55, 66);
        form->setAlpha(150);
        form->Sta1->setChecked(false);
    }

    void expectWindowStored()
    {
        const tl::SettingsStore s = settings();
        EXPECT_EQ(s.GetFromRegInt(QStringLiteral("x")), 55);
        EXPECT_EQ(s.GetFromRegInt(QStringLiteral("y")), 66);
        EXPECT_EQ(s.GetFromReg(QStringLiteral("OnTop")), QStringLiteral("false"));
        EXPECT_EQ(s.GetFromReg(QStringLiteral("LastAlphaV")), QStringLiteral("150"));
        EXPECT_FALSE(form->isVisible());
        EXPECT_FALSE(tray->added);  // FormDestroy ran
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_FALSE(anyDialogShown());
    }

    void typeAtTheEnd(const QString &text)
    {
        form->memo1->moveCursor(QTextCursor::End);
        QTest::keyClicks(form->memo1, text);
    }

    tltest::FakeTray *tray = nullptr;
    HangGuard guard;
};

} // namespace

TEST_F(ShutdownTest, TermEndsTheErrorBoxOfABrokenFileAtStartUp)
{
    const QString bad = tltest::writeFile(dir + QStringLiteral("/Bad.nts"), "<root>");
    makeRealForm();
    WhenShown term(isMessageBox, [&] {
        changeWindow();
        ::raise(SIGTERM);
    });
    EXPECT_EQ(run({bad}), 128 + SIGTERM);
    ASSERT_EQ(term.texts.size(), 1);
    EXPECT_TRUE(term.texts[0].contains(QStringLiteral("is not a well-formed notes file")));
    expectWindowStored();
    EXPECT_EQ(tltest::readFile(bad), QByteArray("<root>"));
    EXPECT_FALSE(guard.hung);
}

// The box start-up itself shows, while FormCreate waits in it: start-up
// finishes (the command line's file opens) and the way out follows.
TEST_F(ShutdownTest, TermEndsTheSettingsNoticeInsideStartUp)
{
    tltest::writeFile(settingsPath, "\"x\"=dword:zz\n");
    const QString notes = tltest::writeFile(dir + QStringLiteral("/Diary.nts"), kNotes);
    makeRealForm();
    WhenShown term(isMessageBox, [&] {
        EXPECT_TRUE(form->CurrentFile().isEmpty());  // not opened yet
        changeWindow();
        ::raise(SIGTERM);
    });
    EXPECT_EQ(run({notes}), 128 + SIGTERM);
    ASSERT_EQ(term.texts.size(), 1);
    EXPECT_TRUE(term.texts[0].contains(QStringLiteral("kept as")));
    expectWindowStored();
    EXPECT_EQ(form->CurrentFile(), notes);
    EXPECT_EQ(tl::RecordStore().loadNote(0, notes), form->CreateMemoRTF());
    EXPECT_FALSE(guard.hung);
}

TEST_F(ShutdownTest, HangUpCancelsTheDeleteQuestionAndStoresTheNoteShown)
{
    const QString notes = tltest::writeFile(dir + QStringLiteral("/Diary.nts"), kNotes);
    settings().SetFromReg(QStringLiteral("AskDelNote"), QStringLiteral("true"));
    makeRealForm();
    QString shown;  // the note as the editor held it when the signal came
    WhenShown hangUp(isMessageBox, [&] {
        changeWindow();
        shown = form->CreateMemoRTF();
        ::raise(SIGHUP);
    });
    whenOpen(notes, [&] {
        typeAtTheEnd(QStringLiteral(" more"));
        QTest::mouseClick(form->cmdDel, Qt::LeftButton);
    });
    EXPECT_EQ(run({notes}), 128 + SIGHUP);
    EXPECT_EQ(hangUp.texts, QStringList{QStringLiteral("Delete note?")});
    expectWindowStored();
    ASSERT_TRUE(shown.contains(QStringLiteral("first more")));
    tl::RecordStore store;
    EXPECT_EQ(store.noteCount(notes), 2);  // the question was not answered
    EXPECT_EQ(store.loadNote(0, notes), shown);
    EXPECT_FALSE(guard.hung);
}

// The question Exit asks about a changed document, up when the signal
// comes: cancelled, it writes nothing, and the program ends.
TEST_F(ShutdownTest, InterruptCancelsTheSaveQuestionOfExit)
{
    const QString text = tltest::writeFile(dir + QStringLiteral("/Notes.txt"), "plain text");
    settings().SetFromReg(QStringLiteral("AskBySave"), QStringLiteral("true"));
    makeRealForm();
    WhenShown interrupt(isMessageBox, [] { ::raise(SIGINT); });
    whenOpen(text, [&] {
        typeAtTheEnd(QStringLiteral(" more"));
        form->TrayPopUp->popup(QPoint(20, 20));
        QTest::mouseClick(form->TrayPopUp, Qt::LeftButton, {},
                          form->TrayPopUp->actionGeometry(form->Exit1).center());
    });
    EXPECT_EQ(run({text}), 128 + SIGINT);
    ASSERT_EQ(interrupt.texts.size(), 1);
    EXPECT_TRUE(interrupt.texts[0].startsWith(QStringLiteral("Сохранить")));
    EXPECT_EQ(tltest::readFile(text), QByteArray("plain text"));
    // Not written unasked, and not lost: the changed text waits for the next start.
    const auto kept = recoveredFiles();
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(kept.firstKey().endsWith(QStringLiteral(" Notes.txt")));
    EXPECT_EQ(kept.first(), QByteArray("plain text more"));
    EXPECT_FALSE(tray->added);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(anyDialogShown());
    EXPECT_FALSE(guard.hung);
}

// After the signal nothing more is asked: the save question of the way out
// is not put, the document is not written unasked, and its text is kept.
TEST_F(ShutdownTest, TermAsksNothingMoreOnTheWayOut)
{
    const QString text = tltest::writeFile(dir + QStringLiteral("/Notes.txt"), "plain text");
    settings().SetFromReg(QStringLiteral("AskBySave"), QStringLiteral("true"));
    settings().SetFromReg(QStringLiteral("AskDelFile"), QStringLiteral("true"));
    makeRealForm();
    WhenShown term(isMessageBox, [&] {
        changeWindow();
        ::raise(SIGTERM);
    });
    whenOpen(text, [&] {
        typeAtTheEnd(QStringLiteral(" more"));
        QTest::mouseClick(form->cmdDel, Qt::LeftButton);
    });
    EXPECT_EQ(run({text}), 128 + SIGTERM);
    EXPECT_EQ(term.texts, QStringList{QStringLiteral("Delete file of notes?")});
    expectWindowStored();
    EXPECT_EQ(tltest::readFile(text), QByteArray("plain text"));
    EXPECT_EQ(recoveredFiles().values(), QList<QByteArray>{"plain text more"});
    EXPECT_FALSE(guard.hung);
}

// Text typed with no file open when the signal comes: nobody is asked, and
// the text waits in a recovery file; the next start offers it.
TEST_F(ShutdownTest, TermKeepsTextInNoFileForTheNextStart)
{
    makeRealForm();
    whenOpen(QString(), [&] {
        typeAtTheEnd(QStringLiteral("scratch words"));
        ::raise(SIGTERM);
    });
    EXPECT_EQ(run({}), 128 + SIGTERM);
    EXPECT_FALSE(guard.hung);
    const auto kept = recoveredFiles();
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(kept.firstKey().endsWith(QStringLiteral(" Untitled.rtf"))) << kept.firstKey().toStdString();
    EXPECT_TRUE(kept.first().startsWith("{\\rtf"));
    EXPECT_TRUE(kept.first().contains("scratch words"));

    form.reset();
    start();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_TRUE(dialogs->boxes[0].text.contains(kept.firstKey()));
    EXPECT_EQ(form->memo1->toPlainText(), QStringLiteral("scratch words"));  // opened: the box was answered Yes
}

TEST(CancelModalDialogs, CancelsNestedDialogsInnermostFirst)
{
    HangGuard guard;
    tl::QtDialogs dialogs;
    int cancelled = -1;
    QString chosen = QStringLiteral("unset");
    // Over the open question, a file dialog; over that, the cancel.
    WhenShown inner(isFileDialog, [&] { QTimer::singleShot(0, [&] { cancelled = tl::cancelModalDialogs(); }); });
    QTimer::singleShot(0, [&] {
        tl::FileDialogRequest request;
        chosen = dialogs.openFileName(nullptr, request);
    });
    const tl::MsgResult answer =
        dialogs.messageBox(nullptr, QStringLiteral("T"), QStringLiteral("Delete note?"), tl::MsgButtons::OkCancel,
                           tl::MsgIcon::Question);
    EXPECT_EQ(cancelled, 2);
    EXPECT_EQ(chosen, QString());
    EXPECT_EQ(answer, tl::MsgResult::Cancel);
    EXPECT_EQ(inner.kinds, (QStringList{QStringLiteral("QMessageBox"), QStringLiteral("QFileDialog")}));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(guard.hung);
}
