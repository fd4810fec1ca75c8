// Dressing the window: the built-in look, or a skin from the skin folder.

#include "app/TForm1.h"

#include "settings/settingstable.h"

void TForm1::LoadSkin(const QString &name)
{
    // Skins from the skin folder arrive with the skin loader; until then
    // every name gets the built-in look.
    Q_UNUSED(name);
    LoadSkinStd();
}

void TForm1::LoadSkinStd()
{
    SkinLoaded = false;
    LoadSetReg(QString());
    SetFromReg(tl::SettingsStore::q(tl::setting::CurrentSkin), tl::SettingsStore::q(tl::setting::NoSkin));
    FormResize();
}
