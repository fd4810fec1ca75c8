#include "richtext/samples.h"

#include <QBuffer>
#include <QPainter>

namespace rtftest {

const std::string kHead = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 "
                          "Calibri;}}\r\n{\\colortbl ;\\red0\\green0\\blue255;}\r\n\\viewkind4\\uc1\\pard\\f0\\fs22 ";

const std::string kWmf = "010009000003" "0c000000" "0000" "03000000" "0000" "030000000000";

QImage sample()
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.fillRect(1, 1, 3, 2, QColor(200, 30, 30));
    p.fillRect(5, 3, 2, 2, QColor(20, 90, 220));
    return image;
}

namespace {

QByteArray encoded(const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    sample().save(&buffer, format);
    return bytes;
}

} // namespace

const QByteArray &png()
{
    static const QByteArray bytes = encoded("PNG");
    return bytes;
}

const QByteArray &jpeg()
{
    static const QByteArray bytes = encoded("JPEG");
    return bytes;
}

std::string hex(const QByteArray &bytes) { return bytes.toHex().toStdString(); }

std::string pict(const std::string &words, const std::string &data) { return "{\\pict" + words + " " + data + "}"; }

} // namespace rtftest
