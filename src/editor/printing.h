#pragma once
// Printing the note shown: its document laid out on pages, page after page,
// on a printer or into a PDF file.

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace tl::print {

// doc as the bytes of a PDF file on the paper size of the user's locale.
QByteArray pdfOf(const QTextDocument &doc, const QString &title);

// The PDF file proposed for the note shown: beside the open file, named
// after it; in home without one.
QString pdfNameFor(const QString &openFile, const QString &home);

} // namespace tl::print
