// "Deleted notes...": the trash of the open notes file (notes/trash.h) and
// the commands of its dialog (notes/TfrmTrash).

#include "app/TForm1.h"

#include "controls/guarded.h"
#include "notes/TfrmTrash.h"
#include "platform/atomicfile.h"
#include "settings/settingstable.h"

#include <QApplication>
#include <QTreeWidget>

void TForm1::applyTrashLimits()
{
    tl::TrashLimits limits;
    // A value of the wrong type keeps the default rather than failing every store.
    try {
        limits.days = std::max(0, GetFromRegInt(tl::setting::TrashDays));
        limits.count = std::max(0, GetFromRegInt(tl::setting::TrashNotes));
    } catch (const std::exception &) {
    }
    m_session.records().setTrashLimits(limits);
}

void TForm1::DeletedNotes1Click()
{
    // Only a notes file keeps deleted notes.
    if (!notesFileOpen()) {
        QApplication::beep();
        return;
    }
    if (!frmTrash) {
        frmTrash = new TfrmTrash(this, programFolder());
        tl::connectGuarded(frmTrash, &TfrmTrash::restoreAsked, this,
                           [this](const tl::TrashedNote &note) { restoreTrashedNote(note); });
        tl::connectGuarded(frmTrash, &TfrmTrash::deleteAsked, this,
                           [this](const tl::TrashedNote &note) { discardTrashedNote(note); });
        tl::connectGuarded(frmTrash, &TfrmTrash::emptyAsked, this, [this] { emptyTrashAsked(); });
        QObject::connect(frmTrash, &QDialog::finished, this, [this] { yieldTop(false); });
    }
    frmTrash->loadLanguage(GetFromReg(tl::setting::CurLanguage));
    listTrash();
    yieldTop(true);
    frmTrash->open();
    frmTrash->lvTrash->setFocus();
}

void TForm1::listTrash()
{
    if (frmTrash)
        frmTrash->setNotes(notesFileOpen() ? m_session.trashed() : std::vector<tl::TrashedNote>{});
}

bool TForm1::notesWritable()
{
    if (!canWriteBack()) {
        showReadOnlyWarning(CurrentFile());
        return false;
    }
    return true;
}

void TForm1::tellTrashLost()
{
    m_services.dialogs->messageBox(frmTrash, QStringLiteral("Tessaleaf"), frmTrash->text("frmTrash.gone"),
                                   tl::MsgButtons::Ok, tl::MsgIcon::Warning);
}

void TForm1::restoreTrashedNote(const tl::TrashedNote &note)
{
    m_syncNotice.clear();
    // The note shown is stored first: the restored one takes the editor.
    if (!notesFileOpen() || !notesWritable() || !keepShownNote())
        return;
    const int index = m_session.restoreTrashed(note);
    if (index < 0)
        tellTrashLost();
    else
        showNote(index);
    listTrash();
}

void TForm1::discardTrashedNote(const tl::TrashedNote &note)
{
    if (!notesFileOpen() || !notesWritable())
        return;
    if (m_services.dialogs->messageBox(frmTrash, QStringLiteral("Confirmation"), frmTrash->text("frmTrash.askDelete"),
                                       tl::MsgButtons::OkCancel, tl::MsgIcon::Question)
        != tl::MsgResult::Ok)
        return;
    if (!m_session.discardTrashed(note))
        tellTrashLost();
    listTrash();
}

void TForm1::emptyTrashAsked()
{
    if (!notesFileOpen() || !notesWritable())
        return;
    if (m_services.dialogs->messageBox(frmTrash, QStringLiteral("Confirmation"), frmTrash->text("frmTrash.askEmpty"),
                                       tl::MsgButtons::OkCancel, tl::MsgIcon::Question)
        != tl::MsgResult::Ok)
        return;
    m_session.emptyTrash();
    listTrash();
}
