#pragma once
// The Skins page of the Preferences: the skin folder, changed only through
// its browse button, and the list of its skins; choosing one says so at
// once, and the main window wears it.

#include <QWidget>

class QLineEdit;
class QListWidget;
class QToolButton;

namespace tl {
class IDialogs;
class SettingsStore;
}

class TSkinsPage : public QWidget {
    Q_OBJECT
public:
    // Shows the stored skin folder and lists its skins.
    TSkinsPage(const tl::SettingsStore &settings, tl::IDialogs &dialogs, QWidget *parent = nullptr);

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

Q_SIGNALS:
    // A skin of the list was selected: the window is to wear it.
    void skinChosen(const QString &name);
    // A new skin folder was stored.
    void skinFolderChanged();

private:
    const tl::SettingsStore &m_settings;
    tl::IDialogs &m_dialogs;
};
