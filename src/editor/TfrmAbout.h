#pragma once
// The About box: the program, its version and addresses on one page, the
// libraries it is built on and their licences on the other.

#include <QDialog>

class QLabel;
class QPushButton;
class QTabWidget;
class QTextBrowser;
class QUrl;

namespace tl {
class IShell;
class SettingsStore;
}

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    TfrmAbout(const tl::SettingsStore &settings, tl::IShell &shell, const QString &programFolder, QWidget *parent);

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

Q_SIGNALS:
    // The web site's link was clicked.
    void webSiteAsked();

protected:
    void showEvent(QShowEvent *event) override;

private:
    const tl::SettingsStore &m_settings;
    tl::IShell &m_shell;
    QString m_programFolder;
};
