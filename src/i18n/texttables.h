#pragma once
// The translatable texts of every window: the key a language file names
// each by, the built-in English text, and what is appended to the text read.

#include <array>
#include <span>
#include <string_view>

namespace tl::i18n {

struct Text {
    std::string_view key;
    std::string_view text;
    std::string_view suffix = {};
};

inline constexpr Text mainFormTexts[] = {
    {"MainForm.panel1TT", "Information"},
    {"MainForm.cmdBackTT", "Jump to previous note"},
    {"MainForm.cmdDelTT", "Delete current note/file"},
    {"MainForm.cmdNewTT", "Add new note"},
    {"MainForm.cmdNextTT", "Jump to forward note"},
    {"MainForm.cmdFontTT", "Change Current Font"},
    {"MainForm.cmdBoldTT", "Bold"},
    {"MainForm.cmdACenterTT", "Align Center"},
    {"MainForm.cmdALeftTT", "Align Left"},
    {"MainForm.cmdARightTT", "Align Right"},
    {"MainForm.cmdBulletTT", "Bullet"},
    {"MainForm.cmdItalicTT", "Italic"},
    {"MainForm.cmdSelectColorTT", "Select Color"},
    {"MainForm.cmdUnderTT", "Underline"},
    {"MainForm.NewFile2", "New File..."},
    {"MainForm.OpenFile2", "Open File..."},
    {"MainForm.SaveFile2", "Save"},
    {"MainForm.Savefileas2", "Save File As..."},
    {"MainForm.show1", "Show"},
    {"MainForm.options1", "Options"},
    {"MainForm.help1", "Help"},
    {"MainForm.helptopics1", "Help Topics"},
    {"MainForm.TessaleafWebSite1", "Tessaleaf Web Site", "   "},
    {"MainForm.about1", "About..."},
    {"MainForm.exit1", "Exit"},
    {"MainForm.Undo1", "Undo"},
    {"MainForm.cut1", "Cut"},
    {"MainForm.Copy1", "Copy"},
    {"MainForm.paste1", "Paste"},
    {"MainForm.font1", "Font..."},
    {"MainForm.Print1", "Print"},
    {"MainForm.sendtoemail1", "Send to email..."},
    {"MainForm.OnTop", "Always On Top"},
    {"MainForm.AvailableSkins1", "Available Skins"},
    {"MainForm.cmdClose", "Close"},
    {"MainForm.cmdHide", "Minimize"},
    {"MainForm.Hide1", "Hide", "      "},
    {"MainForm.lblsearch", "Look for:"},
    {"MainForm.cmdSearch", "Find"},
    {"MainForm.cmdSearchAgain", "Find Next", " (F3)"},
    {"MainForm.cmdSearchBack", "Find Back", " (F2)"},
    {"MainForm.findbar1", "Show Find Bar", "      "},
    {"MainForm.findbar1Hide", "Hide Find Bar", "      "},
    {"MainForm.langnonfileininfo", "No File of Notes"},
    {"MainForm.langnonfileintray", "No File"},
    {"MainForm.SelectAll", "Select All"},
    {"MainForm.gLine", "W E L C O M E !"},
    {"MainForm.fileinformation", "File Properties..."},
    {"MainForm.JumpToNote", "Jump to note..."},
    {"MainForm.Support1", "Support"},
    {"MainForm.SendFeedback1", "Send Suggestion/Feedback"},
    {"MainForm.SendBugsReport1", "Send BugsReport"},
    {"MainForm.Keyboardshortcuts1", "Keyboard shortcuts"},
    {"MainForm.File", "File..."},
};

inline constexpr Text preferTexts[] = {
    {"frmprefer", "Options"},
    {"frmPrefer.cbType", "Associations file types by Tessaleaf:"},
    {"frmPrefer.chStartUp", "Run the Tessaleaf at StartUp"},
    {"frmPrefer.label1", "AlphaBlend:"},
    {"frmPrefer.label4", "Language:"},
    {"frmPrefer.cbcursor", "Use Cursor:"},
    {"frmPrefer.tvgeneral", "General"},
    {"frmPrefer.tvfonts", "Fonts and Colors"},
    {"frmPrefer.tvtexteditor", "Editor"},
    {"frmPrefer.tvnotifications", "Confirmations"},
    {"frmPrefer.tvskins", "Skins"},
    {"frmPrefer.tvpersonal", "Personal Data"},
    {"frmPrefer.cbsaving", "Ask about saving for non *.nts files on exit"},
    {"frmPrefer.cbDelNote", "Confirm deleting note"},
    {"frmPrefer.cbDelFile", "Confirm deleting file"},
    {"frmPrefer.cbExit", "Confirm exit without saving unsaved data"},
    {"frmPrefer.toolbar", "ToolBar"},
    {"frmPrefer.SearchBar", "SearchBar"},
    {"frmPrefer.editor", "Editor"},
    {"frmPrefer.infobar", "InfoBar"},
    {"frmPrefer.Menu_Style_Standart", "Standart"},
    {"frmPrefer.Menu_Style_Extended", "Extended"},
    {"frmPrefer.cbbold", "Bold"},
    {"frmPrefer.cmdDefault", "Use Default"},
    {"frmPrefer.cmdClose", "Close"},
    {"frmPrefer.Help1", "Help"},
    {"frmPrefer.element", "Show settings for:"},
    {"frmPrefer.fontsize", "Size:"},
    {"frmPrefer.font", "Font:"},
    {"frmPrefer.font_color", "Font Color:"},
    {"frmPrefer.background_color", "Background Color:"},
    {"frmPrefer.Menu_style", "Menu Style:"},
    {"frmPrefer.DisplayItems", "Display Items:"},
    {"frmPrefer.lblAddIcon", "Add icon to:"},
    {"frmPrefer.cmdAddIcon", "Add"},
    {"frmPrefer.Normal", "Normal"},
    {"frmPrefer.Hover", "Hover"},
    {"frmPrefer.Text", "Text"},
    {"frmPrefer.Label", "Label"},
    {"frmPrefer.Button", "Button"},
    {"frmPrefer.ComboBox", "ComboBox"},
    {"frmPrefer.txtAuthor", "Author Name"},
    {"frmPrefer.txtCompany", "Company Name"},
    {"frmPrefer.lblCompress", "Default Compression Level (1..10):"},
    {"frmPrefer.cbSound", "Enable Sound"},
    {"frmPrefer.cbSeparatLines", "Separating Lines"},
    {"frmPrefer.cbMinEffect", "Enable Effect On Minimization"},
};

inline constexpr Text seekTexts[] = {
    {"frmseek", "Open note"},
    {"frmseek.cmdGoNumber", "Jump"},
    {"frmseek.lblNumber", "Note number:"},
};

inline constexpr Text fontTexts[] = {
    {"frmFont", "Font Name & Size"},
    {"frmFont.lblFont", "Font:"},
    {"frmFont.lblSize", "Size:"},
};

inline constexpr Text infoTexts[] = {
    {"frminfo", "File Properties"},
    {"frmInfo.type", "Type:"},
    {"frmInfo.folder", "Folder:"},
    {"frmInfo.size", "Size:"},
    {"frmInfo.created", "Created:"},
    {"frmInfo.changed", "Changed:"},
    {"frmInfo.opened", "Opened:"},
    {"frmInfo.flags", "Flags:"},
    {"frmInfo.authorname", "Author Name:"},
    {"frmInfo.company", "Company:"},
    {"frmInfo.general", "General"},
    {"frmInfo.author", "Author"},
    {"frmInfo.statistics", "Statistics"},
    {"frmInfo.compression", "Compression"},
    {"frmInfo.readonly", "Read Only"},
    {"frmInfo.cmdcancel", "Cancel"},
    {"frmInfo.NumberOfNotes", "Number of Notes:"},
    {"frmInfo.lblcomments", "Comments: (max 255 symbols)"},
    {"frmInfo.cbCompress", "Enable compression"},
    {"frmInfo.lblCompressionLevel", "Compression level:"},
    {"frmInfo.lbllow", "Low (Fast)"},
    {"frmInfo.lblHi", "Hi (Slow)"},
    {"frminfo.lblwospc", "Number of symbols w/o space:"},
    {"frminfo.lblwithspc", "Number of symbols with space:"},
};

inline constexpr Text aboutTexts[] = {
    {"frmabout", "About Tessaleaf"},
    {"frmAbout.website", "Website:"},
    {"frmAbout.support", "Support:"},
    {"frmAbout.General", "General"},
    {"frmAbout.Thanks", "Acknowledgements"},
};

inline constexpr Text spellTexts[] = {
    {"Spelling.Check", "Check Spelling"},
    {"Spelling.CheckAsYouType", "Check spelling as you type"},
    {"Spelling.Language", "Spelling Language"},
    {"Spelling.LanguageLabel", "Spelling:"},
    {"Spelling.AsInterface", "As the interface"},
    {"Spelling.Installed", "Installed dictionaries:"},
    {"Spelling.NoneInstalled", "none (spelling is not checked)"},
    {"Spelling.Add", "Add to Dictionary"},
    {"Spelling.Ignore", "Ignore"},
    {"Spelling.NoSuggestions", "(no suggestions)"},
    {"Spelling.Checklist", "Checklist"},
    {"Spelling.TickBox", "Tick Box"},
};

struct Window {
    std::string_view name;  // the window's class
    std::span<const Text> texts;
};

// In the order the language file lists them.
inline constexpr std::array<Window, 7> windows{{
    {"TForm1", mainFormTexts},
    {"TfrmPrefer", preferTexts},
    {"TfrmSeek", seekTexts},
    {"TfrmFont", fontTexts},
    {"TfrmInfo", infoTexts},
    {"TfrmAbout", aboutTexts},
    {"Spelling", spellTexts},
}};

} // namespace tl::i18n
