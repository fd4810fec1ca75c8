// Every setting the program's sources read or write is declared. The sources
// name a setting only by a key (a constant of the settings table, an
// appearance value's key), and only a declared name makes a key; what the
// compiler cannot see is a name spelled out, built or held in a QString where
// the store's accessors take names as stored, which escapes the table's type
// and default. The sources are read here to find any.

#include "settings/appearance.h"
#include "settings/settingsstore.h"
#include "settings/settingstable.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <map>

namespace {

struct Use {
    QString where;     // file:line
    QString argument;  // the name as the call gives it
};

// The first argument of every call of a settings accessor in text.
std::vector<Use> accessorArguments(const QString &text, const QString &file)
{
    static const QRegularExpression call(QStringLiteral("\\b(GetFromReg|GetFromRegInt|SetFromReg|SetFromRegInt|isOn)\\s*\\("));
    std::vector<Use> uses;
    for (auto it = call.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        qsizetype i = m.capturedEnd();
        int depth = 0;
        int angles = 0;  // template arguments: a '<' right after a name
        QString argument;
        for (; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {  // a literal, escapes and all
                const qsizetype start = i;
                for (++i; i < text.size() && text[i] != c; ++i)
                    if (text[i] == QLatin1Char('\\'))
                        ++i;
                argument += text.mid(start, i - start + 1);
                continue;
            }
            if (depth == 0 && angles == 0 && (c == QLatin1Char(',') || c == QLatin1Char(')')))
                break;
            if (c == QLatin1Char('<') && i > 0 && (text[i - 1].isLetterOrNumber() || text[i - 1] == QLatin1Char('_')))
                ++angles;
            else if (c == QLatin1Char('>') && angles > 0)
                --angles;
            if (c == QLatin1Char('(') || c == QLatin1Char('[') || c == QLatin1Char('{'))
                ++depth;
            else if (c == QLatin1Char(')') || c == QLatin1Char(']') || c == QLatin1Char('}'))
                --depth;
            argument += c;
        }
        const int line = int(text.left(m.capturedStart()).count(QLatin1Char('\n'))) + 1;
        uses.push_back({file + QLatin1Char(':') + QString::number(line), argument.simplified()});
    }
    return uses;
}

// Why an argument names no declared key, or nothing when it does: a key
// constant, a key variable, or a declaration's parameter. text is the file
// the call is in.
QString fault(const QString &argument, const QString &text)
{
    static const QRegularExpression literal(QStringLiteral("\"([^\"]*)\""));
    if (const QRegularExpressionMatch m = literal.match(argument); m.hasMatch()) {
        const QString name = m.captured(1);
        const bool declared = tl::setting::find(name.toStdString()) != nullptr;
        return QStringLiteral("names \"%1\" by a literal (%2)")
            .arg(name, declared ? QStringLiteral("use its key") : QStringLiteral("a name not declared"));
    }
    if (argument.contains(QLatin1Char('+')))
        return QStringLiteral("builds a name (an appearance value or a per-set setting has its key)");
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_]\\w*$"));
    if (identifier.match(argument).hasMatch()
        && text.contains(QRegularExpression(QStringLiteral("QString\\s*&?\\s*%1\\b").arg(argument))))
        return QStringLiteral("passes a name held in a QString");
    return {};
}

std::vector<std::pair<Use, QString>> faultsIn(const QString &text, const QString &file)
{
    std::vector<std::pair<Use, QString>> faults;
    for (const Use &use : accessorArguments(text, file))
        if (const QString why = fault(use.argument, text); !why.isEmpty())
            faults.emplace_back(use, why);
    return faults;
}

TEST(SettingNames, TheScanFindsANameSpelledOrBuiltInACall)
{
    const QString text = QStringLiteral(
        "    const QString a = GetFromReg(s::CurLanguage);\n"
        "    m_form->SetFromReg(QStringLiteral(\"OnTop\"), f(x, \"y\"));\n"
        "    if (isOn(QLatin1String(\"Foo, bar\")))\n"
        "        GetFromRegInt(SettingsStore::q(s::LineColor) + suffix);\n"
        "    SetFromRegInt(tl::appearance::key<Element::Editor, Property::FontSize>(suffix), n);\n"
        "    const QString name = q(v.name) + suffix;\n"
        "    SetFromReg(name, key);\n");
    const auto uses = accessorArguments(text, QStringLiteral("t.cpp"));
    ASSERT_EQ(uses.size(), 6u);
    EXPECT_EQ(uses[2].argument.toStdString(), "QLatin1String(\"Foo, bar\")");
    EXPECT_EQ(uses[4].argument.toStdString(), "tl::appearance::key<Element::Editor, Property::FontSize>(suffix)");

    const auto faults = faultsIn(text, QStringLiteral("t.cpp"));
    ASSERT_EQ(faults.size(), 4u);
    EXPECT_EQ(faults[0].first.where.toStdString(), "t.cpp:2");
    EXPECT_EQ(faults[0].second.toStdString(), "names \"OnTop\" by a literal (use its key)");
    EXPECT_EQ(faults[1].first.where.toStdString(), "t.cpp:3");
    EXPECT_EQ(faults[1].second.toStdString(), "names \"Foo, bar\" by a literal (a name not declared)");
    EXPECT_EQ(faults[2].first.where.toStdString(), "t.cpp:4");
    EXPECT_EQ(faults[3].first.where.toStdString(), "t.cpp:7");
    EXPECT_EQ(faults[3].second.toStdString(), "passes a name held in a QString");
}

TEST(SettingNames, EveryNameTheCodeUsesIsDeclared)
{
    const QString root = QStringLiteral(TL_SOURCE_DIR);
    std::map<QString, QString> files;  // relative path -> text, in a stable order
    for (QDirIterator it(root, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        QFile f(it.next());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
        files[QDir(root).relativeFilePath(f.fileName())] = QString::fromUtf8(f.readAll());
    }
    // The scan reads the sources it means to: the store's own accessors are
    // among the calls found.
    ASSERT_TRUE(files.count(QStringLiteral("settings/settingsstore.h"))) << "no sources under " << root.toStdString();
    ASSERT_FALSE(accessorArguments(files[QStringLiteral("settings/settingsstore.h")], {}).empty());

    // The store's own accessors, which take names as stored, are the one
    // place a name may be a QString.
    files.erase(QStringLiteral("settings/settingsstore.h"));
    files.erase(QStringLiteral("settings/settingsstore.cpp"));
    for (const auto &[file, text] : files)
        for (const auto &[use, why] : faultsIn(text, file))
            ADD_FAILURE() << use.where.toStdString() << ": " << use.argument.toStdString() << " "
                          << why.toStdString();
}

// Names are compared without regard to case: no two declarations, in either
// table and either appearance set, may name the same value.
TEST(SettingNames, EachNameIsDeclaredOnce)
{
    std::map<QString, QString> seen;  // case-folded name -> where declared
    auto declare = [&](const QString &name, const QString &where) {
        const auto [it, fresh] = seen.emplace(name.toCaseFolded(), where);
        EXPECT_TRUE(fresh) << name.toStdString() << " in " << where.toStdString() << " and "
                           << it->second.toStdString();
    };
    for (const tl::setting::Def &def : tl::setting::table) {
        declare(tl::SettingsStore::q(def.name), QStringLiteral("the settings table"));
        if (def.perSet)
            declare(tl::SettingsStore::q(def.name) + tl::SettingsStore::q(tl::setting::SkinSuffix),
                    QStringLiteral("the settings table, skin set"));
    }
    for (const tl::appearance::Value &v : tl::appearance::values) {
        for (const QString &suffix : {QString(), tl::SettingsStore::q(tl::setting::SkinSuffix)}) {
            using tl::setting::Type;
            const QString name = tl::appearance::typeOf(v.property) == Type::String
                ? tl::SettingsStore::nameOf(tl::appearance::keyOf<Type::String>(v, suffix))
                : tl::SettingsStore::nameOf(tl::appearance::keyOf<Type::Integer>(v, suffix));
            declare(name, QStringLiteral("the appearance values"));
        }
    }
}

} // namespace
