// libFuzzer target: any bytes as an INI file, a language's general.lng and
// a skin's pledit.txt. Reading from the file and from its text agree, no
// value is longer than the limit, a language file gives a text for every key
// of a window, and a colour stays within 24 bits.

#include "i18n/language.h"
#include "platform/inifile.h"
#include "skins/skinfiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const int codePage = size > 0 && (data[0] & 1) ? 1251 : 1252;

    const QString text = tl::IniFile::decode(bytes, codePage);
    const tl::IniFile fromText = tl::IniFile::fromText(text);
    const QString path = dir.filePath(QStringLiteral("pledit.txt"));
    writeBytes(path, bytes);
    const tl::IniFile fromFile = tl::IniFile::read(path, codePage);

    // Names as they appear in the text: every section header and every key.
    static const QRegularExpression sectionRe(QStringLiteral("^\\s*\\[([^\\]\\n]*)"), QRegularExpression::MultilineOption);
    static const QRegularExpression keyRe(QStringLiteral("^\\s*([^=\\[\\n]+)="), QRegularExpression::MultilineOption);
    QStringList sections{QStringLiteral("Text")}, keys{QStringLiteral("Normal"), QStringLiteral("NormalBG")};
    for (auto it = sectionRe.globalMatch(text); it.hasNext() && sections.size() < 32;)
        sections << it.next().captured(1).trimmed();
    for (auto it = keyRe.globalMatch(text); it.hasNext() && keys.size() < 64;)
        keys << it.next().captured(1).trimmed();
    const QString def = QStringLiteral("\u0001default");
    for (const QString &s : sections) {
        if (fromText.hasSection(s) != fromFile.hasSection(s))
            std::abort();
        for (const QString &k : keys) {
            const QString v = fromText.value(s, k, def);
            if (v != fromFile.value(s, k, def) || v.size() > tl::IniFile::ValueLimit)
                std::abort();
            if (tl::skin::pleditColour(v) > 0xFFFFFF)
                std::abort();
        }
    }
    const QString normal = tl::skin::readIniValue(path, QStringLiteral("Text"), QStringLiteral("Normal"), QStringLiteral("00ff00"));
    if (normal != tl::IniFile::read(path).value(QStringLiteral("text"), QStringLiteral("NORMAL"), QStringLiteral("00ff00")))
        std::abort();

    // The same bytes as a language file: every key gets a text.
    const QString program = dir.filePath(QStringLiteral("program"));
    writeBytes(program + QStringLiteral("/languages/Russian/general.lng"), bytes);
    const tl::i18n::Texts texts = tl::i18n::Texts::load(tl::i18n::mainFormTexts, program, QStringLiteral("Russian"));
    for (const tl::i18n::Text &t : tl::i18n::mainFormTexts) {
        const QString shown = texts[t.key];
        if (shown.size() > tl::IniFile::ValueLimit + qsizetype(t.suffix.size()))
            std::abort();
        if (!shown.endsWith(QString::fromUtf8(t.suffix.data(), qsizetype(t.suffix.size()))))
            std::abort();
    }
    return 0;
}
