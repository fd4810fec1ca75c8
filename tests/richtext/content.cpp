#include "richtext/content.h"

#include "richtext/rtfproperties.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

namespace rtftest {

bool Paragraph::operator==(const Paragraph &o) const
{
    return align == o.align && bullet == o.bullet && runs == o.runs
           && (!runs.empty() || mark == o.mark) && leftMargin == o.leftMargin
           && rightMargin == o.rightMargin && textIndent == o.textIndent
           && spaceBefore == o.spaceBefore && spaceAfter == o.spaceAfter && cell == o.cell;
}

QString pictureOf(const QTextDocument &doc, const QTextImageFormat &format)
{
    const QUrl url(format.name());
    const QVariant shown = doc.resource(QTextDocument::ImageResource, url);
    const QImage image = shown.value<QImage>();
    const QByteArray kept = doc.resource(tl::rtf::kKeptResource, tl::rtf::keptUrl(format.name())).toByteArray();
    return QStringLiteral("kind %1 shown %2x%3 image %4x%5 %6 kept %7")
        .arg(format.intProperty(tl::rtf::prop::PictureKind))
        .arg(format.width())
        .arg(format.height())
        .arg(image.width())
        .arg(image.height())
        .arg(QString::fromLatin1(QCryptographicHash::hash(
                                     QByteArray(reinterpret_cast<const char *>(image.constBits()),
                                                image.isNull() ? 0 : image.sizeInBytes()),
                                     QCryptographicHash::Sha1)
                                     .toHex()))
        .arg(QString::fromLatin1(QCryptographicHash::hash(kept, QCryptographicHash::Sha1).toHex()));
}

std::vector<Paragraph> contentOf(const QTextDocument &doc)
{
    auto resolved = [&](const QTextCharFormat &f) {
        tl::rtf::TextAttributes a = tl::rtf::attributesOf(f);
        if (a.fontName.isEmpty())
            a.fontName = doc.defaultFont().family();
        if (a.pointSize == 0)
            a.pointSize = doc.defaultFont().pointSizeF();
        return a;
    };
    std::vector<QTextTable *> tables;
    std::vector<Paragraph> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        Paragraph p;
        p.align = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (!p.align || p.align == Qt::AlignLeading)
            p.align = Qt::AlignLeft;
        p.bullet = b.textList() != nullptr;
        const QTextBlockFormat f = b.blockFormat();
        p.leftMargin = f.leftMargin();
        p.rightMargin = f.rightMargin();
        p.textIndent = f.textIndent();
        p.spaceBefore = f.topMargin();
        p.spaceAfter = f.bottomMargin();
        if (QTextTable *t = QTextCursor(b).currentTable()) {
            if (std::find(tables.begin(), tables.end(), t) == tables.end())
                tables.push_back(t);
            const QTextTableCell cell = t->cellAt(b.position());
            p.cell = QStringLiteral("%1 %2 %3")
                         .arg(std::find(tables.begin(), tables.end(), t) - tables.begin())
                         .arg(cell.row())
                         .arg(cell.column());
        }
        p.mark = resolved(b.charFormat());
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat cf = it.fragment().charFormat();
            Run r{it.fragment().text(), resolved(cf), cf.anchorHref(), {}};
            if (cf.isImageFormat())
                r.picture = pictureOf(doc, cf.toImageFormat());
            Run *last = p.runs.empty() ? nullptr : &p.runs.back();
            if (last && r.picture.isEmpty() && last->picture.isEmpty() && last->attributes == r.attributes
                && last->link == r.link)
                last->text += r.text;
            else
                p.runs.push_back(std::move(r));
        }
        out.push_back(std::move(p));
    }
    return out;
}

void PrintTo(const Paragraph &p, std::ostream *os)
{
    *os << "{align " << int(p.align) << (p.bullet ? " bullet" : "") << " margins " << p.leftMargin
        << "/" << p.textIndent << "/" << p.rightMargin << " space " << p.spaceBefore << "/"
        << p.spaceAfter;
    if (!p.cell.isEmpty())
        *os << " cell " << p.cell.toStdString();
    for (const Run &r : p.runs) {
        const tl::rtf::TextAttributes &a = r.attributes;
        *os << " [" << r.text.toStdString() << "|" << a.fontName.toStdString() << " " << a.pointSize
            << " " << (a.color.isValid() ? a.color.name().toStdString() : "auto")
            << (a.bold ? " b" : "") << (a.italic ? " i" : "") << (a.underline ? " u" : "")
            << (a.strike ? " s" : "");
        if (!r.link.isEmpty())
            *os << " link " << r.link.toStdString();
        if (!r.picture.isEmpty())
            *os << " picture " << r.picture.toStdString();
        *os << "]";
    }
    *os << "}";
}

QByteArray whitePng(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

} // namespace rtftest
