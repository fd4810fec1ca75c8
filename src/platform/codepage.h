#pragma once
// Windows code pages, for RTF text, language files and plain-text documents
// in a single-byte encoding: byte to UTF-16 tables built once per code page
// from iconv.

#include <cstdint>
#include <vector>

namespace tl {

class CodePage {
public:
    // The table for a Windows code page; 0 and unknown pages give 1252.
    static const CodePage &get(int codePage);

    int number() const { return m_number; }
    bool isDoubleByte() const { return !m_pairs.empty(); }
    bool isLeadByte(std::uint8_t b) const { return m_lead[b]; }
    char16_t single(std::uint8_t b) const { return m_single[b]; }
    // A lead byte and its trail byte; U+FFFD where the pair maps to nothing.
    char16_t pair(std::uint8_t lead, std::uint8_t trail) const
    {
        return m_pairs[(lead - 0x80) * 256 + trail];
    }

    // The byte for c in this single-byte page, or -1.
    int encode(char16_t c) const;

private:
    explicit CodePage(int number);
    int m_number;
    char16_t m_single[256];
    bool m_lead[256];
    std::vector<char16_t> m_pairs; // lead bytes 0x80..0xFF x 256 trail bytes
    std::vector<std::pair<char16_t, std::uint8_t>> m_reverse; // sorted, bytes >= 0x80
};

// The code page a font's \fcharset implies; 0 for "the document's".
int codePageForCharset(int charset);

} // namespace tl
