// Commands that lead out of the program: printing the note shown, help,
// mail to support, the web site and the About box.

#include "app/TForm1.h"

#include "editor/TfrmAbout.h"
#include "editor/helplinks.h"
#include "editor/printing.h"
#include "platform/atomicfile.h"
#include "platform/error.h"
#include "settings/settingstable.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QTextDocument>
#include <QUrl>

void TForm1::Print1Click()
{
    const QString title = QFileInfo(CurrentFile()).fileName();
    tl::IPrinting *printing = m_services.printing.get();
    if (printing && printing->hasPrinter()) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(title);
        if (!printing->printDialog(this, printer))
            return;
        memo1->document()->print(&printer);
        if (printer.printerState() == QPrinter::Error)
            throw tl::Error(QStringLiteral("The note could not be printed on \"%1\".").arg(printer.printerName()));
        return;
    }
    // Without a printer the note can still go on paper later, as a PDF.
    if (m_services.dialogs->messageBox(this, QStringLiteral("Print"),
            QStringLiteral("No printer is installed on this computer.\n\n"
                           "Save the note as a PDF file instead?"),
            tl::MsgButtons::YesNo, tl::MsgIcon::Question)
        != tl::MsgResult::Yes)
        return;
    const QString proposed = tl::print::pdfNameFor(CurrentFile(), QDir::homePath());
    tl::FileDialogRequest request { QStringLiteral("Save the note as PDF"), QFileInfo(proposed).absolutePath(),
        proposed, QStringLiteral("PDF files (*.pdf);;All files (*)"), QStringLiteral("pdf") };
    const QString name = m_services.dialogs->saveFileName(this, request);
    if (name.isEmpty())
        return;
    tl::writeFileAtomically(name, tl::print::pdfOf(*memo1->document(), title));
}

void TForm1::Helptopics1Click()
{
    openHelp(this);
}

void TForm1::openHelp(QWidget *over)
{
    const QString help = tl::links::helpFile(programFolder(), GetFromReg(tl::setting::CurLanguage));
    if (m_services.shell->openUrl(QUrl::fromLocalFile(help)))
        return;
    m_services.dialogs->messageBox(over, QStringLiteral("Tessaleaf"),
        QStringLiteral("No program could open the help. It is the file\n\n%1\n\n"
                       "A web browser shows it.")
            .arg(QDir::toNativeSeparators(help)),
        tl::MsgButtons::Ok, tl::MsgIcon::Warning);
}

void TForm1::SendFeedback1Click()
{
    m_services.shell->openUrl(tl::links::supportMail(tl::links::MailSubject::Feedback));
}

void TForm1::SendBugsReport1Click()
{
    m_services.shell->openUrl(tl::links::supportMail(tl::links::MailSubject::BugReport));
}

void TForm1::MarrowpineWebSite1Click()
{
    m_services.shell->openUrl(QUrl(tl::links::webSite()));
}

void TForm1::About1Click()
{
    aboutBox().open();
}
