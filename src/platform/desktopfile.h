#pragma once
// Files in the desktop-entry format (.desktop files, mimeapps.list) edited
// line by line: a change touches only its own line, every other line,
// comment, group and key order stays byte for byte. QSettings would rewrite
// the whole file and escape group and key names.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace tl {

class DesktopFile {
public:
    DesktopFile() = default;
    explicit DesktopFile(const QByteArray &text);
    // The file's content, or an empty file when it does not exist. Throws
    // tl::Error naming the file when it exists and cannot be read.
    static DesktopFile read(const QString &path);

    bool hasGroup(const QString &group) const;
    bool hasKey(const QString &group, const QString &key) const;
    // The raw value (no escapes resolved); "" when absent. Keys are
    // case-sensitive; "Name[de]" is a key of its own.
    QString value(const QString &group, const QString &key) const;
    // A list value split at ";" with empty items left out.
    QStringList list(const QString &group, const QString &key) const;

    // Replaces the key's line, or adds one after the group's last entry, or
    // adds the group at the end.
    void setValue(const QString &group, const QString &key, const QString &value);
    void setList(const QString &group, const QString &key, const QStringList &items);
    // True when a line was taken out.
    bool remove(const QString &group, const QString &key);

    QByteArray toBytes() const;
    // Writes through the atomic writer, creating the folder; skips the write
    // when the file already holds exactly these bytes. Throws tl::Error
    // naming the file. True when the file was written.
    bool save(const QString &path) const;

private:
    struct Line {
        QByteArray text; // without its "\n"
    };
    // Index range [begin, end) of the group's lines after its header; -1 when absent.
    std::pair<qsizetype, qsizetype> groupRange(const QString &group) const;
    qsizetype keyLine(const QString &group, const QString &key) const;

    QList<QByteArray> m_lines;
    bool m_finalNewline = true;
};

// Writes bytes through the atomic writer unless the file already holds
// exactly them, creating its folder first; true when it wrote. Throws
// tl::Error naming the file.
bool writeIfChanged(const QString &path, const QByteArray &bytes);

// The Exec= form of a program and its arguments: each one quoted when it
// needs it, "%" doubled, then the file's string escapes applied.
QString execValue(const QStringList &arguments);

} // namespace tl
