// Spelling and checklists in the main window: the marks in the editor, the
// suggestions that head the editor's menu, the menu's spelling items, the
// checklist button, item and key, and a click on a box.

#include "app/TForm1.h"

#include "controls/eventhook.h"
#include "controls/flatbutton.h"
#include "controls/guarded.h"
#include "platform/error.h"
#include "settings/settingstable.h"
#include "spell/checklist.h"
#include "spell/speller.h"
#include "spell/spellpage.h"

#include <QAction>
#include <QActionGroup>
#include <QKeyEvent>
#include <QMenu>
#include <QTextBlock>
#include <QTimer>

namespace s = tl::setting;

tl::spell::Speller &TForm1::speller()
{
    if (!m_speller) {
        m_speller = new tl::spell::Speller(this);
        connect(m_speller, &tl::spell::Speller::changed, memo1, [this] {
            if (memo1->spellMarked())
                memo1->remarkSpelling();
        });
    }
    return *m_speller;
}

void TForm1::wireSpelling()
{
    using tl::connectGuarded;
    cmdChecklist = new tl::FlatButton(panFormat);
    cmdChecklist->setObjectName(QStringLiteral("cmdChecklist"));
    cmdChecklist->setGeometry(1, 184, 20, 20);
    cmdChecklist->setText(QString(QChar(tl::checklist::Ticked)));
    connectGuarded(cmdChecklist, &QToolButton::clicked, this, [this] { cmdChecklistClick(); });
    connect(cmdChecklist, &QToolButton::clicked, memo1, [this] { memo1->setFocus(); });

    mnuMemo->addSeparator()->setObjectName(QStringLiteral("N7"));
    Checklist1 = mnuMemo->addAction(QString());
    Checklist1->setObjectName(QStringLiteral("Checklist1"));
    connectGuarded(Checklist1, &QAction::triggered, this, [this] { cmdChecklistClick(); });
    TickBox1 = mnuMemo->addAction(QString());
    TickBox1->setObjectName(QStringLiteral("TickBox1"));
    TickBox1->setShortcut(Qt::CTRL | Qt::Key_T);
    TickBox1->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    memo1->addAction(TickBox1);
    connectGuarded(TickBox1, &QAction::triggered, this, [this] { TickBox1Click(); });
    SpellCheck1 = mnuMemo->addAction(QString());
    SpellCheck1->setObjectName(QStringLiteral("SpellCheck1"));
    SpellCheck1->setCheckable(true);
    connectGuarded(SpellCheck1, &QAction::triggered, this, [this] { SpellCheck1Click(); });
    SpellLanguage1 = mnuMemo->addMenu(QString());
    SpellLanguage1->setObjectName(QStringLiteral("SpellLanguage1"));
    connect(SpellLanguage1, &QMenu::aboutToShow, this, [this] { fillSpellLanguageMenu(); });

    // The menu key and Shift+F10 open the editor's menu at the caret.
    new tl::EventHook(memo1, [this](QEvent *e) {
        if (e->type() != QEvent::KeyPress)
            return false;
        auto *k = static_cast<QKeyEvent *>(e);
        if (k->key() != Qt::Key_Menu && !(k->key() == Qt::Key_F10 && k->modifiers() == Qt::ShiftModifier))
            return false;
        const QRect caret = memo1->cursorRect();
        tl::runGuarded([&] {
            popupEditorMenu(memo1->viewport()->mapToGlobal(caret.bottomLeft()), memo1->textCursor().position());
        });
        return true;
    });

    languageLoaders.push_back([this](const QString &language) {
        m_spellTexts = tl::i18n::Texts::load(tl::i18n::spellTexts, programFolder(), language);
        showSpellTexts();
        // The dictionary follows the interface language unless one is chosen.
        if (m_speller && GetFromReg(s::SpellLanguage).isEmpty())
            applySpelling(language);
    });
    showSpellTexts();
}

void TForm1::connectComponents(tl::SpellingOptions &spelling)
{
    tl::connectGuarded(&spelling, &tl::SpellingOptions::changed, this, [this] { applySpelling(); });
}

void TForm1::showSpellTexts()
{
    const tl::i18n::Texts &t = m_spellTexts;
    cmdChecklist->setToolTip(t["Spelling.Checklist"]);
    cmdChecklist->setAccessibleName(t["Spelling.Checklist"]);
    Checklist1->setText(t["Spelling.Checklist"]);
    TickBox1->setText(t["Spelling.TickBox"]);
    SpellCheck1->setText(t["Spelling.Check"]);
    SpellLanguage1->setTitle(t["Spelling.Language"]);
    SpellLanguage1->menuAction()->setText(t["Spelling.Language"]);
}

void TForm1::applySpelling(const QString &interfaceLanguage)
{
    const bool on = isOn(s::SpellCheck);
    SpellCheck1->setChecked(on);
    if (!on) {
        memo1->setSpellMarker({});
        return;
    }
    tl::spell::Speller &sp = speller();
    sp.load(GetFromReg(s::SpellLanguage),
            interfaceLanguage.isEmpty() ? GetFromReg(s::CurLanguage) : interfaceLanguage);
    if (!memo1->spellMarked())
        memo1->setSpellMarker([&sp](QStringView paragraph) { return sp.misspelt(paragraph); });
}

void TForm1::SpellCheck1Click()
{
    SetFromReg(s::SpellCheck, SpellCheck1->isChecked() ? QStringLiteral("true") : QStringLiteral("false"));
    applySpelling();
}

void TForm1::chooseSpellLanguage(const QString &dictionary)
{
    SetFromReg(s::SpellLanguage, dictionary);
    applySpelling();
}

void TForm1::fillSpellLanguageMenu()
{
    SpellLanguage1->clear();
    auto *group = new QActionGroup(SpellLanguage1);
    const QString chosen = GetFromReg(s::SpellLanguage);
    auto add = [&](const QString &text, const QString &dictionary) {
        QAction *a = SpellLanguage1->addAction(text);
        a->setCheckable(true);
        a->setChecked(dictionary == chosen);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, dictionary] {
            tl::runGuarded([&] { chooseSpellLanguage(dictionary); });
        });
    };
    add(m_spellTexts["Spelling.AsInterface"], QString());
    for (const tl::spell::Dictionary &d : tl::spell::findDictionaries(tl::spell::dictionaryFolders()))
        add(tl::spell::displayName(d.name), d.name);
}

void TForm1::popupEditorMenu(const QPoint &global, int position)
{
    for (QAction *a : std::as_const(m_spellItems)) {
        mnuMemo->removeAction(a);
        a->deleteLater();
    }
    m_spellItems.clear();
    const QTextCursor word = memo1->isReadOnly() || !memo1->spellMarked() ? QTextCursor()
                                                                           : memo1->misspeltWordAt(position);
    if (word.hasSelection()) {
        const QString text = word.selectedText();
        QAction *first = mnuMemo->actions().value(0);
        auto add = [&](const QString &caption, std::function<void()> run) {
            QAction *a = new QAction(caption, mnuMemo);
            mnuMemo->insertAction(first, a);
            m_spellItems << a;
            if (run)
                tl::connectGuarded(a, &QAction::triggered, this, std::move(run));
            else
                a->setEnabled(false);
            return a;
        };
        const QStringList suggestions = speller().suggestions(text);
        for (const QString &s : suggestions) {
            add(s, [this, word, s] {
                QTextCursor c = word;
                c.insertText(s);  // in the format of the word it replaces
            })->setObjectName(QStringLiteral("Suggestion"));
        }
        if (suggestions.isEmpty())
            add(m_spellTexts["Spelling.NoSuggestions"], {});
        add(m_spellTexts["Spelling.Add"], [this, text] {
            try {
                speller().addWord(text);
            } catch (const tl::Error &e) {
                m_services.dialogs->messageBox(this, QStringLiteral("Tessaleaf"), e.message(), tl::MsgButtons::Ok,
                                               tl::MsgIcon::Warning);
            }
        })->setObjectName(QStringLiteral("SpellAdd"));
        add(m_spellTexts["Spelling.Ignore"], [this, text] { speller().ignoreWord(text); })
            ->setObjectName(QStringLiteral("SpellIgnore"));
        QAction *sep = new QAction(mnuMemo);
        sep->setSeparator(true);
        mnuMemo->insertAction(first, sep);
        m_spellItems << sep;
    }
    SpellCheck1->setChecked(memo1->spellMarked());
    mnuMemo->popup(global, m_spellItems.value(0));
}

void TForm1::cmdChecklistClick()
{
    if (memo1->isReadOnly())
        return;
    tl::checklist::toggleList(memo1->textCursor());
}

void TForm1::TickBox1Click()
{
    if (!memo1->isReadOnly())
        tl::checklist::toggleBox(memo1->document(), memo1->textCursor().position());
}

bool TForm1::clickOnBox(QPoint viewportPos)
{
    if (memo1->isReadOnly())
        return false;
    const QTextCursor at = memo1->cursorForPosition(viewportPos);
    const QTextBlock block = at.block();
    if (!tl::checklist::boxOf(block.text()))
        return false;
    QTextCursor box(memo1->document());
    box.setPosition(block.position());
    const QRect left = memo1->cursorRect(box);
    box.setPosition(block.position() + 1);
    const QRect right = memo1->cursorRect(box);
    if (left.top() != right.top() || viewportPos.x() < left.left() || viewportPos.x() > right.left()
        || viewportPos.y() < left.top() || viewportPos.y() > left.bottom())
        return false;
    return tl::checklist::toggleBox(memo1->document(), block.position());
}
