#pragma once
// The Skins page of the Preferences: the skin folder, changed only through
// its browse button, and the list of its skins; choosing one dresses the
// main window in it at once.

#include <QWidget>

class QLineEdit;
class QListWidget;
class QToolButton;
class TForm1;

class TSkinsPage : public QWidget {
    Q_OBJECT
public:
    // Shows the stored skin folder and lists its skins.
    explicit TSkinsPage(TForm1 *form, QWidget *parent = nullptr);

    // Adds the skins of the folder txtskin shows to the end of the list.
    void LoadListSkin();
    // The selection changed: a selected skin is loaded.
    void SkinListSelectItem();
    // After the folder dialog: action is true when a folder was confirmed.
    void txtskinAfterDialog(QString &name, bool &action);
    void cmdBrowseClick();

    QListWidget *SkinList;
    QLineEdit *txtskin;
    QToolButton *cmdBrowse;

private:
    TForm1 *m_form;
};
