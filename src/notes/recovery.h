#pragma once
// Text the program could not store where it belongs when it was ended
// without anyone to ask (a signal, the end of the session): kept in
// $XDG_DATA_HOME/Tessaleaf/recovered/, one file each time, readable by this
// user only, so the next start can offer it back.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace tl::recovery {

// $XDG_DATA_HOME/Tessaleaf/recovered (default ~/.local/share/...).
QString folder();

// Writes bytes to a new file in folder() named by when and what it holds
// ("2026-12-11 14.05.09 Diary.nts note 2.rtf"), atomically and with mode
// 0600; the folder is made with mode 0700. Returns the file's path. Throws
// tl::Error naming the file and the reason.
QString keep(const QString &what, const QString &suffix, const QByteArray &bytes,
             const QDateTime &when = QDateTime::currentDateTime());

// The files kept that no start has told of yet, oldest first.
QStringList untold();
// Remembers files as told (a list beside them), so each is told once.
void markTold(const QStringList &files);

} // namespace tl::recovery
