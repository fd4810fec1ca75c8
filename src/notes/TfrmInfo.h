#pragma once
// The File Properties dialog: facts about the open file (the archive while
// a compressed notes file is open), its read-only flag, the author fields of
// a notes file, and whether and how hard it is compressed.

#include "i18n/language.h"

#include <QDialog>
#include <string_view>
#include <utility>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QTabWidget;
class TForm1;

class TfrmInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInfo(TForm1 *form);

    void FormShow();
    void cmdOKClick();
    void cmdCancelClick();
    void cbCompressClick();
    void slCompressChange();
    // The captions in language ("" for the built-in texts).
    void loadLanguage(const QString &language);

    QTabWidget *PageControl1;
    QWidget *tsGeneral, *tsAuthor, *tsStatistics, *tsCompression;
    QLabel *lblType, *lblFolder, *lblSize, *lblCreated, *lblLastWrite, *lblLastAccess;
    QCheckBox *cbReadOnly;
    QLineEdit *txtAuthor, *txtCompany;
    QPlainTextEdit *Memo1;
    QLabel *lblCount, *lblCountChar, *lblCountChar2;
    QCheckBox *cbCompress;
    QSlider *slCompress;
    QPushButton *cmdOK, *cmdCancel;

private:
    // A label whose text is the translated text of key.
    QLabel *caption(std::string_view key);
    // The file described: the archive while its working copy is open.
    QString describedFile() const;
    void applyReadOnly(const QString &file, bool readOnly);

    TForm1 *m_form;
    QString m_realPath; // realpath of the open notes file when shown
    tl::i18n::Texts m_texts;
    std::vector<std::pair<QLabel *, std::string_view>> m_captions;
};
