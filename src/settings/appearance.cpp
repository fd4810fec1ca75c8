#include "settings/appearance.h"

namespace tl::appearance {

static void write(const SettingsStore &store, const Default &d)
{
    const QString name = SettingsStore::q(d.name);
    if (d.type == setting::Type::String)
        store.SetFromReg(name, SettingsStore::q(d.text));
    else
        store.SetFromRegInt(name, qint32(quint32(d.number)));
}

void WriteDefault(const SettingsStore &store)
{
    if (!store.canOpen())
        return;
    for (const Default &d : firstRun)
        write(store, d);
    write(store, toolBarHover);
    store.SetFromReg(setting::ToolBarHStyle, QStringLiteral("false"));
}

bool firstRunCheck(const SettingsStore &store)
{
    if (!store.canOpen() || store.exists(setting::ToolBarHStyle))
        return false;
    // A hundred values: one write, not a synced write each.
    SettingsFile::Batch batch(store.file());
    WriteDefault(store);
    batch.finish();
    return true;
}

} // namespace tl::appearance
