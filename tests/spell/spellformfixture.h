#pragma once
// The main window with the small dictionaries of the fixtures installed.

#include "editor/editorfixture.h"
#include "spell/speller.h"

#include <QTest>

class SpellFormTest : public EditorTest {
protected:
    void SetUp() override
    {
        qputenv("XDG_DATA_DIRS", TL_FIXTURES);  // its hunspell folder
        EditorTest::SetUp();
        form->resize(400, 300);
        form->show();
        QApplication::setActiveWindow(form.get());  // as the window manager does
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void TearDown() override
    {
        EditorTest::TearDown();
        qunsetenv("XDG_DATA_DIRS");
    }

    // As the start-up does once the window is up; then waits for the
    // dictionaries and the marks.
    void startSpelling()
    {
        form->applySpelling();
        settle();
    }
    void settle()
    {
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return (!form->memo1->spellMarked() || !form->speller().isLoading()) && !form->memo1->isRemarking(); },
            20000));
    }

    // Where a person would point at the character at position.
    QPoint pointAt(int position) const
    {
        QTextCursor c(form->memo1->document());
        c.setPosition(position);
        return form->memo1->cursorRect(c).center() + QPoint(2, 0);
    }
    // Position of the first occurrence of word in the editor.
    int at(const QString &word) const { return int(editorText().indexOf(word)); }
    bool marked(const QString &word) const { return form->memo1->isMisspeltAt(at(word) + 1); }

    // Right-clicks the word and picks the item of the editor's menu named
    // (by its text) as a person does.
    void pickFromMenuAt(const QString &word, const QString &item)
    {
        QTest::mousePress(form->memo1->viewport(), Qt::RightButton, {}, pointAt(at(word) + 1));
        QTest::mouseRelease(form->memo1->viewport(), Qt::RightButton, {}, pointAt(at(word) + 1));
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->mnuMemo->isVisible(); }, 5000));
        QAction *chosen = nullptr;
        for (QAction *a : form->mnuMemo->actions())
            if (a->text() == item && a->isVisible()) {
                chosen = a;
                break;
            }
        ASSERT_NE(chosen, nullptr) << qPrintable(item);
        QTest::mouseClick(form->mnuMemo, Qt::LeftButton, {}, form->mnuMemo->actionGeometry(chosen).center());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form->mnuMemo->isVisible(); }, 5000));
    }

    QStringList menuTexts() const
    {
        QStringList out;
        for (QAction *a : form->mnuMemo->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return out;
    }
};
