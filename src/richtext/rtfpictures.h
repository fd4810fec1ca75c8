#pragma once
// Pictures and embedded objects as the RTF reader reads them: a \pict
// group's data, hex or \bin, and the sizes it states; an \object group,
// shown as its result. What the editor can only keep (metafiles, device
// bitmaps, objects) is copied whole, to be written back as it was read.

#include "richtext/rtfkeywords.h"
#include "richtext/rtfreader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tl::rtf {

// The value of each byte as a hex digit, -1 for any other byte.
constexpr std::array<signed char, 256> makeHex()
{
    std::array<signed char, 256> t{};
    for (int c = 0; c < 256; ++c)
        t[c] = -1;
    for (int c = 0; c < 10; ++c)
        t['0' + c] = static_cast<signed char>(c);
    for (int c = 0; c < 6; ++c)
        t['a' + c] = t['A' + c] = static_cast<signed char>(10 + c);
    return t;
}
inline constexpr std::array<signed char, 256> kHex = makeHex();

// The kinds of picture, as the words for them give (Word::value).
enum class PicKind : std::uint8_t { Unknown, Png, Jpeg, Bitmap, Metafile };

// The picture and the object being read in one parse. Positions are
// offsets in the whole input; depths are the reader's group depths.
class PictureReader {
public:
    // A fresh parse of input. keepData: the sink wants what pictures hold
    // (Sink::wantsFormat).
    void begin(const char *input, bool keepData);

    bool pictureOpen() const { return m_pict.active; }
    bool objectOpen() const { return m_object.active; }
    // Whether the group that closes at depth is the picture's, the object's.
    bool endsPicture(std::size_t depth) const { return m_pict.active && depth == m_pict.depth; }
    bool endsObject(std::size_t depth) const { return m_object.active && depth == m_object.depth; }

    // A \pict group at depth whose word starts at start; forObject: the
    // result of the object being read.
    void startPicture(bool forObject, std::size_t start, std::size_t depth);
    void startObject(std::size_t start, std::size_t depth);
    // A word of the picture or the object: its kind, sizes and scales.
    // inPicture: read in the picture's own text, not in a group inside it.
    void word(const Word &w, int n, bool inPicture);
    // Hex digits of the picture's data; any other byte is passed over.
    void hex(const char *s, const char *e);
    // \bin in the picture or the object: the word at start, its raw bytes
    // from data to end.
    void bin(std::size_t start, std::size_t data, std::size_t end, bool inPicture);

    // The picture's group ends at end: the picture to show, or nothing for
    // an object's result, which the object shows.
    std::optional<Picture> endPicture(std::size_t end);
    // The object's group ends at end: what shows it.
    Picture endObject(std::size_t end);

private:
    // The picture being read; a picture inside an object is its result.
    struct PictureRead {
        bool active = false;
        bool forObject = false;
        std::size_t depth = 0;
        std::size_t start = 0;
        PicKind kind = PicKind::Unknown;
        int nibble = -1;
        Picture picture;
    };
    struct ObjectRead {
        bool active = false;
        std::size_t depth = 0;
        std::size_t start = 0;
        int width = 0, height = 0, scaleX = 100, scaleY = 100;
        bool hasResult = false;
        Picture result;
    };
    // \binN inside a group that is kept as it is: where the word starts,
    // where its bytes start and end.
    struct BinSpan {
        std::size_t word, data, end;
    };

    bool keepsPictureData() const;
    QByteArray copyOf(std::size_t start, std::size_t end) const;

    const char *m_input = nullptr;
    bool m_keepData = true;
    PictureRead m_pict;
    ObjectRead m_object;
    std::vector<BinSpan> m_bins;
};

} // namespace tl::rtf
