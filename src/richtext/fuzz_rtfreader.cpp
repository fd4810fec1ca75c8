// libFuzzer target: any bytes through both reader paths. The document and
// the plain text must agree, and the writer's output must read back to the
// same text.

#include "richtext/rtfdocument.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_rtfreader";
    static char *argv[] = {name, nullptr};
    static QGuiApplication *app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;

    const std::string_view in(reinterpret_cast<const char *>(data), size);
    const QString plain = tl::rtf::toPlainText(in);
    QTextDocument doc;
    tl::rtf::readDocument(in, doc);
    if (doc.toPlainText() != plain)
        std::abort();
    const QByteArray again = tl::rtf::writeDocument(doc);
    if (tl::rtf::toPlainText(std::string_view(again.constData(), size_t(again.size()))) != plain)
        std::abort();
    return 0;
}
