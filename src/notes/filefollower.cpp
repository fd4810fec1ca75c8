#include "notes/filefollower.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace tl {

FileFollower::FileFollower(std::function<QString()> target, QObject *parent)
    : QObject(parent), m_target(std::move(target))
{
}

bool FileFollower::refresh()
{
    const QString target = m_target();
    const bool other = target != m_path;
    if (other) {
        if (m_watcher) {
            if (!m_watcher->files().isEmpty())
                m_watcher->removePaths(m_watcher->files());
            if (!m_watcher->directories().isEmpty())
                m_watcher->removePaths(m_watcher->directories());
        }
        m_path = target;
        m_toldGone = false;
        m_followedId = {};
        Q_EMIT retargeted();
        if (target.isEmpty())
            return true;
        if (!m_watcher) {
            // Made at the first file followed: most sessions open none.
            m_watcher = new QFileSystemWatcher(this);
            m_settle = new QTimer(this);
            m_settle->setSingleShot(true);
            m_settle->setInterval(SettleMs);
            connect(m_settle, &QTimer::timeout, this, &FileFollower::check);
            connect(m_watcher, &QFileSystemWatcher::fileChanged, m_settle, qOverload<>(&QTimer::start));
            connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_settle, qOverload<>(&QTimer::start));
        }
        // The folder too: a file replaced by a rename loses its watch.
        m_watcher->addPath(QFileInfo(target).absolutePath());
        fileIdOf(target, &m_followedId);
    }
    if (!m_path.isEmpty() && !m_watcher->files().contains(m_path) && QFileInfo::exists(m_path))
        m_watcher->addPath(m_path);
    return other;
}

void FileFollower::check()
{
    refresh();  // the file to follow now, watched again after a replacing rename
    if (m_path.isEmpty())
        return;
    if (!QFileInfo(m_path).isFile()) {
        if (m_toldGone)
            return;
        m_toldGone = true;
        m_followedId = {};
        Q_EMIT gone();
        return;
    }
    FileId id;
    if (!fileIdOf(m_path, &id) || id == m_followedId)
        return;
    m_followedId = id;
    const bool wasGone = m_toldGone;
    m_toldGone = false;
    Q_EMIT changed(wasGone);
}

} // namespace tl
