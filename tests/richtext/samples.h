#pragma once
// Pieces of RTF that the reader's tests build their documents from.

#include <QByteArray>
#include <QImage>

#include <string>

namespace rtftest {

// A rich-edit control's document up to its first paragraph's text.
extern const std::string kHead;
// A placeable-less Windows metafile: header and end record, as hex.
extern const std::string kWmf;

// An 8 x 6 picture of two coloured boxes, and it as PNG and JPEG bytes.
QImage sample();
const QByteArray &png();
const QByteArray &jpeg();

std::string hex(const QByteArray &bytes);
// A picture group: {\pict words data}.
std::string pict(const std::string &words, const std::string &data);

} // namespace rtftest
