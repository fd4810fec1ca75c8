#pragma once
// A small typed settings file standing in for one registry key: named string
// and 32-bit integer values, names compared without regard to case and kept
// in the case they were first written in. Every call looks at the file, and
// every write replaces it atomically. The parsed content is reused by the
// rule of platform/fileid.h, so another program's change is seen at the next
// call.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace tl {

struct SettingValue {
    enum class Type { String, Integer };
    Type type = Type::String;
    QString text;       // Type::String
    qint32 number = 0;  // Type::Integer
};

class SettingsFile {
public:
    // path is the file itself; its folder is created on first use.
    explicit SettingsFile(QString path);

    const QString &path() const { return m_path; }

    // False when the folder cannot be created or the file cannot be read:
    // the key "cannot be opened".
    bool canOpen() const;

    // Absent values and an unopenable key give nothing.
    std::optional<SettingValue> value(const QString &name) const;
    bool exists(const QString &name) const { return value(name).has_value(); }

    // Throw tl::Error "Failed to set data for '%s'" when the file cannot be
    // written; do nothing when the key cannot be opened.
    void setString(const QString &name, const QString &text) const;
    void setInteger(const QString &name, qint32 number) const;

    // A file that cannot be parsed is moved aside under a dated name and the
    // store starts empty; each such event leaves one message here, to be
    // shown to the user once.
    static QStringList takeNotices();

    // Writes made through any SettingsFile of the same path while a batch is
    // open reach the disk once, when the batch finishes, instead of one
    // synced write each. Reads in between see them.
    class Batch {
    public:
        explicit Batch(const SettingsFile &file);
        // Writes what is still pending; a failure here is dropped, so call
        // finish() where it must be reported.
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;
        // Throws "Failed to set data for '%s'" naming the last value set.
        void finish();

    private:
        QString m_path;
        bool m_open = true;
    };

    struct Entry {
        QString name;
        SettingValue value;
    };
    // Parsing and writing of the file format, exposed for tests.
    static std::optional<std::vector<Entry>> parse(const QByteArray &data, int *badLine = nullptr);
    static QByteArray serialize(const std::vector<Entry> &entries);

    struct Content;

private:
    // The entries as they are on disk; nullptr when the key cannot be opened.
    Content *load() const;
    void store(const QString &name, const SettingValue &value) const;

    QString m_path;
};

} // namespace tl
