#pragma once
// The Preferences dialog: six pages chosen from a tree, every setting stored
// the moment its control changes, no OK or Cancel, only Close. Created once
// during start-up, where its FormCreate re-applies the stored settings that
// act on the running program (cursor, web addresses, lines, menu style,
// language, file types, hot key).
//
//   settings/TfrmPrefer.cpp          the frame, General, Editor, Confirmations,
//                                    Personal Data, and what opens the dialog
//   settings/prefer_fonts.cpp        Fonts and Colors
//   settings/prefer_integration.cpp  file types, start-up, launchers, hot key
//   skins/skinspage                  Skins

#include "i18n/language.h"
#include "settings/integration.h"
#include "settings/preferitems.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSlider;
class QToolButton;
class QTreeWidget;
class TForm1;
class TSkinsPage;

namespace tl {
class ColorBox;
}

class TfrmPrefer : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPrefer(TForm1 *form);

    // Reads every stored setting into the controls; the handlers that run
    // re-apply them to the program. Throws where a stored number is broken
    // (the steps after it are skipped).
    void FormCreate();
    void FormShow();
    void FormClose();
    // The window's texts in language; built-in ones where its file has none.
    void loadLanguage(const QString &language);

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
    QSlider *ScrollBar1;
    QComboBox *cbLang, *cbMenuStyle;
    QCheckBox *cbMinEffect;

    // --- General: the desktop (settings/prefer_integration.cpp)
    void cbTypeClick();
    void cbZNtsClick();
    void cbTXTClick();
    void chStartUpClick();
    void cmdAddIconClick();
    // Stores "Hot_Key" from the three lists and registers that key in place
    // of the earlier one; the status shows beside the lists.
    void SetHotKey();
    // The lists from "Hot_Key"; then SetHotKey.
    void loadHotKey();
    // The file-type boxes from the desktop's defaults (their handlers write
    // the associations again).
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

    // --- Confirmations (frame6)
    void cbSavingClick();
    void cbdelNoteClick();
    void cbDelFileClick();
    void cbExitClick();
    QCheckBox *cbSaving, *cbdelNote, *cbDelFile, *cbExit;

    // --- Skins (frame5)
    TSkinsPage *skinsPage;

    // --- Personal Data (frame7)
    void txtAuthorExit();
    void txtCompanyExit();
    QLabel *lblAuthor, *lblCompany, *lblCompress;
    QLineEdit *txtAuthor, *txtCompany, *Edit1;

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
    void giveEditorCursor(int slot);
    // The texts last loaded, onto the controls; the element and menu-style
    // lists are filled without a selection.
    void showTexts();
    void fillFontList();
    void showFontName(const QString &family);

    TForm1 *m_form;
    tl::i18n::Texts m_texts{tl::i18n::preferTexts};
    bool m_showingItem = false;  // lbItemsClick sets the editing controls
};
