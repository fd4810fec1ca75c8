#include "support/notesfile.h"

#include "platform/atomicfile.h"

namespace tlbench {

QString noteText(int i, char variant)
{
    QString text = QStringLiteral("{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fnil\\fcharset204 Tahoma;}}"
                                  "\\viewkind4\\uc1\\pard\\lang1049\\f0\\fs20 Note %1 %2 ").arg(i).arg(QLatin1Char(variant));
    while (text.size() < kNoteBytes - 8)
        text += QStringLiteral("\\'cf\\'f0\\'e8 text \\b bold\\b0  ");
    text += QStringLiteral("\\par\n}");
    return text;
}

QString makeNotesFile(const QString &folder)
{
    return makeNotesFile(folder, kNotes, QStringLiteral("Big.nts"));
}

QString makeNotesFile(const QString &folder, int notes, const QString &name)
{
    const QString path = folder + QLatin1Char('/') + name;
    tl::AtomicFile file(path);
    auto put = [&](const QString &text) {
        const QByteArray utf8 = text.toUtf8();
        file.write(utf8.constData(), utf8.size());
    };
    put(QStringLiteral("<root><info><lastupdate>10.12.2026</lastupdate><authorname/><companyname/>"
                       "<comments/><realpath/><compresslevel>0</compresslevel></info><notes>"));
    for (int i = 0; i < notes; ++i)
        put(QStringLiteral("<note>") + noteText(i) + QStringLiteral("</note>"));
    put(QStringLiteral("</notes></root>"));
    file.commit();
    return path;
}

} // namespace tlbench
