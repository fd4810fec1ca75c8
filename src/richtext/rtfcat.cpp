// rtfcat FILE: the plain text of an RTF file as UTF-8, one line break after
// each paragraph, pictures left out. rtfcat --rtf FILE: the file read into
// a document and written out again as RTF; what the document cannot hold
// (footnotes, comments, ...) is named on stderr, and the status is then 3.

#include "richtext/rtfdocument.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>
#include <cstring>

namespace {

// Qt's warnings (a missing runtime folder, fonts) are not the tool's
// output; its errors are, as one line each.
void quietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "rtfcat: %s\n", qPrintable(message.simplified()));
}

int usage()
{
    std::fputs("usage: rtfcat [--rtf] FILE\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(quietMessages);
    bool rtfOut = false;
    const char *path = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rtf") == 0 && !rtfOut)
            rtfOut = true;
        else if (!path)
            path = argv[i];
        else
            return usage();
    }
    if (!path)
        return usage();

    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "rtfcat: %s: %s\n", path, qPrintable(file.errorString()));
        return 1;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        std::fprintf(stderr, "rtfcat: %s: %s\n", path, qPrintable(file.errorString()));
        return 1;
    }
    const std::string_view bytes(data.constData(), size_t(data.size()));

    QByteArray out;
    unsigned unheld = 0;
    if (rtfOut) {
        // A document needs fonts, so a GUI application, but no display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        QTextDocument doc;
        unheld = tl::rtf::readDocument(bytes, doc);
        out = tl::rtf::writeDocument(doc);
        out += '\n';
    } else {
        // The plain text keeps a picture's place (U+FFFC) so positions match
        // the document's; a reader of the text has no use for it.
        QString text = tl::rtf::toPlainText(bytes);
        text.remove(QChar::ObjectReplacementCharacter);
        out = text.toUtf8();
        out += '\n';
    }
    if (std::fwrite(out.constData(), 1, size_t(out.size()), stdout) != size_t(out.size())
        || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "rtfcat: cannot write the output\n");
        return 1;
    }
    if (unheld) {
        std::fprintf(stderr, "rtfcat: %s: left out: %s\n", path, qPrintable(tl::rtf::unheldText(unheld)));
        return 3;
    }
    return 0;
}
