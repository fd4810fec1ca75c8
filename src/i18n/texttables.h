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
    {"MainForm.DeletedNotes", "Deleted notes..."},
    {"MainForm.RestoreBackup", "Restore from backup..."},
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
    {"frmPrefer.lblTrashDays", "Keep deleted notes for days (0: always):"},
    {"frmPrefer.lblTrashNotes", "Keep at most deleted notes per file (0: all):"},
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

inline constexpr Text portTexts[] = {
    {"frmPort.ExportMenu", "Export..."},
    {"frmPort.ImportMenu", "Import..."},
    {"frmPortExport", "Export Notes"},
    {"frmPortImport", "Import Notes"},
    {"frmPort.lblFormat", "&Format:"},
    {"frmPort.lblKind", "&Notes of:"},
    {"frmPort.lblSource", "&Take from:"},
    {"frmPort.lblTarget", "&Save to:"},
    {"frmPort.lblNewFile", "New notes &file:"},
    {"frmPort.cmdBrowse", "&Browse..."},
    {"frmPort.cmdBrowseSource", "B&rowse..."},
    {"frmPort.cmdOK", "OK"},
    {"frmPort.cmdCancel", "Cancel"},
    {"frmPort.html", "HTML page"},
    {"frmPort.md", "Markdown"},
    {"frmPort.txt", "Plain text"},
    {"frmPort.pdf", "PDF"},
    {"frmPort.rtfdir", "Folder of RTF files"},
    {"frmPort.files", "Folder of .txt, .md and .rtf files"},
    {"frmPort.noNotesFile", "Open a notes file to export its notes."},
    {"frmPort.exported", "%1 notes written to \"%2\"."},
    {"frmPort.imported", "%1 notes taken into \"%2\"."},
    {"frmPort.nothing", "No notes to take from \"%1\"; nothing was written."},
    {"frmPort.noTarget", "Choose where the notes go."},
};

inline constexpr Text trashTexts[] = {
    {"frmTrash", "Deleted notes"},
    {"frmTrash.list", "Deleted notes, newest first"},
    {"frmTrash.deleted", "Deleted"},
    {"frmTrash.firstline", "First line"},
    {"frmTrash.size", "Size"},
    {"frmTrash.emptynote", "(empty note)"},
    {"frmTrash.cmdRestore", "&Restore"},
    {"frmTrash.cmdDelete", "&Delete for good"},
    {"frmTrash.cmdEmpty", "&Empty trash"},
    {"frmTrash.cmdClose", "Close"},
    {"frmTrash.askDelete", "Delete this note for good? It cannot be restored afterwards."},
    {"frmTrash.askEmpty", "Delete every note of the trash for good? They cannot be restored afterwards."},
    {"frmTrash.gone", "This note is no longer in the trash: the file was changed outside Tessaleaf."},
};

inline constexpr Text backupsTexts[] = {
    {"frmBackups", "Restore from backup"},
    {"frmBackups.backups", "&Backups of this file:"},
    {"frmBackups.date", "Date"},
    {"frmBackups.notes", "Notes"},
    {"frmBackups.size", "Size"},
    {"frmBackups.changes", "&Differences from the file now:"},
    {"frmBackups.change", "Change"},
    {"frmBackups.firstline", "First line"},
    {"frmBackups.removed", "Removed since"},
    {"frmBackups.added", "Added since"},
    {"frmBackups.changed", "Changed since"},
    {"frmBackups.emptynote", "(empty note)"},
    {"frmBackups.none", "No backup of this file yet."},
    {"frmBackups.unreadable", "This backup cannot be compared: %1"},
    {"frmBackups.cmdRestoreNote", "Restore &note"},
    {"frmBackups.cmdRestoreFile", "Restore whole &file"},
    {"frmBackups.cmdClose", "Close"},
    {"frmBackups.askFile", "Replace the whole file with this backup? The file as it is now is backed up first."},
    {"frmBackups.packed", "A compressed notes file is restored whole from its backups folder by hand: %1"},
};

struct Window {
    std::string_view name;  // the window's class
    std::span<const Text> texts;
};

// In the order the language file lists them.
inline constexpr std::array<Window, 9> windows{{
    {"TForm1", mainFormTexts},
    {"TfrmPrefer", preferTexts},
    {"TfrmSeek", seekTexts},
    {"TfrmFont", fontTexts},
    {"TfrmInfo", infoTexts},
    {"TfrmAbout", aboutTexts},
    {"TfrmPort", portTexts},
    {"TfrmTrash", trashTexts},
    {"TfrmBackups", backupsTexts},
}};

} // namespace tl::i18n
