#pragma once
// The program's settings: named strings and integers in one per-user store.
// Each operation opens the store, does its one read or write and closes it.

#include "platform/settingsfile.h"

#include <QString>
#include <string_view>

namespace tl {

class SettingsStore {
public:
    // The store in the user's settings folder ($XDG_CONFIG_HOME/Tessaleaf).
    SettingsStore();
    explicit SettingsStore(const QString &file);

    // The string value; an absent value with a stored default writes and
    // returns that default, any other absent value gives "". Throws
    // "Invalid data type for '%s'" for an integer value.
    QString GetFromReg(const QString &name) const;
    // The integer value, 0 when absent. Throws for a string value.
    qint32 GetFromRegInt(const QString &name) const;
    // Throw "Failed to set data for '%s'" when the write fails.
    void SetFromReg(const QString &name, const QString &value) const;
    void SetFromRegInt(const QString &name, qint32 value) const;

    bool exists(const QString &name) const;
    bool canOpen() const;

    // A switch is on when its string is exactly "true": "True", "TRUE" and
    // an absent value are off.
    bool isOn(const QString &name) const { return GetFromReg(name) == QLatin1String("true"); }

    QString GetFromReg(std::string_view name) const { return GetFromReg(q(name)); }
    qint32 GetFromRegInt(std::string_view name) const { return GetFromRegInt(q(name)); }
    void SetFromReg(std::string_view name, const QString &value) const { SetFromReg(q(name), value); }
    void SetFromRegInt(std::string_view name, qint32 value) const { SetFromRegInt(q(name), value); }
    bool exists(std::string_view name) const { return exists(q(name)); }
    bool isOn(std::string_view name) const { return isOn(q(name)); }

    const QString &path() const { return m_file.path(); }
    const SettingsFile &file() const { return m_file; }

    static QString q(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

private:
    SettingsFile m_file;
};

} // namespace tl
