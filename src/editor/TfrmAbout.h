#pragma once
// The About box: the program, its version and addresses on one page, the
// libraries it is built on and their licences on the other.

#include <QDialog>

class QLabel;
class QPushButton;
class QTabWidget;
class QTextBrowser;
class QUrl;
class TForm1;

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(TForm1 *form);

    void FormShow();
    // The window's texts in language; built-in ones where its file has none.
    void loadLanguage(const QString &language);
    void cmdOKClick();
    void Label3Click();
    void Label4Click();
    void reThanksURLClick(const QUrl &url);

    QTabWidget *pcAbout;
    QWidget *tsGeneral, *tsThanks;
    QLabel *Image1, *lblName, *lblVersion, *lblWebsite, *lblSupport;
    QLabel *Label3, *Label4; // the web site and support links
    QTextBrowser *reThanks;
    QPushButton *cmdOK;

    // The acknowledgements, as reThanks shows them.
    static QString thanksHtml();

protected:
    void showEvent(QShowEvent *event) override;

private:
    TForm1 *m_form;
};
