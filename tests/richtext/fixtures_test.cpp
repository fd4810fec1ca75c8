// Real-world shaped files: plain-text extraction, the editor's text and
// rtfcat agree with the expected text, and the editor's load and save keeps
// text and format.

#include "richtext/content.h"
#include "richtext/richedit.h"
#include "richtext/rtfdocument.h"
#include "support/tempenv.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "cannot read " << path.toStdString();
    return f.readAll();
}

QString fixture(const std::string &name) { return QStringLiteral(TL_FIXTURES "/") + QString::fromStdString(name); }

std::vector<std::string> fixtureNames()
{
    std::vector<std::string> names;
    for (const QString &f : QDir(QStringLiteral(TL_FIXTURES)).entryList({"*.rtf"}, QDir::Files, QDir::Name))
        names.push_back(f.chopped(4).toStdString());
    return names;
}

class Fixture : public ::testing::TestWithParam<std::string> {
protected:
    QByteArray rtf() const { return readAll(fixture(GetParam() + ".rtf")); }
    // The expected text as rtfcat prints it: every paragraph ends in '\n'.
    QString expected() const
    {
        QString t = QString::fromUtf8(readAll(fixture(GetParam() + ".txt")));
        return t.endsWith(u'\n') ? t.chopped(1) : t;
    }
};

TEST_P(Fixture, ExtractionEqualsEditorText)
{
    const QByteArray data = rtf();
    tl::RichEdit edit;
    edit.setContentText(QString::fromLatin1(data));
    EXPECT_EQ(edit.plainText(), expected());
    EXPECT_EQ(tl::rtf::toPlainText(std::string_view(data.constData(), size_t(data.size()))), expected());
}

TEST_P(Fixture, LoadAndSaveKeepsTextAndFormat)
{
    tl::RichEdit first;
    first.setContentText(QString::fromLatin1(rtf()));
    const QString saved = first.toRtf();
    tl::RichEdit second;
    second.setContentText(saved);
    EXPECT_EQ(second.plainText(), expected());
    EXPECT_EQ(rtftest::contentOf(*second.document()), rtftest::contentOf(*first.document()));
    EXPECT_EQ(second.toRtf(), saved);
}

TEST_P(Fixture, RtfcatPrintsTheText)
{
    QProcess p;
    p.start(QStringLiteral(RTFCAT), {fixture(GetParam() + ".rtf")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()), expected() + u'\n');
}

TEST_P(Fixture, RtfcatRewritesAsRtf)
{
    QProcess p;
    p.start(QStringLiteral(RTFCAT), {QStringLiteral("--rtf"), fixture(GetParam() + ".rtf")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    const QByteArray out = p.readAllStandardOutput();
    EXPECT_TRUE(out.startsWith("{\\rtf1\\ansi"));
    EXPECT_EQ(tl::rtf::toPlainText(std::string_view(out.constData(), size_t(out.size()))), expected());
}

INSTANTIATE_TEST_SUITE_P(Files, Fixture, ::testing::ValuesIn(fixtureNames()),
                         [](const auto &info) { return info.param; });

TEST(Rtfcat, MissingFileIsOneLineAndExitOne)
{
    QProcess p;
    p.start(QStringLiteral(RTFCAT), {fixture("no-such-file.rtf")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);
    const QByteArray err = p.readAllStandardError();
    EXPECT_TRUE(err.startsWith("rtfcat: ")) << err.toStdString();
    EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
}

// Without a runtime folder Qt warns; a command-line tool prints only its
// output.
TEST(Rtfcat, PrintsNoQtWarnings)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(RTFCAT), {QStringLiteral("--rtf"), fixture("wordpad.rtf")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(p.readAllStandardError().toStdString(), "");
    EXPECT_TRUE(p.readAllStandardOutput().startsWith("{\\rtf1"));
}

// Numbers that claim gigabytes, and big pictures, under a limit of address
// space a few times what the tool needs: nothing allocates what the input
// only claims.
TEST(Rtfcat, HostilePicturesStayWithinMemory)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit";
#endif
    QByteArray big;
    {
        QImage image(4000, 3000, QImage::Format_RGB32);
        image.fill(Qt::white);
        QBuffer buffer(&big);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    QByteArray rtf = "{\\rtf1\\ansi ";
    for (int i = 0; i < 10; ++i)
        rtf += "{\\pict\\pngblip\\picw4000\\pich3000 " + big.toHex() + "}";
    rtf += "{\\pict\\pngblip\\picw2147483647\\pich2147483647\\picwgoal2147483647\\pichgoal2147483647 "
           "89504e470d0a1a0a}";
    rtf += "{\\object\\objw2147483647\\objh2147483647{\\*\\objdata\\bin2147483647 01}}";
    rtf += "{\\pict\\pngblip\\bin2147483647 89504e47}}";
    const QString file = tltest::writeFile(tltest::freshFolder() + "/hostile.rtf", rtf);

    QProcess p;
    p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("ulimit -v 524288 && exec \"$0\" --rtf \"$1\""),
                                        QStringLiteral(RTFCAT), file});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QByteArray out = p.readAllStandardOutput();
    EXPECT_EQ(out.count("{\\pict\\pngblip\\picw4000\\pich3000"), 10);
    EXPECT_TRUE(out.endsWith("}\n"));
}

TEST(Rtfcat, FolderIsUnreadable)
{
    QProcess p;
    p.start(QStringLiteral(RTFCAT), {QStringLiteral("--rtf"), QStringLiteral(TL_FIXTURES)});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(p.readAllStandardError().count('\n'), 1);
}

} // namespace
