#pragma once
// The Export and Import dialogs of the file menus: what to write or read,
// and where. The choice of a file or folder goes through the dialog seam;
// the work itself is the main window's (port/portwiring.cpp).

#include "i18n/language.h"
#include "port/export.h"
#include "port/import.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tl {
class IDialogs;
}

class TfrmPort : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Export, Import };
    // texts: the port table's texts in the language shown.
    TfrmPort(QWidget *parent, tl::IDialogs &dialogs, Mode mode, const tl::i18n::Texts &texts);

    // Export: the target proposed, its name without an extension; each
    // format gives its own.
    void proposeTarget(const QString &pathWithoutSuffix);
    // Import: the new notes file proposed; the source shows the usual
    // places of the kind chosen.
    void proposeNewFile(const QString &path);

    tl::port::ExportFormat format() const;
    tl::port::ImportKind kind() const;
    QString source() const;
    QString target() const;

    QLabel *lblChoice, *lblSource = nullptr, *lblTarget;
    QComboBox *cboChoice;             // the format, or the program
    QComboBox *cboSource = nullptr;   // import: where its notes are (editable)
    QLineEdit *txtTarget;
    QPushButton *cmdBrowseSource = nullptr, *cmdBrowse, *cmdOK, *cmdCancel;

    void accept() override;

private:
    void formatChanged();
    void kindChanged();
    void browseTarget();
    void browseSource();

    tl::IDialogs &m_dialogs;
    Mode m_mode;
    const tl::i18n::Texts &m_texts;
    QString m_base;  // export: the target without its extension
};
