// The language files shipped with the program: complete, and no key that
// the program does not know (a typo would silently show the default).

#include "i18n/language.h"
#include "platform/inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

QSet<QString> knownKeys()
{
    QSet<QString> keys;
    for (const tl::i18n::Window &w : tl::i18n::windows)
        for (const tl::i18n::Text &t : w.texts)
            keys.insert(QString::fromUtf8(t.key.data(), qsizetype(t.key.size())).toCaseFolded());
    return keys;
}

QStringList shippedLanguages()
{
    return QDir(QStringLiteral(TL_SHIPPED_LANGUAGES)).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

class Shipped : public testing::TestWithParam<QString> {};

TEST_P(Shipped, EveryKeyIsKnownAndEveryKnownKeyIsThere)
{
    const QString language = GetParam();
    QFile f(QStringLiteral(TL_SHIPPED_LANGUAGES "/") + language + QStringLiteral("/general.lng"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    const QString text = QString::fromUtf8(bytes);
    ASSERT_EQ(text.toUtf8(), bytes) << "not UTF-8";

    const QSet<QString> known = knownKeys();
    QSet<QString> seen;
    QString section;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            EXPECT_TRUE(section.isEmpty()) << "a second section at line " << i + 1;
            section = line.mid(1, line.indexOf(QLatin1Char(']')) - 1);
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        ASSERT_GT(eq, 0) << "line " << i + 1 << " is no key";
        const QString key = line.left(eq).trimmed();
        EXPECT_TRUE(known.contains(key.toCaseFolded())) << qPrintable(key) << " at line " << i + 1 << " is unknown";
        EXPECT_FALSE(seen.contains(key.toCaseFolded())) << qPrintable(key) << " is given twice";
        EXPECT_FALSE(line.mid(eq + 1).trimmed().isEmpty()) << qPrintable(key) << " has no text";
        seen.insert(key.toCaseFolded());
    }
    EXPECT_EQ(section, language) << "the section is named like the folder";
    for (const QString &k : known)
        EXPECT_TRUE(seen.contains(k)) << qPrintable(k) << " is missing";
}

TEST_P(Shipped, HasAHelpPageAndIsInTheBuildTree)
{
    const QString language = GetParam();
    const QString help = QStringLiteral(TL_SHIPPED_LANGUAGES "/") + language + QStringLiteral("/help.html");
    QFile f(help);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << qPrintable(help);
    const QString page = QString::fromUtf8(f.readAll());
    // A real page: its sections name the keys, notes files, skins, settings and the command line.
    EXPECT_GE(page.count(QStringLiteral("<h2")), 5);
    EXPECT_TRUE(page.contains(QStringLiteral("settings.conf")));
    EXPECT_TRUE(page.contains(QStringLiteral(".nts")));
    EXPECT_TRUE(page.contains(QStringLiteral("pledit.bmp")));
    for (const char *file : {"/general.lng", "/help.html"})
        EXPECT_TRUE(QFileInfo(QStringLiteral(TL_BUILT_LANGUAGES "/") + language + QLatin1String(file)).isFile())
            << qPrintable(language) << file << " is not beside the built program";
}

TEST(ShippedEnglish, IsTheBuiltInTextsWrittenOut)
{
    const QString program = QFileInfo(QStringLiteral(TL_SHIPPED_LANGUAGES)).path();
    for (const tl::i18n::Window &w : tl::i18n::windows) {
        const tl::i18n::Texts builtIn(w.texts);
        const tl::i18n::Texts read = tl::i18n::Texts::load(w.texts, program, QStringLiteral("English"));
        for (const tl::i18n::Text &t : w.texts)
            EXPECT_EQ(read[t.key], builtIn[t.key]) << t.key;
    }
}

TEST(ShippedLanguages, EnglishAndRussianAtLeast)
{
    const QStringList all = shippedLanguages();
    EXPECT_TRUE(all.contains(QStringLiteral("English")));
    EXPECT_TRUE(all.contains(QStringLiteral("Russian")));
}

INSTANTIATE_TEST_SUITE_P(Languages, Shipped, testing::ValuesIn(shippedLanguages()),
                         [](const testing::TestParamInfo<QString> &i) { return i.param.toStdString(); });

} // namespace
