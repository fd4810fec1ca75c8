#pragma once
// The Jump-to-note popup: a small borderless window in which a note number
// is typed; the main window then shows that note of the open notes file.

#include "controls/popupwindow.h"

#include <QDialog>
#include <QPoint>

class QLabel;
class QLineEdit;
class TForm1;

namespace tl {
class FlatButton;
class TDarerLabel;
}

class TfrmSeek : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSeek(TForm1 *form);

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

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    TForm1 *m_form;
    tl::TitleDrag m_drag{this};
};
