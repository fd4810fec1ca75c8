#pragma once
// A real main window with fake dialogs, a settings file of its own and a
// fresh folder for the files it works on.

#include "app/TForm1.h"
#include "controls/flatbutton.h"
#include "controls/guarded.h"
#include "fakes/fakedialogs.h"
#include "notes/recordstore.h"
#include "platform/paths.h"
#include "richtext/rtfdocument.h"
#include "richtext/rtfreader.h"
#include "support/tempenv.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <gtest/gtest.h>
#include <memory>

class NotesFormTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir = tltest::freshFolder();
        // Recovery files one test leaves are not offered to the next.
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir + QStringLiteral("/data")));
        auto fakes = tltest::makeFakeServices();
        dialogs = fakes.dialogs;
        form = std::make_unique<TForm1>(std::move(fakes.services), dir + QStringLiteral("/config/settings.conf"));
        form->makeSeekBoxEditable();  // the start-up does it once the window is up
        tl::setErrorReporter([this](const QString &message) { errors << message; });
    }

    // The private temp folder, emptied of working copies another test left
    // (on purpose, some read-only) so they do not meet this one.
    static QString emptiedPrivateTemp()
    {
        const QString temp = tl::paths::privateTempFolder();
        for (const QString &f : QDir(temp).entryList(QDir::Files | QDir::Hidden)) {
            QFile::setPermissions(temp + QLatin1Char('/') + f, QFile::ReadOwner | QFile::WriteOwner);
            QFile::remove(temp + QLatin1Char('/') + f);
        }
        return temp;
    }

    void TearDown() override
    {
        // Closed here, where an error is reported, rather than in the destructor.
        tl::runGuarded([&] { form->FormDestroy(); });
        tl::setErrorReporter({});
        form.reset();
        for (const QString &f : readOnly)
            QFile::setPermissions(f, QFile::ReadOwner | QFile::WriteOwner);
    }

    QString path(const QString &name) const { return dir + QLatin1Char('/') + name; }

    // A notes file holding these notes (plain texts, as the editor reads them).
    QString notesFile(const QString &name, const QStringList &notes)
    {
        const QString p = path(name);
        tl::RecordStore store;
        store.saveNote(0, p, {});
        for (int i = 0; i < notes.size(); ++i)
            store.saveNote(i, p, notes[i]);
        return p;
    }

    QString makeReadOnly(const QString &file)
    {
        QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        readOnly << file;
        return file;
    }

    // The text of every note of a notes file, formatting dropped.
    static QStringList notesOf(const QString &file)
    {
        tl::RecordStore store;
        QStringList texts;
        const int count = store.noteCount(file);
        for (int i = 0; i < count; ++i)
            texts << plain(store.loadNote(i, file));
        return texts;
    }

    static QString plain(const QString &note)
    {
        if (!tl::rtf::looksLikeRtf(note))
            return note;
        const QByteArray bytes = tl::rtf::rtfBytes(note);
        return tl::rtf::toPlainText(std::string_view(bytes.constData(), size_t(bytes.size())));
    }

    // Opens a file the way Open does once the dialog has answered.
    void open(const QString &file)
    {
        form->session().file().path = file;
        form->session().file().note = 0;
        form->OpenNotes(file);
    }

    // Types text into the editor as the keyboard would.
    void type(const QString &text)
    {
        QTextCursor c = form->memo1->textCursor();
        c.movePosition(QTextCursor::End);
        form->memo1->setTextCursor(c);
        for (QChar ch : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(form->memo1, &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(form->memo1, &release);
        }
    }

    QString editorText() const { return form->memo1->toPlainText(); }
    QString info() const { return form->Panel1->text(); }
    void set(tl::setting::Text setting, const QString &value) { form->SetFromReg(setting, value); }

    QString dir;
    tltest::FakeDialogs *dialogs = nullptr;
    std::unique_ptr<TForm1> form;
    QStringList errors;  // what the error box showed
    QStringList readOnly;
};
