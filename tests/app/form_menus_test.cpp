// The popup menus: what they hold, their two styles, and their texts in
// another language.

#include "app/formfixture.h"
#include "settings/settingstable.h"
#include "skins/menustyle.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "controls/darerlabel.h"
#include "controls/flatbutton.h"
#include "editor/TfrmAbout.h"
#include "editor/TfrmFont.h"
#include "notes/TfrmInfo.h"
#include "notes/TfrmSeek.h"

namespace s = tl::setting;
using tl::SettingsStore;

namespace {

QStringList names(QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions())
        out << (a->isSeparator() && a->objectName().isEmpty() ? QStringLiteral("-") : a->objectName());
    return out;
}

QStringList texts(QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions())
        out << a->text();
    return out;
}

class FormMenus : public FormTest {};

TEST_F(FormMenus, TheTrayMenuHoldsItsFullInventory)
{
    TForm1 &f = start();
    EXPECT_EQ(names(f.TrayPopUp), (QStringList{QStringLiteral("Show1"), QStringLiteral("Lock1"), QString(),
                                               QStringLiteral("Options1"), QString(), QStringLiteral("Sta1"),
                                               QStringLiteral("N3"), QString(), QStringLiteral("N2"),
                                               QStringLiteral("Exit1")}));
    EXPECT_EQ(f.TrayPopUp->actions()[2]->menu(), f.File1);
    EXPECT_EQ(f.TrayPopUp->actions()[4]->menu(), f.RecentSkins1);
    EXPECT_EQ(f.TrayPopUp->actions()[7]->menu(), f.Help1);
    EXPECT_EQ(f.Lock1->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
    EXPECT_EQ(f.TrayPopUp->defaultAction(), f.Show1);
    EXPECT_EQ(names(f.Help1), (QStringList{QStringLiteral("Helptopics1"), QStringLiteral("Keyboardshortcuts1"),
                                           QString(), QStringLiteral("MarrowpineWebSite1"), QStringLiteral("N1"),
                                           QStringLiteral("About1")}));
    EXPECT_EQ(f.Help1->actions()[2]->menu(), f.Support1);
    EXPECT_EQ(names(f.Support1), (QStringList{QStringLiteral("SendFeedback1"), QStringLiteral("SendBugsReport1")}));
    EXPECT_EQ(f.Helptopics1->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(f.Keyboardshortcuts1->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F1));
    // Icons by their index in the image list.
    for (QAction *a : {f.Exit1, f.Helptopics1, f.MarrowpineWebSite1, f.Support1->menuAction(), f.NewFile2,
                       f.OpenFile2, f.SaveFileAs2, f.Undo1, f.Cut1, f.Copy1, f.Paste1, f.SelectAll1, f.Print1,
                       f.Fileinformation1})
        EXPECT_FALSE(a->icon().isNull()) << qPrintable(a->objectName());
    for (QAction *a : {f.Show1, f.Lock1, f.SaveFile2, f.About1, f.Keyboardshortcuts1, f.FindBar1, f.Jumptonote1})
        EXPECT_TRUE(a->icon().isNull()) << qPrintable(a->objectName());
}

TEST_F(FormMenus, HelpTopicsOpensTheLanguagesHelpAndKeyboardShortcutsNothing)
{
    const QString program = dir + QStringLiteral("/program");
    tltest::writeFile(program + QStringLiteral("/languages/English/help.html"), "<html></html>");
    TForm1 &f = makeForm();
    f.ProgramFolder = program;
    f.FormCreate({QStringLiteral("tessaleaf")});
    auto *shell = static_cast<tltest::FakeShell *>(f.services().shell.get());
    f.Keyboardshortcuts1->trigger();
    EXPECT_TRUE(shell->opened.empty());
    f.Helptopics1->trigger();
    ASSERT_EQ(shell->opened.size(), 1u);
    EXPECT_EQ(shell->opened[0], QUrl::fromLocalFile(program + QStringLiteral("/languages/English/help.html")));
}

// The left icon column of an item against the item's far right.
struct ItemLook {
    int colourful = 0;  // strongly coloured pixels where the icon goes
    bool column = false;  // the column's fill differs from the item's
};

ItemLook lookOf(QMenu *menu, QAction *item)
{
    menu->adjustSize();
    const QImage g = menu->grab().toImage();
    const QRect r = menu->actionGeometry(item);
    ItemLook look;
    for (int y = r.top() + 2; y < r.bottom() - 1; ++y)
        for (int x = r.left() + 2; x < r.left() + tl::MenuStyle::IconWidth - 2; ++x)
            if (QColor(g.pixel(x, y)).hsvSaturation() > 90)
                ++look.colourful;
    look.column = g.pixel(r.left() + 2, r.top() + 1) != g.pixel(r.right() - 4, r.top() + 1);
    return look;
}

TEST_F(FormMenus, ExtendedDrawsTheIconColumnAndIconsStandardNeither)
{
    TForm1 &f = start();
    f.SelectMenuStyle(1);
    EXPECT_EQ(f.menuStyle(), 1);
    const ItemLook extended = lookOf(f.mnuMemo, f.Undo1);
    EXPECT_GT(extended.colourful, 10);
    EXPECT_TRUE(extended.column);
    EXPECT_GT(lookOf(f.TrayPopUp, f.Exit1).colourful, 10);

    f.SelectMenuStyle(0);
    const ItemLook standard = lookOf(f.mnuMemo, f.Undo1);
    EXPECT_EQ(standard.colourful, 0);
    EXPECT_FALSE(standard.column);
    EXPECT_EQ(lookOf(f.TrayPopUp, f.Exit1).colourful, 0);
    // The file menu keeps its icons in the system look.
    EXPECT_GT(lookOf(f.mnuFile, f.NewFile2).colourful, 10);

    f.SelectMenuStyle(7);  // no such style: nothing changes
    EXPECT_EQ(f.menuStyle(), 0);
    EXPECT_EQ(lookOf(f.mnuMemo, f.Undo1).colourful, 0);
}

TEST_F(FormMenus, TheStoredStyleIsAppliedAtStart)
{
    settings().SetFromReg(SettingsStore::q(s::MenuStyle), QStringLiteral("1"));
    TForm1 &f = start();
    EXPECT_EQ(f.menuStyle(), 1);
    EXPECT_TRUE(lookOf(f.pSearch, f.Hide1).column);
}

// The shipped language folders, as they lie beside the built program.
const QString shippedProgram = QStringLiteral(TL_SOURCE_DIR);

class FormLanguage : public FormTest {
protected:
    TForm1 &startIn(const QString &program, const QString &language)
    {
        settings().SetFromReg(SettingsStore::q(s::CurLanguage), language);
        TForm1 &f = makeForm();
        f.ProgramFolder = program;
        f.FormCreate({QStringLiteral("tessaleaf")});
        return f;
    }
    static void expectTrayFileItemsAsFileMenu(TForm1 &f)
    {
        EXPECT_EQ(texts(f.File1), texts(f.mnuFile));
    }
};

TEST_F(FormLanguage, StartedInRussianTheMenusAndHintsAreRussian)
{
    TForm1 &f = startIn(shippedProgram, QStringLiteral("Russian"));
    EXPECT_EQ(f.Show1->text(), QStringLiteral("Показать"));
    EXPECT_EQ(f.Exit1->text(), QStringLiteral("Выход"));
    EXPECT_EQ(f.RecentSkins1->title(), QStringLiteral("Доступные скины"));
    EXPECT_EQ(f.cmdBack->toolTip(), QStringLiteral("Перейти к предыдущей заметке"));
    EXPECT_EQ(f.cmdSearchAgain->toolTip(), QStringLiteral("Найти далее (F3)"));
    EXPECT_EQ(f.Panel1->text(), QStringLiteral("Файл заметок не открыт"));
    EXPECT_EQ(f.NewFile2->text().remove(QLatin1Char('&')), QStringLiteral("Создать файл..."));
    expectTrayFileItemsAsFileMenu(f);
    // The find bar's item follows the bar in the language loaded.
    f.FindBar1Click();
    EXPECT_EQ(f.FindBar1->text().trimmed(), QStringLiteral("Скрыть панель поиска"));
}

TEST_F(FormLanguage, EveryLoadLeavesTheTrayFileItemsAsTheFileMenus)
{
    TForm1 &f = startIn(shippedProgram, QStringLiteral("English"));
    expectTrayFileItemsAsFileMenu(f);
    for (const char *language : {"Russian", "English_Default", "Nowhere", "English"}) {
        f.LoadLanguage(QString::fromLatin1(language));
        expectTrayFileItemsAsFileMenu(f);
    }
    EXPECT_EQ(f.Show1->text(), QStringLiteral("Show"));
}

TEST_F(FormLanguage, JunkStartsWithTheBuiltInTexts)
{
    const QString program = dir + QStringLiteral("/program");
    QByteArray junk;
    for (int i = 0; i < 5000; ++i)
        junk.append(char((i * 131 + 17) % 256));
    junk.append("\n[Junk]\nMainForm.show1\n=\n[[[=]]]\n");
    tltest::writeFile(program + QStringLiteral("/languages/Junk/general.lng"), junk);
    TForm1 &f = startIn(program, QStringLiteral("Junk"));
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.Show1->text(), QStringLiteral("Show"));
    EXPECT_EQ(f.cmdDel->toolTip(), QStringLiteral("Delete current note/file"));
}

TEST_F(FormLanguage, TheSwitchLoadsEveryWindowThenStoresTheLanguage)
{
    TForm1 &f = startIn(shippedProgram, QStringLiteral("English"));
    f.show();
    QStringList order;
    f.languageLoaders.push_back([&](const QString &l) {
        order << l;
        EXPECT_EQ(f.Show1->text(), QStringLiteral("Show")) << "another window goes first";
    });
    f.switchLanguage(QStringLiteral("Russian"));
    EXPECT_EQ(order, QStringList{QStringLiteral("Russian")});
    EXPECT_EQ(f.Show1->text(), QStringLiteral("Показать"));
    EXPECT_EQ(settings().GetFromReg(SettingsStore::q(s::CurLanguage)), QStringLiteral("Russian"));
    // With no file open the information bar takes the new language's text.
    EXPECT_EQ(f.Panel1->text(), QStringLiteral("Файл заметок не открыт"));
}

TEST_F(FormLanguage, TheFontPopupTakesTheLanguageInUseEachTimeItIsShown)
{
    TForm1 &f = startIn(shippedProgram, QStringLiteral("English"));
    TfrmFont &font = f.fontPopup();
    font.show();
    EXPECT_EQ(font.lblSize->text(), QStringLiteral("Size:"));
    font.close();
    f.switchLanguage(QStringLiteral("Russian"));
    font.show();
    EXPECT_EQ(font.lblSize->text(), QStringLiteral("Размер:"));
    EXPECT_EQ(font.lblHead->caption(), QStringLiteral("Шрифт и размер"));
    font.close();
}

TEST_F(FormLanguage, TheJumpPopupAndTheAboutBoxTakeTheLanguageInUse)
{
    TForm1 &f = startIn(shippedProgram, QStringLiteral("Russian"));
    f.seekPopup().show();
    EXPECT_EQ(f.seekPopup().lblNumber->text(), QStringLiteral("Номер заметки:"));
    EXPECT_EQ(f.seekPopup().cmdGoNumber->text(), QStringLiteral("Перейти"));
    f.seekPopup().close();
    f.About1Click();
    ASSERT_TRUE(f.frmAbout);
    EXPECT_EQ(f.frmAbout->windowTitle(), QStringLiteral("О программе Tessaleaf"));
    EXPECT_EQ(f.frmAbout->pcAbout->tabText(1), QStringLiteral("Благодарности"));
    EXPECT_EQ(f.frmAbout->lblSupport->text(), QStringLiteral("Поддержка:"));
    f.frmAbout->close();
}

TEST_F(FormLanguage, FilePropertiesTakeTheLanguageInUse)
{
    TForm1 &f = startIn(shippedProgram, QStringLiteral("Russian"));
    const QString file = dir + QStringLiteral("/plain.txt");
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("text");
    out.close();
    f.OpenNotes(file);
    QTimer::singleShot(0, &f, [&] {
        ASSERT_TRUE(f.frmInfo);
        EXPECT_EQ(f.frmInfo->windowTitle(), QStringLiteral("Свойства файла: plain.txt"));
        EXPECT_EQ(f.frmInfo->cbReadOnly->text(), QStringLiteral("Только чтение"));
        EXPECT_EQ(f.frmInfo->PageControl1->tabText(0), QStringLiteral("Общие"));
        f.frmInfo->reject();
    });
    f.Fileinformation1Click();
}

} // namespace
