// Compressed notes files: unpacking an archive into its working copy,
// packing the copy back, and what was left by a program that was killed.
// Nothing is deleted before what it held is safe elsewhere.

#include "app/TForm1.h"

#include "notes/compressed.h"
#include "platform/atomicfile.h"
#include "platform/error.h"
#include "platform/paths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace cz = tl::compressed;

namespace {
QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

void setReadOnly(const QString &path, bool readOnly)
{
    QFile::setPermissions(path, readOnly ? QFile::ReadOwner : QFile::ReadOwner | QFile::WriteOwner);
}

bool renameOver(const QString &from, const QString &to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}
} // namespace

void TForm1::tellFileProblem(const QString &text)
{
    m_services.dialogs->messageBox(this, QStringLiteral("Error"), text, tl::MsgButtons::Ok, tl::MsgIcon::Error);
}

bool TForm1::askReplace(const QString &path)
{
    return m_services.dialogs->messageBox(this, QStringLiteral("Tessaleaf"),
               QStringLiteral("\"%1\" already exists. Replace it?").arg(shown(path)), tl::MsgButtons::YesNo,
               tl::MsgIcon::Question)
        == tl::MsgResult::Yes;
}

QString TForm1::workingCopyArchive()
{
    return m_open.archive.isEmpty() ? GetNotesParam(QStringLiteral("RealPath")) : m_open.archive;
}

QString TForm1::CompressFile(int mode)
{
    const QString source = CurrentFile;
    // Its archive would hold the notes in plain.
    if (tl::NotesSession::isEncrypted(source)) {
        tellFileProblem(QStringLiteral("Compression is not offered for encrypted files: \"%1\" stays as it is.")
                            .arg(QFileInfo(source).fileName()));
        return {};
    }
    QString target;
    if (mode == PackPlainFile) {
        target = cz::archivePathFor(source);
        if (QFileInfo::exists(target) && !askReplace(target))
            return {};
    } else {
        target = workingCopyArchive();
        // A copy of a read-only archive was only browsed: nothing to write.
        if (tl::isReadOnlyFile(source)) {
            setReadOnly(source, false);
            QFile::remove(source);
            return target;
        }
    }
    try {
        cz::packNotes(source, target, CurrentZipLevel);
    } catch (const tl::Error &e) {
        tellFileProblem(
            QStringLiteral("The compressed notes file \"%1\" was not written.\n\n%2\n\nThe notes are kept in \"%3\".")
                .arg(shown(target), e.message(), shown(source)));
        return {};
    }
    // Only now is the plain file or the working copy no longer needed.
    setReadOnly(source, false);
    QFile::remove(source);
    return target;
}

QString TForm1::DecompressFile(int mode)
{
    if (mode == 1)
        return toPlainNotesFile();
    const QString archivePath = CurrentFile;
    QString copy, fresh;
    try {
        const QString temp = tl::paths::privateTempFolder();
        copy = cz::workingCopyPath(archivePath, temp);
        fresh = temp + QStringLiteral("/.") + cz::memberNameFor(archivePath) + QStringLiteral(".fresh");
        cz::unpackNotes(archivePath, fresh);
    } catch (const tl::Error &e) {
        tellFileProblem(QStringLiteral("Cannot open \"%1\".\n\n%2").arg(shown(archivePath), e.message()));
        return {};
    }
    bool differs = false;
    if (QFileInfo::exists(copy)) {
        try {
            differs = !cz::sameNotes(copy, fresh);
        } catch (const tl::Error &) {
            differs = true;
        }
    }
    if (differs) {
        if (!recoverLeftCopy(copy, fresh, archivePath)) {
            QFile::remove(fresh);
            return {};
        }
    } else {
        if (QFileInfo::exists(copy))
            setReadOnly(copy, false);
        if (!renameOver(fresh, copy)) {
            QFile::remove(fresh);
            tellFileProblem(QStringLiteral("Cannot open \"%1\": the working copy \"%2\" cannot be written.")
                                .arg(shown(archivePath), shown(copy)));
            return {};
        }
    }
    CurrentFile = copy;
    // Written only when it changes: the notes file is written whole.
    if (GetNotesParam(QStringLiteral("RealPath")) != archivePath)
        SetNotesParam(QStringLiteral("RealPath"), archivePath);
    setReadOnly(copy, tl::isReadOnlyFile(archivePath));
    return copy;
}

bool TForm1::recoverLeftCopy(const QString &copy, const QString &fresh, const QString &archivePath)
{
    // The copy may belong to another archive of the same name: it goes back
    // where its realpath says it came from.
    QString owner = archivePath;
    try {
        const QString named = m_records.param(copy, QStringLiteral("RealPath"));
        if (!named.isEmpty())
            owner = named;
    } catch (const tl::Error &) {
    }
    const bool ours = owner == archivePath;
    const QString beside = cz::recoveredCopyPath(owner, QDateTime::currentDateTime());
    const tl::MsgResult answer = m_services.dialogs->messageBox(this, QStringLiteral("Recover notes"),
        QStringLiteral("The working copy of \"%1\" was left in \"%2\" when Tessaleaf last ended without closing it, "
                       "and it holds changes the compressed file does not.\n\n"
                       "Yes: recover the changes into the compressed file.\n"
                       "No: keep them beside it as \"%3\".")
            .arg(shown(owner), shown(copy), QFileInfo(beside).fileName()),
        tl::MsgButtons::YesNo, tl::MsgIcon::Question);
    try {
        if (answer == tl::MsgResult::Yes) {
            int level = CurrentZipLevel;
            try {
                level = std::clamp(tl::strToInt(m_records.param(copy, QStringLiteral("CompressLevel"))), 0, 9);
            } catch (const tl::Error &) {
            }
            cz::packNotes(copy, owner, level);
            // Once that is written and checked, the left copy is the working
            // copy of this archive as it stands.
            if (ours) {
                QFile::remove(fresh);
                return true;
            }
        } else {
            tl::writeFileAtomically(beside, tl::readWholeFile(copy));
            m_records.setParam(beside, QStringLiteral("RealPath"), QString());
        }
    } catch (const tl::Error &e) {
        tellFileProblem(QStringLiteral("The working copy \"%1\" was not recovered and stays where it is.\n\n%2")
                            .arg(shown(copy), e.message()));
        return false;
    }
    setReadOnly(copy, false);
    if (!renameOver(fresh, copy)) {
        tellFileProblem(QStringLiteral("Cannot open \"%1\": the working copy \"%2\" cannot be written.")
                            .arg(shown(archivePath), shown(copy)));
        return false;
    }
    return true;
}

bool TForm1::mergeArchiveChanges(bool pack)
{
    const QString archivePath = m_open.archive;
    const QString copy = CurrentFile;
    tl::FileId id;
    if (!m_open.isWorkingCopy() || !tl::fileIdOf(archivePath, &id) || id == m_archiveId)
        return false;
    const QString theirs = tl::paths::privateTempFolder() + QStringLiteral("/.") + cz::memberNameFor(archivePath)
        + QStringLiteral(".theirs");
    try {
        cz::unpackNotes(archivePath, theirs);
    } catch (const tl::Error &) {
        // Not whole yet, say, while a sync tool writes it: the next change
        // or the close tries again.
        return false;
    }
    m_archiveId = id;
    bool keptBoth = false;
    try {
        keptBoth = m_records.replay(theirs, m_open.pending) > 0;
        m_records.setParam(theirs, QStringLiteral("RealPath"), archivePath);
    } catch (const tl::Error &e) {
        QFile::remove(theirs);
        tellFileProblem(QStringLiteral("The changes made outside to \"%1\" could not be taken in; closing it keeps "
                                       "the notes as they are here.\n\n%2")
                            .arg(shown(archivePath), e.message()));
        return false;
    }
    const bool readOnly = tl::isReadOnlyFile(copy);
    setReadOnly(copy, false);
    if (!renameOver(theirs, copy)) {
        QFile::remove(theirs);
        setReadOnly(copy, readOnly);
        return false;
    }
    setReadOnly(copy, readOnly);
    if (pack && !readOnly) {
        try {
            cz::packNotes(copy, archivePath, CurrentZipLevel);
            tl::fileIdOf(archivePath, &m_archiveId);
            m_open.pending.clear();
        } catch (const tl::Error &) {
            // The copy holds both sides; closing packs it again.
        }
    }
    if (keptBoth)
        tellOutsideNotice({QStringLiteral(" - changed outside too: both versions kept"),
                           QStringLiteral("Notes of \"%1\" were changed outside Tessaleaf and here. Both versions of "
                                          "each are kept, the one edited here first.")
                               .arg(QFileInfo(archivePath).fileName())});
    return true;
}

QString TForm1::toPlainNotesFile()
{
    const QString copy = CurrentFile;
    const QString archivePath = workingCopyArchive();
    const QString plain = QFileInfo(archivePath).absolutePath() + QLatin1Char('/') + QFileInfo(copy).fileName();
    if (QFileInfo::exists(plain) && !askReplace(plain))
        return {};
    try {
        tl::writeFileAtomically(plain, tl::readWholeFile(copy));
        m_records.setParam(plain, QStringLiteral("RealPath"), QString());
    } catch (const tl::Error &e) {
        tellFileProblem(QStringLiteral("The notes file \"%1\" was not written; \"%2\" stays compressed.\n\n%3")
                            .arg(shown(plain), shown(archivePath), e.message()));
        return {};
    }
    QFile::remove(archivePath);
    setReadOnly(copy, false);
    QFile::remove(copy);
    // The same notes, now in the plain file: the note shown stays.
    const int count = m_open.noteCount;
    m_open.renameTo(plain);
    m_open.noteCount = count;
    return plain;
}
