#include "platform/inifile.h"

#include "platform/codepage.h"

#include <QFile>
#include <QStringDecoder>

namespace tl {

namespace {

QString unquoted(QStringView value)
{
    if (value.size() >= 2 && value.front() == value.back()
        && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')))
        value = value.mid(1, value.size() - 2);
    return value.left(IniFile::ValueLimit).toString();
}

} // namespace

QString IniFile::decode(const QByteArray &bytes, int legacyCodePage)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return utf16(bytes.mid(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    const CodePage &page = CodePage::get(legacyCodePage);
    text.clear();
    text.reserve(bytes.size());
    for (char c : bytes)
        text.append(QChar(page.single(std::uint8_t(c))));
    return text;
}

IniFile IniFile::fromText(const QString &text)
{
    IniFile ini;
    QHash<QString, QString> *section = nullptr;  // null outside a section and in a repeated one
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.startsWith(QChar(0xFEFF)))
            line = line.mid(1).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype end = line.indexOf(QLatin1Char(']'));
            const QString name = (end < 0 ? line.mid(1) : line.mid(1, end - 1)).trimmed().toString().toCaseFolded();
            section = ini.m_sections.contains(name) ? nullptr : &ini.m_sections[name];
            continue;
        }
        if (!section)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed().toString().toCaseFolded();
        if (!key.isEmpty() && !section->contains(key))
            section->insert(key, unquoted(line.mid(eq + 1).trimmed()));
    }
    return ini;
}

IniFile IniFile::read(const QString &path, int legacyCodePage)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return fromText(decode(f.read(ReadLimit), legacyCodePage));
}

bool IniFile::hasSection(const QString &section) const
{
    return m_sections.contains(section.toCaseFolded());
}

QString IniFile::value(const QString &section, const QString &key, const QString &def) const
{
    const auto s = m_sections.constFind(section.toCaseFolded());
    if (s == m_sections.cend())
        return def;
    const auto v = s->constFind(key.toCaseFolded());
    return v == s->cend() ? def : *v;
}

} // namespace tl
