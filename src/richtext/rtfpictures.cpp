#include "richtext/rtfpictures.h"

#include <algorithm>

namespace tl::rtf {

namespace {

// Sizes stated in a picture or object, kept in range.
constexpr int kMaxTwips = 150000; // about 100 inches

int shownTwips(long long twips, int scale)
{
    return int(std::clamp(twips * std::clamp(scale, 1, 10000) / 100, 0LL, (long long)kMaxTwips));
}

} // namespace

void PictureReader::begin(const char *input, bool keepData)
{
    m_input = input;
    m_keepData = keepData;
    m_pict = {};
    m_object = {};
    m_bins.clear();
}

void PictureReader::startPicture(bool forObject, std::size_t start, std::size_t depth)
{
    m_pict = PictureRead{};
    m_pict.active = true;
    m_pict.forObject = forObject;
    m_pict.depth = depth;
    m_pict.start = start;
}

void PictureReader::startObject(std::size_t start, std::size_t depth)
{
    m_object = ObjectRead{};
    m_object.active = true;
    m_object.depth = depth;
    m_object.start = start;
}

void PictureReader::word(const Word &w, int n, bool inPicture)
{
    switch (w.kw) {
    case Kw::PicKind:
        if (m_pict.active && inPicture)
            m_pict.kind = static_cast<PicKind>(w.value);
        break;
    case Kw::PicW:
        if (m_pict.active)
            m_pict.picture.width = std::clamp(n, 0, 1 << 20);
        break;
    case Kw::PicH:
        if (m_pict.active)
            m_pict.picture.height = std::clamp(n, 0, 1 << 20);
        break;
    case Kw::PicWGoal:
        if (m_pict.active)
            m_pict.picture.goalWidth = std::clamp(n, 0, kMaxTwips);
        break;
    case Kw::PicHGoal:
        if (m_pict.active)
            m_pict.picture.goalHeight = std::clamp(n, 0, kMaxTwips);
        break;
    case Kw::PicScaleX:
        if (m_pict.active)
            m_pict.picture.scaleX = std::clamp(n, 1, 10000);
        break;
    case Kw::PicScaleY:
        if (m_pict.active)
            m_pict.picture.scaleY = std::clamp(n, 1, 10000);
        break;
    case Kw::ObjW:
        if (m_object.active)
            m_object.width = std::clamp(n, 0, kMaxTwips);
        break;
    case Kw::ObjH:
        if (m_object.active)
            m_object.height = std::clamp(n, 0, kMaxTwips);
        break;
    case Kw::ObjScaleX:
        if (m_object.active)
            m_object.scaleX = std::clamp(n, 1, 10000);
        break;
    case Kw::ObjScaleY:
        if (m_object.active)
            m_object.scaleY = std::clamp(n, 1, 10000);
        break;
    default:
        break;
    }
}

bool PictureReader::keepsPictureData() const
{
    return m_keepData
           && (m_pict.kind == PicKind::Unknown || m_pict.kind == PicKind::Png || m_pict.kind == PicKind::Jpeg);
}

void PictureReader::hex(const char *s, const char *e)
{
    if (!keepsPictureData())
        return;
    QByteArray &data = m_pict.picture.data;
    const qsizetype at = data.size();
    data.resize(at + (e - s) / 2 + 1);
    char *out = data.data() + at;
    int nibble = m_pict.nibble;
    for (; s < e; ++s) {
        const int v = kHex[static_cast<unsigned char>(*s)];
        if (v < 0)
            continue;
        if (nibble < 0) {
            nibble = v;
        } else {
            *out++ = static_cast<char>(nibble * 16 + v);
            nibble = -1;
        }
    }
    m_pict.nibble = nibble;
    data.truncate(out - data.data());
}

void PictureReader::bin(std::size_t start, std::size_t data, std::size_t end, bool inPicture)
{
    if (m_pict.active && inPicture && keepsPictureData()) {
        m_pict.picture.data.append(m_input + data, qsizetype(end - data));
        m_pict.nibble = -1;
    }
    if (m_pict.active || m_object.active)
        m_bins.push_back({start, data, end});
}

// A group from its first word (start) to its closing brace (end), safe to
// write back into RTF that must be pure ASCII: \bin data as hex, bytes
// above 127 as \'hh escapes, and control bytes other than tabs and line
// ends as an empty group, which like them ends a control word and adds
// nothing.
QByteArray PictureReader::copyOf(std::size_t start, std::size_t end) const
{
    static const char hex[] = "0123456789abcdef";
    QByteArray out;
    out.reserve(qsizetype(end - start) + 16);
    // Whatever came before the word in its group is not the picture's.
    out += '{';
    auto bin = std::lower_bound(m_bins.begin(), m_bins.end(), start,
                                [](const BinSpan &b, std::size_t at) { return b.word < at; });
    auto escaped = [&](unsigned char c) {
        out += "\\'";
        out += hex[c >> 4];
        out += hex[c & 15];
    };
    std::size_t i = start;
    while (i < end) {
        if (bin != m_bins.end() && bin->word == i) {
            out += ' ';
            for (std::size_t j = bin->data; j < bin->end; ++j) {
                const auto c = static_cast<unsigned char>(m_input[j]);
                out += hex[c >> 4];
                out += hex[c & 15];
            }
            i = bin->end;
            ++bin;
            continue;
        }
        const auto c = static_cast<unsigned char>(m_input[i++]);
        if (c == '\\' && i < end && !(bin != m_bins.end() && bin->word == i)) {
            // A control symbol stays whole; one on a high byte becomes the byte.
            const auto d = static_cast<unsigned char>(m_input[i]);
            if (d >= 0x80) {
                escaped(d);
            } else if (d >= 0x20 || d == '\r' || d == '\n' || d == '\t') {
                out += '\\';
                out += char(d);
            } else {
                out += "{}";
            }
            ++i;
        } else if (c >= 0x80) {
            escaped(c);
        } else if (c >= 0x20 || c == '\r' || c == '\n' || c == '\t') {
            out += char(c);
        } else {
            out += "{}";
        }
    }
    return out;
}


std::optional<Picture> PictureReader::endPicture(std::size_t end)
{
    m_pict.active = false;
    Picture p = std::move(m_pict.picture);
    const bool bitmap = m_pict.kind != PicKind::Metafile;
    auto natural = [&](int size) { return bitmap ? size * 15LL : size * 1440LL / 2540; };
    p.shownWidth = shownTwips(p.goalWidth > 0 ? p.goalWidth : natural(std::max(p.width, 0)), p.scaleX);
    p.shownHeight = shownTwips(p.goalHeight > 0 ? p.goalHeight : natural(std::max(p.height, 0)), p.scaleY);
    if (m_pict.kind == PicKind::Png || m_pict.kind == PicKind::Jpeg) {
        p.blip = m_pict.kind == PicKind::Png ? Picture::Blip::Png : Picture::Blip::Jpeg;
    } else {
        p.data.clear();
        if (!m_pict.forObject && m_keepData)
            p.source = copyOf(m_pict.start, end);
    }
    std::optional<Picture> shown;
    if (m_pict.forObject) {
        if (!m_object.hasResult) {
            m_object.result = std::move(p);
            m_object.hasResult = true;
        }
    } else {
        shown = std::move(p);
    }
    if (!m_object.active)
        m_bins.clear();
    return shown;
}

Picture PictureReader::endObject(std::size_t end)
{
    m_object.active = false;
    Picture p;
    if (m_object.hasResult) {
        p.blip = m_object.result.blip;
        p.data = std::move(m_object.result.data);
        p.shownWidth = m_object.result.shownWidth;
        p.shownHeight = m_object.result.shownHeight;
    }
    if (m_object.width > 0)
        p.shownWidth = shownTwips(m_object.width, m_object.scaleX);
    if (m_object.height > 0)
        p.shownHeight = shownTwips(m_object.height, m_object.scaleY);
    if (m_keepData)
        p.source = copyOf(m_object.start, end);
    m_object = ObjectRead{};
    m_bins.clear();
    return p;
}

} // namespace tl::rtf
