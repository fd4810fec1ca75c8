#include "editor/findwalk.h"

#include "notes/notesxml.h"

#include "platform/error.h"
#include "platform/fileid.h"
#include "richtext/rtfdocument.h"
#include "richtext/rtfreader.h"

#include <QDir>
#include <QFile>
#include <pugixml.hpp>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tl::find {

int FindNthOccurrence(QStringView needle, QStringView haystack, int n)
{
    if (n <= 0 || needle.isEmpty())
        return 0;
    qsizetype from = 0;
    for (int j = 1;; ++j) {
        const qsizetype at = haystack.indexOf(needle, from);
        if (at < 0)
            return 0;
        if (j == n)
            return int(at + 1);
        from = at + 1;  // overlapping occurrences count
    }
}

void asciiLowerInPlace(QString &text)
{
    // Only touch the string (and so detach it) when there is something to map.
    const QChar *begin = text.constData();
    const QChar *end = begin + text.size();
    const char16_t *units = reinterpret_cast<const char16_t *>(begin);
    const std::size_t n = std::size_t(end - begin);
    std::size_t first = 0;
    while (first < n && char16_t(units[first] - u'A') >= 26)
        ++first;
    if (first == n)
        return;
    char16_t *p = reinterpret_cast<char16_t *>(text.data());
    std::size_t i = first;
#if defined(__SSE2__)
    // Eight units at a time: every note of a search goes through here.
    const __m128i a = _mm_set1_epi16(short('A')), span = _mm_set1_epi16(25), bit = _mm_set1_epi16(32);
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        // v - 'A' <= 25 unsigned: the saturating subtraction leaves zero.
        const __m128i upper = _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(v, a), span), _mm_setzero_si128());
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p + i), _mm_add_epi16(v, _mm_and_si128(upper, bit)));
    }
#endif
    for (; i < n; ++i)
        if (char16_t(p[i] - u'A') < 26)
            p[i] = char16_t(p[i] + 32);
}

QString asciiLower(QStringView text)
{
    QString s = text.toString();
    asciiLowerInPlace(s);
    return s;
}

void SearchCounters::reset(int notes)
{
    m_counts.assign(size_t(std::max(notes, 0)), 1);
}

void SearchCounters::follow(int from, int to, int notes)
{
    if (m_counts.empty())
        return;
    const int kept = from >= 0 && size_t(from) < m_counts.size() ? m_counts[size_t(from)] : 1;
    reset(notes);
    if (to >= 0 && to < notes)
        m_counts[size_t(to)] = kept;
}

int &SearchCounters::operator[](int note)
{
    if (note < 0)
        throw Error(QStringLiteral("List index out of bounds (%1)").arg(note));
    if (size_t(note) >= m_counts.size())
        m_counts.resize(size_t(note) + 1, 1);
    return m_counts[size_t(note)];
}

namespace {

// Eight bytes at a time, without an early exit: stored notes are nearly
// always all ASCII anyway.
bool isAscii(std::string_view bytes)
{
    std::uint64_t bits = 0;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, bytes.data() + i, 8);
        bits |= w;
    }
    for (; i < bytes.size(); ++i)
        bits |= static_cast<unsigned char>(bytes[i]);
    return (bits & 0x8080808080808080ull) == 0;
}

} // namespace

QString notePlainText(const char *utf8, size_t size)
{
    const std::string_view bytes(utf8, size);
    if (!rtf::looksLikeRtf(bytes))
        return QString::fromUtf8(utf8, qsizetype(size));
    // Stored RTF is ASCII as the writer makes it; only other text needs the
    // reader's byte form.
    if (isAscii(bytes))
        return rtf::toPlainText(bytes);
    const QByteArray converted = rtf::rtfBytes(QString::fromUtf8(utf8, qsizetype(size)));
    return rtf::toPlainText(std::string_view(converted.constData(), size_t(converted.size())));
}

struct NotesFileTexts::Impl {
    pugi::xml_document doc;
    std::vector<pugi::xml_node> notes;
};

NotesFileTexts::NotesFileTexts(const QString &path) : d(std::make_unique<Impl>())
{
    loadNotesDocument(d->doc, path);
    const pugi::xml_node notes = nthElement(d->doc.document_element(), 1);
    for (pugi::xml_node n = notes.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_element)
            d->notes.push_back(n);
}

NotesFileTexts::~NotesFileTexts() = default;

int NotesFileTexts::count() const { return int(d->notes.size()); }

QString NotesFileTexts::plainText(int note) const
{
    const pugi::xml_node node = d->notes.at(size_t(note));
    // One text child is the rule; gather them all should a file split it.
    const pugi::xml_node only = node.first_child();
    if (only && !only.next_sibling() && (only.type() == pugi::node_pcdata || only.type() == pugi::node_cdata)) {
        const char *v = only.value();
        return notePlainText(v, std::strlen(v));
    }
    std::string text;
    for (pugi::xml_node n = node.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
            text += n.value();
    return notePlainText(text.data(), text.size());
}

QString NoteTexts::foldedText(int note) const
{
    QString text = plainText(note);
    asciiLowerInPlace(text);
    return text;
}

struct NotesTextCache::Impl {
    QString path;  // empty: nothing kept
    KeptCopy version;
    std::vector<std::optional<QString>> folded;
};

// One step's view: kept texts from memory, the rest from one reading of the
// file, which stays open only for the step.
class NotesTextCache::Step : public NoteTexts {
public:
    Step(Impl &cache, const QString &path, const FileId &id, bool kept)
        : m_cache(cache), m_path(path), m_id(id), m_kept(kept)
    {
        if (!m_kept)
            read();
    }
    int count() const override { return m_file ? m_file->count() : int(m_cache.folded.size()); }
    QString plainText(int note) const override
    {
        ensureRead();
        return m_file->plainText(note);
    }
    QString foldedText(int note) const override
    {
        if (m_kept && size_t(note) < m_cache.folded.size() && m_cache.folded[size_t(note)])
            return *m_cache.folded[size_t(note)];
        ensureRead();
        if (note < 0 || note >= m_file->count())
            return QString();
        QString text = m_file->plainText(note);
        asciiLowerInPlace(text);
        if (m_kept)
            m_cache.folded[size_t(note)] = text;
        return text;
    }

private:
    void ensureRead() const
    {
        if (!m_file)
            const_cast<Step *>(this)->read();
    }
    // Reads the file; what is kept from now on belongs to this version of
    // it, or nothing is kept when the rule of platform/fileid.h says no.
    void read()
    {
        m_file = std::make_unique<NotesFileTexts>(m_path);
        const FileId after = fileIdOf(m_path);
        if (m_kept && after == m_id && size_t(m_file->count()) == m_cache.folded.size())
            return;
        m_cache.version.afterRead(m_id, after);
        m_kept = m_id.isFile() && m_cache.version.isKept();
        m_cache.folded.assign(m_kept ? size_t(m_file->count()) : 0, std::nullopt);
        m_cache.path = m_kept ? m_path : QString();
    }

    Impl &m_cache;
    QString m_path;
    FileId m_id;  // the look that chose between the cache and the file
    bool m_kept;  // served from and added to the cache
    std::unique_ptr<NotesFileTexts> m_file;
};

NotesTextCache::NotesTextCache() : d(std::make_unique<Impl>()) {}
NotesTextCache::~NotesTextCache() = default;

void NotesTextCache::clear()
{
    d->path.clear();
    d->version.drop();
    d->folded.clear();
}

std::unique_ptr<NoteTexts> NotesTextCache::texts(const QString &path)
{
    const FileId id = fileIdOf(path);
    const bool kept = id.isFile() && !d->path.isEmpty() && d->path == path && d->version.serves(id);
    if (!kept)
        clear();
    return std::make_unique<Step>(*d, path, id, kept);
}

Hit searchWalk(const QString &text, int startNote, SearchCounters &counters, const NoteTexts &notes)
{
    Hit hit;
    const QString needle = asciiLower(text);
    // Back over notes that ran out of occurrences, never before the first.
    int s = std::max(startNote, 1);
    while (counters[s - 1] == 0) {
        counters[s - 1] = 1;
        if (s == 1)
            break;
        --s;
    }
    const int n = notes.count();
    for (int i = s; i <= n; ++i) {
        const QString plain = notes.foldedText(i - 1);
        const int p = FindNthOccurrence(needle, plain, counters[i - 1]);
        if (p > 0) {
            hit.position = p;
            hit.note = i - 1;
            return hit;
        }
        if (i == n)
            hit.missedInLast = true;
        --counters[i - 1];
    }
    return hit;
}

} // namespace tl::find
