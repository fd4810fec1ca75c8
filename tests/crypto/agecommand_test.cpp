// Files written with the default work factor, and Debian's `age` command on
// both sides of them: it opens what we write, we open what it writes. `age`
// reads a passphrase from its terminal only, so it runs under a
// pseudo-terminal and the passphrase is typed at its prompt. Without the
// command (scripts/setup.sh installs it) those tests are skipped.
//
// A derivation at the default work factor costs about half a second: the
// file written with it is made once and shared.

#include "crypto/agefile.h"
#include "support/tempenv.h"

#include <QStandardPaths>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace age = tl::crypto::age;

const QByteArray passphrase = "open sesame, 2 chunks";

// Two chunks of something like a notes file.
const QByteArray &notesText()
{
    static const QByteArray text = [] {
        QByteArray t = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<notes>\n";
        for (int i = 0; t.size() < age::chunkSize + 5000; ++i)
            t += "<note title=\"Day " + QByteArray::number(i) + "\">Dear diary, \xc3\xa9t\xc3\xa9.</note>\n";
        return t + "</notes>\n";
    }();
    return text;
}

const QByteArray &defaultFactorFile()
{
    static const QByteArray file = age::encrypt(notesText(), passphrase);
    return file;
}

struct TerminalRun {
    bool started = false;
    int exitCode = -1;
    QByteArray output; // what the program wrote to its terminal
};

// Runs program on a new pseudo-terminal and types answers[i] (and Return)
// at the i-th prompt that asks for a passphrase. A program that hangs is
// killed after a minute.
TerminalRun runOnTerminal(const QString &program, const QStringList &args, const QList<QByteArray> &answers)
{
    std::vector<std::string> words {program.toStdString()};
    for (const QString &a : args)
        words.push_back(a.toStdString());
    std::vector<char *> argv;
    for (std::string &w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    TerminalRun run;
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid < 0)
        return run;
    if (pid == 0) {
        execv(argv[0], argv.data());
        _exit(127);
    }
    run.started = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    qsizetype answered = 0;
    qsizetype from = 0;
    for (;;) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            break;
        }
        pollfd p {terminal, POLLIN, 0};
        if (poll(&p, 1, 500) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = read(terminal, buffer, sizeof buffer);
        if (n <= 0)
            break; // EIO: the program closed its terminal
        run.output.append(buffer, n);
        while (answered < answers.size()) {
            const qsizetype prompt = run.output.indexOf("passphrase", from);
            const qsizetype colon = prompt < 0 ? -1 : run.output.indexOf(": ", prompt);
            if (colon < 0)
                break;
            const QByteArray line = answers[answered++] + '\n';
            if (write(terminal, line.constData(), size_t(line.size())) != line.size())
                break;
            from = colon + 2;
        }
    }
    close(terminal);
    int status = 0;
    waitpid(pid, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

QString ageCommand()
{
    return QStandardPaths::findExecutable(QStringLiteral("age"));
}

TEST(AgeDefaults, AFileHasOneScryptStanzaWithWorkFactor18AndAValidMac)
{
    const QByteArray &file = defaultFactorFile();
    ASSERT_TRUE(file.startsWith("age-encryption.org/v1\n-> scrypt "));
    const age::Header header = age::parseHeader(file);
    ASSERT_EQ(header.stanzas.size(), 1);
    const age::Stanza &stanza = header.stanzas[0];
    ASSERT_EQ(stanza.args.size(), 3);
    EXPECT_EQ(stanza.args[0], "scrypt");
    EXPECT_EQ(QByteArray::fromBase64(stanza.args[1]).size(), 16);
    EXPECT_EQ(stanza.args[2], "18");
    EXPECT_EQ(stanza.body.size(), 32);
    EXPECT_EQ(header.text.mid(header.macInputSize - 4, 5), "\n--- ");
    EXPECT_TRUE(header.text.endsWith('\n'));
    EXPECT_EQ(header.mac.size(), 32);
}

TEST(AgeCommand, DecryptsWhatWeWrite)
{
    const QString program = ageCommand();
    if (program.isEmpty())
        GTEST_SKIP() << "the age command is not installed; scripts/setup.sh installs it";
    const QString folder = tltest::freshFolder();
    const QString encrypted = tltest::writeFile(folder + QStringLiteral("/Diary.nts.age"), defaultFactorFile());
    const QString plain = folder + QStringLiteral("/Diary.nts");
    const TerminalRun run
        = runOnTerminal(program, {QStringLiteral("-d"), QStringLiteral("-o"), plain, encrypted}, {passphrase});
    if (!run.started)
        GTEST_SKIP() << "no pseudo-terminal to type the passphrase into";
    ASSERT_EQ(run.exitCode, 0) << run.output.constData();
    EXPECT_EQ(tltest::readFile(plain), notesText());
}

TEST(AgeCommand, WritesWhatWeOpenArmored)
{
    const QString program = ageCommand();
    if (program.isEmpty())
        GTEST_SKIP() << "the age command is not installed; scripts/setup.sh installs it";
    const QString folder = tltest::freshFolder();
    const QString plain = tltest::writeFile(folder + QStringLiteral("/Diary.nts"), notesText());
    const QString encrypted = folder + QStringLiteral("/Diary.nts.age");
    const TerminalRun run = runOnTerminal(program,
        {QStringLiteral("-p"), QStringLiteral("-a"), QStringLiteral("-o"), encrypted, plain}, {passphrase, passphrase});
    if (!run.started)
        GTEST_SKIP() << "no pseudo-terminal to type the passphrase into";
    ASSERT_EQ(run.exitCode, 0) << run.output.constData();
    const QByteArray file = tltest::readFile(encrypted);
    ASSERT_TRUE(file.startsWith("-----BEGIN AGE ENCRYPTED FILE-----\n"));
    EXPECT_TRUE(age::looksEncrypted(file));
    EXPECT_TRUE(age::decrypt(file, passphrase).equals(notesText()));
}

} // namespace
