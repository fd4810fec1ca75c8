// Automatic backups of the notes files the window writes (notes/backups.h):
// what the settings ask of them, and "Restore from backup..." (its dialog is
// notes/TfrmBackups).

#include "app/TForm1.h"

#include "controls/guarded.h"
#include "notes/TfrmBackups.h"
#include "settings/settingstable.h"

#include <QApplication>
#include <QDir>
#include <QTreeWidget>

void TForm1::wireBackups()
{
    m_session.setBackupPolicy([this] {
        tl::backup::Policy policy;
        // A value of the wrong type keeps the default: backups go on.
        try {
            policy.days = GetFromRegInt(tl::setting::BackupDays);
            policy.weeks = GetFromRegInt(tl::setting::BackupWeeks);
            policy.maxBytes = qint64(std::max(0, GetFromRegInt(tl::setting::BackupMegabytes))) << 20;
        } catch (const std::exception &) {
        }
        return policy;
    });
}

void TForm1::RestoreBackup1Click()
{
    if (!notesFileOpen()) {
        QApplication::beep();
        return;
    }
    // Compared with the file as it holds the editor's edit too.
    if (!keepShownNote())
        return;
    if (!frmBackups) {
        frmBackups = new TfrmBackups(this, programFolder());
        tl::connectGuarded(frmBackups, &TfrmBackups::restoreNoteAsked, this,
                           [this](const QString &text) { restoreBackupNote(text); });
        tl::connectGuarded(frmBackups, &TfrmBackups::restoreFileAsked, this,
                           [this](const QString &backup) { restoreBackupFile(backup); });
        QObject::connect(frmBackups, &QDialog::finished, this, [this] { yieldTop(false); });
    }
    frmBackups->loadLanguage(GetFromReg(tl::setting::CurLanguage));
    // The backups are of the file on disk: for a working copy, its archive.
    frmBackups->setFile(tl::NotesSession::backupsFolder(), m_session.file().isWorkingCopy() ? m_session.file().archive : CurrentFile(),
                        CurrentFile());
    yieldTop(true);
    frmBackups->open();
    frmBackups->lvBackups->setFocus();
}

void TForm1::restoreBackupNote(const QString &text)
{
    m_syncNotice.clear();
    if (!notesFileOpen() || !notesWritable() || !keepShownNote())
        return;
    showNote(m_session.appendRestored(text));
    frmBackups->refresh();
}

void TForm1::restoreBackupFile(const QString &backup)
{
    m_syncNotice.clear();
    if (!notesFileOpen() || !notesWritable())
        return;
    if (m_session.file().isWorkingCopy()) {
        m_services.dialogs->messageBox(frmBackups, QStringLiteral("Tessaleaf"),
                                       frmBackups->text("frmBackups.packed").arg(QDir::toNativeSeparators(backup)),
                                       tl::MsgButtons::Ok, tl::MsgIcon::Information);
        return;
    }
    if (m_services.dialogs->messageBox(frmBackups, QStringLiteral("Confirmation"), frmBackups->text("frmBackups.askFile"),
                                       tl::MsgButtons::OkCancel, tl::MsgIcon::Question)
        != tl::MsgResult::Ok)
        return;
    if (!keepShownNote())
        return;
    tl::backup::restoreWhole(tl::NotesSession::backupsFolder(), CurrentFile(), backup, QDateTime::currentDateTime());
    const QString file = CurrentFile();
    m_session.file().note = 0;
    OpenNotes(file);
    frmBackups->refresh();
}
