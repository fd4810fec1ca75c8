#include "platform/desktopfile.h"

#include <functional>
#include <gtest/gtest.h>

using tl::DesktopFile;

namespace {
std::string testName(std::string n)
{
    for (char &c : n)
        if (!isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return n;
}
} // namespace

// One edit on a file: the bytes before and after.
struct EditCase {
    const char *name;
    QByteArray before;
    std::function<void(DesktopFile &)> edit;
    QByteArray after;
};

class DesktopFileEdit : public testing::TestWithParam<EditCase> { };

TEST_P(DesktopFileEdit, TouchesOnlyItsLine)
{
    DesktopFile file(GetParam().before);
    GetParam().edit(file);
    EXPECT_EQ(file.toBytes(), GetParam().after);
}

const QByteArray twoGroups = "# made by hand\n"
                             "[Default Applications]\n"
                             "text/html=firefox.desktop;\n"
                             "\n"
                             "# next\n"
                             "[Added Associations]\n"
                             "image/png=gimp.desktop;eog.desktop;\n";

INSTANTIATE_TEST_SUITE_P(Table, DesktopFileEdit,
    testing::Values(EditCase { "ReplaceKeepsPlace", twoGroups,
                        [](DesktopFile &f) { f.setValue("Added Associations", "image/png", "x.desktop;"); },
                        QByteArray(twoGroups).replace("gimp.desktop;eog.desktop;", "x.desktop;") },
        EditCase { "NewKeyAfterLastEntryBeforeBlankAndComment", twoGroups,
            [](DesktopFile &f) { f.setValue("Default Applications", "text/plain", "a.desktop;"); },
            QByteArray(twoGroups).replace("firefox.desktop;\n", "firefox.desktop;\ntext/plain=a.desktop;\n") },
        EditCase { "NewGroupAtTheEndAfterABlankLine", twoGroups,
            [](DesktopFile &f) { f.setValue("Removed Associations", "a/b", "c;"); },
            twoGroups + "\n[Removed Associations]\na/b=c;\n" },
        EditCase { "EmptyFile", "", [](DesktopFile &f) { f.setValue("G", "k", "v"); }, "[G]\nk=v\n" },
        EditCase { "RemoveOneLine", twoGroups, [](DesktopFile &f) { f.remove("Default Applications", "text/html"); },
            QByteArray(twoGroups).replace("text/html=firefox.desktop;\n", "") },
        EditCase { "SameKeyInAnotherGroupUntouched", "[A]\nk=1\n[B]\nk=2\n",
            [](DesktopFile &f) { f.setValue("B", "k", "3"); }, "[A]\nk=1\n[B]\nk=3\n" },
        EditCase { "LocalisedKeyIsItsOwn", "[G]\nName[de]=Notizen\nName=Notes\n",
            [](DesktopFile &f) { f.setValue("G", "Name", "Tessaleaf"); }, "[G]\nName[de]=Notizen\nName=Tessaleaf\n" },
        EditCase { "CarriageReturnsKept", "[G]\r\na=1\r\n",
            [](DesktopFile &f) {
                f.setValue("G", "a", "2");
                f.setValue("G", "b", "3");
            },
            "[G]\r\na=2\r\nb=3\r\n" },
        EditCase { "NoFinalNewlineKept", "[G]\na=1", [](DesktopFile &f) { f.setValue("G", "a", "2"); }, "[G]\na=2" }),
    [](const auto &info) { return testName(info.param.name); });

TEST(DesktopFile, ReadsValuesAndListsAroundBlanks)
{
    const DesktopFile file("[G]\n  key = a.desktop;;b.desktop  \n#k=comment\n");
    EXPECT_EQ(file.value("G", "key"), "a.desktop;;b.desktop");
    EXPECT_EQ(file.list("G", "key"), QStringList({ "a.desktop", "b.desktop" }));
    EXPECT_FALSE(file.hasKey("G", "#k"));
    EXPECT_FALSE(file.hasKey("H", "key"));
    EXPECT_TRUE(file.hasGroup("G"));
}

struct ExecCase {
    const char *name;
    QStringList arguments;
    QString value;
};

class DesktopExec : public testing::TestWithParam<ExecCase> { };

TEST_P(DesktopExec, QuotesWhatNeedsIt)
{
    EXPECT_EQ(tl::execValue(GetParam().arguments), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Table, DesktopExec,
    testing::Values(ExecCase { "Plain", { "/usr/bin/tessaleaf" }, "/usr/bin/tessaleaf" },
        ExecCase { "Space", { "/opt/Tess leaf/tessaleaf", "start" }, "\"/opt/Tess leaf/tessaleaf\" start" },
        ExecCase { "Percent", { "/a/100%/t" }, "/a/100%%/t" }, ExecCase { "Dollar", { "/a/$x" }, "\"/a/\\\\$x\"" },
        ExecCase { "Backslash", { "/a\\b" }, "\"/a\\\\\\\\b\"" }, ExecCase { "Quote", { "/a\"b" }, "\"/a\\\\\"b\"" }),
    [](const auto &info) { return testName(info.param.name); });
