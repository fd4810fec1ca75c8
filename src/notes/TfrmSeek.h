#pragma once
// The Jump-to-note popup: a small borderless window in which a note number
// is typed; the main window then shows that note of the open notes file.

#include "controls/popupwindow.h"

#include <QDialog>
#include <QPoint>

#include <functional>

class QLabel;
class QLineEdit;

namespace tl {
class FlatButton;
class IDialogs;
class SettingsStore;
class TDarerLabel;
}

class TfrmSeek : public QDialog {
    Q_OBJECT
public:
    // noteCount: how many notes the open file holds, asked at each jump.
    // Placed over parent, the main window.
    TfrmSeek(const tl::SettingsStore &settings, tl::IDialogs &dialogs, const QString &programFolder,
             std::function<int()> noteCount, QWidget *parent);

    void FormShow();
    // The window's texts in language; built-in ones where its file has none.
    void loadLanguage(const QString &language);
    void cmdGoNumberClick();
    void cmdCloseClick();
    void FormClose();
    void imgHeadMouseDown(QPoint global);
    void imgHeadMouseMove(QPoint global);
    void imgHeadMouseUp(QPoint global);

    tl::TDarerLabel *lblHead;
    QWidget *imgHead; // the drag handle over the title
    tl::FlatButton *cmdClose, *cmdGoNumber;
    QLabel *lblNumber;
    QLineEdit *txtNumber;

    void done(int result) override;

Q_SIGNALS:
    // A number that names a note was confirmed: index is zero-based.
    void noteChosen(int index);
    // True while the popup is up: the main window leaves the top to it.
    void topYielded(bool yield);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    const tl::SettingsStore &m_settings;
    tl::IDialogs &m_dialogs;
    QString m_programFolder;
    std::function<int()> m_noteCount;
    tl::TitleDrag m_drag{this};
};
