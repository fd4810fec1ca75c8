// Spelling in the main window: marks in two scripts, the suggestions at the
// head of the editor's menu, the personal word list across a restart, and
// a document and its Modified flag untouched by the marks.

#include "spellformfixture.h"

#include "fakes/fakedialogs.h"
#include "settings/TfrmPrefer.h"
#include "settings/settingstable.h"
#include "spell/personalwords.h"
#include "spell/spellpage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTextLayout>
#include <QTreeWidget>

namespace {

namespace s = tl::setting;

const QString russian = QString::fromUtf16(u"\u043a\u043e\u0448\u043a\u0430 \u043e\u043a\u043d\u044d");  // "кошка окнэ"
const QString russianWrong = QString::fromUtf16(u"\u043e\u043a\u043d\u044d");

TEST_F(SpellFormTest, MarksMisspeltWordsOfBothScriptsAsTheyAreTyped)
{
    startSpelling();
    type(QStringLiteral("teh quick ") + russian + QStringLiteral(" "));
    EXPECT_TRUE(marked(QStringLiteral("teh")));
    EXPECT_FALSE(marked(QStringLiteral("quick")));
    EXPECT_TRUE(marked(russianWrong));
    EXPECT_FALSE(marked(QString::fromUtf16(u"\u043a\u043e\u0448\u043a\u0430")));
    // A red wave, drawn by the layout only.
    const QTextBlock b = form->memo1->document()->firstBlock();
    bool wave = false;
    for (const QTextLayout::FormatRange &r : b.layout()->formats())
        wave = wave || (r.start == 0 && r.length == 3 && r.format.underlineStyle() == QTextCharFormat::SpellCheckUnderline
                        && r.format.underlineColor() == QColor(Qt::red));
    EXPECT_TRUE(wave);
    QTextCursor c(form->memo1->document());
    c.setPosition(1);
    EXPECT_EQ(c.charFormat().underlineStyle(), QTextCharFormat::NoUnderline);
}

TEST_F(SpellFormTest, AnOpenedNoteIsMarkedParagraphByParagraph)
{
    const QString file = notesFile(QStringLiteral("a.nts"), {QStringLiteral("the fox\nteh dog\n") + russian});
    startSpelling();
    open(file);
    settle();
    EXPECT_FALSE(marked(QStringLiteral("fox")));
    EXPECT_TRUE(marked(QStringLiteral("teh")));
    EXPECT_TRUE(marked(russianWrong));
}

TEST_F(SpellFormTest, ASuggestionReplacesTheWordAndTheNoteHoldsOnlyTheCorrection)
{
    const QString file = notesFile(QStringLiteral("a.nts"), {QStringLiteral("teh quick")});
    startSpelling();
    open(file);
    settle();
    pickFromMenuAt(QStringLiteral("teh"), QStringLiteral("the"));
    EXPECT_EQ(editorText(), QStringLiteral("the quick"));
    EXPECT_TRUE(form->Modified());
    form->StoreShownNote();
    EXPECT_EQ(notesOf(file), QStringList{QStringLiteral("the quick")});
    const QString stored = tl::RecordStore().loadNote(0, file);
    EXPECT_FALSE(stored.contains(QLatin1String("\\ul"))) << qPrintable(stored);
}

TEST_F(SpellFormTest, TheMenuStartsWithSuggestionsAddAndIgnoreOnlyOnAMisspeltWord)
{
    startSpelling();
    type(QStringLiteral("teh quick"));
    QTest::mousePress(form->memo1->viewport(), Qt::RightButton, {}, pointAt(1));
    ASSERT_TRUE(form->mnuMemo->isVisible());
    EXPECT_EQ(menuTexts().mid(0, 5), (QStringList{"the", "Add to Dictionary", "Ignore", "-", "Undo"}));
    form->mnuMemo->hide();
    QTest::mousePress(form->memo1->viewport(), Qt::RightButton, {}, pointAt(6));
    EXPECT_EQ(menuTexts().value(0), QStringLiteral("Undo"));
    form->mnuMemo->hide();
}

TEST_F(SpellFormTest, TheMenuKeyOpensTheMenuWithTheSuggestionsForTheCaretsWord)
{
    startSpelling();
    type(QStringLiteral("teh"));
    form->memo1->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Menu);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->mnuMemo->isVisible(); }, 5000));
    EXPECT_EQ(menuTexts().value(0), QStringLiteral("the"));
    form->mnuMemo->hide();
}

TEST_F(SpellFormTest, IgnoreLastsTheSessionAddToDictionaryARestart)
{
    startSpelling();
    type(QStringLiteral("zorp blik"));
    pickFromMenuAt(QStringLiteral("zorp"), QStringLiteral("Ignore"));
    pickFromMenuAt(QStringLiteral("blik"), QStringLiteral("Add to Dictionary"));
    settle();
    EXPECT_FALSE(marked(QStringLiteral("zorp")));
    EXPECT_FALSE(marked(QStringLiteral("blik")));
    EXPECT_EQ(tltest::readFile(tl::spell::personalWordsFile()), QByteArray("blik\n"));

    // The next run: a window of its own on the same settings and data.
    tl::runGuarded([&] { form->FormDestroy(); });
    form = std::make_unique<TForm1>(tltest::makeFakeServices().services, dir + QStringLiteral("/config/settings.conf"));
    form->resize(400, 300);
    form->show();
    startSpelling();
    type(QStringLiteral("zorp blik"));
    EXPECT_TRUE(marked(QStringLiteral("zorp")));
    EXPECT_FALSE(marked(QStringLiteral("blik")));
}

TEST_F(SpellFormTest, AWordListThatCannotBeWrittenIsToldAbout)
{
    startSpelling();
    form->speller().personalFile = tltest::writeFile(path(QStringLiteral("file")), "x") + QStringLiteral("/words.dic");
    type(QStringLiteral("blik"));
    pickFromMenuAt(QStringLiteral("blik"), QStringLiteral("Add to Dictionary"));
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QLatin1String("words.dic")));
    EXPECT_EQ(editorText(), QStringLiteral("blik"));
}

// The marks change nothing a note keeps: the same typing into the same note
// stores the same RTF and sets Modified alike with checking on and off.
TEST_F(SpellFormTest, TheDocumentAndModifiedAreTheSameWithCheckingOnAndOff)
{
    QStringList stored;
    for (const char *on : {"false", "true"}) {
        const QString file = notesFile(QStringLiteral("%1.nts").arg(QLatin1String(on)),
                                       {QStringLiteral("{\\rtf1 teh {\\b bold} fox\\par}")});
        set(s::SpellCheck, QString::fromLatin1(on));
        startSpelling();
        open(file);
        settle();
        EXPECT_FALSE(form->Modified()) << on;
        type(QStringLiteral(" blik teh"));
        EXPECT_TRUE(form->Modified()) << on;
        form->StoreShownNote();
        stored << tl::RecordStore().loadNote(0, file);
        EXPECT_EQ(marked(QStringLiteral("teh")), QLatin1String(on) == QLatin1String("true"));
    }
    EXPECT_EQ(stored[0], stored[1]);
}

TEST_F(SpellFormTest, TheMenuSwitchTurnsMarkingOffAndIsStored)
{
    startSpelling();
    type(QStringLiteral("teh"));
    ASSERT_TRUE(marked(QStringLiteral("teh")));
    ASSERT_TRUE(form->SpellCheck1->isChecked());
    form->SpellCheck1->trigger();
    settle();
    EXPECT_FALSE(marked(QStringLiteral("teh")));
    EXPECT_EQ(form->GetFromReg(s::SpellCheck), QStringLiteral("false"));
    form->SpellCheck1->trigger();
    settle();
    EXPECT_TRUE(marked(QStringLiteral("teh")));
}

TEST_F(SpellFormTest, TheLanguageMenuChoosesTheDictionary)
{
    startSpelling();
    type(QStringLiteral("der Hund teh"));
    EXPECT_TRUE(marked(QStringLiteral("Hund")));
    form->SpellLanguage1->popup(form->mapToGlobal(QPoint(10, 10)));  // as the editor menu opens it
    form->SpellLanguage1->hide();
    QAction *german = nullptr;
    for (QAction *a : form->SpellLanguage1->actions())
        if (a->text().endsWith(QLatin1String("de_DE")))
            german = a;
    ASSERT_NE(german, nullptr);
    german->trigger();
    settle();
    EXPECT_EQ(form->GetFromReg(s::SpellLanguage), QStringLiteral("de_DE"));
    EXPECT_FALSE(marked(QStringLiteral("Hund")));
    EXPECT_TRUE(marked(QStringLiteral("teh")));
}

TEST_F(SpellFormTest, ThePreferencesEditorPageSwitchesCheckingAndListsTheDictionaries)
{
    startSpelling();
    type(QStringLiteral("teh"));
    TfrmPrefer &prefer = form->preferences();
    prefer.show();
    prefer.tvMain->setCurrentItem(prefer.tvMain->topLevelItem(2));  // Editor
    tl::SpellingOptions *page = prefer.spellingOptions;
    ASSERT_TRUE(page->isVisible());
    EXPECT_TRUE(page->lblDictionaries->text().contains(QLatin1String("de_DE, en_US, ru_RU")));
    EXPECT_EQ(page->cbSpellLanguage->count(), 4);
    ASSERT_TRUE(page->cbSpell->isChecked());
    page->cbSpell->click();
    settle();
    EXPECT_EQ(form->GetFromReg(s::SpellCheck), QStringLiteral("false"));
    EXPECT_FALSE(marked(QStringLiteral("teh")));
    EXPECT_FALSE(form->SpellCheck1->isChecked());
    EXPECT_FALSE(page->cbSpell->accessibleName().isEmpty());
    prefer.hide();
}

TEST_F(SpellFormTest, TextsAndDictionaryFollowTheInterfaceLanguage)
{
    form->ProgramFolder = QStringLiteral(TL_BUILD_DIR);
    startSpelling();
    ASSERT_EQ(form->speller().mainDictionary(), QStringLiteral("en_US"));
    TfrmPrefer &prefer = form->preferences();
    form->switchLanguage(QStringLiteral("Russian"));
    settle();
    EXPECT_EQ(form->Checklist1->text(), QString::fromUtf8("Список задач"));
    EXPECT_EQ(form->cmdChecklist->accessibleName(), QString::fromUtf8("Список задач"));
    EXPECT_EQ(prefer.spellingOptions->cbSpell->text(), QString::fromUtf8("Проверять орфографию при вводе"));
    EXPECT_EQ(form->speller().mainDictionary(), QStringLiteral("ru_RU"));
}

TEST_F(SpellFormTest, WithoutDictionariesNothingIsMarkedAndThePageSaysSo)
{
    qputenv("XDG_DATA_DIRS", QFile::encodeName(tltest::freshFolder()));
    startSpelling();
    type(QStringLiteral("teh"));
    EXPECT_FALSE(marked(QStringLiteral("teh")));
    TfrmPrefer &prefer = form->preferences();
    prefer.show();
    EXPECT_TRUE(prefer.spellingOptions->lblDictionaries->text().contains(QLatin1String("none")));
    prefer.hide();
}

} // namespace
