#pragma once
// Files of the user's are replaced whole: written to a temporary file beside
// the target, flushed to disk and renamed over it.

#include <QByteArray>
#include <QString>

namespace tl {

// True when path exists and this user may not write it.
bool isReadOnlyFile(const QString &path);

// Streams a new version of a file. Nothing replaces the target until
// commit(); an AtomicFile destroyed before that removes its temporary file
// and leaves the target exactly as it was. Errors throw tl::Error naming the
// file and the reason. An existing file without write permission is refused
// at construction, before anything is written.
class AtomicFile {
public:
    explicit AtomicFile(const QString &path);
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    void write(const char *data, qsizetype size);
    void commit();

private:
    [[noreturn]] void fail(int err);

    QString m_path;
    QByteArray m_target, m_temp;
    int m_fd = -1;
    unsigned m_mode = 0;
};

void writeFileAtomically(const QString &path, const QByteArray &data);

// Reads the whole file; throws tl::Error naming the file when it cannot.
QByteArray readWholeFile(const QString &path);

} // namespace tl
