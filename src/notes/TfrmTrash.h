#pragma once
// "Deleted notes...": the trash of the open notes file, newest first, with
// Restore, Delete for good and Empty. The dialog only lists and asks for a
// command; the main window does it and lists the trash again.

#include "i18n/language.h"
#include "i18n/texttables.h"
#include "notes/trash.h"

#include <QDialog>

#include <vector>

class QPushButton;
class QTreeWidget;

class TfrmTrash : public QDialog {
    Q_OBJECT
public:
    // programFolder: where languages/ is found.
    TfrmTrash(QWidget *parent, const QString &programFolder);

    // The window's texts in language; built-in ones where its file has none.
    void loadLanguage(const QString &language);
    QString text(std::string_view key) const { return m_texts[key]; }
    // Shows notes (the trash in file order). The row chosen stays on the
    // same note while it is there, else on the row at its place.
    void setNotes(const std::vector<tl::TrashedNote> &notes);
    // The note of the row chosen; nullptr when none is.
    const tl::TrashedNote *chosen() const;

    QTreeWidget *lvTrash;
    QPushButton *cmdRestore, *cmdDelete, *cmdEmpty, *cmdClose;

Q_SIGNALS:
    void restoreAsked(const tl::TrashedNote &note);
    void deleteAsked(const tl::TrashedNote &note);
    void emptyAsked();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void updateButtons();
    QString m_programFolder;
    tl::i18n::Texts m_texts{tl::i18n::trashTexts};
    std::vector<tl::TrashedNote> m_notes;  // as listed, newest first
};
