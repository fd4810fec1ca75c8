// Compressed notes files in the session: unpacking an archive into its
// working copy, packing the copy back, what a program that was killed left,
// and the archive's own outside changes.

#include "notes/notesession.h"

#include "notes/compressed.h"
#include "platform/atomicfile.h"
#include "platform/error.h"
#include "platform/paths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace tl {
namespace cz = compressed;

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

bool mayReplace(const QString &path, const NotesSession::Ask &ask)
{
    return !QFileInfo::exists(path)
        || ask({QStringLiteral("Tessaleaf"), QStringLiteral("\"%1\" already exists. Replace it?").arg(shown(path))});
}

// A notes file of the temporary folder beside the working copy of
// archivePath. Its name ends as a notes file's does: the store reads any
// other file as one note.
QString besideCopy(const QString &archivePath, const char *what)
{
    return paths::privateTempFolder() + QStringLiteral("/.") + QLatin1String(what) + QLatin1Char('.')
        + cz::memberNameFor(archivePath);
}
} // namespace

QString NotesSession::workingCopyArchive()
{
    return m_file.archive.isEmpty() ? m_records.param(m_file.path, QStringLiteral("RealPath")) : m_file.archive;
}

NotesSession::Packed NotesSession::pack(Pack what, int level, const Ask &ask)
{
    const QString source = m_file.path;
    QString target;
    if (what == Pack::PlainFile) {
        target = cz::archivePathFor(source);
        if (!mayReplace(target, ask))
            return {};
    } else {
        target = workingCopyArchive();
        // A copy of a read-only archive was only browsed: nothing to write.
        if (isReadOnlyFile(source)) {
            setReadOnly(source, false);
            QFile::remove(source);
            return {target, {}};
        }
    }
    try {
        cz::packNotes(source, target, level);
    } catch (const Error &e) {
        return {{},
                QStringLiteral("The compressed notes file \"%1\" was not written.\n\n%2\n\nThe notes are kept in \"%3\".")
                    .arg(shown(target), e.message(), shown(source))};
    }
    // Only now is the plain file or the working copy no longer needed.
    setReadOnly(source, false);
    QFile::remove(source);
    return {target, {}};
}

NotesSession::Packed NotesSession::openWorkingCopy(int level, const Ask &ask)
{
    const QString archivePath = m_file.path;
    QString copy, fresh;
    try {
        copy = cz::workingCopyPath(archivePath, paths::privateTempFolder());
        fresh = besideCopy(archivePath, "fresh");
        cz::unpackNotes(archivePath, fresh);
    } catch (const Error &e) {
        m_file.clear();
        return {{}, QStringLiteral("Cannot open \"%1\".\n\n%2").arg(shown(archivePath), e.message())};
    }
    bool differs = false;
    if (QFileInfo::exists(copy)) {
        try {
            differs = !cz::sameNotes(copy, fresh);
        } catch (const Error &) {
            differs = true;
        }
    }
    QString problem;
    if (differs) {
        problem = recoverLeftCopy(copy, fresh, archivePath, level, ask);
    } else {
        if (QFileInfo::exists(copy))
            setReadOnly(copy, false);
        if (!renameOver(fresh, copy))
            problem = QStringLiteral("Cannot open \"%1\": the working copy \"%2\" cannot be written.")
                          .arg(shown(archivePath), shown(copy));
    }
    if (!problem.isEmpty()) {
        QFile::remove(fresh);
        m_file.clear();
        return {{}, problem};
    }
    // Written only when it changes: the notes file is written whole.
    if (m_records.param(copy, QStringLiteral("RealPath")) != archivePath)
        m_records.setParam(copy, QStringLiteral("RealPath"), archivePath);
    setReadOnly(copy, isReadOnlyFile(archivePath));
    m_file.adopt(copy);
    m_file.archive = archivePath;
    fileIdOf(archivePath, &m_archiveId);
    return {copy, {}};
}

QString NotesSession::recoverLeftCopy(const QString &copy, const QString &fresh, const QString &archivePath, int level,
                                      const Ask &ask)
{
    // The copy may belong to another archive of the same name: it goes back
    // where its realpath says it came from.
    QString owner = archivePath;
    try {
        const QString named = m_records.param(copy, QStringLiteral("RealPath"));
        if (!named.isEmpty())
            owner = named;
    } catch (const Error &) {
    }
    const bool ours = owner == archivePath;
    const QString beside = cz::recoveredCopyPath(owner, QDateTime::currentDateTime());
    const bool recover = ask({QStringLiteral("Recover notes"),
        QStringLiteral("The working copy of \"%1\" was left in \"%2\" when Tessaleaf last ended without closing it, "
                       "and it holds changes the compressed file does not.\n\n"
                       "Yes: recover the changes into the compressed file.\n"
                       "No: keep them beside it as \"%3\".")
            .arg(shown(owner), shown(copy), QFileInfo(beside).fileName())});
    try {
        if (recover) {
            try {
                level = std::clamp(strToInt(m_records.param(copy, QStringLiteral("CompressLevel"))), 0, 9);
            } catch (const Error &) {
            }
            cz::packNotes(copy, owner, level);
            // Once that is written and checked, the left copy is the working
            // copy of this archive as it stands.
            if (ours) {
                QFile::remove(fresh);
                return {};
            }
        } else {
            writeFileAtomically(beside, readWholeFile(copy));
            m_records.setParam(beside, QStringLiteral("RealPath"), QString());
        }
    } catch (const Error &e) {
        return QStringLiteral("The working copy \"%1\" was not recovered and stays where it is.\n\n%2")
            .arg(shown(copy), e.message());
    }
    setReadOnly(copy, false);
    if (!renameOver(fresh, copy))
        return QStringLiteral("Cannot open \"%1\": the working copy \"%2\" cannot be written.")
            .arg(shown(archivePath), shown(copy));
    return {};
}

NotesSession::Merged NotesSession::mergeArchiveChanges(bool pack, int level)
{
    Merged merged;
    const QString archivePath = m_file.archive;
    const QString copy = m_file.path;
    FileId id;
    if (!m_file.isWorkingCopy() || !fileIdOf(archivePath, &id) || id == m_archiveId)
        return merged;
    const QString theirs = besideCopy(archivePath, "theirs");
    try {
        cz::unpackNotes(archivePath, theirs);
    } catch (const Error &) {
        // Not whole yet, say, while a sync tool writes it: the next change
        // or the close tries again.
        return merged;
    }
    m_archiveId = id;
    bool keptBoth = false;
    try {
        keptBoth = m_records.replay(theirs, m_file.pending) > 0;
        m_records.setParam(theirs, QStringLiteral("RealPath"), archivePath);
    } catch (const Error &e) {
        QFile::remove(theirs);
        merged.problem = QStringLiteral("The changes made outside to \"%1\" could not be taken in; closing it keeps "
                                        "the notes as they are here.\n\n%2")
                             .arg(shown(archivePath), e.message());
        return merged;
    }
    const bool readOnly = isReadOnlyFile(copy);
    setReadOnly(copy, false);
    if (!renameOver(theirs, copy)) {
        QFile::remove(theirs);
        setReadOnly(copy, readOnly);
        return merged;
    }
    setReadOnly(copy, readOnly);
    merged.taken = true;
    if (pack && !readOnly) {
        try {
            cz::packNotes(copy, archivePath, level);
            fileIdOf(archivePath, &m_archiveId);
            m_file.pending.clear();
        } catch (const Error &) {
            // The copy holds both sides; closing packs it again.
        }
    }
    if (keptBoth)
        merged.keptBoth = Notice{QStringLiteral(" - changed outside too: both versions kept"),
                                 QStringLiteral("Notes of \"%1\" were changed outside Tessaleaf and here. Both versions "
                                                "of each are kept, the one edited here first.")
                                     .arg(QFileInfo(archivePath).fileName())};
    return merged;
}

NotesSession::Packed NotesSession::unpackToPlainFile(const Ask &ask)
{
    const QString copy = m_file.path;
    const QString archivePath = workingCopyArchive();
    const QString plain = QFileInfo(archivePath).absolutePath() + QLatin1Char('/') + QFileInfo(copy).fileName();
    if (!mayReplace(plain, ask))
        return {};
    try {
        writeFileAtomically(plain, readWholeFile(copy));
        m_records.setParam(plain, QStringLiteral("RealPath"), QString());
    } catch (const Error &e) {
        return {{},
                QStringLiteral("The notes file \"%1\" was not written; \"%2\" stays compressed.\n\n%3")
                    .arg(shown(plain), shown(archivePath), e.message())};
    }
    QFile::remove(archivePath);
    setReadOnly(copy, false);
    QFile::remove(copy);
    // The same notes, now in the plain file: the note shown stays.
    const int count = m_file.noteCount;
    m_file.renameTo(plain);
    m_file.noteCount = count;
    return {plain, {}};
}

} // namespace tl
