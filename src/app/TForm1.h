#pragma once
// The main window: one class, its methods spread over the folders of the
// subsystems. Where to look:
//
//   app/TForm1.cpp             construction, the components and their layout
//   app/lifecycle.cpp          start-up, showing, closing, stay on top, opacity
//   app/tray.cpp               tray icon and menu, hiding, fading
//   app/keyboard.cpp           key preview (Alt+digit, Ctrl+F/O/S, Esc, F1-F3), drops
//   app/instance.cpp           what a second start of the program hands over
//   settings/appearance_form   colours and fonts of the elements, by skin suffix
//   skins/skinload.cpp         reading a skin or the built-in one
//   skins/skinpaint.cpp        the chrome pictures, the layout, the welcome banner
//   skins/skinmouse.cpp        moving, sizing and scrolling through the chrome
//   notes/recordstore_form     notes of the open file: load, save, remove
//   notes/documents.cpp        opening and closing files, the information bar
//   notes/navigation.cpp       Back, Next, Add, Delete, typing into a note
//   notes/outsidechanges.cpp   the open notes file changed, replaced or deleted outside
//   notes/filecommands.cpp     the file menu: New, Open, Save, Save As
//   notes/noteswiring.cpp      the notes buttons and the file menus
//   notes/jump.cpp             Jump to note (the popup is notes/TfrmSeek)
//   notes/trashcommands.cpp    Deleted notes: the trash's dialog (notes/TfrmTrash)
//   notes/backupcommands.cpp   backups of notes files; Restore from backup (notes/TfrmBackups)
//   editor/editcommands.cpp    format and edit commands, editor keys and clicks
//   editor/findbar.cpp         the find bar
//   editor/editorwiring.cpp    wiring of the format buttons, editor menu and find bar
//   editor/tools.cpp           printing, help, mail to support, web site, About box
//   notes/keeping.cpp          stores refused, text in no file, recovery files
//   notes/compressedfiles.cpp  compressed notes files: the working copy, packing, recovery
//   notes/encryptedfiles.cpp   encrypted files: the passphrase, unlocking, locking
//   notes/TfrmInfo.cpp         the File Properties dialog and what opens it
//   skins/menus.cpp            the menu styles, the skin menu
//   i18n/language_form.cpp     the window's translated texts, the language switch
//   app/dialogs.cpp            the dialogs made on first use, their signals connected;
//                              what opens the Preferences
//   app/preferences.cpp        what the Preferences change here, what acts from start-up
//   spell/spellform.cpp        spelling marks and suggestions, checklists
//
// State: the open file and its notes file are the session's (m_session,
// notes/notesession.h); settings go through m_settings. Names the rest of the program
// knows (handlers, components, shared state) are public and spelled as they
// are known; the window's own helpers and state are private, fields m_-named.

#include "editor/findwalk.h"
#include "i18n/language.h"
#include "notes/notesession.h"
#include "platform/fileid.h"
#include "platform/services.h"
#include "richtext/richedit.h"
#include "settings/appearance.h"
#include "settings/settingsstore.h"

#include <QCursor>
#include <QImage>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class QAction;
class QComboBox;
class QDragEnterEvent;
class QDropEvent;
class QFrame;
class QKeyEvent;
class QLabel;
class QMenu;
class QStyle;
class QTextEdit;
class QTimer;
class TfrmAbout;
class TfrmFont;
class TfrmSeek;
class TfrmInfo;
class TfrmTrash;
class TfrmBackups;
class TfrmPrefer;
class TSkinsPage;

namespace tl {
namespace instance { struct Request; }
namespace spell { class Speller; }
class SpellingOptions;
class FlatButton;
class TDarerLabel;
class TicBGimage;
}

class TForm1 : public QWidget {
    Q_OBJECT

    // The open file and its notes. Settings are read only once a new notes
    // file is made.
    tl::NotesSession m_session{[this] { return newNotesFileFields(); }};

public:
    // --- app/TForm1.cpp
    // settingsFile empty: the user's settings file.
    explicit TForm1(tl::Services services, const QString &settingsFile = {}, QWidget *parent = nullptr);
    ~TForm1() override;

    tl::Services &services() { return m_services; }
    // The text shown in the information bar while no file is open.
    QString noFileText() const;

    // The components, named as the rest of the program knows them.
    tl::TicBGimage *imgHead, *imgLeft, *imgRight, *imgFoot, *imgSize, *imgScroll;
    QLabel *cmdHide, *cmdClose, *lblFile;
    QFrame *panToolBar, *panFormat, *Panel2, *panSearch;
    QLabel *Panel1;
    tl::FlatButton *cmdBack, *cmdNext, *cmdNew, *cmdDel;
    tl::FlatButton *cmdFont, *cmdBold, *cmdItalic, *cmdUnder, *cmdSelectColor;
    tl::FlatButton *cmdALeft, *cmdACenter, *cmdARight, *cmdBullet;
    tl::FlatButton *cmdOpen, *cmdSave, *cmdZoomOut;
    QLabel *lblSearch;
    QComboBox *cbSeek;
    tl::FlatButton *cmdSearch, *cmdSearchBack, *cmdSearchAgain;
    tl::TDarerLabel *lblTopLine, *lblLeftLine, *lblRightLine, *lblLineSeek;
    tl::RichEdit *memo1;
    QTimer *timeScroll;

    // Shared state.
    // The open file, empty when none, and the note shown: the session's.
    const QString &CurrentFile() const { return m_session.file().path; }
    int CurrentNote() const { return m_session.file().note; }
    tl::NotesSession &session() { return m_session; }
    // The editor holds an edit of what it shows (the session's; see
    // tl::OpenFile::shownEdited).
    bool Modified() const { return m_session.file().shownEdited; }
    bool ExitRequested = false;
    bool StartedVisible = false;
    bool StartingUp = false;
    bool SkinLoaded = false;

    // --- app/lifecycle.cpp
    // Start-up: reads the settings, prepares and (without "start") shows the
    // window, then opens the files named in args (args[0] is the program).
    void FormCreate(const QStringList &args);
    // Program end: closes the open file. Runs once; later calls do nothing.
    void FormDestroy();
    void FormShow();
    void FormActivate();
    // True when the window may close (only after Exit).
    bool FormCloseQuery();
    void Exit1Click();
    void Sta1Click();
    // A popup of the window's own takes the top while it is open: true takes
    // the window off the top, false puts it back as "Stay on top" says.
    void yieldTop(bool yield);
    struct FormPos {
        int x, y, w, h;
    };
    FormPos LoadFormPos() const;
    void SaveFormPos();
    bool isOnTop() const { return m_onTop; }
    int alpha() const { return m_alpha; }
    void setAlpha(int alpha);
    QAction *Sta1;

    // --- app/tray.cpp
    void PaintTray();
    void ModifyTray(const QString &text);
    // A left press on the tray icon: hides the shown window, shows the hidden one.
    void TrayIconLeftPressed();
    void Show1Click();
    void Lock1Click() { lockOpenFile(); }
    void cmdHideClick();
    void cmdCloseClick();
    QMenu *TrayPopUp = nullptr;
    QAction *Show1 = nullptr, *Exit1 = nullptr;
    QAction *Lock1 = nullptr;  // locks the open encrypted file (notes/encryptedfiles.cpp)
    QAction *Options1 = nullptr, *Helptopics1 = nullptr, *Keyboardshortcuts1 = nullptr;
    QAction *SendFeedback1 = nullptr, *SendBugsReport1 = nullptr, *MarrowpineWebSite1 = nullptr, *About1 = nullptr;
    QMenu *RecentSkins1 = nullptr, *Help1 = nullptr, *Support1 = nullptr;
    // Called after every step of a fade with the opacity just set; the
    // program waits a few milliseconds there, tests record the steps.
    std::function<void(int alpha)> fadePacer;

    // --- app/instance.cpp
    // A second start's command line: its files open as through Open, one
    // after another; --toggle shows the window or hides it when shown; a
    // plain second start shows it; `start` shows nothing.
    void handOverReceived(const tl::instance::Request &request);

    // --- app/keyboard.cpp
    // The key preview of the main window; true when the key ran a command
    // and goes no further (Alt+digit, Ctrl+F, Ctrl+O, Ctrl+S). Esc, F1, F2
    // and F3 act and still reach the focused control, unless their command
    // moved the focus.
    bool FormKeyDown(QKeyEvent *event);

    // --- settings: a setting by its key (a tl::setting constant, or an
    // appearance value's key from tl::appearance)
    QString GetFromReg(tl::setting::Text key) const { return m_settings.GetFromReg(key); }
    qint32 GetFromRegInt(tl::setting::Number key) const { return m_settings.GetFromRegInt(key); }
    void SetFromReg(tl::setting::Text key, const QString &value) const { m_settings.SetFromReg(key, value); }
    void SetFromRegInt(tl::setting::Number key, qint32 value) const { m_settings.SetFromRegInt(key, value); }
    bool isOn(tl::setting::Text key) const { return m_settings.isOn(key); }
    const tl::SettingsStore &settings() const { return m_settings; }

    // --- settings/appearance_form.cpp
    void LoadSetReg(const QString &suffix);
    void SaveSetReg(const QString &suffix);
    void SetToolBarNBackColor(quint32 color);
    void SetToolBarHBackColor(quint32 color);
    // One appearance value to its controls; bold is the style's value.
    void applyAppearance(tl::appearance::Element element, tl::appearance::Property property, const QString &text,
                         qint32 number, bool bold);
    // The font and colours an element's controls show now.
    using AppearanceShown = tl::appearance::Shown;
    AppearanceShown shownAppearance(tl::appearance::Element element) const;

    // --- skins/skinload.cpp
    void LoadSkin(const QString &name);
    void LoadSkinStd();
    void LoadPicButton(const QString &folder, tl::FlatButton *button);
    QImage SkinBitmap;
    // Cursor slots 1 .. 9 (0 unused); an empty slot shows the standard arrow.
    std::array<std::optional<QCursor>, 10> cursorSlots;

    // --- skins/skinpaint.cpp
    // The chrome pictures, cut from SkinBitmap for the current size.
    void PaintHead();
    void PaintLeft();
    void PaintRight();
    void PaintFoot();
    void PaintSize();
    void PaintScroll(int pressed);
    void PaintButton(quint32 back, quint32 text, bool skinned);
    void PaintSearch();
    void PaintInfo(bool skinned);
    void VisibleLines(const QString &flag);
    void FormResize();
    void Panel2Resize();
    void timeScrollTimer();
    QString welcomeText() const;
    int bannerStep = 0;  // the welcome banner: 1 at start, 0 when over

    // --- skins/skinmouse.cpp
    // The four moving elements share the imgHead handlers: p is the
    // pointer's screen position, windowAt the window's top left on the
    // screen as the press finds it. The grip and the thumb take positions
    // relative to themselves.
    void imgHeadMouseDown(QPoint p, QPoint windowAt);
    void imgHeadMouseMove(QPoint p);
    void imgHeadMouseUp(QPoint p);
    void imgSizeMouseDown(QPoint p);
    void imgSizeMouseMove(QPoint p);
    void imgSizeMouseUp(QPoint p);
    void imgScrollMouseDown(QPoint p);
    void imgScrollMouseMove(QPoint p);
    void imgScrollMouseUp(QPoint p);
    // One extra line per notch (negative: up); the editor scrolls as well.
    void memo1MouseWheel(int notches);
    void SyncScrollThumb(bool resetWhenEmpty);

    // --- notes/recordstore_form.cpp
    // The text of note index; index becomes CurrentNote, Back and Next follow it.
    QString nLoadRecord(int index, const QString &path);
    // Writes note index, appending at the count; a missing path becomes a new notes file.
    void nSaveRecord(int index, const QString &path, const QString &text);
    // Deletes note index; CurrentNote moves one back, not below 0.
    void nRemoveRecord(int index, const QString &path);
    int myFileSize(const QString &path) { return m_session.records().noteCount(path); }
    QString GetNotesParam(const QString &name);
    void SetNotesParam(const QString &name, const QString &value);
    QString CreateMemoRTF() const;

    // --- notes/documents.cpp
    // path becomes CurrentFile, at its first note. A file that fails to open leaves
    // no file open and the error raised.
    void OpenNotes(const QString &path);
    void CloseNotes(const QString &path);
    void pShowPanelInfo(const QString &path);
    // Stores the editor as note CurrentNote unless the file is browsed read-only.
    void StoreShownNote();

    // --- notes/keeping.cpp
    // Stores the note shown before the editor lets go of it. False when it
    // could not be: the user was told why and offered Save As, and the
    // editor still holds it.
    bool keepShownNote();
    // Exit with text that cannot be stored (a refused note, text in no
    // file) asks Save As / Discard / Cancel; false: the exit stops.
    bool readyToExit();
    // Nobody can answer from here on (a signal, the session's end): nothing
    // is asked, and what cannot be stored goes to a recovery file.
    void setUnattended() { m_unattended = true; }
    // Offers once what an earlier run kept in a recovery file.
    void tellRecovered();

    // --- notes/navigation.cpp
    void cmdNextClick();
    void cmdBackClick();
    void cmdNewClick();
    void cmdDelClick();
    // The Alt+digit jump: shows note digit (1-9) of the open notes file.
    void JumpToNote(int digit);
    void memo1Change();
    void memo1KeyPress();

    // --- notes/filecommands.cpp
    // Open; a dropped file's path replaces the dialog.
    void File1Click(const QString &droppedFile = {});
    void OpenFile2Click() { File1Click(); }
    void NewFile2Click();
    void SaveFile2Click();
    void SaveFileAs2Click();
    void SaveFileAs(const QString &name);
    bool CreateNewFile();
    void lblFileMouseDown(const QPoint &pos);
    QMenu *mnuFile = nullptr;  // on lblFile
    QMenu *File1 = nullptr;    // "File...", the same commands for the tray menu
    QAction *NewFile2, *OpenFile2, *SaveFile2, *SaveFileAs2;
    QAction *NewFile1, *OpenFile1, *SaveFile1, *SaveFileAs3;

    // --- port/portwiring.cpp
    // Export... and Import... in both file menus, and their texts.
    void wirePortItems();
    // Every note of the open notes file to another format.
    void ExportNotes2Click();
    // Another program's notes into a new notes file, which is then opened.
    void ImportNotes2Click();
    QAction *ExportNotes2 = nullptr, *ImportNotes2 = nullptr, *ExportNotes1 = nullptr, *ImportNotes1 = nullptr;
    tl::i18n::Texts m_portTexts{tl::i18n::portTexts};

    // --- notes/jump.cpp
    // Opens the Jump-to-note popup while a notes file is open.
    void Jumptonote1Click();
    // Shows note index (zero-based, existing) at its top, the note shown stored first.
    void showJumpedNote(int index);

    // --- notes/trashcommands.cpp
    // "Deleted notes...": the open notes file's trash in its dialog.
    void DeletedNotes1Click();
    // What the trash keeps, from the settings.
    void applyTrashLimits();
    TfrmTrash *frmTrash = nullptr;
    QAction *DeletedNotes2 = nullptr, *DeletedNotes1 = nullptr;  // the file menu's, the tray's

    // --- notes/backupcommands.cpp
    // "Restore from backup...": the open notes file's backups in their dialog.
    void RestoreBackup1Click();
    TfrmBackups *frmBackups = nullptr;
    QAction *RestoreBackup2 = nullptr, *RestoreBackup1 = nullptr;  // the file menu's, the tray's

    // --- editor/editcommands.cpp
    void cmdBoldClick();
    void cmdItalicClick();
    void cmdUnderClick();
    void cmdALeftClick();
    void cmdACenterClick();
    void cmdARightClick();
    void cmdBulletClick();
    void cmdSelectColorClick();
    void cmdFontClick();
    void memo1SelectionChange();
    void Undo1Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void SelectAll1Click();
    // Every key pressed in the editor, before the editor handles it.
    void memo1KeyDown(QKeyEvent *event);
    // Every mouse press in the editor; pos inside the editor.
    void memo1MouseDown(Qt::MouseButton button, QPoint pos);
    bool SelectionSync = false;  // true only while memo1SelectionChange sets the buttons
    QMenu *mnuMemo = nullptr, *Sendtoemail1 = nullptr, *pSearch = nullptr;
    QAction *Undo1, *Cut1, *Copy1, *Paste1, *Font1, *SelectAll1, *FindBar1, *Print1;
    QAction *Selection2, *Record4, *FileofNotes1, *Jumptonote1, *Fileinformation1, *Hide1;

    // --- editor/findbar.cpp
    // The 1-based position of the hit in its note's plain text, 0 for none.
    int SearchString(const QString &text, int startNote);
    void cmdSearchClick();
    void cbSeekKeyDown(QKeyEvent *event);
    void cmdSearchAgainClick();
    void cmdSearchBackClick();
    void cbSeekChange();
    void FindBar1Click();
    void lblSearchClick();
    // The search box's line edit is made once the window is up: it lays out
    // text, which waits for the font list.
    void makeSeekBoxEditable();
    bool seekKeyHook(QKeyEvent *event);
    void fitSearchLabel();
    tl::find::SearchCounters SearchCounters;

    // --- editor/tools.cpp
    void Print1Click();
    void Helptopics1Click();
    // Opens the help file of the language in use; when no program takes it,
    // a box over `over` says so and names the file.
    void openHelp(QWidget *over);
    void SendFeedback1Click();
    void SendBugsReport1Click();
    void MarrowpineWebSite1Click();
    void About1Click();

    // --- notes/compressedfiles.cpp
    // CompressFile's modes.
    static constexpr int PackWorkingCopy = 0; // the working copy CurrentFile into its archive
    static constexpr int PackPlainFile = 1;   // the plain notes file CurrentFile into an archive beside it
    // Packs CurrentFile as mode says; the file packed is deleted once the
    // archive is written and checked. Returns the archive, or empty when
    // nothing was written (the user was told).
    QString CompressFile(int mode);
    // DecompressFile's modes.
    static constexpr int UnpackWorkingCopy = 0; // the archive CurrentFile into its working copy, opened
    static constexpr int UnpackPlainFile = 1;   // the open working copy into a plain notes file beside its archive
    // Unpacks as mode says; CurrentFile is then the new file. Returns it,
    // empty when the user was told why not (an archive not unpacked leaves
    // no file open).
    QString DecompressFile(int mode);
    int CurrentZipLevel = 0;  // level of every archive written

    // --- app/dialogs.cpp: each made when first asked for
    TfrmSeek &seekPopup();
    TfrmFont &fontPopup();
    TfrmAbout &aboutBox();
    // Made, its controls filled from the settings, at the first call.
    TfrmPrefer &preferences();
    TfrmSeek *frmSeek = nullptr;
    TfrmFont *frmFont = nullptr;
    TfrmAbout *frmAbout = nullptr;
    TfrmPrefer *frmPrefer = nullptr;
    // The tray's "Options": the fonts page shows the element chosen last.
    void Options1Click();
    // The editor menu's "Options".
    void Font1Click();
    // The skin page's choices reach the window (the Preferences' own page,
    // or one made alone).
    void connectComponents(TSkinsPage &skins);

    // --- notes/TfrmInfo.cpp
    // File Properties, when CurrentFile exists.
    void Fileinformation1Click();
    void Panel1Click();
    // The system's text for an errno value, in an error box.
    void ShowSystemError(int code);
    TfrmInfo *frmInfo = nullptr;
    // --- skins/menus.cpp
    // 0 "Standart", 1 "Extended"; other values change nothing.
    void SelectMenuStyle(int style);
    int menuStyle() const { return m_menuStyle; }
    // Rebuilds "Available Skins" from the skin folder.
    void PaintMenuSkin();
    // An item of "Available Skins" was chosen.
    void mypopuphandler(QAction *item);
    // The menu lists at most this many skins.
    static constexpr int MenuSkinLimit = 98;

    // --- spell/spellform.cpp
    // Spell checking as "SpellCheck" and "SpellLanguage" say; the
    // dictionaries (of interfaceLanguage, empty: "CurLanguage") load in the
    // background once asked for and stay loaded. Start-up asks once the
    // window is up.
    void applySpelling(const QString &interfaceLanguage = {});
    void SpellCheck1Click();
    // A dictionary's name; empty: the interface language's.
    void chooseSpellLanguage(const QString &dictionary);
    // The checklist on or off for the selected paragraphs.
    void cmdChecklistClick();
    // Ticks or opens the box of the caret's paragraph (Ctrl+T).
    void TickBox1Click();
    // The editor's menu at global; when position is in a misspelt word,
    // its suggestions, "Add to Dictionary" and "Ignore" come first.
    void popupEditorMenu(const QPoint &global, int position);
    // A press at viewportPos on a paragraph's box ticks or opens it.
    bool clickOnBox(QPoint viewportPos);
    tl::spell::Speller &speller();
    tl::FlatButton *cmdChecklist = nullptr;
    QAction *Checklist1 = nullptr, *TickBox1 = nullptr, *SpellCheck1 = nullptr;
    QMenu *SpellLanguage1 = nullptr;

    // --- i18n/language_form.cpp
    // The texts of language for this window; built-in ones where its file
    // has none.
    void LoadLanguage(const QString &language);
    // The language switch: every window's texts, then "CurLanguage".
    void switchLanguage(const QString &language);
    // Loaders of the other windows the switch runs, before this window's.
    std::vector<std::function<void(const QString &)>> languageLoaders;
    // The folder holding languages/; empty: the program's own.
    QString ProgramFolder;
    QString programFolder() const;
    // The text of a key of this window's table, as loaded last.
    QString uiText(std::string_view key) const { return m_texts[key]; }

protected:
    void closeEvent(QCloseEvent *event) override;         // app/lifecycle.cpp
    void showEvent(QShowEvent *event) override;           // app/lifecycle.cpp
    bool event(QEvent *event) override;                   // app/lifecycle.cpp
    void resizeEvent(QResizeEvent *event) override;       // app/TForm1.cpp
    bool eventFilter(QObject *watched, QEvent *event) override;  // app/keyboard.cpp
    void dragEnterEvent(QDragEnterEvent *event) override;        // app/keyboard.cpp
    void dropEvent(QDropEvent *event) override;                  // app/keyboard.cpp

private:
    // --- app/TForm1.cpp
    void createComponents();
    void setEditorText(const QString &text);
    tl::Services m_services;
    tl::SettingsStore m_settings;
    tl::RecordStore::NewFileFields newNotesFileFields() const;

    // --- app/lifecycle.cpp
    void applyOnTop(bool on);
    void reportSettingsNotices();
    void storeOpacity();
    bool m_onTop = false;
    bool m_destroyed = false;
    int m_alpha = 255;

    // --- app/tray.cpp
    // Without a tray the window minimises instead of hiding.
    bool hasTray() const;
    void createTrayMenu();
    void fadeOut();
    void fadeInTo(int target, bool eventsEveryStep);
    void showWithFade(bool fromShowCommand);
    void trayAvailabilityChanged(bool available);
    void setTaskbarEntry(bool shown);
    void hideWindow();
    void tellNoTrayOnce();
    bool m_fadedOut = false;  // the opacity is 0 because a fade took the window out
    bool m_toldNoTray = false;

    // --- app/keyboard.cpp
    // Where a key press for this window first arrives: the widget that
    // holds the window's focus, or the window itself when none does.
    QWidget *keyReceiver();

    // --- skins/skinload.cpp
    void applyFrame(bool skinned);

    // --- skins/skinpaint.cpp
    bool m_searchRoom = false;  // Panel2 already leaves room for the find bar
    std::optional<QFont> m_barFontBeforeBanner;  // the information bar's font when the banner took it

    // --- skins/skinmouse.cpp
    void wireSkinComponents();
    struct Drag {
        bool on = false;
        QPoint grab;
    };
    Drag m_moving, m_sizing, m_thumb;

    // --- notes/documents.cpp
    // CurrentFile is an existing notes file.
    bool notesFileOpen() const;
    // The editor's content may be written back to CurrentFile: it exists, is
    // writable and was loaded faithfully. Otherwise it is browsed read-only.
    bool canWriteBack() const;
    void resetToNoFile();
    // Shows the file the session just opened: its first note, or the
    // document whole. A file that fails to load leaves no file open.
    void showOpenedFile();
    void loadDocument(const QString &path);
    // Unpacks the archive and opens its working copy; told and nothing open
    // when it cannot be unpacked.
    void openCompressed(const QString &archivePath);
    void writeDocument(const QString &path);
    bool writableTarget(const QString &path) const;
    // Why the open file, writable as a file, is only browsed (its content
    // would not come back as it is); empty when it is not, or is read-only.
    QString browsedReason() const;
    // Stores the editor as the note shown into path (the open notes file) as
    // it is now: only that note changes (notes/notesync.h).
    void storeShownInto(const QString &path);
    // What happened outside: into the information bar, and in a box while
    // the window is still there to ask.
    void tellOutsideNotice(const tl::NotesSession::Notice &notice);
    // Said after the information bar's text: what happened to the file outside.
    QString m_syncNotice;
    // Back and Next as the note shown and the open file's notes allow.
    void updateStepButtons();

    // --- notes/navigation.cpp
    void showNote(int index);

    // --- notes/keeping.cpp
    // The note shown holds an edit its file does not.
    bool shownNoteEdited() const;
    // No file is open and the editor holds text.
    bool hasScratchText() const;
    // Why the edit of the note shown cannot be stored; empty when it can.
    QString shownNoteRefusal() const;
    // Why a changed document cannot be written back; empty when it can.
    QString documentRefusal() const;
    // Save As for what the editor holds; true when it is now in a file.
    bool saveElsewhere();
    // What would be lost by closing now, and why; empty: nothing.
    QString unstoredReason() const;
    void keepInRecovery(const QString &reason);
    // Closes the open file at the end; what cannot be stored is recovered.
    void closeKeepingText();
    bool m_unattended = false;
    bool m_discarded = false;  // Exit was told to drop what could not be stored
    bool m_recovered = false;  // a recovery file holds the editor's text

    // --- notes/outsidechanges.cpp
    // What the session's follower tells goes to the window.
    void wireOutsideChanges();
    // Follows the open notes file (an archive for its working copy).
    void followOpenFile();
    // The file followed is another version than the one followed last.
    void checkOpenFile(bool wasGone);
    // The open file changed outside: the note shown follows, unless edited;
    // notice (default: changed outside) goes into the information bar.
    void followOutsideChange(const QString &notice = {});
    // The file followed was deleted or replaced by a folder.
    void fileGoneOutside();

    // --- notes/filecommands.cpp
    // Save, Save As or New file refused: path is read-only, or the open
    // file only browsed.
    void showReadOnlyWarning(const QString &path);
    QString askSaveName();
    void replaceWithNewNotesFile(const QString &path);
    tl::FileDialogRequest m_saveRequest;  // keeps the last chosen name

    // --- notes/noteswiring.cpp
    void wireNotesComponents();

    // --- notes/backupcommands.cpp
    void wireBackups();
    void restoreBackupNote(const QString &text);
    void restoreBackupFile(const QString &backup);

    // --- notes/trashcommands.cpp
    void listTrash();
    // False, and told, when the open file is only browsed.
    bool notesWritable();
    void tellTrashLost();
    void restoreTrashedNote(const tl::TrashedNote &note);
    void discardTrashedNote(const tl::TrashedNote &note);
    void emptyTrashAsked();

    // --- editor/findbar.cpp
    tl::find::NotesTextCache m_findCache;

    // --- editor/editorwiring.cpp
    void wireEditorComponents();
    bool m_toldTextLimit = false;

    // --- notes/compressedfiles.cpp
    // An error box, unless text is empty.
    void tellFileProblem(const QString &text);
    // The session's questions, in Yes/No boxes.
    tl::NotesSession::Ask askUser();
    // The archive of the open working copy changed outside: its notes with
    // the edits stored since become the working copy, and, with pack, the
    // archive too. False when the archive is as last seen.
    bool mergeArchiveChanges(bool pack);

    // --- notes/encryptedfiles.cpp
    // Asks for the passphrase of the encrypted file at path until it opens
    // it; problem says why it is asked (empty: first time). False: cancelled,
    // or the file cannot be opened (told).
    bool askUnlock(const QString &path, QString problem = {});
    // A new passphrase for path, typed twice; nothing when cancelled.
    std::optional<tl::crypto::SecureBytes> askNewPassphrase(const QString &path);
    // A name chosen for a file to write ending in ".age" gets a new key,
    // asked for here; another name of a copy of the open encrypted file gets
    // its key. False when cancelled (nothing is written then).
    bool sealIfAsked(const QString &path);
    tl::PassphraseRequest passphraseRequest(const QString &path, bool isNew) const;
    // Locking: the note shown is stored (a store that fails throws and locks
    // nothing), the key and everything read of the file are forgotten, the
    // editor, its undo steps and the find box are emptied. The file stays
    // named as the locked one until it is unlocked again.
    void lockOpenFile();
    // The passphrase of the locked file, asked before any command on it or
    // when the window is shown; false: still locked (cancelled).
    bool unlockAgain();
    // Locks after the set minutes without a key or a click (hidden included).
    void wireLocking();
    void restartLockTimer();
    QString m_lockedPath;
    int m_lockedNote = 0;
    QTimer *m_lockTimer = nullptr;

    // --- notes/TfrmInfo.cpp
    void wireInfoComponents();

    // --- app/dialogs.cpp
    // The one place a dialog's signals reach the window.
    void connectComponents(TfrmSeek &seek);
    void connectComponents(TfrmFont &font);
    void connectComponents(TfrmAbout &about);
    void connectComponents(TfrmPrefer &prefer);
    void connectComponents(tl::SpellingOptions &spelling);  // spell/spellform.cpp

    // --- app/preferences.cpp
    // The stored settings that act on the running program: language, menu
    // style, web addresses, file types, the editor's cursor, lines, hot key.
    void applyStoredPreferences();
    // A cursor file in slot 9 for the editor; "" gives the built-in I-beam.
    void useEditorCursor(const QString &file);
    // Registers key (Qt::Key_unknown: none) in place of the earlier one and
    // shows it beside "Show".
    tl::IHotKey::Status useHotKey(QKeyCombination key);
    void useLineColor(quint32 color);
    void useDefaultLook();
    tl::IHotKey::Status m_hotKeyStatus = tl::IHotKey::Status::None;
    // --- skins/menus.cpp
    // Gives every menu the style and the colours of the skin in use.
    void applyMenuLook();
    int m_menuStyle = 0;
    QPointer<QStyle> m_menuStyles[2];

    // --- spell/spellform.cpp
    void wireSpelling();
    void showSpellTexts();
    void fillSpellLanguageMenu();
    tl::spell::Speller *m_speller = nullptr;
    QList<QAction *> m_spellItems;  // the suggestions' part of the editor's menu
    tl::i18n::Texts m_spellTexts{tl::i18n::spellTexts};

    // --- i18n/language_form.cpp
    tl::i18n::Texts m_texts{tl::i18n::mainFormTexts};
};
