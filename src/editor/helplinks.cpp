#include "editor/helplinks.h"

#include <QDir>
#include <QFileInfo>

namespace tl::links {

QString supportAddress()
{
    return QStringLiteral("support@tessaleaf.example");
}

QString webSite()
{
    return QStringLiteral("https://tessaleaf.example/");
}

QString version()
{
    return QStringLiteral(TESSALEAF_VERSION);
}

QUrl supportMail(MailSubject subject)
{
    QString link = QStringLiteral("mailto:") + supportAddress();
    switch (subject) {
    case MailSubject::None:
        break;
    case MailSubject::Feedback:
        link += QStringLiteral("?subject=Suggestion/Feedback");
        break;
    case MailSubject::BugReport:
        link += QStringLiteral("?subject=BugReport");
        break;
    }
    return QUrl(link);
}

namespace {

// The entry name of folder, matched exactly first, then in any case.
QString childOf(const QString &folder, const QString &name)
{
    if (folder.isEmpty() || name.isEmpty())
        return {};
    const QString exact = folder + QLatin1Char('/') + name;
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &e : entries)
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return folder + QLatin1Char('/') + e;
    return {};
}

QString languageHelp(const QString &programFolder, const QString &language)
{
    // A language is a folder's name, never a way out of the languages folder.
    if (language.isEmpty() || language.contains(QLatin1Char('/')) || language == QLatin1String("..")
        || language == QLatin1String("."))
        return {};
    const QString file
        = childOf(childOf(childOf(programFolder, QStringLiteral("languages")), language), QStringLiteral("help.html"));
    return QFileInfo(file).isFile() ? file : QString();
}

} // namespace

QString helpFile(const QString &programFolder, const QString &language)
{
    if (QString f = languageHelp(programFolder, language); !f.isEmpty())
        return f;
    const QString beside = programFolder + QStringLiteral("/help.html");
    if (QFileInfo(beside).isFile())
        return beside;
    if (QString f = languageHelp(programFolder, QStringLiteral("English")); !f.isEmpty())
        return f;
    // Handed to the shell even so, which says whatever it says about a missing file.
    return beside;
}

} // namespace tl::links
