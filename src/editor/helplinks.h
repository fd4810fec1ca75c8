#pragma once
// Where help, mail and the web site lead: the program's addresses, the
// mailto: links of the Help menu and the About box, the help file's lookup.

#include <QString>
#include <QUrl>

namespace tl::links {

// The project's own addresses, one place for each.
QString supportAddress();
QString webSite();
// The version the About box shows.
QString version();

enum class MailSubject { None, Feedback, BugReport };
// "mailto:" + the support address, with "?subject=Suggestion/Feedback" or
// "?subject=BugReport" when a subject is named.
QUrl supportMail(MailSubject subject);

// The help file to open for language: languages/<language>/help.html under
// programFolder when it exists, else help.html in programFolder when it
// exists, else the shipped English help, else help.html in programFolder
// all the same. Folder names match in any case, as they did where the
// language folders were first made.
QString helpFile(const QString &programFolder, const QString &language);

} // namespace tl::links
