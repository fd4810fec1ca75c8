#include "settings/settingsstore.h"

#include "platform/error.h"
#include "platform/paths.h"

namespace tl {

SettingsStore::SettingsStore() : m_file(paths::settingsFile()) {}

SettingsStore::SettingsStore(const QString &file) : m_file(file) {}

static Error wrongType(const QString &name)
{
    return Error(QStringLiteral("Invalid data type for '%1'").arg(name));
}

// The declaration of exactly this name with this type, or nullptr.
static const setting::Def *declared(const QString &name, setting::Type type)
{
    const QByteArray utf8 = name.toUtf8();
    const setting::Def *def = setting::find(std::string_view(utf8.constData(), size_t(utf8.size())));
    return def && def->type == type ? def : nullptr;
}

QString SettingsStore::GetFromReg(setting::Text key) const
{
    const QString name = nameOf(key);
    if (const auto v = m_file.value(name)) {
        if (v->type != SettingValue::Type::String)
            throw wrongType(name);
        return v->text;
    }
    if ((key.absent().empty() && !key.stored()) || !m_file.canOpen())
        return {};
    const QString value = q(key.absent());
    if (key.stored())
        SetFromReg(name, value);
    return value;
}

qint32 SettingsStore::GetFromRegInt(setting::Number key) const
{
    const QString name = nameOf(key);
    if (const auto v = m_file.value(name)) {
        if (v->type != SettingValue::Type::Integer)
            throw wrongType(name);
        return v->number;
    }
    const qint32 value = setting::toInteger(key.absent());
    if ((value == 0 && !key.stored()) || !m_file.canOpen())
        return 0;
    if (key.stored())
        SetFromRegInt(name, value);
    return value;
}

QString SettingsStore::GetFromReg(const QString &name) const
{
    if (const setting::Def *def = declared(name, setting::Type::String))
        return GetFromReg(setting::Text(*def, false));
    if (const auto v = m_file.value(name)) {
        if (v->type != SettingValue::Type::String)
            throw wrongType(name);
        return v->text;
    }
    return {};
}

qint32 SettingsStore::GetFromRegInt(const QString &name) const
{
    if (const setting::Def *def = declared(name, setting::Type::Integer))
        return GetFromRegInt(setting::Number(*def, false));
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
