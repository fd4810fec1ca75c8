// The Preferences dialog on a real main window with fake services: what of
// its settings acts from start-up, and its pages driven by keys and clicks.

#include "app/TForm1.h"
#include "app/formfixture.h"
#include "controls/bgimage.h"
#include "controls/darerlabel.h"
#include "controls/flatbutton.h"
#include "controls/guarded.h"
#include "platform/widgetcolors.h"
#include "settings/TfrmPrefer.h"
#include "settings/settingstable.h"
#include "settings/colorbox.h"
#include "settings/integration.h"
#include "skins/skinart.h"
#include "skins/skinspage.h"

#include <QAction>
#include <QApplication>
#include <QSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

namespace {

namespace in = tl::integration;

class PreferTest : public FormTest {
public:
    using FormTest::dir;
    using FormTest::settings;

    void SetUp() override
    {
        FormTest::SetUp();
        // The desktop files of this case only.
        tltest::freshConfig();
        qputenv("XDG_DATA_HOME", QFile::encodeName(tltest::freshFolder()));
        program = dir + QStringLiteral("/program");
        QDir().mkpath(program + QStringLiteral("/languages"));
    }

    // Starts the program over the settings written before.
    TForm1 &startProgram()
    {
        auto fakes = tltest::makeFakeServices();
        dialogs = fakes.dialogs;
        hotKey = fakes.hotKey;
        form = std::make_unique<TForm1>(std::move(fakes.services), settingsPath);
        form->ProgramFolder = program;
        form->FormCreate({QStringLiteral("tessaleaf")});
        return *form;
    }
    TfrmPrefer &prefs() { return form->preferences(); }

    // The dialog as the user sees it, the keyboard with it.
    TfrmPrefer &showPrefs()
    {
        TfrmPrefer &d = prefs();
        d.show();
        QApplication::setActiveWindow(&d);  // as the window manager does
        EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
        return d;
    }
    void openPage(int node)
    {
        QTreeWidget *tree = prefs().tvMain;
        const QRect r = tree->visualItemRect(tree->topLevelItem(node));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
        ASSERT_EQ(prefs().shownPage(), node);
    }
    static void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2)); }
    static void clickBox(QCheckBox *c) { QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(6, c->height() / 2)); }
    static void key(int k, Qt::KeyboardModifiers m = {})
    {
        QWidget *w = QApplication::focusWidget();
        ASSERT_NE(w, nullptr);
        QTest::keyClick(w, Qt::Key(k), m);
    }
    static void type(const QString &text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    // Focus on the list, then Home and Down to entry index.
    static void pick(QWidget *list, int index)
    {
        list->setFocus();
        key(Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            key(Qt::Key_Down);
    }

    QString program;
    tltest::FakeHotKey *hotKey = nullptr;
};

// --- what acts from start-up

struct StartRow {
    const char *label;
    std::function<void(PreferTest &, const tl::SettingsStore &)> before;
    std::function<void(PreferTest &, TForm1 &)> check;
};

class StartTest : public PreferTest, public testing::WithParamInterface<StartRow> {
};

QString writeCursor(const QString &dir, const QByteArray &bytes)
{
    return tltest::writeFile(dir + QStringLiteral("/pointer.cur"), bytes);
}

QCursor editorCursor(TForm1 &f) { return f.memo1->viewport()->cursor(); }

const StartRow kStartRows[] = {
    {"FileCursorFromStart",
     [](PreferTest &t, const tl::SettingsStore &s) {
         s.SetFromReg(QStringLiteral("UseCursor"), QStringLiteral("1"));
         s.SetFromReg(QStringLiteral("MemoCursor"), writeCursor(t.dir, skintest::curBytes({5, 7})));
     },
     [](PreferTest &, TForm1 &f) {
         EXPECT_EQ(editorCursor(f).shape(), Qt::BitmapCursor);
         EXPECT_EQ(editorCursor(f).hotSpot(), QPoint(5, 7));
     }},
    {"TruncatedCursorGivesTheArrow",
     [](PreferTest &t, const tl::SettingsStore &s) {
         s.SetFromReg(QStringLiteral("UseCursor"), QStringLiteral("1"));
         s.SetFromReg(QStringLiteral("MemoCursor"), writeCursor(t.dir, skintest::curBytes({5, 7}).left(40)));
     },
     [](PreferTest &, TForm1 &f) { EXPECT_EQ(editorCursor(f).shape(), Qt::ArrowCursor); }},
    {"HugeCursorGivesTheArrow",
     [](PreferTest &t, const tl::SettingsStore &s) {
         s.SetFromReg(QStringLiteral("UseCursor"), QStringLiteral("1"));
         s.SetFromReg(QStringLiteral("MemoCursor"),
                      writeCursor(t.dir, skintest::curBytes({5, 7}) + QByteArray(3 << 20, '\xff')));
     },
     [](PreferTest &, TForm1 &f) { EXPECT_EQ(editorCursor(f).shape(), Qt::ArrowCursor); }},
    {"CursorOffKeepsTheBuiltInOne",
     [](PreferTest &t, const tl::SettingsStore &s) {
         s.SetFromReg(QStringLiteral("UseCursor"), QStringLiteral("0"));
         s.SetFromReg(QStringLiteral("MemoCursor"), writeCursor(t.dir, skintest::curBytes({5, 7})));
     },
     [](PreferTest &t, TForm1 &f) {
         EXPECT_EQ(editorCursor(f).hotSpot(), QPoint(15, 15));  // the I-beam of the built-in skin
         EXPECT_FALSE(t.prefs().feCursor->isEnabled());
     }},
    {"WebAddressesMarked",
     [](PreferTest &, const tl::SettingsStore &s) { s.SetFromReg(QStringLiteral("AutoURLDetect"), QStringLiteral("true")); },
     [](PreferTest &t, TForm1 &f) {
         EXPECT_TRUE(f.memo1->autoUrlDetect());
         EXPECT_TRUE(t.prefs().cbURL->isChecked());
         EXPECT_FALSE(t.prefs().cbURL->isVisibleTo(&t.prefs()));
     }},
    {"LinesOn",
     [](PreferTest &, const tl::SettingsStore &s) { s.SetFromReg(QStringLiteral("EnableLine"), QStringLiteral("True")); },
     [](PreferTest &t, TForm1 &f) {
         EXPECT_FALSE(f.lblTopLine->isHidden());
         EXPECT_TRUE(t.prefs().cbSeparatLines->isChecked());
         EXPECT_TRUE(t.prefs().cbLineColor->isEnabled());
     }},
    {"LinesOff",
     [](PreferTest &, const tl::SettingsStore &s) { s.SetFromReg(QStringLiteral("EnableLine"), QStringLiteral("False")); },
     [](PreferTest &t, TForm1 &f) {
         EXPECT_TRUE(f.lblTopLine->isHidden());
         EXPECT_FALSE(t.prefs().cbLineColor->isEnabled());
     }},
    {"MenuStyleExtended",
     [](PreferTest &, const tl::SettingsStore &s) { s.SetFromReg(QStringLiteral("MenuStyle"), QStringLiteral("1")); },
     [](PreferTest &t, TForm1 &f) {
         EXPECT_EQ(f.menuStyle(), 1);
         EXPECT_EQ(t.prefs().cbMenuStyle->currentText(), QStringLiteral("Extended"));
     }},
    {"MenuStyleOutOfRangeStoresNoSelection",
     [](PreferTest &, const tl::SettingsStore &s) { s.SetFromReg(QStringLiteral("MenuStyle"), QStringLiteral("7")); },
     [](PreferTest &t, TForm1 &f) {
         EXPECT_EQ(f.menuStyle(), 0);
         EXPECT_EQ(t.settings().GetFromReg(QStringLiteral("MenuStyle")), QStringLiteral("-1"));
     }},
    {"LanguageChosenWithoutRegardToCase",
     [](PreferTest &t, const tl::SettingsStore &s) {
         tltest::writeFile(t.program + QStringLiteral("/languages/Polski/general.lng"),
                           "[Polski]\nfrmprefer=Opcje\nMainForm.show1=Pokaz\nfrmPrefer.editor=Edytor\n");
         s.SetFromReg(QStringLiteral("CurLanguage"), QStringLiteral("polski"));
     },
     [](PreferTest &t, TForm1 &f) {
         EXPECT_EQ(t.prefs().windowTitle(), QStringLiteral("Opcje"));
         EXPECT_EQ(t.prefs().cbElement->itemText(2), QStringLiteral("Edytor"));
         EXPECT_EQ(f.Show1->text(), QStringLiteral("Pokaz"));
         EXPECT_EQ(t.settings().GetFromReg(QStringLiteral("CurLanguage")), QStringLiteral("Polski"));
     }},
    {"HotKeyRegistered",
     [](PreferTest &, const tl::SettingsStore &s) { s.SetFromReg(QStringLiteral("Hot_Key"), QStringLiteral("Ctrl+Alt+F5")); },
     [](PreferTest &t, TForm1 &f) {
         EXPECT_EQ(t.hotKey->key, QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_F5));
         EXPECT_EQ(f.Show1->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F5));
     }},
    {"HotKeyOfTwoWordsLeavesTheKeyListEmpty",
     [](PreferTest &, const tl::SettingsStore &s) { s.SetFromReg(QStringLiteral("Hot_Key"), QStringLiteral("Ctrl+Alt")); },
     [](PreferTest &t, TForm1 &) {
         EXPECT_EQ(t.prefs().cbHotKey3->currentIndex(), -1);
         EXPECT_EQ(t.settings().GetFromReg(QStringLiteral("Hot_Key")), QStringLiteral("Ctrl+Alt+"));
     }},
    {"HotKeyNeverChosenShowsNone", [](PreferTest &, const tl::SettingsStore &) {},
     [](PreferTest &t, TForm1 &f) {
         for (QComboBox *c : {t.prefs().cbHotKey1, t.prefs().cbHotKey2, t.prefs().cbHotKey3})
             EXPECT_EQ(c->currentText(), QStringLiteral("None")) << c->objectName().toStdString();
         EXPECT_EQ(t.settings().GetFromReg(QStringLiteral("Hot_Key")), QStringLiteral("None+None+None"));
         EXPECT_TRUE(tltest::FakeHotKey::isEmpty(t.hotKey->key));
         EXPECT_TRUE(f.Show1->shortcut().isEmpty());
     }},
    {"Confirmations",
     [](PreferTest &, const tl::SettingsStore &s) { s.SetFromReg(QStringLiteral("AskDelNote"), QStringLiteral("true")); },
     [](PreferTest &t, TForm1 &) {
         EXPECT_TRUE(t.prefs().cbdelNote->isChecked());
         EXPECT_FALSE(t.prefs().cbDelFile->isChecked());
     }},
};

TEST_P(StartTest, StoredSettingActsFromStartUp)
{
    GetParam().before(*this, settings());
    TForm1 &f = startProgram();
    // Acting from start-up without the dialog, which the check then reads.
    ASSERT_EQ(f.frmPrefer, nullptr);
    GetParam().check(*this, f);
}

INSTANTIATE_TEST_SUITE_P(Table, StartTest, testing::ValuesIn(kStartRows),
                         [](const testing::TestParamInfo<StartRow> &i) { return std::string(i.param.label); });

TEST_F(PreferTest, BrokenMenuStyleStopsTheRestOfTheStepsWithTheErrorBox)
{
    QStringList shown;
    tl::setErrorReporter([&](const QString &m) { shown << m; });
    settings().SetFromReg(QStringLiteral("MenuStyle"), QStringLiteral("x1"));
    settings().SetFromReg(QStringLiteral("AskDelNote"), QStringLiteral("true"));
    startProgram();
    tl::setErrorReporter({});
    EXPECT_EQ(shown, QStringList{QStringLiteral("'x1' is not a valid integer value")});
    EXPECT_FALSE(prefs().cbdelNote->isChecked());  // a later step
    EXPECT_TRUE(form->isVisible());                // the program goes on
}

TEST_F(PreferTest, AnAssociatedTypeNamesThisProgramAgainFromStartUp)
{
    in::DesktopPlaces before = in::DesktopPlaces::fromEnvironment();
    before.program = QStringLiteral("/old/place/tessaleaf");
    in::setAssociated(before, in::FileType::Nts, true);
    QFile entry(before.dataHome + QStringLiteral("/applications/tessaleaf.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    ASSERT_TRUE(entry.readAll().contains("/old/place/tessaleaf"));
    entry.close();

    startProgram();
    EXPECT_EQ(form->frmPrefer, nullptr);
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QByteArray now = entry.readAll();
    EXPECT_FALSE(now.contains("/old/place/")) << now.toStdString();
    EXPECT_TRUE(now.contains(QFile::encodeName(QCoreApplication::applicationFilePath()))) << now.toStdString();
    EXPECT_TRUE(in::isAssociated(in::DesktopPlaces::fromEnvironment(), in::FileType::Nts));
}

// --- Fonts and Colors

struct FontRow {
    const char *label;
    int element, item;
    const char *itemText;
    const char *valueName;  // of the size, or of the background for the tool bars
    tl::appearance::Element target;
};

class FontsPageTest : public PreferTest, public testing::WithParamInterface<std::tuple<FontRow, const char *>> {
};

TEST_P(FontsPageTest, EditGoesToItsTargetAndToTheSetInUse)
{
    const auto &[row, skin] = GetParam();
    TForm1 &f = startProgram();
    f.LoadSkinStd();  // the look without a skin, where "<none>" means the built-in set
    // Read at the moment of the edit, whatever the look was when opened.
    showPrefs();
    settings().SetFromReg(QStringLiteral("CurrentSkin"), QString::fromLatin1(skin));
    openPage(1);
    pick(prefs().cbElement, row.element);
    pick(prefs().lbItems, row.item);
    ASSERT_NE(prefs().lbItems->currentItem(), nullptr);
    EXPECT_EQ(prefs().lbItems->currentItem()->text(), QString::fromUtf8(row.itemText));
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("LastElementEditor")), QString::number(row.element));

    const bool skinSet = QLatin1String(skin) != QLatin1String("<none>");
    const QString name = QString::fromLatin1(row.valueName);
    const QString used = name + (skinSet ? QStringLiteral("Skin") : QString());
    const QString other = name + (skinSet ? QString() : QStringLiteral("Skin"));
    const bool hadOther = settings().file().exists(other);
    const qint32 otherBefore = hadOther ? settings().GetFromRegInt(other) : 0;

    const bool toolBar = row.target == tl::appearance::Element::ToolBar
        || row.target == tl::appearance::Element::ToolBarHover;
    EXPECT_EQ(prefs().cbSize->isEnabled(), !toolBar);
    EXPECT_EQ(prefs().FontComboBox1->isEnabled(), !toolBar);
    EXPECT_EQ(prefs().cbBold->isEnabled(), !toolBar);
    if (toolBar) {
        const quint32 before = tl::storedBack(f.panToolBar);
        pick(prefs().cbBackGrd, 15);  // White
        EXPECT_EQ(settings().GetFromRegInt(used), 0xFFFFFF);
        EXPECT_EQ(tl::storedBack(f.panToolBar), row.target == tl::appearance::Element::ToolBar ? 0xFFFFFFu : before);
    } else {
        prefs().cbSize->setFocus();
        key(Qt::Key_A, Qt::ControlModifier);
        type(QStringLiteral("14"));
        EXPECT_EQ(settings().GetFromRegInt(used), 14);
        EXPECT_EQ(f.shownAppearance(row.target).font.pointSize(), 14);
    }
    if (hadOther)
        EXPECT_EQ(settings().GetFromRegInt(other), otherBefore);
    else
        EXPECT_FALSE(settings().file().exists(other));
}

const FontRow kFontRows[] = {
    {"ToolBarNormal", 0, 0, "Normal", "ToolBarNBackGrd", tl::appearance::Element::ToolBar},
    {"ToolBarHover", 0, 1, "Hover", "ToolBarHBackGrd", tl::appearance::Element::ToolBarHover},
    {"ButtonNormal", 1, 0, "Button - Normal", "SearchBarNFontSizeButton", tl::appearance::Element::SearchButtons},
    {"ButtonHover", 1, 1, "Button - Hover", "SearchBarHFontSizeButton", tl::appearance::Element::SearchButtonsHover},
    {"ComboBox", 1, 2, "ComboBox", "SearchBarFontSizeComboBox", tl::appearance::Element::SearchCombo},
    {"Label", 1, 3, "Label \"Look for:\"", "SearchBarFontSizelblSearch", tl::appearance::Element::SearchLabel},
    {"Editor", 2, 0, "Text", "EditorFontSize", tl::appearance::Element::Editor},
    {"InfoBar", 3, 0, "Text", "InfoBarFontSize", tl::appearance::Element::InfoBar},
};

INSTANTIATE_TEST_SUITE_P(Table, FontsPageTest,
                         testing::Combine(testing::ValuesIn(kFontRows), testing::Values("<none>", "Aqua")),
                         [](const testing::TestParamInfo<std::tuple<FontRow, const char *>> &i) {
                             return std::string(std::get<0>(i.param).label)
                                 + (std::get<1>(i.param)[0] == '<' ? "_BuiltIn" : "_Skin");
                         });

TEST_F(PreferTest, AButtonEditReachesAllThreeFindButtons)
{
    TForm1 &f = startProgram();
    showPrefs();
    openPage(1);
    pick(prefs().cbElement, 1);
    pick(prefs().lbItems, 0);
    clickBox(prefs().cbBold);
    for (tl::FlatButton *b : {f.cmdSearch, f.cmdSearchBack, f.cmdSearchAgain})
        EXPECT_TRUE(b->normalLook().font.bold());
    EXPECT_FALSE(f.cmdSearch->hoverLook().font.bold());
    // The built-in skin wears the "Skin" set.
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("SearchBarNStyleButtonSkin")), QStringLiteral("true"));
}

TEST_F(PreferTest, ShowingAnItemChangesNothing)
{
    TForm1 &f = startProgram();
    showPrefs();
    openPage(1);
    pick(prefs().cbElement, 2);
    clickBox(prefs().cbBold);
    ASSERT_TRUE(f.memo1->font().bold());
    pick(prefs().cbElement, 3);  // the info bar, not bold
    EXPECT_FALSE(prefs().cbBold->isChecked());
    EXPECT_TRUE(f.memo1->font().bold());
    EXPECT_FALSE(f.Panel1->font().bold());
    // The size list opens on the size shown.
    const QString size = QString::number(f.Panel1->font().pointSize());
    EXPECT_EQ(prefs().cbSize->currentText(), size);
    EXPECT_EQ(prefs().cbSize->itemText(prefs().cbSize->currentIndex()), size);
}

TEST_F(PreferTest, SizeThatIsNoIntegerGivesTheErrorBoxAndStoresNothing)
{
    startProgram();
    QStringList shown;
    tl::setErrorReporter([&](const QString &m) { shown << m; });
    showPrefs();
    openPage(1);
    pick(prefs().cbElement, 2);
    const qint32 before = settings().GetFromRegInt(QStringLiteral("EditorFontSize"));
    prefs().cbSize->setFocus();
    key(Qt::Key_A, Qt::ControlModifier);
    type(QStringLiteral("x"));
    tl::setErrorReporter({});
    EXPECT_EQ(shown, QStringList{QStringLiteral("'x' is not a valid integer value")});
    EXPECT_EQ(settings().GetFromRegInt(QStringLiteral("EditorFontSize")), before);
}

// The built-in skin is called "<none>" as well, and its look is the "Skin"
// set: an edit there must land in that set, or the next start undoes it.
TEST_F(PreferTest, AnEditInTheBuiltInSkinIsShownAgainAfterARestart)
{
    TForm1 &f = startProgram();
    ASSERT_TRUE(f.SkinLoaded);
    ASSERT_EQ(settings().GetFromReg(QStringLiteral("CurrentSkin")), QStringLiteral("<none>"));
    showPrefs();
    openPage(1);
    pick(prefs().cbElement, 2);
    prefs().cbSize->setFocus();
    key(Qt::Key_A, Qt::ControlModifier);
    type(QStringLiteral("14"));
    EXPECT_EQ(settings().GetFromRegInt(QStringLiteral("EditorFontSizeSkin")), 14);
    prefs().close();
    form.reset();

    TForm1 &again = startProgram();
    EXPECT_EQ(again.shownAppearance(tl::appearance::Element::Editor).font.pointSize(), 14);
    // What a new note is typed in.
    ASSERT_TRUE(again.isVisible());
    EXPECT_EQ(again.memo1->document()->defaultFont().pointSize(), 14);
}

TEST_F(PreferTest, UseDefaultInTheBuiltInLookWritesAndAppliesTheDefaults)
{
    TForm1 &f = startProgram();
    f.LoadSkinStd();
    showPrefs();
    openPage(1);
    pick(prefs().cbElement, 2);
    prefs().cbSize->setFocus();
    key(Qt::Key_A, Qt::ControlModifier);
    type(QStringLiteral("20"));
    ASSERT_EQ(settings().GetFromRegInt(QStringLiteral("EditorFontSize")), 20);
    click(prefs().cmdDefault);
    EXPECT_EQ(settings().GetFromRegInt(QStringLiteral("EditorFontSize")), 10);
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("ToolBarHStyle")), QStringLiteral("false"));
    EXPECT_EQ(f.memo1->font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(f.memo1->font().pointSize(), 10);
    EXPECT_FALSE(f.memo1->font().bold());
}

TEST_F(PreferTest, UseDefaultInTheBuiltInSkinKeepsTheSkinAndGivesItsOwnColours)
{
    TForm1 &f = startProgram();
    ASSERT_TRUE(f.SkinLoaded);
    const quint32 own = tl::storedBack(f.memo1);
    ASSERT_NE(own, 0xFFFFFFu);
    showPrefs();
    openPage(1);
    pick(prefs().cbElement, 2);
    pick(prefs().cbBackGrd, 15);  // White
    ASSERT_EQ(tl::storedBack(f.memo1), 0xFFFFFFu);
    click(prefs().cmdDefault);
    EXPECT_TRUE(f.SkinLoaded);
    EXPECT_TRUE(f.imgHead->isVisible());
    EXPECT_EQ(tl::storedBack(f.memo1), own);
    EXPECT_EQ(quint32(settings().GetFromRegInt(QStringLiteral("EditorBackGrdSkin"))), own);
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("CurrentSkin")), QStringLiteral("<none>"));
}

TEST_F(PreferTest, UseDefaultWithASkinGivesTheSkinsOwnColours)
{
    const QString skins = dir + QStringLiteral("/skins");
    tltest::writeFile(skins + QStringLiteral("/Blue/pledit.bmp"), skintest::bmpBytes(skintest::syntheticPicture(), 24));
    tltest::writeFile(skins + QStringLiteral("/Blue/pledit.txt"), "[Text]\nNormal=#102030\nNormalBG=#0A0B0C\n");
    settings().SetFromReg(QStringLiteral("SkinDir"), skins);
    settings().SetFromReg(QStringLiteral("CurrentSkin"), QStringLiteral("Blue"));
    TForm1 &f = startProgram();
    ASSERT_EQ(settings().GetFromReg(QStringLiteral("CurrentSkin")), QStringLiteral("Blue"));
    showPrefs();
    openPage(1);
    pick(prefs().cbElement, 2);
    pick(prefs().cbBackGrd, 15);  // White
    ASSERT_EQ(tl::storedBack(f.memo1), 0xFFFFFFu);
    ASSERT_EQ(settings().GetFromRegInt(QStringLiteral("EditorBackGrdSkin")), 0xFFFFFF);
    click(prefs().cmdDefault);
    EXPECT_EQ(tl::storedBack(f.memo1), 0x0C0B0Au);
    EXPECT_EQ(settings().GetFromRegInt(QStringLiteral("EditorBackGrdSkin")), 0x0C0B0A);
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("CurrentSkin")), QStringLiteral("Blue"));
}

TEST_F(PreferTest, CustomColourComesFromTheColourDialog)
{
    TForm1 &f = startProgram();
    showPrefs();
    openPage(1);
    pick(prefs().cbElement, 3);
    dialogs->nextColor = QColor(1, 2, 3);
    pick(prefs().cbForeGrd, prefs().cbForeGrd->count() - 1);  // "Custom..."
    EXPECT_EQ(tl::storedFore(f.Panel1), 0x030201u);
    EXPECT_EQ(settings().GetFromRegInt(QStringLiteral("InfoBarForeGrdSkin")), 0x030201);
    // Cancelled: nothing changes.
    dialogs->nextColor.reset();
    pick(prefs().cbForeGrd, prefs().cbForeGrd->count() - 1);
    EXPECT_EQ(tl::storedFore(f.Panel1), 0x030201u);
    EXPECT_EQ(prefs().cbForeGrd->color(), 0x030201u);
}

TEST_F(PreferTest, UncheckingLinesHidesThemStoresFalseAndGreysTheColour)
{
    settings().SetFromReg(QStringLiteral("EnableLine"), QStringLiteral("True"));
    TForm1 &f = startProgram();
    showPrefs();
    openPage(1);
    clickBox(prefs().cbSeparatLines);
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("EnableLine")), QStringLiteral("False"));
    EXPECT_TRUE(f.lblTopLine->isHidden());
    EXPECT_TRUE(f.lblLeftLine->isHidden());
    EXPECT_FALSE(prefs().cbLineColor->isEnabled());
}

// --- General, Editor, Personal Data

TEST_F(PreferTest, OpacitySliderAtItsLeftEnd)
{
    TForm1 &f = startProgram();
    showPrefs();
    prefs().ScrollBar1->setFocus();
    key(Qt::Key_Home);
    EXPECT_EQ(f.alpha(), 66);
    EXPECT_EQ(prefs().ScrollBar1->toolTip(), QStringLiteral("25%"));
    key(Qt::Key_End);
    EXPECT_EQ(f.alpha(), 255);
    EXPECT_EQ(prefs().ScrollBar1->toolTip(), QStringLiteral("100%"));
}

TEST_F(PreferTest, AuthorNameStoredWhenTheBoxLosesTheFocus)
{
    startProgram();
    showPrefs();
    openPage(5);
    click(prefs().txtAuthor);
    ASSERT_EQ(QApplication::focusWidget(), prefs().txtAuthor);
    type(QStringLiteral("Ann"));
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("AuthorName")), QString());
    click(prefs().txtCompany);
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("AuthorName")), QStringLiteral("Ann"));
    type(QStringLiteral("Acme"));
    click(prefs().cmdClose);
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("CompanyName")), QStringLiteral("Acme"));
    EXPECT_FALSE(prefs().isVisible());
}

TEST_F(PreferTest, UncheckingTheCursorGivesTheBuiltInOneAtOnce)
{
    settings().SetFromReg(QStringLiteral("UseCursor"), QStringLiteral("1"));
    settings().SetFromReg(QStringLiteral("MemoCursor"), writeCursor(dir, skintest::curBytes({5, 7})));
    TForm1 &f = startProgram();
    ASSERT_EQ(editorCursor(f).hotSpot(), QPoint(5, 7));
    showPrefs();
    openPage(2);
    clickBox(prefs().cbCursor);
    EXPECT_EQ(editorCursor(f).hotSpot(), QPoint(15, 15));
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("UseCursor")), QStringLiteral("0"));
    EXPECT_FALSE(prefs().feCursor->isEnabled());
}

TEST_F(PreferTest, WebAddressDetectionKeepsTheNoteExactly)
{
    TForm1 &f = startProgram();
    f.memo1->setContentText(QStringLiteral(
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red200\\green0\\blue0;}\\f0\\fs20 see \\b\\cf1 "
        "http://example.org/a\\b0\\cf0  now\\par}"));
    const QString before = f.memo1->toRtf();
    prefs().cbURL->setChecked(true);  // hidden: no person reaches it
    EXPECT_EQ(f.memo1->toRtf(), before);
    EXPECT_TRUE(f.memo1->isLinkAt(6));
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("AutoURLDetect")), QStringLiteral("true"));
    prefs().cbURL->setChecked(false);
    EXPECT_EQ(f.memo1->toRtf(), before);
    EXPECT_FALSE(f.memo1->isLinkAt(6));
}

TEST_F(PreferTest, ConfirmationBoxesStoreAtOnce)
{
    startProgram();
    showPrefs();
    openPage(3);
    clickBox(prefs().cbdelNote);
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("AskDelNote")), QStringLiteral("true"));
    clickBox(prefs().cbdelNote);
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("AskDelNote")), QStringLiteral("false"));
    EXPECT_EQ(prefs().cbDelFile->toolTip(), prefs().cbDelFile->text());
}

TEST_F(PreferTest, HelpOpensTheHelpFileOfTheLanguage)
{
    tltest::writeFile(program + QStringLiteral("/languages/Polski/help.html"), "<p>pomoc</p>");
    settings().SetFromReg(QStringLiteral("CurLanguage"), QStringLiteral("Polski"));
    tltest::writeFile(program + QStringLiteral("/languages/Polski/general.lng"), "[Polski]\n");
    startProgram();
    auto *shell = static_cast<tltest::FakeShell *>(form->services().shell.get());
    shell->opened.clear();
    showPrefs();
    click(prefs().cmdHelp);
    ASSERT_EQ(shell->opened.size(), 1u);
    EXPECT_TRUE(shell->opened[0].toLocalFile().endsWith(QStringLiteral("/languages/Polski/help.html")));
    EXPECT_TRUE(dialogs->boxes.empty());

    // No program to open it: a box over the dialog names the file.
    shell->answer = false;
    click(prefs().cmdHelp);
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_TRUE(dialogs->boxes[0].text.contains(QStringLiteral("/languages/Polski/help.html")))
        << dialogs->boxes[0].text.toStdString();
    EXPECT_EQ(dialogs->boxes[0].over, &prefs());
}

// --- opening the dialog

TEST_F(PreferTest, TrayOptionsOpensTheDialogModallyOnTheElementChosenLast)
{
    TForm1 &f = startProgram();
    settings().SetFromReg(QStringLiteral("LastElementEditor"), QStringLiteral("2"));
    ASSERT_TRUE(f.Options1->isEnabled());
    ASSERT_TRUE(f.Font1->isEnabled());
    bool ran = false;
    QTimer::singleShot(0, &f, [&] {
        ASSERT_EQ(QApplication::activeModalWidget(), &prefs());
        ran = true;
        EXPECT_EQ(prefs().shownPage(), 0);
        EXPECT_EQ(prefs().cbElement->currentIndex(), 2);
        EXPECT_EQ(prefs().lbItems->item(0)->text(), QStringLiteral("Text"));
        click(prefs().cmdClose);
    });
    f.Options1->trigger();
    EXPECT_TRUE(ran);
    EXPECT_FALSE(prefs().isVisible());
}

// --- the desktop

class DesktopTest : public PreferTest {
protected:
    void SetUp() override
    {
        PreferTest::SetUp();
        const QString root = tltest::freshFolder();
        places.configHome = root + QStringLiteral("/config");
        places.dataHome = root + QStringLiteral("/data");
        places.desktopFolder = root + QStringLiteral("/Desktop");
        places.program = QStringLiteral("/opt/tessaleaf/tessaleaf");
        QDir().mkpath(places.desktopFolder);
    }
    void startOverPlaces()
    {
        startProgram();
        prefs().desktopPlaces = places;
        showPrefs();
    }
    in::DesktopPlaces places;
};

TEST_F(DesktopTest, FileTypeBoxesAssociateAndRelease)
{
    startOverPlaces();
    const std::pair<QCheckBox *, in::FileType> boxes[] = {
        {prefs().cbType, in::FileType::Nts}, {prefs().cbZNts, in::FileType::Znts}, {prefs().cbTXT, in::FileType::Txt}};
    for (const auto &[box, type] : boxes) {
        clickBox(box);
        EXPECT_TRUE(in::isAssociated(places, type)) << box->objectName().toStdString();
        clickBox(box);
        EXPECT_FALSE(in::isAssociated(places, type)) << box->objectName().toStdString();
    }
}

TEST_F(DesktopTest, StartUpBoxWritesTheAutostartEntryAndIsReadAtShow)
{
    startOverPlaces();
    clickBox(prefs().chStartUp);
    EXPECT_TRUE(in::hasAutostart(places));
    prefs().hide();
    in::setAutostart(places, false);
    showPrefs();
    EXPECT_FALSE(prefs().chStartUp->isChecked());
}

TEST_F(DesktopTest, AddSaysWhereTheLauncherWent)
{
    startOverPlaces();
    click(prefs().cmdAddIcon);  // "Desktop", chosen at creation
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    const QString launcher = places.desktopFolder + QStringLiteral("/Tessaleaf.desktop");
    EXPECT_TRUE(QFileInfo(launcher).isFile());
    EXPECT_TRUE(dialogs->boxes[0].text.contains(launcher)) << dialogs->boxes[0].text.toStdString();
    pick(prefs().cbAddIcon, 3);  // "QuickLaunch": the applications menu
    click(prefs().cmdAddIcon);
    ASSERT_EQ(dialogs->boxes.size(), 2u);
    EXPECT_TRUE(dialogs->boxes[1].text.contains(places.dataHome + QStringLiteral("/applications/")));
}

TEST_F(DesktopTest, LauncherRefusedGoesToTheErrorBox)
{
    startOverPlaces();
    places.program.clear();  // a program that cannot be named
    prefs().desktopPlaces = places;
    QStringList shown;
    tl::setErrorReporter([&](const QString &m) { shown << m; });
    click(prefs().cmdAddIcon);
    tl::setErrorReporter({});
    EXPECT_EQ(shown.size(), 1);
    EXPECT_TRUE(dialogs->boxes.empty());
}

struct HotKeyRow {
    const char *label;
    int first, second, key;  // list entries; -1 none
    tl::IHotKey::Status answer;
    const char *stored;
    QKeyCombination registered;
    const char *status;  // a word the status shows, "" for none
};

class HotKeyTest : public PreferTest, public testing::WithParamInterface<HotKeyRow> {
};

TEST_P(HotKeyTest, ClosingStoresAndRegistersTheKey)
{
    const HotKeyRow &row = GetParam();
    TForm1 &f = startProgram();
    hotKey->answer = row.answer;
    showPrefs();
    pick(prefs().cbHotKey1, row.first);
    pick(prefs().cbHotKey2, row.second);
    pick(prefs().cbHotKey3, row.key);
    click(prefs().cmdClose);
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("Hot_Key")), QString::fromLatin1(row.stored));
    EXPECT_EQ(hotKey->key, row.registered);
    EXPECT_EQ(f.Show1->shortcut(), QKeySequence(row.registered));
    if (*row.status)
        EXPECT_TRUE(prefs().lblHotKeyStatus->text().contains(QString::fromLatin1(row.status)))
            << prefs().lblHotKeyStatus->text().toStdString();
    else
        EXPECT_EQ(prefs().lblHotKeyStatus->text(), QString());
}

INSTANTIATE_TEST_SUITE_P(
    Table, HotKeyTest,
    testing::Values(
        HotKeyRow{"CtrlAltF5", 1, 2, 5, tl::IHotKey::Status::Registered, "Ctrl+Alt+F5",
                  QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_F5), ""},
        HotKeyRow{"KeyAlone", 0, 0, 13, tl::IHotKey::Status::Registered, "None+None+A", QKeyCombination(Qt::Key_A), ""},
        HotKeyRow{"Taken", 2, 1, 26, tl::IHotKey::Status::Taken, "Shift+Ctrl+N",
                  QKeyCombination(Qt::ShiftModifier | Qt::ControlModifier, Qt::Key_N), "taken by another program"},
        HotKeyRow{"Unavailable", 1, 0, 1, tl::IHotKey::Status::Unavailable, "Ctrl+None+F1",
                  QKeyCombination(Qt::ControlModifier, Qt::Key_F1), "tessaleaf --toggle"}),
    [](const testing::TestParamInfo<HotKeyRow> &i) { return std::string(i.param.label); });

TEST_F(PreferTest, HotKeyStatusFollowsEachChoiceWhileTheDialogIsOpen)
{
    startProgram();
    showPrefs();
    hotKey->answer = tl::IHotKey::Status::Taken;
    pick(prefs().cbHotKey1, 1);  // Ctrl
    pick(prefs().cbHotKey2, 2);  // Alt
    pick(prefs().cbHotKey3, 5);  // F5
    EXPECT_EQ(hotKey->key, QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_F5));
    EXPECT_TRUE(prefs().lblHotKeyStatus->isVisible());
    EXPECT_TRUE(prefs().lblHotKeyStatus->text().contains(QStringLiteral("taken")));

    hotKey->answer = tl::IHotKey::Status::Registered;
    key(Qt::Key_Down);  // F6, still in the key list
    EXPECT_EQ(hotKey->key, QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_F6));
    EXPECT_FALSE(prefs().lblHotKeyStatus->isVisible());
    EXPECT_EQ(settings().GetFromReg(QStringLiteral("Hot_Key")), QStringLiteral("Ctrl+Alt+F6"));
}

TEST_F(PreferTest, ReopeningSelectsTheNodeOfThePageItShows)
{
    startProgram();
    showPrefs();
    openPage(5);
    click(prefs().cmdClose);
    showPrefs();
    EXPECT_EQ(prefs().shownPage(), 0);
    EXPECT_EQ(prefs().tvMain->currentItem(), prefs().tvMain->topLevelItem(0));
    openPage(5);  // the node left from last time answers a click again
}

} // namespace

namespace {

TEST_F(PreferTest, LockAfterMinutesIsOnTheGeneralPageAndStoredAsTyped)
{
    TForm1 &f = startProgram();
    showPrefs();
    QSpinBox *minutes = prefs().seLock;
    ASSERT_NE(minutes, nullptr);
    EXPECT_EQ(minutes->value(), 10);  // the default
    EXPECT_FALSE(minutes->accessibleName().isEmpty());
    click(minutes);
    ASSERT_TRUE(minutes->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == minutes);
    key(Qt::Key_A, Qt::ControlModifier);
    type(QStringLiteral("3"));
    EXPECT_EQ(f.GetFromRegInt(tl::setting::LockAfterMinutes), 3);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Down);  // not below 0: never
    EXPECT_EQ(f.GetFromRegInt(tl::setting::LockAfterMinutes), 0);
}

} // namespace
