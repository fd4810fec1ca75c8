#include "settings/settingsstore.h"

#include "platform/error.h"
#include "platform/paths.h"
#include "settings/settingstable.h"

namespace tl {

SettingsStore::SettingsStore() : m_file(paths::settingsFile()) {}

SettingsStore::SettingsStore(const QString &file) : m_file(file) {}

static Error wrongType(const QString &name)
{
    return Error(QStringLiteral("Invalid data type for '%1'").arg(name));
}

QString SettingsStore::GetFromReg(const QString &name) const
{
    if (const auto v = m_file.value(name)) {
        if (v->type != SettingValue::Type::String)
            throw wrongType(name);
        return v->text;
    }
    // Only the exact spelling brings a stored default.
    const QByteArray utf8 = name.toUtf8();
    const setting::Def *def = setting::find(std::string_view(utf8.constData(), size_t(utf8.size())));
    if (!def || !def->stored || !m_file.canOpen())
        return {};
    const QString value = q(def->absent);
    SetFromReg(name, value);
    return value;
}

qint32 SettingsStore::GetFromRegInt(const QString &name) const
{
    const auto v = m_file.value(name);
    if (!v)
        return 0;
    if (v->type != SettingValue::Type::Integer)
        throw wrongType(name);
    return v->number;
}

void SettingsStore::SetFromReg(const QString &name, const QString &value) const
{
    m_file.setString(name, value);
}

void SettingsStore::SetFromRegInt(const QString &name, qint32 value) const
{
    m_file.setInteger(name, value);
}

bool SettingsStore::exists(const QString &name) const
{
    return m_file.exists(name);
}

bool SettingsStore::canOpen() const
{
    return m_file.canOpen();
}

} // namespace tl
