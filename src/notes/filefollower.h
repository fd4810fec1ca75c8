#pragma once
// Follows one file as others change it: a sync tool writing the other
// machine's edits, another program deleting it. Sync tools write in bursts
// (a temporary file, a rename, times set after): what changed is looked at
// once the burst has settled, and told only when the file is another
// version than the one followed last.

#include "platform/fileid.h"

#include <QObject>
#include <QString>

#include <functional>

class QFileSystemWatcher;
class QTimer;

namespace tl {

class FileFollower : public QObject {
    Q_OBJECT

public:
    // target names the file to follow now (empty: none); it is asked again
    // before each look, as the file to follow may have changed meanwhile.
    explicit FileFollower(std::function<QString()> target, QObject *parent = nullptr);

    // Follows target() from now on. True when that is another file than
    // before: its version now is the one followed, and nothing of the file
    // followed before is told any more.
    bool refresh();
    // Looks at the file now, as the end of a burst does.
    void check();
    // The file followed; empty: none.
    const QString &path() const { return m_path; }
    // A short while after the last change seen.
    static constexpr int SettleMs = 150;

Q_SIGNALS:
    // Another file is followed from now on (refresh()), or none.
    void retargeted();
    // The file is another version than the one followed last. wasGone: it
    // was told gone since (something was put in its place).
    void changed(bool wasGone);
    // The file is no longer a file (deleted, a folder in its place); told
    // once, until it is a file again.
    void gone();

private:
    std::function<QString()> m_target;
    QFileSystemWatcher *m_watcher = nullptr;
    QTimer *m_settle = nullptr;
    QString m_path;
    FileId m_followedId;  // the version followed last
    bool m_toldGone = false;
};

} // namespace tl
