#include "editor/printing.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

namespace tl::print {

QByteArray pdfOf(const QTextDocument &doc, const QString &title)
{
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Tessaleaf"));
        pdf.setPageSize(
            QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4));
        doc.print(&pdf);
    }
    return bytes;
}

QString pdfNameFor(const QString &openFile, const QString &home)
{
    const QFileInfo file(openFile);
    if (openFile.isEmpty() || !file.absoluteDir().exists())
        return home + QStringLiteral("/Note.pdf");
    return file.absolutePath() + QLatin1Char('/') + file.completeBaseName() + QStringLiteral(".pdf");
}

} // namespace tl::print
