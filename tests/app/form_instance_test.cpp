// A second start of the program, as the running window receives it: over
// the real socket, from a sender on another thread.

#include "formfixture.h"
#include "notes/recordstore.h"
#include "platform/singleinstance.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTest>

#include <future>
#include <gmock/gmock.h>

namespace ti = tl::instance;

namespace {

const char kFirst[] = "<root><info><lastupdate/><authorname/><companyname/><comments/><realpath/>"
                      "<compresslevel/></info><notes><note>first</note><note>second</note></notes></root>";
const char kOther[] = "<root><info><lastupdate/><authorname/><companyname/><comments/><realpath/>"
                      "<compresslevel/></info><notes><note>other</note></notes></root>";

struct SecondStart {
    const char *name;
    bool startHidden;             // the running program was started with `start`
    QStringList args;             // the second start's command line
    bool shownAfter;
    const char *openAfter;        // file name, or "First.nts" when it stays
};

void PrintTo(const SecondStart &c, std::ostream *os)
{
    *os << c.name;
}

class InstanceTest : public FormTest, public testing::WithParamInterface<SecondStart> {
protected:
    // Starts the window with First.nts and a server as the program runs it.
    TForm1 &startRunning(bool hidden)
    {
        first = tltest::writeFile(dir + QStringLiteral("/First.nts"), kFirst);
        tltest::writeFile(dir + QStringLiteral("/Other.nts"), kOther);
        QStringList args{first};
        if (hidden)
            args << QStringLiteral("start");
        TForm1 &f = start(args);
        socket = ti::socketPath(tltest::freshFolder());
        EXPECT_TRUE(server.listen(socket));
        server.setHandler([&f, this](const ti::Request &r) {
            f.handOverReceived(r);
            ++received;
        });
        return f;
    }

    // What `tessaleaf ARGS...` does in dir while the window runs.
    void secondStart(const QStringList &args)
    {
        const ti::Request request = ti::fromArguments(args, dir);
        const int before = received;
        auto sent = std::async(std::launch::async, [&] { return ti::handOver(socket, request, 10000); });
        QDeadlineTimer guard(20000);
        while (!(sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready && received > before)
               && !guard.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_EQ(sent.get(), ti::HandOver::Delivered);
        ASSERT_EQ(received, before + 1);
    }

    QString first, socket;
    ti::Server server;
    int received = 0;
};

} // namespace

TEST_P(InstanceTest, ActsOnTheHandedCommandLine)
{
    const SecondStart &c = GetParam();
    TForm1 &f = startRunning(c.startHidden);
    ASSERT_EQ(f.isVisible(), !c.startHidden);
    secondStart(c.args);
    EXPECT_EQ(f.isVisible(), c.shownAfter);
    EXPECT_EQ(QFileInfo(f.CurrentFile()).fileName(), QString::fromLatin1(c.openAfter));
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Tessaleaf - ") + QString::fromLatin1(c.openAfter));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstanceTest,
    testing::Values(SecondStart{"FileToAShownWindow", false, {"Other.nts"}, true, "Other.nts"},
                    SecondStart{"FileToAHiddenWindowShowsIt", true, {"Other.nts"}, true, "Other.nts"},
                    SecondStart{"FileWithStartStaysHidden", true, {"start", "Other.nts"}, false, "Other.nts"},
                    SecondStart{"MissingFileIsSkipped", false, {"Missing.nts"}, true, "First.nts"},
                    SecondStart{"ToggleHidesAShownWindow", false, {"--toggle"}, false, "First.nts"},
                    SecondStart{"ToggleShowsAHiddenWindow", true, {"--toggle"}, true, "First.nts"},
                    SecondStart{"StartAloneShowsNothing", true, {"start"}, false, "First.nts"},
                    SecondStart{"StartAloneLeavesAShownWindow", false, {"START"}, true, "First.nts"},
                    SecondStart{"PlainSecondStartShowsTheWindow", true, {}, true, "First.nts"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(InstanceTest, AHandedFileClosesTheOpenOneAsOpenDoes)
{
    TForm1 &f = startRunning(false);
    f.memo1->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("edited "));
    secondStart({QStringLiteral("Other.nts")});
    EXPECT_EQ(f.CurrentFile(), dir + QStringLiteral("/Other.nts"));
    // The note shown of the file open before was stored on the way.
    EXPECT_THAT(tl::RecordStore().loadNote(0, first).toStdString(), testing::HasSubstr("edited"));
}

TEST_F(InstanceTest, ToggleTwiceHidesAndShowsAgain)
{
    TForm1 &f = startRunning(false);
    secondStart({QStringLiteral("--toggle")});
    EXPECT_FALSE(f.isVisible());
    secondStart({QStringLiteral("--toggle")});
    EXPECT_TRUE(f.isVisible());
}
