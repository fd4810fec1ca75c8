#pragma once
// The program's settings: named strings and integers in one per-user store
// (platform/settingsfile.h), read and written by the keys of the settings
// table (settings/settingstable.h). Each operation does its one read or write
// on the file as it is on disk.

#include "platform/settingsfile.h"
#include "settings/settingstable.h"

#include <QString>
#include <string_view>

namespace tl {

class SettingsStore {
public:
    // The store in the user's settings folder ($XDG_CONFIG_HOME/Tessaleaf).
    SettingsStore();
    explicit SettingsStore(const QString &file);

    // The string value. An absent value gives the declared default, and a
    // default marked stored is written too; a store that cannot be opened
    // gives "". Throws "Invalid data type for '%s'" for an integer value.
    QString GetFromReg(setting::Text key) const;
    // The integer value; absent, the declared default; a store that cannot
    // be opened gives 0. Throws for a string value.
    qint32 GetFromRegInt(setting::Number key) const;
    // Throw "Failed to set data for '%s'" when the write fails.
    void SetFromReg(setting::Text key, const QString &value) const { SetFromReg(nameOf(key), value); }
    void SetFromRegInt(setting::Number key, qint32 value) const { SetFromRegInt(nameOf(key), value); }
    template <setting::Type T>
    bool exists(setting::Key<T> key) const { return exists(nameOf(key)); }

    // A switch is on when its string is exactly "true": "True", "TRUE" and
    // an absent value are off.
    bool isOn(setting::Text key) const { return GetFromReg(key) == QLatin1String("true"); }

    // The same by the name as stored, compared without regard to case, for
    // tests; the program names a setting by its key. Only the exact spelling
    // of a declared name brings its default; any other absent value gives ""
    // or 0.
    QString GetFromReg(const QString &name) const;
    qint32 GetFromRegInt(const QString &name) const;
    void SetFromReg(const QString &name, const QString &value) const;
    void SetFromRegInt(const QString &name, qint32 value) const;
    bool exists(const QString &name) const;
    bool isOn(const QString &name) const { return GetFromReg(name) == QLatin1String("true"); }

    bool canOpen() const;

    const QString &path() const { return m_file.path(); }
    const SettingsFile &file() const { return m_file; }

    // The name a key is stored under: its declared name, with the set's
    // suffix in the skin's appearance set.
    template <setting::Type T>
    static QString nameOf(setting::Key<T> key)
    {
        return key.skinSet() ? q(key.name()) + q(setting::SkinSuffix) : q(key.name());
    }

    static QString q(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }
    template <setting::Type T>
    static QString q(setting::Key<T> key) { return nameOf(key); }

private:
    SettingsFile m_file;
};

} // namespace tl
