#include "platform/desktopfile.h"
#include "platform/error.h"
#include "settings/fastshelllink.h"
#include "settings/integration.h"
#include "support/tempenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <unistd.h>

namespace ti = tl::integration;
using ti::FileType;

namespace {
const QString Program = QStringLiteral("/opt/Tess leaf/tessaleaf");
const QString QuotedProgram = QStringLiteral("\"/opt/Tess leaf/tessaleaf\"");

std::string testName(std::string n)
{
    for (char &c : n)
        if (!isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return n;
}

// A whole XDG tree in a fresh folder.
class XdgTree : public testing::Test {
protected:
    void SetUp() override
    {
        root = tltest::freshFolder();
        places.configHome = root + "/config";
        places.dataHome = root + "/data";
        places.configDirs = { root + "/etc/xdg" };
        places.dataDirs = { root + "/usr/share" };
        places.desktopFolder = root + "/home/Desktop";
        places.program = Program;
        qunsetenv("DBUS_SESSION_BUS_ADDRESS"); // no metadata store: gio is not asked
    }
    QString mimeApps() const { return places.configHome + "/mimeapps.list"; }
    QString entry() const { return places.dataHome + "/applications/tessaleaf.desktop"; }
    void install(const QString &id) const
    {
        tltest::writeFile(places.dataDirs.first() + "/applications/" + id, "[Desktop Entry]\nType=Application\n");
    }

    QString root;
    ti::DesktopPlaces places;
};

struct TypeCase {
    FileType type;
    const char *mime;
    bool package;
};

class Association : public XdgTree, public testing::WithParamInterface<TypeCase> { };

TEST_P(Association, OnWritesEntryAndDefaultOffTakesOursOut)
{
    const TypeCase &c = GetParam();
    EXPECT_FALSE(ti::isAssociated(places, c.type));
    ti::setAssociated(places, c.type, true);
    EXPECT_TRUE(ti::isAssociated(places, c.type));

    const QByteArray apps = tltest::readFile(mimeApps());
    const QByteArray line = QByteArray(c.mime) + "=tessaleaf.desktop;\n";
    EXPECT_EQ(apps, "[Default Applications]\n" + line + "\n[Added Associations]\n" + line);
    const QByteArray desktop = tltest::readFile(entry());
    EXPECT_TRUE(desktop.contains("\nExec=" + QuotedProgram.toUtf8() + " %F\n")) << desktop.constData();
    EXPECT_TRUE(desktop.contains("\nMimeType=application/x-tessaleaf-notes;"));
    const QString package = places.dataHome + "/mime/packages/tessaleaf.xml";
    EXPECT_EQ(QFileInfo::exists(package), c.package);
    if (c.package && !QStandardPaths::findExecutable("update-mime-database").isEmpty()) {
        EXPECT_TRUE(QFileInfo::exists(places.dataHome + "/mime/application/x-tessaleaf-notes.xml"));
    }

    // The other types stay unassociated.
    for (FileType other : { FileType::Nts, FileType::Znts, FileType::Txt }) {
        if (other != c.type) {
            EXPECT_FALSE(ti::isAssociated(places, other));
        }
    }

    ti::setAssociated(places, c.type, false);
    EXPECT_FALSE(ti::isAssociated(places, c.type));
    const tl::DesktopFile after = tl::DesktopFile::read(mimeApps());
    EXPECT_FALSE(after.hasKey("Default Applications", c.mime));
    EXPECT_FALSE(after.hasKey("Added Associations", c.mime));
    EXPECT_TRUE(QFileInfo::exists(entry())); // another type may still need it
}

INSTANTIATE_TEST_SUITE_P(Types, Association,
    testing::Values(TypeCase { FileType::Nts, "application/x-tessaleaf-notes", true },
        TypeCase { FileType::Znts, "application/x-tessaleaf-compressed-notes", true },
        TypeCase { FileType::Txt, "text/plain", false }),
    [](const auto &info) { return testName(info.param.mime); });

TEST_F(XdgTree, AssociatingAgainChangesNothing)
{
    ti::setAssociated(places, FileType::Nts, true);
    const QByteArray apps = tltest::readFile(mimeApps());
    const QDateTime written = QFileInfo(mimeApps()).lastModified();
    ti::setAssociated(places, FileType::Nts, true);
    EXPECT_EQ(tltest::readFile(mimeApps()), apps);
    EXPECT_EQ(QFileInfo(mimeApps()).lastModified(), written);
}

TEST_F(XdgTree, OtherProgramsLinesStayByteForByte)
{
    const QByteArray original = "# written by another program\n"
                                "[Default Applications]\n"
                                "text/html=firefox.desktop\n"
                                "text/plain=gedit.desktop;kate.desktop;\n"
                                "\n"
                                "[Added Associations]\n"
                                "text/plain=gedit.desktop;\n"
                                "image/png=gimp.desktop;\n"
                                "\n"
                                "[Something Else]\n"
                                "key = value with  blanks\n";
    tltest::writeFile(mimeApps(), original);
    install("gedit.desktop");
    EXPECT_FALSE(ti::isAssociated(places, FileType::Txt));

    ti::setAssociated(places, FileType::Txt, true);
    QByteArray expected = original;
    expected.replace(
        "text/plain=gedit.desktop;kate.desktop;", "text/plain=tessaleaf.desktop;gedit.desktop;kate.desktop;");
    expected.replace("text/plain=gedit.desktop;\n", "text/plain=tessaleaf.desktop;gedit.desktop;\n");
    EXPECT_EQ(tltest::readFile(mimeApps()), expected);
    EXPECT_TRUE(ti::isAssociated(places, FileType::Txt));

    ti::setAssociated(places, FileType::Txt, false);
    EXPECT_EQ(tltest::readFile(mimeApps()), original);
    EXPECT_FALSE(ti::isAssociated(places, FileType::Txt));
}

TEST_F(XdgTree, UncheckingWhatIsNotOursWritesNothing)
{
    const QByteArray original = "[Default Applications]\ntext/plain=gedit.desktop\n";
    tltest::writeFile(mimeApps(), original);
    ti::setAssociated(places, FileType::Txt, false);
    EXPECT_EQ(tltest::readFile(mimeApps()), original);
}

// isAssociated follows the lookup order of the mime-apps files.
struct LookupCase {
    const char *name;
    std::vector<std::pair<QString, QByteArray>> files; // below the tree's root
    QStringList desktops;
    bool ours;
};

class AssociationLookup : public XdgTree, public testing::WithParamInterface<LookupCase> { };

TEST_P(AssociationLookup, FirstInstalledDefaultWins)
{
    install("tessaleaf.desktop");
    install("gedit.desktop");
    places.desktops = GetParam().desktops;
    for (const auto &[path, text] : GetParam().files)
        tltest::writeFile(root + "/" + path, "[Default Applications]\ntext/plain=" + text + "\n");
    EXPECT_EQ(ti::isAssociated(places, FileType::Txt), GetParam().ours);
}

INSTANTIATE_TEST_SUITE_P(Table, AssociationLookup,
    testing::Values(LookupCase { "NoFile", {}, {}, false },
        LookupCase { "SystemDefaultIsOurs", { { "etc/xdg/mimeapps.list", "tessaleaf.desktop;" } }, {}, true },
        LookupCase { "UserOverridesSystem",
            { { "etc/xdg/mimeapps.list", "gedit.desktop;" }, { "config/mimeapps.list", "tessaleaf.desktop;" } }, {},
            true },
        LookupCase { "UserOtherOverridesSystemOurs",
            { { "etc/xdg/mimeapps.list", "tessaleaf.desktop;" }, { "config/mimeapps.list", "gedit.desktop;" } }, {},
            false },
        LookupCase {
            "UninstalledFirstIsSkipped", { { "config/mimeapps.list", "gone.desktop;tessaleaf.desktop;" } }, {}, true },
        LookupCase { "ListOfUninstalledFallsThrough",
            { { "config/mimeapps.list", "gone.desktop;" }, { "etc/xdg/mimeapps.list", "tessaleaf.desktop;" } }, {},
            true },
        LookupCase { "DesktopSpecificFirst",
            { { "config/kde-mimeapps.list", "gedit.desktop;" }, { "config/mimeapps.list", "tessaleaf.desktop;" } },
            { "kde" }, false },
        LookupCase { "OtherDesktopsFileIgnored",
            { { "config/kde-mimeapps.list", "gedit.desktop;" }, { "config/mimeapps.list", "tessaleaf.desktop;" } },
            { "gnome" }, true },
        LookupCase {
            "DataDirsApplications", { { "usr/share/applications/mimeapps.list", "tessaleaf.desktop;" } }, {}, true },
        LookupCase { "ConfigDirsBeforeDataHome",
            { { "data/applications/mimeapps.list", "tessaleaf.desktop;" },
                { "etc/xdg/mimeapps.list", "gedit.desktop;" } },
            {}, false }),
    [](const auto &info) { return testName(info.param.name); });

TEST_F(XdgTree, OurDefaultWithoutOurEntryDoesNotCount)
{
    tltest::writeFile(mimeApps(), "[Default Applications]\ntext/plain=tessaleaf.desktop;\n");
    EXPECT_FALSE(ti::isAssociated(places, FileType::Txt));
}

TEST_F(XdgTree, DesktopSpecificDefaultIsChangedToo)
{
    places.desktops = { "xfce" };
    install("gedit.desktop");
    const QString xfce = places.configHome + "/xfce-mimeapps.list";
    tltest::writeFile(xfce, "[Default Applications]\ntext/plain=gedit.desktop;\n");
    ti::setAssociated(places, FileType::Txt, true);
    EXPECT_TRUE(ti::isAssociated(places, FileType::Txt));
    ti::setAssociated(places, FileType::Txt, false);
    EXPECT_EQ(tltest::readFile(xfce), "[Default Applications]\ntext/plain=gedit.desktop;\n");
    EXPECT_FALSE(ti::isAssociated(places, FileType::Txt));
}

TEST_F(XdgTree, ReadOnlyListGivesAnErrorNamingItAndStaysAsItWas)
{
    const QByteArray original = "[Default Applications]\ntext/plain=gedit.desktop;\n";
    tltest::writeFile(mimeApps(), original);
    QFile::setPermissions(mimeApps(), QFile::ReadOwner | QFile::ReadGroup);
    try {
        ti::setAssociated(places, FileType::Txt, true);
        FAIL() << "no error";
    } catch (const tl::Error &e) {
        EXPECT_TRUE(e.message().contains(mimeApps())) << e.message().toStdString();
    }
    EXPECT_EQ(tltest::readFile(mimeApps()), original);
}

TEST_F(XdgTree, ReadOnlyFolderGivesAnErrorNamingTheFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    const QByteArray original = "[Default Applications]\ntext/plain=gedit.desktop;\n";
    tltest::writeFile(mimeApps(), original);
    QFile::setPermissions(places.configHome, QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_THROW(
        try { ti::setAssociated(places, FileType::Txt, true); } catch (const tl::Error &e) {
            EXPECT_TRUE(e.message().contains(mimeApps())) << e.message().toStdString();
            throw;
        },
        tl::Error);
    QFile::setPermissions(places.configHome, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(tltest::readFile(mimeApps()), original);
}

TEST_F(XdgTree, BlockedFolderGivesAnErrorNamingTheFile)
{
    tltest::writeFile(places.dataHome + "/applications", "a file where the folder should be");
    try {
        ti::setAssociated(places, FileType::Nts, true);
        FAIL() << "no error";
    } catch (const tl::Error &e) {
        EXPECT_TRUE(e.message().contains(entry())) << e.message().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(mimeApps()));
}

TEST_F(XdgTree, AutostartEntryStartsHiddenAndGoesAlone)
{
    const QString other = places.configHome + "/autostart/other.desktop";
    tltest::writeFile(other, "[Desktop Entry]\nExec=other\n");
    EXPECT_FALSE(ti::hasAutostart(places));
    ti::setAutostart(places, true);
    EXPECT_TRUE(ti::hasAutostart(places));
    const QByteArray text = tltest::readFile(places.configHome + "/autostart/tessaleaf.desktop");
    EXPECT_TRUE(text.contains("\nExec=" + QuotedProgram.toUtf8() + " start\n")) << text.constData();
    EXPECT_TRUE(text.contains("\nType=Application\n"));
    EXPECT_FALSE(text.contains("MimeType"));

    ti::setAutostart(places, false);
    EXPECT_FALSE(ti::hasAutostart(places));
    EXPECT_FALSE(QFileInfo::exists(places.configHome + "/autostart/tessaleaf.desktop"));
    EXPECT_EQ(tltest::readFile(other), "[Desktop Entry]\nExec=other\n");
    EXPECT_NO_THROW(ti::setAutostart(places, false));
}

TEST_F(XdgTree, HiddenAutostartEntryIsOff)
{
    tltest::writeFile(places.configHome + "/autostart/tessaleaf.desktop", "[Desktop Entry]\nHidden=true\n");
    EXPECT_FALSE(ti::hasAutostart(places));
}

TEST_F(XdgTree, DesktopLauncherIsExecutableAndReplacedOnTheSecondAdd)
{
    const QString path = ti::addLauncher(places, ti::LauncherPlace::Desktop);
    EXPECT_EQ(path, places.desktopFolder + "/Tessaleaf.desktop");
    const QByteArray text = tltest::readFile(path);
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\nType=Application\nName=Tessaleaf\n")) << text.constData();
    EXPECT_TRUE(text.contains("\nExec=" + QuotedProgram.toUtf8() + "\n"));
    EXPECT_TRUE(QFileInfo(path).permissions() & QFile::ExeOwner);
    tltest::writeFile(path, "stale");
    EXPECT_EQ(ti::addLauncher(places, ti::LauncherPlace::Desktop), path);
    EXPECT_EQ(tltest::readFile(path), text);
    EXPECT_EQ(QDir(places.desktopFolder).entryList(QDir::Files), QStringList { "Tessaleaf.desktop" });
}

class MenuLauncher : public XdgTree, public testing::WithParamInterface<ti::LauncherPlace> { };

TEST_P(MenuLauncher, IsTheProgramsOwnEntry)
{
    const QString path = ti::addLauncher(places, GetParam());
    EXPECT_EQ(path, entry());
    EXPECT_TRUE(tltest::readFile(path).contains("\nExec=" + QuotedProgram.toUtf8() + " %F\n"));
    EXPECT_EQ(QDir(places.dataHome + "/applications").entryList(QDir::Files), QStringList { "tessaleaf.desktop" });
}

INSTANTIATE_TEST_SUITE_P(Places, MenuLauncher,
    testing::Values(ti::LauncherPlace::StartMenu, ti::LauncherPlace::ProgramsMenu, ti::LauncherPlace::QuickLaunch));

TEST_F(XdgTree, ShellLinkCreatesItsSubfolderAndKeepsItsArguments)
{
    tl::TFastShellLink link(places);
    EXPECT_EQ(link.LinkName, "My New ShellLink");
    link.LinkTarget = "/usr/bin/tool";
    link.ParamString = "--flag";
    link.WorkingDirectory = "/tmp";
    link.CreateIn.ShellFolder = tl::TFastShellFolder::sfProgramsMenu;
    link.CreateIn.setSubfolder("Tools/Notes");
    const QString path = link.CreateLink();
    EXPECT_EQ(path, places.dataHome + "/applications/Tools/Notes/My New ShellLink.desktop");
    const QByteArray text = tltest::readFile(path);
    EXPECT_TRUE(text.contains("\nExec=/usr/bin/tool --flag\n")) << text.constData();
    EXPECT_TRUE(text.contains("\nPath=/tmp\n"));
}

TEST_F(XdgTree, ShellLinkWithoutCreatePathNamesTheFile)
{
    tl::TFastShellLink link(places);
    link.LinkTarget = "/usr/bin/tool";
    link.CreateIn.CreatePath = false;
    link.CreateIn.ShellFolder = tl::TFastShellFolder::sfStartup;
    try {
        link.CreateLink();
        FAIL() << "no error";
    } catch (const tl::Error &e) {
        EXPECT_TRUE(e.message().contains(places.configHome + "/autostart/My New ShellLink.desktop"))
            << e.message().toStdString();
    }
}

struct SubfolderCase {
    QString before, value, stored;
};

class CreateInSubfolder : public testing::TestWithParam<SubfolderCase> { };

TEST_P(CreateInSubfolder, KeepsATrailingSlash)
{
    tl::TCreateIn in;
    in.setSubfolder(GetParam().before);
    in.setSubfolder(GetParam().value);
    EXPECT_EQ(in.Subfolder(), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Table, CreateInSubfolder,
    testing::Values(SubfolderCase { "", "", "" }, SubfolderCase { "a", "/", "" },
        SubfolderCase { "", "Tools", "Tools/" }, SubfolderCase { "", "Tools/", "Tools/" },
        SubfolderCase { "", "a/b", "a/b/" }, SubfolderCase { "x", "x", "x/" }, SubfolderCase { "a", "", "" }));

struct UserDirsCase {
    const char *name;
    QByteArray file; // empty: no user-dirs.dirs
    QString folder; // below home, or absolute
};

class UserDirs : public testing::TestWithParam<UserDirsCase> { };

TEST_P(UserDirs, DesktopFolder)
{
    const QString config = tltest::freshFolder();
    if (!GetParam().file.isEmpty())
        tltest::writeFile(config + "/user-dirs.dirs", GetParam().file);
    const QString folder = GetParam().folder;
    EXPECT_EQ(ti::userFolder(config, "/home/u", "XDG_DESKTOP_DIR", "Desktop"),
        folder.startsWith('/') ? folder : "/home/u/" + folder);
}

INSTANTIATE_TEST_SUITE_P(Table, UserDirs,
    testing::Values(UserDirsCase { "NoFile", "", "Desktop" },
        UserDirsCase { "HomeRelative", "# comment\nXDG_DESKTOP_DIR=\"$HOME/Bureau\"\n", "Bureau" },
        UserDirsCase { "Absolute", "XDG_DESKTOP_DIR=\"/data/desk/\"\n", "/data/desk" },
        UserDirsCase { "OtherKeyOnly", "XDG_DESKTOP_DIR_X=\"/x\"\nXDG_MUSIC_DIR=\"$HOME/M\"\n", "Desktop" },
        UserDirsCase { "Commented", "#XDG_DESKTOP_DIR=\"/x\"\n", "Desktop" },
        UserDirsCase { "RelativeIgnored", "XDG_DESKTOP_DIR=\"Desk\"\n", "Desktop" }),
    [](const auto &info) { return testName(info.param.name); });

} // namespace
