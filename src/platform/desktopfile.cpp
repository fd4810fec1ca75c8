#include "platform/desktopfile.h"

#include "platform/atomicfile.h"
#include "platform/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tl {

namespace {
QByteArray stripCr(QByteArray line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

bool isGroupHeader(const QByteArray &line, QByteArray *name = nullptr)
{
    const QByteArray t = stripCr(line).trimmed();
    if (t.size() < 2 || !t.startsWith('[') || !t.endsWith(']'))
        return false;
    if (name)
        *name = t.mid(1, t.size() - 2);
    return true;
}

// The key of an entry line, or empty for blank lines and comments.
QByteArray entryKey(const QByteArray &line)
{
    const QByteArray t = stripCr(line).trimmed();
    if (t.isEmpty() || t.startsWith('#'))
        return {};
    const qsizetype eq = t.indexOf('=');
    if (eq <= 0)
        return {};
    return t.left(eq).trimmed();
}

QByteArray entryValue(const QByteArray &line)
{
    const QByteArray t = stripCr(line);
    return t.mid(t.indexOf('=') + 1).trimmed();
}
} // namespace

DesktopFile::DesktopFile(const QByteArray &text)
{
    if (text.isEmpty())
        return;
    m_lines = text.split('\n');
    m_finalNewline = text.endsWith('\n');
    if (m_finalNewline)
        m_lines.removeLast();
}

DesktopFile DesktopFile::read(const QString &path)
{
    if (!QFileInfo::exists(path))
        return {};
    return DesktopFile(readWholeFile(path));
}

std::pair<qsizetype, qsizetype> DesktopFile::groupRange(const QString &group) const
{
    const QByteArray wanted = group.toUtf8();
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        QByteArray name;
        if (!isGroupHeader(m_lines[i], &name) || name != wanted)
            continue;
        qsizetype end = i + 1;
        while (end < m_lines.size() && !isGroupHeader(m_lines[end]))
            ++end;
        return { i + 1, end };
    }
    return { -1, -1 };
}

qsizetype DesktopFile::keyLine(const QString &group, const QString &key) const
{
    const auto [begin, end] = groupRange(group);
    const QByteArray wanted = key.toUtf8();
    for (qsizetype i = begin; i >= 0 && i < end; ++i)
        if (entryKey(m_lines[i]) == wanted)
            return i;
    return -1;
}

bool DesktopFile::hasGroup(const QString &group) const
{
    return groupRange(group).first >= 0;
}

bool DesktopFile::hasKey(const QString &group, const QString &key) const
{
    return keyLine(group, key) >= 0;
}

QString DesktopFile::value(const QString &group, const QString &key) const
{
    const qsizetype i = keyLine(group, key);
    return i < 0 ? QString() : QString::fromUtf8(entryValue(m_lines[i]));
}

QStringList DesktopFile::list(const QString &group, const QString &key) const
{
    return value(group, key).split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

void DesktopFile::setValue(const QString &group, const QString &key, const QString &value)
{
    QByteArray line = key.toUtf8() + '=' + value.toUtf8();
    if (const qsizetype i = keyLine(group, key); i >= 0) {
        if (m_lines[i].endsWith('\r'))
            line += '\r';
        m_lines[i] = line;
        return;
    }
    auto [begin, end] = groupRange(group);
    if (begin < 0) {
        if (!m_lines.isEmpty() && !stripCr(m_lines.last()).trimmed().isEmpty())
            m_lines.append(QByteArray());
        m_lines.append('[' + group.toUtf8() + ']');
        m_lines.append(line);
        return;
    }
    // After the group's last entry, before the blank lines and comments that
    // lead into the next group.
    qsizetype at = end;
    while (at > begin && entryKey(m_lines[at - 1]).isEmpty())
        --at;
    if (at > begin && m_lines[at - 1].endsWith('\r'))
        line += '\r';
    m_lines.insert(at, line);
}

void DesktopFile::setList(const QString &group, const QString &key, const QStringList &items)
{
    setValue(group, key, items.join(QLatin1Char(';')) + QLatin1Char(';'));
}

bool DesktopFile::remove(const QString &group, const QString &key)
{
    const qsizetype i = keyLine(group, key);
    if (i < 0)
        return false;
    m_lines.removeAt(i);
    return true;
}

QByteArray DesktopFile::toBytes() const
{
    QByteArray out = m_lines.join('\n');
    if (m_finalNewline && !m_lines.isEmpty())
        out += '\n';
    return out;
}

bool DesktopFile::save(const QString &path) const
{
    return writeIfChanged(path, toBytes());
}

bool writeIfChanged(const QString &path, const QByteArray &bytes)
{
    QFile existing(path);
    if (existing.exists() && existing.size() == bytes.size() && existing.open(QIODevice::ReadOnly)
        && existing.readAll() == bytes)
        return false;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw Error(QStringLiteral("Cannot write \"%1\": cannot create the folder \"%2\"")
                        .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(folder)));
    writeFileAtomically(path, bytes);
    return true;
}

QString execValue(const QStringList &arguments)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QStringList quoted;
    for (QString arg : arguments) {
        arg.replace(QLatin1Char('%'), QLatin1String("%%"));
        bool needsQuotes = arg.isEmpty();
        for (QChar c : arg)
            needsQuotes = needsQuotes || reserved.contains(c);
        if (needsQuotes) {
            QString q;
            for (QChar c : arg) {
                if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
                    q += QLatin1Char('\\');
                q += c;
            }
            arg = QLatin1Char('"') + q + QLatin1Char('"');
        }
        quoted << arg;
    }
    // The value is a string too: its own backslashes are escaped once more.
    QString value = quoted.join(QLatin1Char(' '));
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    value.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    value.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    return value;
}

} // namespace tl
