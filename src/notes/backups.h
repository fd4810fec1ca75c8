#pragma once
// Automatic backups of notes files: before the first write to a file in a
// run of the program, and then at most once a day while it stays open, the
// file as it is on disk (an archive or an encrypted file as its bytes) is
// copied into a folder of its own under the backups folder:
//   <root>/<file name>-<8 hex digits of its real path's hash>/
//       <base name> <YYYY-MM-DD HH-MM-SS>.<suffix>
// with mode 0600, written atomically. What the policy does not keep is
// deleted after each copy.

#include <QDateTime>
#include <QString>

#include <functional>
#include <map>
#include <vector>

namespace tl::backup {

struct Policy {
    int days = 7;    // the newest copy of each of this many days
    int weeks = 4;   // and of each of this many weeks before those
    qint64 maxBytes = qint64(500) << 20;  // all copies of one file; 0: no cap
    bool isOff() const { return days <= 0 && weeks <= 0; }
};

struct Copy {
    QString path;
    QDateTime taken;  // local time, from its name
    qint64 size = 0;
};

// The folder under root that holds the backups of file.
QString folderFor(const QString &root, const QString &file);
// The backups of file under root, newest first.
std::vector<Copy> list(const QString &root, const QString &file);
// Why no backup of file may be written under root (a folder inside the
// file's own folder: a sync tool would carry the copies along); empty when
// it may. The home folder holding the file is no such folder.
QString refusal(const QString &root, const QString &file);
// Copies file's bytes into a new backup taken at now; returns its path.
// Throws tl::Error naming the file and the reason.
QString take(const QString &root, const QString &file, const QDateTime &now);
// The copies policy keeps of copies (newest first): the newest of each of
// the newest policy.days days, then the newest of each of the newest
// policy.weeks weeks older than those; the oldest leave while all together
// pass maxBytes, the newest always staying.
std::vector<Copy> kept(const std::vector<Copy> &copies, const Policy &policy);
// Deletes every backup of file that the policy does not keep.
void rotate(const QString &root, const QString &file, const Policy &policy);

// Decides when a file about to be written is backed up first.
class Keeper {
public:
    using Clock = std::function<QDateTime()>;
    // root: the backups folder, asked when a copy is due.
    Keeper(std::function<QString()> root, std::function<Policy()> policy, Clock clock = {});

    // Before a write to file (it may not exist yet): a copy when none was
    // made of it in this run, or the last one is a day old. A copy equal to
    // the newest backup is not made again. Throws as take() does; the
    // caller decides whether the write goes on.
    void beforeWrite(const QString &file);
    // Forgets the copies made in this run (a test's new run).
    void reset() { m_last.clear(); }

private:
    std::function<QString()> m_root;
    std::function<Policy()> m_policy;
    Clock m_clock;
    std::map<QString, QDateTime> m_last;  // by real path
};

} // namespace tl::backup
