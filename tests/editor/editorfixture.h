#pragma once
// A real main window with fake services and notes files of its own, plus
// what the editor tests read back: the selection, the buttons, the sounds.

#include "notes/notesfixture.h"

#include "editor/TfrmFont.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTextBlock>

class EditorTest : public NotesFormTest {
protected:
    tltest::FakeSound &sound() { return *static_cast<tltest::FakeSound *>(form->services().sound.get()); }

    // Puts text into the editor and selects [from, to).
    void content(const QString &text, int from = 0, int to = 0)
    {
        form->memo1->setContentText(text);
        select(from, to);
    }
    void select(int from, int to)
    {
        QTextCursor c = form->memo1->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        form->memo1->setTextCursor(c);
    }
    int selStart() const { return form->memo1->textCursor().selectionStart(); }
    QString selected() const { return form->memo1->textCursor().selectedText(); }

    // The character format at position (of the character after it).
    QTextCharFormat formatAt(int position) const
    {
        QTextCursor c(form->memo1->document());
        c.setPosition(position + 1);
        return c.charFormat();
    }
};
