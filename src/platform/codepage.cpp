#include "platform/codepage.h"

#include <algorithm>
#include <cstring>
#include <iconv.h>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace tl {

namespace {

std::string iconvName(int cp)
{
    if (cp > 28590 && cp <= 28605) // the ISO 8859 parts
        return "ISO-8859-" + std::to_string(cp - 28590);
    switch (cp) {
    case 10000: return "MACINTOSH";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 1361: return "JOHAB";
    default: return "CP" + std::to_string(cp);
    }
}

// Converts one byte sequence to a single UTF-16 unit; 0 when iconv refuses.
char16_t convert(iconv_t cd, const unsigned char *bytes, size_t len)
{
    char16_t out[4] = {};
    char *in = reinterpret_cast<char *>(const_cast<unsigned char *>(bytes));
    char *o = reinterpret_cast<char *>(out);
    size_t inLeft = len, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &in, &inLeft, &o, &outLeft) == size_t(-1) || inLeft != 0)
        return 0;
    // Pages with combining marks (1255, 1258) hold a base letter back.
    if (iconv(cd, nullptr, nullptr, &o, &outLeft) == size_t(-1))
        return 0;
    if (sizeof out - outLeft != 2) // nothing, or outside the BMP
        return 0;
    return out[0];
}

bool knownDoubleByte(int cp)
{
    return cp == 932 || cp == 936 || cp == 949 || cp == 950 || cp == 1361;
}

} // namespace

CodePage::CodePage(int number) : m_number(number)
{
    for (int b = 0; b < 256; ++b) {
        m_single[b] = char16_t(b);
        m_lead[b] = false;
    }
    iconv_t cd = iconv_open("UTF-16LE", iconvName(number).c_str());
    if (cd == iconv_t(-1)) {
        m_number = 0; // caller falls back
        return;
    }
    const bool dbcs = knownDoubleByte(number);
    for (int b = 0x80; b < 256; ++b) {
        unsigned char byte = static_cast<unsigned char>(b);
        char16_t c = convert(cd, &byte, 1);
        if (c) {
            m_single[b] = c;
        } else if (dbcs) {
            m_lead[b] = true;
            m_single[b] = u'\uFFFD';
        }
        // An undefined byte of a single-byte page keeps its value, as Windows does.
    }
    if (dbcs) {
        m_pairs.assign(128 * 256, u'\uFFFD');
        for (int lead = 0x80; lead < 256; ++lead) {
            if (!m_lead[lead])
                continue;
            for (int trail = 0x40; trail < 256; ++trail) {
                unsigned char two[2] = {static_cast<unsigned char>(lead),
                                        static_cast<unsigned char>(trail)};
                if (char16_t c = convert(cd, two, 2))
                    m_pairs[(lead - 0x80) * 256 + trail] = c;
            }
        }
    } else {
        for (int b = 0x80; b < 256; ++b)
            m_reverse.emplace_back(m_single[b], static_cast<std::uint8_t>(b));
        std::sort(m_reverse.begin(), m_reverse.end());
    }
    iconv_close(cd);
}

int CodePage::encode(char16_t c) const
{
    if (c < 0x80)
        return c;
    auto it = std::lower_bound(m_reverse.begin(), m_reverse.end(),
                               std::pair<char16_t, std::uint8_t>(c, 0));
    if (it != m_reverse.end() && it->first == c)
        return it->second;
    return -1;
}

const CodePage &CodePage::get(int codePage)
{
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<CodePage>> pages;
    std::lock_guard lock(mutex);
    if (codePage <= 0 || codePage > 65535)
        codePage = 1252;
    auto it = pages.find(codePage);
    if (it != pages.end())
        return *it->second;
    std::unique_ptr<CodePage> page(new CodePage(codePage));
    if (page->m_number == 0) // unknown to iconv
        page.reset(new CodePage(1252));
    return *(pages[codePage] = std::move(page));
}

int codePageForCharset(int charset)
{
    switch (charset) {
    case 0: return 1252;
    case 2: return 1252; // symbol fonts: keep the bytes
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
    }
}

} // namespace tl
