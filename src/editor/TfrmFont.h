#pragma once
// The font popup: a small borderless window that sets the font name and
// size of the editor's selection as soon as either is changed.

#include "controls/popupwindow.h"

#include <QDialog>
#include <QPoint>

class QComboBox;
class QLabel;
class QToolButton;

namespace tl {
class RichEdit;
class SettingsStore;
class TDarerLabel;
}

class TfrmFont : public QDialog {
    Q_OBJECT
public:
    // Sets the font of editor's selection; placed over parent, the main window.
    TfrmFont(tl::RichEdit &editor, const tl::SettingsStore &settings, const QString &programFolder, QWidget *parent);

    void FormCreate();
    // The texts of language, built-in ones where its file has none.
    void loadLanguage(const QString &language);
    void FormShow();
    void FormActivate();
    void cbFontChange();
    void cbSizeChange();
    void LbSpeedButton1Click();
    void imgHeadMouseDown(QPoint global);
    void imgHeadMouseMove(QPoint global);
    void imgHeadMouseUp(QPoint global);

    tl::TDarerLabel *lblHead;
    QToolButton *LbSpeedButton1;
    QLabel *lblFont, *lblSize;
    QComboBox *cbFont, *cbSize;
    QWidget *imgHead;  // the drag handle over the header

Q_SIGNALS:
    // True while the popup is up: the main window leaves the top to it.
    void topYielded(bool yield);

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fillFromSelection();

    tl::RichEdit &m_editor;
    const tl::SettingsStore &m_settings;
    QString m_programFolder;
    tl::TitleDrag m_drag{this};
};
