// The main window's translated texts and the language switch.

#include "app/TForm1.h"

#include "controls/flatbutton.h"
#include "platform/paths.h"
#include "settings/settingstable.h"

#include <QAction>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMenu>

QString TForm1::programFolder() const
{
    return ProgramFolder.isEmpty() ? tl::paths::programFolder() : ProgramFolder;
}

void TForm1::LoadLanguage(const QString &language)
{
    if (!TrayPopUp)
        createTrayMenu();
    // Every text is read before any is shown: a broken file never leaves
    // the window half translated.
    const tl::i18n::Texts texts = tl::i18n::Texts::load(tl::i18n::mainFormTexts, programFolder(), language);
    m_texts = texts;

    auto hint = [&texts](QWidget *w, std::string_view key) {
        w->setToolTip(texts[key]);
        if (qobject_cast<tl::FlatButton *>(w))
            w->setAccessibleName(texts[key]);
    };
    hint(Panel1, "MainForm.panel1TT");
    hint(cmdBack, "MainForm.cmdBackTT");
    hint(cmdDel, "MainForm.cmdDelTT");
    hint(cmdNew, "MainForm.cmdNewTT");
    hint(cmdNext, "MainForm.cmdNextTT");
    hint(cmdFont, "MainForm.cmdFontTT");
    hint(cmdBold, "MainForm.cmdBoldTT");
    hint(cmdACenter, "MainForm.cmdACenterTT");
    hint(cmdALeft, "MainForm.cmdALeftTT");
    hint(cmdARight, "MainForm.cmdARightTT");
    hint(cmdBullet, "MainForm.cmdBulletTT");
    hint(cmdItalic, "MainForm.cmdItalicTT");
    hint(cmdSelectColor, "MainForm.cmdSelectColorTT");
    hint(cmdUnder, "MainForm.cmdUnderTT");
    hint(cmdClose, "MainForm.cmdClose");
    hint(cmdHide, "MainForm.cmdHide");
    hint(cmdSearch, "MainForm.cmdSearch");
    hint(cmdSearchAgain, "MainForm.cmdSearchAgain");
    hint(cmdSearchBack, "MainForm.cmdSearchBack");

    // The file menu gives its items access keys of their own.
    const QStringList fileItems = tl::i18n::withAccessKeys(
        {texts["MainForm.NewFile2"], texts["MainForm.OpenFile2"], texts["MainForm.SaveFile2"],
         texts["MainForm.Savefileas2"], texts["MainForm.DeletedNotes"],
         texts["MainForm.RestoreBackup"]});
    NewFile2->setText(fileItems[0]);
    OpenFile2->setText(fileItems[1]);
    SaveFile2->setText(fileItems[2]);
    SaveFileAs2->setText(fileItems[3]);
    DeletedNotes2->setText(fileItems[4]);
    RestoreBackup2->setText(fileItems[5]);

    auto caption = [&texts](QAction *a, std::string_view key) { a->setText(texts[key]); };
    auto title = [&texts](QMenu *m, std::string_view key) {
        m->setTitle(texts[key]);
        m->setWindowTitle(texts[key]);
    };
    caption(Show1, "MainForm.show1");
    caption(Options1, "MainForm.options1");
    title(Help1, "MainForm.help1");
    caption(Helptopics1, "MainForm.helptopics1");
    caption(MarrowpineWebSite1, "MainForm.TessaleafWebSite1");
    caption(About1, "MainForm.about1");
    caption(Exit1, "MainForm.exit1");
    caption(Undo1, "MainForm.Undo1");
    caption(Cut1, "MainForm.cut1");
    caption(Copy1, "MainForm.Copy1");
    caption(Paste1, "MainForm.paste1");
    caption(Font1, "MainForm.font1");
    caption(Print1, "MainForm.Print1");
    title(Sendtoemail1, "MainForm.sendtoemail1");
    caption(Sta1, "MainForm.OnTop");
    title(RecentSkins1, "MainForm.AvailableSkins1");
    caption(Hide1, "MainForm.Hide1");
    lblSearch->setText(texts["MainForm.lblsearch"]);
    caption(SelectAll1, "MainForm.SelectAll");
    caption(Fileinformation1, "MainForm.fileinformation");
    caption(Jumptonote1, "MainForm.JumpToNote");
    title(Support1, "MainForm.Support1");
    caption(SendFeedback1, "MainForm.SendFeedback1");
    caption(SendBugsReport1, "MainForm.SendBugsReport1");
    caption(Keyboardshortcuts1, "MainForm.Keyboardshortcuts1");
    title(File1, "MainForm.File");

    // The tray's file items read as the file menu's.
    NewFile1->setText(NewFile2->text());
    OpenFile1->setText(OpenFile2->text());
    SaveFile1->setText(SaveFile2->text());
    SaveFileAs3->setText(SaveFileAs2->text());
    DeletedNotes1->setText(DeletedNotes2->text());
    RestoreBackup1->setText(RestoreBackup2->text());
    FindBar1->setText(texts[panSearch->isVisible() ? "MainForm.findbar1Hide" : "MainForm.findbar1"]);
    if (!QFileInfo(CurrentFile()).isFile()) {
        ModifyTray(texts["MainForm.langnonfileintray"]);
        Panel1->setText(texts["MainForm.langnonfileininfo"]);
    }
}

void TForm1::switchLanguage(const QString &language)
{
    for (const auto &load : languageLoaders)
        load(language);
    LoadLanguage(language);
    SetFromReg(tl::setting::CurLanguage, language);
}
