// Real-world shaped files: plain-text extraction, the editor's text and
// rtfcat agree with the expected text, and the editor's load and save keeps
// text and format.

#include "richtext/content.h"
#include "richtext/richedit.h"
#include "richtext/rtfdocument.h"
#include "richtext/rtfreader.h"
#include "support/tempenv.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <gtest/gtest.h>


#include <string>
#include <vector>

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
    // Of these, only Word's holds what the editor leaves out: a footnote.
    EXPECT_EQ(edit.unheldContent(), GetParam() == "word" ? unsigned(tl::rtf::unheld::Footnotes) : 0u);
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
    // A picture's place is no text for a reader.
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()),
              QString(expected()).remove(QChar::ObjectReplacementCharacter) + u'\n');
}

TEST_P(Fixture, RtfcatRewritesAsRtf)
{
    QProcess p;
    p.start(QStringLiteral(RTFCAT), {QStringLiteral("--rtf"), fixture(GetParam() + ".rtf")});
    ASSERT_TRUE(p.waitForFinished(30000));
    // What the rewrite loses is said, never silent: Word's footnote.
    const bool loses = GetParam() == "word";
    EXPECT_EQ(p.exitCode(), loses ? 3 : 0);
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardError()).contains(QLatin1String("footnote")), loses);
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
    const QByteArray big = rtftest::whitePng(4000, 3000);
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

// Peak memory of one rtfcat run, in bytes, as GNU time measures it: the
// tool's own, not what a child of this big test process starts with.
qint64 peakOfRtfcat(const QStringList &args, const QString &out)
{
    QProcess p;
    p.setStandardOutputFile(out);
    p.start(QStringLiteral("/usr/bin/time"), QStringList{QStringLiteral("-f"), QStringLiteral("peak %M"),
                                                         QStringLiteral(RTFCAT)} + args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return -1;
    const QList<QByteArray> lines = p.readAllStandardError().trimmed().split('\n');
    return lines.last().startsWith("peak ") ? lines.last().mid(5).toLongLong() * 1024 : -1;
}

// A note with 50 MB of picture data is read and written in time and
// memory linear in it. Beyond the RTF text rtfcat holds in and out, a load
// and a save take about 3 times the picture's bytes today (the goal is 2);
// the bound catches one more copy of the text, or of the picture twice.
TEST(Rtfcat, FiftyMegabytesOfPictureAreNotCopiedOverAndOver)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's shadow memory is counted too";
#endif
    if (!QFileInfo(QStringLiteral("/usr/bin/time")).isExecutable())
        GTEST_SKIP() << "GNU time (/usr/bin/time) is not installed";
    // A small PNG with 50 private chunks of 1 MB each, as a camera's
    // metadata makes a picture big: all of it bytes to keep.
    QByteArray png;
    {
        QImage image(8, 6, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    auto chunk = [](const char *type, const QByteArray &data) {
        QByteArray c;
        const quint32 n = quint32(data.size());
        c.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n));
        c.append(type, 4).append(data);
        quint32 crc = 0xffffffffu;
        for (const QByteArray &part : {QByteArray(type, 4), data}) {
            for (const char ch : part) {
                crc ^= quint8(ch);
                for (int k = 0; k < 8; ++k)
                    crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1)));
            }
        }
        crc ^= 0xffffffffu;
        c.append(char(crc >> 24)).append(char(crc >> 16)).append(char(crc >> 8)).append(char(crc));
        return c;
    };
    QByteArray extra;
    for (int i = 0; i < 50; ++i) {
        QByteArray data(1 << 20, '\0');
        for (int j = 0; j < data.size(); ++j)
            data[j] = char((j * 131 + i) & 0xff);
        extra += chunk("prVt", data);
    }
    png.insert(png.size() - 12, extra); // before IEND
    ASSERT_FALSE(QImage::fromData(png, "PNG").isNull());

    const QString folder = tltest::freshFolder();
    const QByteArray head = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 before ";
    const QString small = tltest::writeFile(folder + "/small.rtf", head + "after\\par}");
    const QString big = tltest::writeFile(folder + "/big.rtf",
                                          head + "{\\pict\\pngblip\\picw8\\pich6 " + png.toHex() + "}after\\par}");
    const qint64 baseline = peakOfRtfcat({QStringLiteral("--rtf"), small}, folder + "/small.out");
    const qint64 peak = peakOfRtfcat({QStringLiteral("--rtf"), big}, folder + "/big.out");
    ASSERT_GT(baseline, 0);
    ASSERT_GT(peak, 0);
    const QByteArray out = tltest::readFile(folder + "/big.out");
    const qsizetype at = out.indexOf("{\\pict\\pngblip\\picw8\\pich6");
    ASSERT_GE(at, 0);
    const qsizetype from = out.indexOf('\n', at) + 1, to = out.indexOf('}', at);
    EXPECT_TRUE(QByteArray::fromHex(out.mid(from, to - from)) == png) << "the picture's bytes changed";
    const qint64 rtfText = QFileInfo(big).size() + out.size();
    EXPECT_LE(peak - baseline, rtfText + 4 * png.size())
        << "peak " << peak / 1000000 << " MB, " << baseline / 1000000 << " MB for a small note, RTF in and out "
        << rtfText / 1000000 << " MB, picture " << png.size() / 1000000 << " MB";
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
