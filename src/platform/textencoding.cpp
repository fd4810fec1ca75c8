#include "platform/textencoding.h"

#include "platform/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <langinfo.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace tl {

namespace {

using Encoding = TextFormat::Encoding;
using LineEnd = TextFormat::LineEnd;

const QByteArray kUtf8Bom("\xEF\xBB\xBF");
const QByteArray kUtf16LEBom("\xFF\xFE");
const QByteArray kUtf16BEBom("\xFE\xFF");

// A control character no text holds: what file(1) counts as binary. BEL to
// CR, ESC, and the SUB that ends old DOS files are text.
bool binaryControl(char16_t c)
{
    return c < 0x20 && !(c >= 0x07 && c <= 0x0D) && c != 0x1A && c != 0x1B;
}

bool holdsBinaryControl(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return binaryControl(c.unicode()); });
}

const CodePage &singleBytePage(int codePage)
{
    const CodePage &page = CodePage::get(codePage);
    return page.isDoubleByte() ? CodePage::get(1252) : page;
}

// The text, when the bytes are that encoding and its encoder gives them back.
std::optional<QString> decodeUnicode(QByteArrayView bytes, QStringDecoder::Encoding encoding)
{
    // A second mark after the first is text, kept as it is. A sequence cut
    // short at the end stays in the decoder: the bytes do not come back.
    QStringDecoder decoder(encoding, QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    QStringEncoder encoder(encoding);
    if (QByteArray(encoder(text)) != bytes)
        return std::nullopt;
    return text;
}

// The file's text in the page, when every byte comes back as it was.
std::optional<QString> decodeSingleByte(QByteArrayView bytes, const CodePage &page)
{
    std::array<bool, 256> seen{};
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (char b : bytes) {
        const auto byte = std::uint8_t(b);
        seen[byte] = true;
        *out++ = QChar(page.single(byte));
    }
    for (int b = 0; b < 256; ++b)
        if (seen[b] && page.encode(page.single(std::uint8_t(b))) != b)
            return std::nullopt;
    return text;
}

LineEnd mostUsedLineEnd(QStringView text)
{
    qsizetype crlf = 0, lf = 0, cr = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                ++crlf;
                ++i;
            } else {
                ++cr;
            }
        } else if (text[i] == u'\n') {
            ++lf;
        }
    }
    if (crlf > 0 && crlf >= lf && crlf >= cr)
        return LineEnd::CrLf;
    if (cr > lf)
        return LineEnd::Cr;
    return LineEnd::Lf;
}

QString withNewlines(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r') {
            out.append(text[i]);
            continue;
        }
        out.append(u'\n');
        if (i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
    }
    return out;
}

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

DecodedText binaryText(const QByteArray &bytes)
{
    DecodedText result;
    result.text = withNewlines(QString::fromUtf8(bytes));
    result.binary = true;
    return result;
}

} // namespace

DecodedText decodeText(const QByteArray &bytes, int codePage)
{
    DecodedText result;
    std::optional<QString> raw;
    TextFormat &format = result.format;
    if (bytes.startsWith(kUtf16LEBom) || bytes.startsWith(kUtf16BEBom)) {
        const bool le = bytes.startsWith(kUtf16LEBom);
        raw = decodeUnicode(QByteArrayView(bytes).sliced(2), le ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        if (raw && (raw->contains(QChar(0)) || holdsBinaryControl(*raw)))
            raw.reset();
        if (raw) {
            format.encoding = le ? Encoding::Utf16LE : Encoding::Utf16BE;
            format.bom = true;
        }
    }
    if (!raw && bytes.contains('\0'))
        return binaryText(bytes);
    if (!raw && bytes.startsWith(kUtf8Bom)) {
        raw = decodeUnicode(QByteArrayView(bytes).sliced(kUtf8Bom.size()), QStringDecoder::Utf8);
        format.bom = bool(raw);
    }
    if (!raw)
        raw = decodeUnicode(bytes, QStringDecoder::Utf8);
    if (!raw) {
        // Not UTF-8: a single-byte page, where any byte is a character. The
        // locale's page might give two bytes one character; Windows-1252 never does.
        const CodePage *page = &singleBytePage(codePage);
        raw = decodeSingleByte(bytes, *page);
        if (!raw) {
            page = &CodePage::get(1252);
            raw = decodeSingleByte(bytes, *page);
        }
        format.encoding = Encoding::CodePage;
        format.codePage = page->number();
    }
    if (!raw || holdsBinaryControl(*raw))
        return binaryText(bytes);
    format.lineEnd = mostUsedLineEnd(*raw);
    result.text = withNewlines(*raw);
    return result;
}

qsizetype firstUnfit(const QString &text, const TextFormat &format)
{
    if (format.encoding != Encoding::CodePage)
        return -1;
    const CodePage &page = singleBytePage(format.codePage);
    for (qsizetype i = 0; i < text.size(); ++i)
        if (!isLineBreak(text[i]) && page.encode(text[i].unicode()) < 0)
            return i;
    return -1;
}

TextFormat formatToHold(const QString &text, const TextFormat &format)
{
    if (firstUnfit(text, format) < 0)
        return format;
    TextFormat utf8;
    utf8.lineEnd = format.lineEnd;
    return utf8;
}

QByteArray encodeText(const QString &text, const TextFormat &format)
{
    const QStringView lineEnd = format.lineEnd == LineEnd::CrLf ? u"\r\n" : format.lineEnd == LineEnd::Cr ? u"\r" : u"\n";
    QString lines;
    lines.reserve(text.size());
    for (QChar c : text) {
        if (isLineBreak(c))
            lines.append(lineEnd);
        else
            lines.append(c);
    }
    QByteArray bytes;
    switch (format.encoding) {
    case Encoding::Utf8:
        if (format.bom)
            bytes = kUtf8Bom;
        bytes += lines.toUtf8();
        break;
    case Encoding::Utf16LE:
    case Encoding::Utf16BE: {
        const bool le = format.encoding == Encoding::Utf16LE;
        if (format.bom)
            bytes = le ? kUtf16LEBom : kUtf16BEBom;
        QStringEncoder encoder(le ? QStringEncoder::Utf16LE : QStringEncoder::Utf16BE);
        bytes += QByteArray(encoder(lines));
        break;
    }
    case Encoding::CodePage: {
        const CodePage &page = singleBytePage(format.codePage);
        bytes.reserve(lines.size());
        for (QChar c : lines) {
            const int b = page.encode(c.unicode());
            bytes.append(b < 0 ? '?' : char(b));
        }
        break;
    }
    }
    return bytes;
}

QString encodingName(const TextFormat &format)
{
    switch (format.encoding) {
    case Encoding::Utf8: return QStringLiteral("UTF-8");
    case Encoding::Utf16LE: return QStringLiteral("UTF-16LE");
    case Encoding::Utf16BE: return QStringLiteral("UTF-16BE");
    case Encoding::CodePage: break;
    }
    const int cp = singleBytePage(format.codePage).number();
    if (cp >= 1250 && cp <= 1258)
        return QStringLiteral("Windows-%1").arg(cp);
    if (cp > 28590 && cp <= 28605)
        return QStringLiteral("ISO-8859-%1").arg(cp - 28590);
    switch (cp) {
    case 20866: return QStringLiteral("KOI8-R");
    case 21866: return QStringLiteral("KOI8-U");
    case 10000: return QStringLiteral("Mac Roman");
    default: return QStringLiteral("code page %1").arg(cp);
    }
}

int codePageForCodeset(const char *codeset)
{
    QString name = QString::fromLatin1(codeset ? codeset : "").toUpper();
    name.remove(QLatin1Char('-'));
    name.remove(QLatin1Char('_'));
    if (name == QLatin1String("KOI8R"))
        return 20866;
    if (name == QLatin1String("KOI8U"))
        return 21866;
    bool ok = false;
    if (name.startsWith(QLatin1String("ISO8859"))) {
        const int part = name.mid(7).toInt(&ok);
        // The parts Windows gives a page number.
        if (ok && ((part >= 1 && part <= 9) || part == 13 || part == 15))
            return 28590 + part;
        return 0;
    }
    for (const char *prefix : {"CP", "WINDOWS"}) {
        if (!name.startsWith(QLatin1String(prefix)))
            continue;
        const int cp = name.mid(qsizetype(std::strlen(prefix))).toInt(&ok);
        if (ok && cp >= 1250 && cp <= 1258)
            return cp;
    }
    return 0;
}

int localeCodePage()
{
    const int cp = codePageForCodeset(nl_langinfo(CODESET));
    return cp ? cp : 1252;
}

} // namespace tl
