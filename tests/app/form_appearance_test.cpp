#include "controls/flatbutton.h"
#include "formfixture.h"
#include "platform/error.h"
#include "platform/settingsfile.h"

#include <QGuiApplication>

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QTextEdit>

namespace {

// Every appearance value of the store, by name, as written in the file.
std::map<QString, QString> appearanceValues(const QString &settingsPath)
{
    std::map<QString, QString> out;
    const auto entries = tl::SettingsFile::parse(tltest::readFile(settingsPath));
    for (const auto &e : *entries) {
        if (e.name == QLatin1String("CurrentSkin"))
            continue;
        out[e.name] = e.value.type == tl::SettingValue::Type::String ? QStringLiteral("s:") + e.value.text
                                                                     : QStringLiteral("i:%1").arg(e.value.number);
    }
    return out;
}

} // namespace

TEST_F(FormTest, LoadSetRegAppliesTheBuiltInSetToTheControls)
{
    TForm1 &f = start();
    f.LoadSkinStd();  // the framed look applies the set without suffix
    EXPECT_EQ(f.memo1->font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(f.memo1->font().pointSize(), 10);
    EXPECT_EQ(f.Panel1->font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(f.Panel1->palette().color(QPalette::Window), QColor(219, 216, 209));
    EXPECT_EQ(f.panToolBar->palette().color(QPalette::Window), QColor(219, 216, 209));
    EXPECT_EQ(f.panFormat->palette().color(QPalette::Window), QColor(219, 216, 209));
    EXPECT_EQ(f.cbSeek->palette().color(QPalette::Base), QColor(255, 255, 255));
    EXPECT_EQ(f.lblSearch->font().pointSize(), 7);
    EXPECT_EQ(f.cmdSearch->hoverLook().back, 0xD2BDB6u);
    EXPECT_EQ(f.cmdSearchAgain->normalLook().back, 0xD1D8DBu);
    // A system colour shows as the palette's colour of that role.
    EXPECT_EQ(f.memo1->palette().color(QPalette::Base), QGuiApplication::palette().color(QPalette::Base));
}

TEST_F(FormTest, SaveThenLoadLeavesEveryValueAsItWas)
{
    TForm1 &f = start();
    f.LoadSkinStd();  // the framed look applies the set without suffix
    settings().SetFromReg(QStringLiteral("SearchBarHStyleButtonSkin"), QStringLiteral("true"));
    f.SaveSetReg(QStringLiteral("Skin"));
    const auto saved = appearanceValues(settingsPath);
    EXPECT_EQ(saved.at(QStringLiteral("EditorBackGrdSkin")), QStringLiteral("i:%1").arg(qint32(0x80000005u)));
    EXPECT_EQ(saved.at(QStringLiteral("SearchBarHStyleButtonSkin")), QStringLiteral("s:false"));
    f.LoadSetReg(QStringLiteral("Skin"));
    f.SaveSetReg(QStringLiteral("Skin"));
    EXPECT_EQ(appearanceValues(settingsPath), saved);
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("CurrentSkin")), QStringLiteral("<none>"));
}

TEST_F(FormTest, StylesFollowTheirOwnRules)
{
    TForm1 &f = start();
    const tl::SettingsStore s = settings();
    // The editor's style only ever adds bold.
    QFont bold = f.memo1->font();
    bold.setBold(true);
    f.memo1->setFont(bold);
    s.SetFromReg(QStringLiteral("EditorStyle"), QStringLiteral("false"));
    f.LoadSetReg(QString());
    EXPECT_TRUE(f.memo1->font().bold());
    // The find bar's styles apply stored or not: absent means regular.
    s.SetFromReg(QStringLiteral("SearchBarNStyleButton"), QStringLiteral("true"));
    f.LoadSetReg(QString());
    EXPECT_TRUE(f.cmdSearchBack->normalLook().font.bold());
    EXPECT_FALSE(f.cmdSearchBack->hoverLook().font.bold());
    s.SetFromReg(QStringLiteral("SearchBarNStyleButton"), QStringLiteral("True"));
    f.LoadSetReg(QString());
    EXPECT_FALSE(f.cmdSearchBack->normalLook().font.bold());
    // Bold italic is saved as not bold.
    QFont boldItalic = f.Panel1->font();
    boldItalic.setBold(true);
    boldItalic.setItalic(true);
    f.Panel1->setFont(boldItalic);
    f.SaveSetReg(QStringLiteral("Skin"));
    EXPECT_EQ(s.GetFromReg(QStringLiteral("InfoBarStyleskin")), QStringLiteral("false"));
}

TEST_F(FormTest, WrongTypeAbandonsTheLoadWithItsMessage)
{
    TForm1 &f = start();
    settings().SetFromReg(QStringLiteral("EditorFontSizeSkin"), QStringLiteral("12"));
    try {
        f.LoadSetReg(QStringLiteral("Skin"));
        FAIL();
    } catch (const tl::Error &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid data type for 'EditorFontSizeSkin'"));
    }
}
