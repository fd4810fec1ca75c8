#pragma once
// The font popup: a small borderless window that sets the font name and
// size of the editor's selection as soon as either is changed.

#include "controls/popupwindow.h"

#include <QDialog>
#include <QPoint>

class QComboBox;
class QLabel;
class QToolButton;
class TForm1;

namespace tl {
class TDarerLabel;
}

class TfrmFont : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFont(TForm1 *form);

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

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fillFromSelection();

    TForm1 *m_form;
    tl::TitleDrag m_drag{this};
};
