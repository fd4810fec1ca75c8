#pragma once
// INI files read by the rules of the Windows profile functions: sections
// and keys without regard to case, the first of a repeated section or key
// wins, blanks trimmed at either end, one pair of enclosing quotes (" or ')
// removed, at most 2047 characters of a value. No escapes, no comments, no
// multi-line values. A missing or unreadable file reads as empty.

#include <QByteArray>
#include <QHash>
#include <QString>

namespace tl {

class IniFile {
public:
    static constexpr qsizetype ValueLimit = 2047;
    // Larger files are read up to here: a language file is a few kilobytes.
    static constexpr qint64 ReadLimit = 4 << 20;

    IniFile() = default;
    static IniFile fromText(const QString &text);
    // legacyCodePage decodes a file that is not UTF-8 (a file made for the
    // Windows program): a Windows code page such as 1251 or 1252.
    static IniFile read(const QString &path, int legacyCodePage = 1252);

    // UTF-8 (with or without its mark), UTF-16 with its mark, else the code page.
    static QString decode(const QByteArray &bytes, int legacyCodePage);

    bool hasSection(const QString &section) const;
    QString value(const QString &section, const QString &key, const QString &def) const;

private:
    QHash<QString, QHash<QString, QString>> m_sections;  // both levels case-folded
};

} // namespace tl
