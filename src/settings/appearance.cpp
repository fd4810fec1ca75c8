#include "settings/appearance.h"

namespace tl::appearance {

void WriteDefault(const SettingsStore &store)
{
    if (!store.canOpen())
        return;
    for (int e = 0; e < kElements; ++e) {
        for (int p = 0; p < kProperties; ++p) {
            const Value *v = find(Element(e), Property(p));
            if (!v || !v->hasDefault)
                continue;
            if (typeOf(v->property) == setting::Type::String)
                store.SetFromReg(keyOf<setting::Type::String>(*v, {}), SettingsStore::q(v->text));
            else
                store.SetFromRegInt(keyOf<setting::Type::Integer>(*v, {}), qint32(quint32(v->number)));
        }
    }
    store.SetFromReg(setting::ToolBarHStyle, QStringLiteral("false"));
}

bool isSkinSuffix(const QString &suffix)
{
    Q_ASSERT(suffix.isEmpty() || suffix.compare(SettingsStore::q(SkinSuffix), Qt::CaseInsensitive) == 0);
    return !suffix.isEmpty();
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
