// Compressed notes files in the main window: the session unpacks, packs and
// recovers (notes/sessionpacking.cpp); these put its questions and what it
// says in message boxes.

#include "app/TForm1.h"

void TForm1::tellFileProblem(const QString &text)
{
    if (text.isEmpty())
        return;
    m_services.dialogs->messageBox(this, QStringLiteral("Error"), text, tl::MsgButtons::Ok, tl::MsgIcon::Error);
}

tl::NotesSession::Ask TForm1::askUser()
{
    return [this](const tl::NotesSession::Question &question) {
        return m_services.dialogs->messageBox(this, question.caption, question.text, tl::MsgButtons::YesNo,
                                              tl::MsgIcon::Question)
            == tl::MsgResult::Yes;
    };
}

QString TForm1::CompressFile(int mode)
{
    using Pack = tl::NotesSession::Pack;
    const tl::NotesSession::Packed packed =
        m_session.pack(mode == PackPlainFile ? Pack::PlainFile : Pack::WorkingCopy, CurrentZipLevel, askUser());
    tellFileProblem(packed.problem);
    return packed.path;
}

QString TForm1::DecompressFile(int mode)
{
    const tl::NotesSession::Packed unpacked = mode == UnpackPlainFile
        ? m_session.unpackToPlainFile(askUser())
        : m_session.openWorkingCopy(CurrentZipLevel, askUser());
    tellFileProblem(unpacked.problem);
    return unpacked.path;
}

bool TForm1::mergeArchiveChanges(bool pack)
{
    const tl::NotesSession::Merged merged = m_session.mergeArchiveChanges(pack, CurrentZipLevel);
    tellFileProblem(merged.problem);
    if (merged.keptBoth)
        tellOutsideNotice(*merged.keptBoth);
    return merged.taken;
}
