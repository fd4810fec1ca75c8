#include "port/notesfile.h"

#include "notes/compressed.h"
#include "notes/filekind.h"
#include "notes/notesxml.h"
#include "notes/notesync.h"
#include "platform/atomicfile.h"
#include "platform/error.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include <string>

namespace tl::port {

namespace {

QString textOf(pugi::xml_node node)
{
    std::string text;
    for (pugi::xml_node n = node.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
            text += n.value();
    QString s = QString::fromStdString(text);
    return s.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

QStringList notesOfDocument(const QString &path)
{
    pugi::xml_document doc;
    loadNotesDocument(doc, path);
    QStringList notes;
    for (pugi::xml_node n = nthElement(doc.document_element(), 1).first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_element)
            notes << textOf(n);
    return notes;
}

class StringWriter : public pugi::xml_writer {
public:
    void write(const void *data, size_t size) override { bytes.append(static_cast<const char *>(data), qsizetype(size)); }
    QByteArray bytes;
};

} // namespace

QStringList readAllNotes(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw Error(QStringLiteral("\"%1\" does not exist").arg(QDir::toNativeSeparators(path)));
    if (!info.isFile())
        throw Error(QStringLiteral("\"%1\" is not a file").arg(QDir::toNativeSeparators(path)));
    if (fileKindOf(path) != FileKind::Compressed)
        return notesOfDocument(path);
    QTemporaryDir folder;
    if (!folder.isValid())
        throw Error(QStringLiteral("Cannot make a temporary folder: %1").arg(folder.errorString()));
    const QString copy = compressed::workingCopyPath(path, folder.path());
    compressed::unpackNotes(path, copy);
    return notesOfDocument(copy);
}

void writeNewNotesFile(const QString &path, const QStringList &notes)
{
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        throw Error(QStringLiteral("\"%1\" already exists: notes go into a new file only")
                        .arg(QDir::toNativeSeparators(path)));
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("root");
    pugi::xml_node info = root.append_child("info");
    // The fields a new notes file gets from the program, in their order.
    const char *const fields[] = {"lastupdate", "authorname", "companyname", "comments", "realpath", "compresslevel"};
    const QString values[] = {QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat),
                              QString(), QString(), QString(), QString(), QStringLiteral("0")};
    for (int i = 0; i < 6; ++i) {
        pugi::xml_node field = info.append_child(fields[i]);
        if (!values[i].isEmpty())
            field.append_child(pugi::node_pcdata).set_value(values[i].toUtf8().constData());
    }
    pugi::xml_node list = root.append_child("notes");
    for (const QString &note : notes) {
        pugi::xml_node n = list.append_child("note");
        const QByteArray stored = sync::storedForm(note);
        if (!stored.isEmpty())
            n.append_child(pugi::node_pcdata).set_value(stored.constData());
    }
    StringWriter writer;
    doc.save(writer, "  ", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
    writeFileAtomically(path, writer.bytes);
}

} // namespace tl::port
