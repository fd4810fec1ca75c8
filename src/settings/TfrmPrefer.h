#pragma once
// The Preferences dialog: six pages chosen from a tree, every setting stored
// the moment its control changes, no OK or Cancel, only Close. It reads the
// settings store and, through Window, what the main window shows; what the
// window must change in itself it says with a signal (app/dialogs.cpp
// connects them). Made when first opened: the settings that act on the
// running program act from start-up without it (app/preferences.cpp).
//
// A control of a page: its setting in settings/settingstable.h, the control
// filled from the store in FormCreate, its handler storing the change and,
// where the window must follow, sending a signal.
//
//   settings/TfrmPrefer.cpp          the frame, General, Editor, Confirmations,
//                                    Personal Data
//   settings/prefer_fonts.cpp        Fonts and Colors
//   settings/prefer_integration.cpp  file types, start-up, launchers, hot key
//   skins/skinspage                  Skins

#include "i18n/language.h"
#include "platform/services.h"
#include "settings/appearance.h"
#include "settings/integration.h"
#include "settings/preferitems.h"

#include <QDialog>
#include <QKeyCombination>

#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QSpinBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QSpinBox;
class QToolButton;
class QTreeWidget;
class TSkinsPage;

namespace tl {
class ColorBox;
class SettingsStore;
class SpellingOptions;
}

class TfrmPrefer : public QDialog {
    Q_OBJECT
public:
    // What the dialog reads of the main window, asked each time it is needed.
    struct Window {
        std::function<bool()> shown;       // on the screen, not hidden in the tray
        std::function<int()> opacity;      // 0 .. 255
        std::function<bool()> skinLoaded;  // wears a skin, the built-in one too
        std::function<tl::appearance::Shown(tl::appearance::Element)> appearance;
        std::function<QString()> searchLabel;  // the find bar's label as it reads now
    };

    TfrmPrefer(const tl::SettingsStore &settings, tl::Services &services, const QString &programFolder, Window window,
               QWidget *parent);

    // Reads every stored setting into the controls. The window has them
    // from start-up: no signal goes out meanwhile. Throws where a stored
    // number is broken (the steps after it are skipped).
    void FormCreate();
    void FormShow();
    void FormClose();
    // The window's texts in language; built-in ones where its file has none.
    void loadLanguage(const QString &language);
    // What became of the hot key last chosen, beside its lists.
    void showHotKeyStatus(tl::IHotKey::Status status);

    // --- the frame
    void tvMainClick();
    void cmdCloseClick();
    void cmdHelpClick();
    // The page in front: 0 General .. 5 Personal Data, in the tree's order.
    int shownPage() const;

    QTreeWidget *tvMain;
    QGroupBox *frame1, *frame2, *frame3, *frame5, *frame6, *frame7;
    QPushButton *cmdClose, *cmdHelp;

    // --- General (frame1)
    void ScrollBar2Change();
    void cbLangChange();
    void cbMenuStyleChange();
    void cbMinEffectClick();
    QLabel *Label1, *Label4, *Label9, *Label8;
    // --- settings/prefer_locking.cpp: the lock of an encrypted file after idle time
    void createLockControl(QWidget *page);
    void readLockControl();
    void seLockChange();
    void setLockCaption(const QString &text);
    QLabel *lblLock = nullptr;
    QSpinBox *seLock = nullptr;
    QSlider *ScrollBar1;
    QComboBox *cbLang, *cbMenuStyle;
    QCheckBox *cbMinEffect;

    // --- General: the desktop (settings/prefer_integration.cpp)
    void cbTypeClick();
    void cbZNtsClick();
    void cbTXTClick();
    void chStartUpClick();
    void cmdAddIconClick();
    // Stores "Hot_Key" from the three lists and says the key chosen.
    void SetHotKey();
    // The lists from "Hot_Key"; then SetHotKey.
    void loadHotKey();
    // The file-type boxes from the desktop's defaults.
    void readFileTypes();
    // Where the desktop files live; tests point it at a temporary tree.
    tl::integration::DesktopPlaces desktopPlaces;
    QLabel *lblAddIcon, *Label11, *Label12, *Label13, *lblHotKeyStatus;
    QComboBox *cbAddIcon, *cbHotKey1, *cbHotKey2, *cbHotKey3;
    QPushButton *cmdAddIcon;
    QCheckBox *chStartUp, *cbType, *cbZNts, *cbTXT;

    // --- Fonts and Colors (frame2, settings/prefer_fonts.cpp)
    void cbElementChange();
    void lbItemsClick();
    void FontComboBox1Change();
    void cbSizeChange();
    void cbForeGrdChange();
    void cbBackGrdChange();
    void cbBoldClick();
    void cmdDefaultClick();
    void cbLineColorChange();
    void cbSeparatLinesClick();
    QLabel *Label2, *Label10, *Label6, *Label7, *Label3, *Label5;
    QComboBox *cbElement, *cbSize;
    // The installed fonts, listed when the page is first shown: reading them
    // all is the dearest part of the dialog.
    QComboBox *FontComboBox1;
    QListWidget *lbItems;
    tl::ColorBox *cbForeGrd, *cbBackGrd, *cbLineColor;
    QCheckBox *cbBold, *cbSeparatLines;
    QPushButton *cmdDefault;

    // --- Editor (frame3)
    void cbCursorClick();
    void feCursorChange();
    void feCursorBrowse();
    void cbSoundClick();
    void cbURLClick();
    QCheckBox *cbCursor, *cbSound, *cbURL;
    QLineEdit *feCursor;
    QToolButton *feCursorButton;
    tl::SpellingOptions *spellingOptions;  // spell/spellpage.h

    // --- Confirmations (frame6)
    void cbSavingClick();
    void cbdelNoteClick();
    void cbDelFileClick();
    void cbExitClick();
    QCheckBox *cbSaving, *cbdelNote, *cbDelFile, *cbExit;
    // What the trash of a notes file keeps (TrashDays, TrashNotes).
    void trashLimitsChange();
    QLabel *lblTrashDays, *lblTrashNotes;
    QSpinBox *spTrashDays, *spTrashNotes;

    // --- Skins (frame5)
    TSkinsPage *skinsPage;

    // --- Personal Data (frame7)
    void txtAuthorExit();
    void txtCompanyExit();
    QLabel *lblAuthor, *lblCompany, *lblCompress;
    QLineEdit *txtAuthor, *txtCompany, *Edit1;

Q_SIGNALS:
    // What the main window follows. Sent as the user changes a control.
    void opacityChosen(int alpha);
    void languageChosen(const QString &language);  // "" for the built-in texts
    void menuStyleChosen(int style);               // -1 for none
    // A cursor file for the editor; "" for the built-in I-beam.
    void editorCursorChosen(const QString &file);
    void webAddressesMarked(bool on);
    // One edit of the fonts page for element's controls; bold is the style's.
    void appearanceEdited(tl::appearance::Element element, tl::appearance::Property property, const QString &text,
                          qint32 number, bool bold);
    // "Use Default": the look without a skin goes back to the first-run
    // values, a skin to its own colours.
    void defaultLookAsked();
    void lineColorChosen(quint32 color);
    void linesShown(bool shown);
    // Qt::Key_unknown for none; the answer comes back to showHotKeyStatus.
    void hotKeyChosen(QKeyCombination key);
    void helpAsked();
    // Minutes hidden or idle before an encrypted file locks; 0: never.
    void lockMinutesChosen(int minutes);
    // The trash limits were stored anew.
    void trashLimitsChanged();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void createGeneralPage();
    void createIntegrationControls();
    void createFontsPage();
    void createEditorPage();
    void createConfirmationsPage();
    void createPersonalPage();
    void bringToFront(QGroupBox *page);
    QList<QGroupBox *> pages() const;
    // The item chosen on the fonts page, or nullptr.
    const tl::prefer::Item *chosenItem() const;
    // Applies one edit of the fonts page and stores it in the set in use.
    void editAppearance(tl::appearance::Property column, const QString &text, qint32 number, bool bold);
    // The suffix of the appearance set the window wears now.
    QString setInUse() const;
    // The texts last loaded, onto the controls; the element and menu-style
    // lists are filled without a selection.
    void showTexts();
    void fillFontList();
    void showFontName(const QString &family);

    const tl::SettingsStore &m_settings;
    tl::Services &m_services;
    QString m_programFolder;
    Window m_window;
    tl::i18n::Texts m_texts{tl::i18n::preferTexts};
    bool m_showingItem = false;  // lbItemsClick sets the editing controls
};
