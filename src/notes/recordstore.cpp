#include "notes/recordstore.h"

#include "notes/notesxml.h"
#include "crypto/sealedfile.h"
#include "platform/atomicfile.h"
#include "platform/error.h"
#include "platform/fileid.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <sodium.h>
#include <sys/mman.h>
#include <unistd.h>

namespace tl {

namespace {

const char *const kFieldNames[] = {"lastupdate", "authorname", "companyname",
                                   "comments", "realpath", "compresslevel"};

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

// What reads treat as a file at all: a folder put in its place is none.
bool isFile(const QString &path) { return QFileInfo(path).isFile(); }

// Counted by notes: ".nts" in any case, encrypted (".nts.age") too.
bool holdsNotes(const QString &path)
{
    const QString name = QFileInfo(path).fileName().toLower();
    return name.endsWith(QLatin1String(".nts")) || name.endsWith(QLatin1String(".nts.age"));
}

int elementCount(pugi::xml_node parent)
{
    int count = 0;
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_element)
            ++count;
    return count;
}

// Line ends as a reload would give them, so what we hold equals the file.
QString normalizedLineEnds(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

// A CR written as "&#13;" by another program loads as a CR, but the next
// save writes it raw and the load after that gives LF: the text is given as
// every later load will give it, so a save never changes a note unseen.
QString textOf(pugi::xml_node node)
{
    std::string text;
    for (pugi::xml_node n = node.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata)
            text += n.value();
    return normalizedLineEnds(QString::fromStdString(text));
}

using sync::storedForm;

// The notes element of a parsed file, compared as stored.
class ParsedNotes : public sync::NoteList {
public:
    explicit ParsedNotes(pugi::xml_node notes)
    {
        for (pugi::xml_node n = notes.first_child(); n; n = n.next_sibling())
            if (n.type() == pugi::node_element)
                m_notes.push_back(n);
    }
    int count() const override { return int(m_notes.size()); }
    bool holds(int index, QByteArrayView stored) const override
    {
        const pugi::xml_node note = m_notes[size_t(index)];
        const pugi::xml_node only = note.first_child();
        if (!only)
            return stored.isEmpty();
        if (!only.next_sibling() && only.type() == pugi::node_pcdata) {
            // Stops at the first byte that differs: most notes differ early.
            const char *value = only.value();
            const qsizetype n = stored.size();
            return (n == 0 || std::strncmp(value, stored.data(), size_t(n)) == 0) && value[n] == '\0';
        }
        return textOf(note).toUtf8() == stored;
    }
    pugi::xml_node at(int index) const { return m_notes[size_t(index)]; }

private:
    std::vector<pugi::xml_node> m_notes;
};

// False: setting text would change nothing in node.
bool setTextOf(pugi::xml_node node, const QString &text)
{
    const QByteArray stored = storedForm(text);
    const pugi::xml_node only = node.first_child();
    if (stored.isEmpty() ? !only
                         : only && !only.next_sibling() && only.type() == pugi::node_pcdata
                               && stored == only.value())
        return false;
    while (node.first_child())
        node.remove_child(node.first_child());
    if (!stored.isEmpty())
        node.append_child(pugi::node_pcdata).set_value(stored.constData());
    return true;
}

[[noreturn]] void indexError(int index)
{
    throw Error(QStringLiteral("List index out of bounds (%1)").arg(index));
}

// Streams the document straight into the new file, in large blocks.
class FileWriter : public pugi::xml_writer {
public:
    explicit FileWriter(AtomicFile &file) : m_file(file) { m_buffer.reserve(kBlock); }
    void write(const void *data, size_t size) override
    {
        if (m_buffer.size() + size > kBlock)
            flush();
        if (size >= kBlock)
            m_file.write(static_cast<const char *>(data), qsizetype(size));
        else
            m_buffer.append(static_cast<const char *>(data), size);
    }
    void flush()
    {
        m_file.write(m_buffer.data(), qsizetype(m_buffer.size()));
        m_buffer.clear();
    }

private:
    static constexpr size_t kBlock = 1 << 20;
    AtomicFile &m_file;
    std::string m_buffer;
};

// Gathers the document in memory for encrypting; wiped when done.
class MemoryWriter : public pugi::xml_writer {
public:
    explicit MemoryWriter(qsizetype expected) { m_bytes.reserve(expected + expected / 8 + 4096); }
    ~MemoryWriter() override
    {
        if (!m_bytes.isEmpty())
            sodium_memzero(m_bytes.data(), size_t(m_bytes.size()));
    }
    MemoryWriter(const MemoryWriter &) = delete;
    MemoryWriter &operator=(const MemoryWriter &) = delete;
    void write(const void *data, size_t size) override
    {
        // Grown by hand: a reallocation would leave a plain copy behind unwiped.
        if (m_bytes.size() + qsizetype(size) > m_bytes.capacity()) {
            QByteArray bigger;
            bigger.reserve((m_bytes.size() + qsizetype(size)) * 2);
            bigger.append(m_bytes);
            sodium_memzero(m_bytes.data(), size_t(m_bytes.size()));
            m_bytes.swap(bigger);
        }
        m_bytes.append(static_cast<const char *>(data), qsizetype(size));
    }
    qsizetype size() const { return m_bytes.size(); }
    QByteArrayView view() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

} // namespace

pugi::xml_node nthElement(pugi::xml_node parent, int index)
{
    if (index < 0)
        return {};
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_element && index-- == 0)
            return n;
    return {};
}

// A large buffer about to be filled from a file: on huge pages and faulted
// in with one call. Filled a small page at a time, a 50 MB file took a
// dozen thousand page faults, most of the time its opening took. Where the
// system offers neither, nothing changes.
static void prepareForFilling(void *buffer, size_t size)
{
    constexpr size_t kWorthIt = size_t(4) << 20;
    if (size < kWorthIt)
        return;
    const size_t page = size_t(::sysconf(_SC_PAGESIZE));
    const auto from = (reinterpret_cast<uintptr_t>(buffer) + page - 1) & ~(page - 1);
    const auto to = (reinterpret_cast<uintptr_t>(buffer) + size) & ~(page - 1);
    if (to <= from)
        return;
    void *start = reinterpret_cast<void *>(from);
    ::madvise(start, to - from, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
    ::madvise(start, to - from, MADV_POPULATE_WRITE);
#endif
}

void loadNotesDocument(pugi::xml_document &doc, const QString &path)
{
    doc.reset();
    // Read straight into a buffer the document takes over, so a large file
    // is held once, not twice, while it is parsed.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Cannot read \"%1\": %2").arg(shown(path), file.errorString()));
    const qint64 size = file.size();
    void *buffer = pugi::get_memory_allocation_function()(size_t(std::max<qint64>(size, 1)));
    if (!buffer)
        throw Error(QStringLiteral("Cannot read \"%1\": out of memory").arg(shown(path)));
    prepareForFilling(buffer, size_t(size));
    qint64 got = 0;
    while (got < size) {
        const qint64 n = file.read(static_cast<char *>(buffer) + got, size - got);
        if (n <= 0)
            break;
        got += n;
    }
    if (got != size) {
        pugi::get_memory_deallocation_function()(buffer);
        throw Error(QStringLiteral("Cannot read \"%1\": %2").arg(shown(path), file.errorString()));
    }
    qint64 plainSize = size;
    if (crypto::age::looksEncrypted(QByteArrayView(static_cast<const char *>(buffer), std::min<qint64>(size, 4096)))) {
        // The plain XML goes from locked memory straight into the document.
        const auto seal = crypto::keyring::sealFor(path);
        if (!seal) {
            pugi::get_memory_deallocation_function()(buffer);
            throw crypto::Locked(path);
        }
        crypto::SecureBytes plain;
        try {
            plain = seal->open(QByteArrayView(static_cast<const char *>(buffer), size));
        } catch (...) {
            pugi::get_memory_deallocation_function()(buffer);
            throw;
        }
        pugi::get_memory_deallocation_function()(buffer);
        plainSize = plain.size();
        buffer = pugi::get_memory_allocation_function()(size_t(std::max<qint64>(plainSize, 1)));
        if (!buffer)
            throw Error(QStringLiteral("Cannot read \"%1\": out of memory").arg(shown(path)));
        if (plainSize > 0)
            std::memcpy(buffer, plain.data(), size_t(plainSize));
    }
    const pugi::xml_parse_result result = doc.load_buffer_inplace_own(buffer, size_t(plainSize));
    if (!result) {
        doc.reset();
        throw Error(QStringLiteral("\"%1\" is not a well-formed notes file: %2 at byte %3")
                        .arg(shown(path), QString::fromUtf8(result.description()))
                        .arg(result.offset));
    }
    const pugi::xml_node root = doc.document_element();
    const char *missing = !root ? "root" : !nthElement(root, 0) ? "info" : !nthElement(root, 1) ? "notes" : nullptr;
    if (missing) {
        doc.reset();
        throw Error(QStringLiteral("\"%1\" is not a notes file: the element \"%2\" is missing")
                        .arg(shown(path), QString::fromLatin1(missing)));
    }
}

QString FastStringReplace(const QString &source, const QString &pattern, const QString &replacement)
{
    if (pattern.isEmpty())
        return source;
    auto asciiLower = [](QChar c) {
        const char16_t u = c.unicode();
        return (u >= 'A' && u <= 'Z') ? char16_t(u + 32) : u;
    };
    QString result;
    result.reserve(source.size());
    const qsizetype n = source.size(), m = pattern.size();
    qsizetype i = 0;
    while (i < n) {
        bool match = i + m <= n;
        for (qsizetype k = 0; match && k < m; ++k)
            match = asciiLower(source[i + k]) == asciiLower(pattern[k]);
        if (match) {
            result += replacement;
            i += m;
        } else {
            result += source[i++];
        }
    }
    return result;
}

int notesParamPosition(const QString &name)
{
    for (int i = 0; i < 6; ++i)
        if (name.compare(QLatin1String(kFieldNames[i]), Qt::CaseInsensitive) == 0)
            return i;
    return 0;
}

struct RecordStore::Impl {
    explicit Impl(NewFileSource fields) : newFileFields(std::move(fields)) {}

    // Loads path into MenuXML (or keeps it when the file is unchanged since
    // the last operation) and returns the notes element.
    pugi::xml_node loadNotes(const QString &path);
    pugi::xml_node infoField(int position);
    // Writes the document to path; on failure forgets it, since what we
    // hold no longer matches the file. Throws what the write threw.
    void save(const QString &path);
    void write(const QString &path);
    void close();
    void createNew(const QString &path);
    // Applies change to the trashed note which (root, its element) and
    // writes the file; false when the trash no longer holds it.
    bool changeTrashed(const QString &path, const TrashedNote &which,
                       const std::function<void(pugi::xml_node, pugi::xml_node)> &change);

    NewFileSource newFileFields;
    TrashLimits trashLimits;
    std::function<void(const QString &)> beforeWrite;
    pugi::xml_document MenuXML;
    QString cachedPath;  // the file MenuXML holds a kept copy of; empty when none
    KeptCopy cached;
    qsizetype lastPlainSize = 0;  // of the last encrypted save: the next one reserves as much
    QString writtenPath;  // the file this store wrote last, as it left it
    FileId writtenId;
};

RecordStore::RecordStore(NewFileSource newFileFields) : d(std::make_unique<Impl>(std::move(newFileFields))) {}
RecordStore::~RecordStore() = default;
RecordStore::RecordStore(RecordStore &&) noexcept = default;
RecordStore &RecordStore::operator=(RecordStore &&) noexcept = default;

void RecordStore::Impl::close()
{
    MenuXML.reset();
    cachedPath.clear();
    cached.drop();
}

pugi::xml_node RecordStore::Impl::loadNotes(const QString &path)
{
    // A parsed copy is reused by the rule of platform/fileid.h.
    const FileId id = fileIdOf(path);
    if (path != cachedPath || !id.isFile() || !cached.serves(id)) {
        close();
        loadNotesDocument(MenuXML, path);
        cached.afterRead(id, fileIdOf(path));
        if (id.isFile() && cached.isKept())
            cachedPath = path;
    }
    return nthElement(MenuXML.document_element(), 1);
}

pugi::xml_node RecordStore::Impl::infoField(int position)
{
    return nthElement(nthElement(MenuXML.document_element(), 0), position);
}

void RecordStore::Impl::save(const QString &path)
{
    try {
        write(path);
    } catch (...) {
        close();  // what we hold no longer matches the file
        throw;
    }
}

void RecordStore::Impl::write(const QString &path)
{
    cachedPath.clear();
    if (beforeWrite)
        beforeWrite(path);
    trash::prune(MenuXML.document_element(), trashLimits, QDateTime::currentDateTimeUtc());
    if (const auto seal = crypto::keyring::sealFor(path)) {
        // Only the encrypted file reaches the disk; the plain XML is wiped.
        MemoryWriter plain(lastPlainSize);
        MenuXML.save(plain, "  ", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
        lastPlainSize = plain.size();
        const QByteArray sealed = seal->seal(plain.view());
        AtomicFile file(path);
        file.write(sealed.constData(), sealed.size());
        file.commit();
    } else {
        AtomicFile file(path);
        FileWriter writer(file);
        MenuXML.save(writer, "  ", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
        writer.flush();
        file.commit();
    }
    const FileId written = fileIdOf(path);
    cached.afterWrite(written);
    if (written.isFile())
        cachedPath = path;
    writtenPath = cachedPath;
    writtenId = written;
}

void RecordStore::Impl::createNew(const QString &path)
{
    close();
    const NewFileFields fields = newFileFields ? newFileFields() : NewFileFields{};
    pugi::xml_node root = MenuXML.append_child("root");
    pugi::xml_node info = root.append_child("info");
    const QString values[] = {QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat),
                              fields.author, fields.company, QString(), QString(), QStringLiteral("0")};
    for (int i = 0; i < 6; ++i)
        setTextOf(info.append_child(kFieldNames[i]), values[i]);
    root.append_child("notes").append_child("note");
    save(path);
}

QString RecordStore::loadNote(int index, const QString &path, int *noteCount)
{
    if (noteCount)
        *noteCount = 0;
    if (!isFile(path))
        return {};
    pugi::xml_node notes = d->loadNotes(path);
    const int count = elementCount(notes);
    if (noteCount)
        *noteCount = count;
    const pugi::xml_node note = nthElement(notes, index);
    if (!note)
        indexError(index);
    return textOf(note);
}

void RecordStore::saveNote(int index, const QString &path, const QString &text)
{
    if (!QFileInfo::exists(path)) {
        d->createNew(path);
        return;
    }
    pugi::xml_node notes = d->loadNotes(path);
    const bool appended = elementCount(notes) == index;
    if (appended)
        notes.append_child("note");
    const pugi::xml_node note = nthElement(notes, index);
    if (!note) {
        d->close();
        indexError(index);
    }
    // An unchanged note leaves the file as it is: stepping through notes
    // rewrites nothing, and other readers of the file see no change.
    if (!setTextOf(note, text) && !appended)
        return;
    d->save(path);
}

bool RecordStore::removeNote(int index, const QString &path)
{
    if (!isFile(path))
        return false;
    pugi::xml_node notes = d->loadNotes(path);
    const pugi::xml_node note = nthElement(notes, index);
    if (!note)
        return false;
    trash::moveIn(d->MenuXML.document_element(), note, index, QDateTime::currentDateTimeUtc());
    d->save(path);
    return true;
}

int RecordStore::noteCount(const QString &path)
{
    if (!isFile(path))
        return 0;
    if (!holdsNotes(path))
        return 1;
    return elementCount(d->loadNotes(path));
}

QString RecordStore::param(const QString &path, const QString &name)
{
    if (!isFile(path))
        return {};
    d->loadNotes(path);
    QString value = textOf(d->infoField(notesParamPosition(name)));
    if (name == QLatin1String("CompressLevel") && value.isEmpty())
        value = QStringLiteral("0");
    return value;
}

void RecordStore::setParam(const QString &path, const QString &name, const QString &value)
{
    if (!isFile(path) || isReadOnlyFile(path))
        return;
    d->loadNotes(path);
    pugi::xml_node field = d->infoField(notesParamPosition(name));
    if (!field) {
        d->close();
        throw Error(QStringLiteral("\"%1\" is not a notes file: its information block has no field %2")
                        .arg(shown(path)).arg(notesParamPosition(name)));
    }
    setTextOf(field, value);
    d->save(path);
}

RecordStore::Stored RecordStore::storeShown(const QString &path, const sync::ShownNote &shown, const QString &text,
                                            bool edited)
{
    Stored result;
    if (!QFileInfo::exists(path)) {
        d->createNew(path);
        result.count = 1;
        result.written = true;
        return result;
    }
    pugi::xml_node notes = d->loadNotes(path);
    const ParsedNotes list(notes);
    const QByteArray ours = storedForm(text);
    result.plan = sync::planStore(list, shown, ours, edited);
    result.count = list.count();
    switch (result.plan.action) {
    case sync::Plan::Nothing:
        return result;
    case sync::Plan::Replace:
        setTextOf(list.at(result.plan.index), text);
        break;
    case sync::Plan::Insert: {
        pugi::xml_node note = result.plan.index < list.count() ? notes.insert_child_before("note", list.at(result.plan.index))
                                                               : notes.append_child("note");
        setTextOf(note, text);
        ++result.count;
        break;
    }
    }
    d->save(path);
    result.written = true;
    return result;
}

int RecordStore::locateShown(const QString &path, const sync::ShownNote &shown, int *count)
{
    if (count)
        *count = 0;
    if (!isFile(path))
        return -1;
    const ParsedNotes list(d->loadNotes(path));
    if (count)
        *count = list.count();
    return sync::locate(list, shown.index, shown.stored);
}

int RecordStore::replay(const QString &path, const std::vector<sync::PendingEdit> &edits)
{
    int keptBoth = 0;
    for (const sync::PendingEdit &edit : edits) {
        switch (edit.kind) {
        case sync::PendingEdit::Store:
            keptBoth += storeShown(path, edit.shown, edit.text, true).plan.action == sync::Plan::Insert;
            break;
        case sync::PendingEdit::Append:
            saveNote(elementCount(d->loadNotes(path)), path, QString());
            break;
        case sync::PendingEdit::Remove:
            if (const int at = locateShown(path, edit.shown); at >= 0)
                removeNote(at, path);
            break;
        case sync::PendingEdit::Restore:
            replayRestore(path, edit);
            break;
        case sync::PendingEdit::Discard:
            for (const TrashedNote &t : trashed(path))
                if (t.text == edit.text) {
                    discardTrashed(path, t);
                    break;
                }
            break;
        }
    }
    return keptBoth;
}

void RecordStore::forget()
{
    d->close();
}

void RecordStore::replayRestore(const QString &path, const sync::PendingEdit &edit)
{
    // The other side's file holds the note in its trash when ours reached it
    // before it was restored here; otherwise it comes back as restored.
    for (const TrashedNote &t : trashed(path))
        if (t.text == edit.text) {
            restoreTrashed(path, t);
            return;
        }
    pugi::xml_node notes = d->loadNotes(path);
    const pugi::xml_node at = nthElement(notes, edit.shown.index);
    setTextOf(at ? notes.insert_child_before("note", at) : notes.append_child("note"), edit.text);
    d->save(path);
}

std::vector<TrashedNote> RecordStore::trashed(const QString &path)
{
    if (!isFile(path))
        return {};
    d->loadNotes(path);
    return trash::list(d->MenuXML.document_element());
}

bool RecordStore::Impl::changeTrashed(const QString &path, const TrashedNote &which,
                                      const std::function<void(pugi::xml_node, pugi::xml_node)> &change)
{
    if (!isFile(path))
        return false;
    loadNotes(path);
    pugi::xml_node root = MenuXML.document_element();
    const pugi::xml_node found = trash::find(root, which);
    if (!found)
        return false;
    change(root, found);
    save(path);
    return true;
}

int RecordStore::restoreTrashed(const QString &path, const TrashedNote &which)
{
    int index = -1;
    d->changeTrashed(path, which, [&](pugi::xml_node root, pugi::xml_node found) { index = trash::restore(root, found); });
    return index;
}

bool RecordStore::discardTrashed(const QString &path, const TrashedNote &which)
{
    return d->changeTrashed(path, which, [](pugi::xml_node root, pugi::xml_node found) { trash::discard(root, found); });
}

bool RecordStore::emptyTrash(const QString &path)
{
    if (!isFile(path))
        return false;
    d->loadNotes(path);
    pugi::xml_node root = d->MenuXML.document_element();
    const pugi::xml_node trash = trashElement(root);
    if (!trash)
        return false;
    root.remove_child(trash);
    d->save(path);
    return true;
}

void RecordStore::setTrashLimits(const TrashLimits &limits)
{
    d->trashLimits = limits;
}

void RecordStore::setBeforeWrite(std::function<void(const QString &)> beforeWrite)
{
    d->beforeWrite = std::move(beforeWrite);
}

bool RecordStore::isAsLastWritten(const QString &path) const
{
    FileId id;
    return !d->writtenPath.isEmpty() && path == d->writtenPath && fileIdOf(path, &id) && id == d->writtenId;
}

} // namespace tl
