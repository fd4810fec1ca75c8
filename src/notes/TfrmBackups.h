#pragma once
// "Restore from backup...": the backups of the open notes file (date, notes,
// size) and, for the one chosen, the notes in which it differs from the
// file now. A note of the backup can come back as a new note, or the whole
// file can. The dialog lists and asks; the main window does the restoring.

#include "i18n/language.h"
#include "i18n/texttables.h"
#include "notes/backuprestore.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

class TfrmBackups : public QDialog {
    Q_OBJECT
public:
    TfrmBackups(QWidget *parent, const QString &programFolder);

    void loadLanguage(const QString &language);
    QString text(std::string_view key) const { return m_texts[key]; }
    // Lists the backups of file (as it is on disk) under root; the notes now
    // are read from notesPath (the file itself, or its working copy).
    void setFile(const QString &root, const QString &file, const QString &notesPath);
    // Reads the file's notes again and shows the differences anew.
    void refresh();
    // The backup chosen; empty when none.
    QString chosenBackup() const;

    QTreeWidget *lvBackups, *lvChanges;
    QLabel *lblBackups, *lblChanges;
    QPushButton *cmdRestoreNote, *cmdRestoreFile, *cmdClose;

Q_SIGNALS:
    void restoreNoteAsked(const QString &text);
    void restoreFileAsked(const QString &backup);

private:
    void showDifferences();
    void updateButtons();
    QString m_programFolder, m_root, m_file, m_notesPath;
    tl::i18n::Texts m_texts{tl::i18n::backupsTexts};
    std::vector<tl::backup::Copy> m_copies;
    std::vector<tl::backup::Difference> m_diffs;
};
