// Kill -9 at random moments: a child process runs the real store code in a
// loop (notes saved one by one, settings written in batches, a compressed
// file's working copy edited and packed back) and is killed with SIGKILL
// after a random delay. Afterwards every file must parse and hold one whole
// state the child had written, never a mix or a half; the compressed file's
// working copy must hold the newest edit.
//
//   crashsafety [--seconds N] [--min-trials N] [--seed N]
//   crashsafety --child notes|settings|compressed FOLDER

#include "notes/compressed.h"
#include "notes/recordstore.h"
#include "platform/error.h"
#include "platform/settingsfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kNotes = 40;
constexpr int kSettings = 30;

QString noteText(int note, int version)
{
    // A few kilobytes each, so a write takes long enough to be cut.
    return QStringLiteral("{\\rtf1\\ansi note %1 version %2 ").arg(note).arg(version)
        + QString(2000 + note * 37, QLatin1Char('a' + note % 26)) + QStringLiteral("}");
}

// The version a note text stands for, or -1 for anything else.
int versionOf(const QString &text, int note)
{
    static const QRegularExpression re(QStringLiteral("^\\{\\\\rtf1\\\\ansi note (\\d+) version (\\d+) "));
    const auto m = re.match(text);
    if (!m.hasMatch() || m.captured(1).toInt() != note)
        return -1;
    const int version = m.captured(2).toInt();
    return text == noteText(note, version) ? version : -1;
}

QString notesPath(const QString &folder) { return folder + QStringLiteral("/Diary.nts"); }
QString settingsPath(const QString &folder) { return folder + QStringLiteral("/config/settings.conf"); }
QString archivePath(const QString &folder) { return folder + QStringLiteral("/Diary.znts"); }
QString copyPath(const QString &folder) { return folder + QStringLiteral("/work/Diary.nts"); }

// A notes file of kNotes notes, every one at version 0; made once, copied
// for each trial.
void makeNotes(const QString &path)
{
    static const QString made = [] {
        const QString first = QDir::tempPath() + QStringLiteral("/tl-crashsafety-template.nts");
        QFile::remove(first);
        tl::RecordStore store;
        store.saveNote(0, first, {});
        for (int i = 0; i < kNotes; ++i)
            store.saveNote(i, first, noteText(i, 0));
        return first;
    }();
    if (!QFile::copy(made, path))
        std::abort();
}

// --- the children: they never end by themselves --------------------------

[[noreturn]] void childNotes(const QString &folder)
{
    tl::RecordStore store;
    const QString path = notesPath(folder);
    for (long step = 0;; ++step) {
        const int note = int(step % kNotes);
        store.saveNote(note, path, noteText(note, int(step / kNotes) + 1));
    }
}

[[noreturn]] void childSettings(const QString &folder)
{
    const tl::SettingsFile file(settingsPath(folder));
    for (qint32 round = 1;; ++round) {
        tl::SettingsFile::Batch batch(file);
        for (int i = 0; i < kSettings; ++i)
            file.setString(QStringLiteral("Value%1").arg(i), QStringLiteral("round %1 value %2").arg(round).arg(i));
        file.setInteger(QStringLiteral("Round"), round);
        batch.finish();
        file.setInteger(QStringLiteral("Single"), round);
    }
}

[[noreturn]] void childCompressed(const QString &folder)
{
    tl::RecordStore store;
    const QString copy = copyPath(folder);
    for (long step = 0;; ++step) {
        const int note = int(step % kNotes);
        store.saveNote(note, copy, noteText(note, int(step / kNotes) + 1));
        // The edit is recorded once it is in the working copy.
        tl::compressed::packNotes(copy, archivePath(folder), int(step % 10));
    }
}

// --- the checks ------------------------------------------------------------

struct Failure {
    QString what;
};

[[noreturn]] void fail(const QString &what) { throw Failure{what}; }

// The versions of every note; the file must be one state of the sequence of
// saves: versions fall by at most one, once, from the first note to the last.
std::vector<int> checkNotesFile(const QString &path, const QString &label)
{
    tl::RecordStore store;
    std::vector<int> versions;
    try {
        const int count = store.noteCount(path);
        if (count != kNotes)
            fail(QStringLiteral("%1 holds %2 notes, not %3").arg(label).arg(count).arg(kNotes));
        for (int i = 0; i < kNotes; ++i) {
            const int v = versionOf(store.loadNote(i, path), i);
            if (v < 0)
                fail(QStringLiteral("%1: note %2 is not a text that was saved").arg(label).arg(i + 1));
            versions.push_back(v);
        }
    } catch (const tl::Error &e) {
        fail(label + QStringLiteral(" does not load: ") + e.message());
    }
    int drops = 0;
    for (int i = 1; i < kNotes; ++i) {
        if (versions[size_t(i)] != versions[size_t(i - 1)])
            ++drops;
        if (versions[size_t(i)] != versions[size_t(i - 1)] && versions[size_t(i)] != versions[size_t(i - 1)] - 1)
            fail(QStringLiteral("%1 mixes versions %2 and %3").arg(label).arg(versions[size_t(i - 1)]).arg(versions[size_t(i)]));
    }
    if (drops > 1)
        fail(label + QStringLiteral(" holds notes of more than two rounds"));
    return versions;
}

long stepsOf(const std::vector<int> &versions)
{
    // Saves done: every note of the last full round, plus the ones of the next.
    long steps = long(versions.back()) * kNotes;
    for (int v : versions)
        if (v > versions.back())
            ++steps;
    return steps;
}

void checkSettings(const QString &folder)
{
    const QString path = settingsPath(folder);
    if (!QFile::exists(path))
        return;  // killed before the first write finished
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail(QStringLiteral("the settings file cannot be read"));
    const auto entries = tl::SettingsFile::parse(f.readAll());
    if (!entries)
        fail(QStringLiteral("the settings file does not parse"));
    QHash<QString, tl::SettingValue> byName;
    for (const auto &e : *entries)
        byName.insert(e.name, e.value);
    const qint32 round = byName.value(QStringLiteral("Round")).number;
    if (round < 1)
        fail(QStringLiteral("the settings file lacks the round it was written in"));
    for (int i = 0; i < kSettings; ++i) {
        const QString want = QStringLiteral("round %1 value %2").arg(round).arg(i);
        if (byName.value(QStringLiteral("Value%1").arg(i)).text != want)
            fail(QStringLiteral("the settings of round %1 are mixed with another round").arg(round));
    }
    const qint32 single = byName.value(QStringLiteral("Single")).number;
    if (single != round && single != round - 1)
        fail(QStringLiteral("the single value %1 does not belong to round %2").arg(single).arg(round));
}

void checkCompressed(const QString &folder)
{
    const std::vector<int> copy = checkNotesFile(copyPath(folder), QStringLiteral("the working copy"));
    const QString unpacked = folder + QStringLiteral("/check/Diary.nts");
    QDir().mkpath(QFileInfo(unpacked).absolutePath());
    try {
        tl::compressed::unpackNotes(archivePath(folder), unpacked);
    } catch (const tl::Error &e) {
        fail(QStringLiteral("the archive does not unpack: ") + e.message());
    }
    const std::vector<int> packed = checkNotesFile(unpacked, QStringLiteral("the archive's notes file"));
    // The archive is the copy as it was at the last pack or the one before.
    const long behind = stepsOf(copy) - stepsOf(packed);
    if (behind < 0 || behind > 1)
        fail(QStringLiteral("the archive is %1 edits behind its working copy").arg(behind));
}

// Temporary files the killed child left beside the files it wrote.
int leftovers(const QString &folder)
{
    int n = 0;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
        if (it.next().contains(QLatin1String("/.")))
            ++n;
    return n;
}

struct Mode {
    const char *name;
    void (*prepare)(const QString &folder);
    void (*check)(const QString &folder);
};

const Mode kModes[] = {
    {"notes", [](const QString &f) { makeNotes(notesPath(f)); },
     [](const QString &f) { checkNotesFile(notesPath(f), QStringLiteral("the notes file")); }},
    {"settings", [](const QString &) {}, checkSettings},
    {"compressed",
     [](const QString &f) {
         QDir().mkpath(f + QStringLiteral("/work"));
         makeNotes(copyPath(f));
         tl::compressed::packNotes(copyPath(f), archivePath(f), 0);
     },
     checkCompressed},
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--child")) {
        try {
            if (args[2] == QLatin1String("notes"))
                childNotes(args[3]);
            if (args[2] == QLatin1String("settings"))
                childSettings(args[3]);
            if (args[2] == QLatin1String("compressed"))
                childCompressed(args[3]);
        } catch (const tl::Error &e) {
            std::fprintf(stderr, "child: %s\n", qPrintable(e.message()));
        }
        return 3;
    }

    double seconds = 45;
    int minTrials = 30;
    unsigned seed = std::random_device{}();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--seconds"))
            seconds = args[i + 1].toDouble();
        else if (args[i] == QLatin1String("--min-trials"))
            minTrials = args[i + 1].toInt();
        else if (args[i] == QLatin1String("--seed"))
            seed = args[i + 1].toUInt();
    }
    std::printf("seed %u\n", seed);
    std::mt19937 random(seed);

    // Everything in a folder of its own, the settings folder included.
    QTemporaryDir sandbox(QDir::tempPath() + QStringLiteral("/tl-crashsafety-XXXXXX"));
    if (!sandbox.isValid())
        return 2;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(sandbox.filePath(QStringLiteral("xdg-config"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(sandbox.filePath(QStringLiteral("xdg-runtime"))));
    qputenv("TMPDIR", QFile::encodeName(sandbox.path()));
    const QByteArray self = QFile::encodeName(QCoreApplication::applicationFilePath());

    int failures = 0;
    for (const Mode &mode : kModes) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds / 3);
        int trials = 0, left = 0;
        while (trials < minTrials || std::chrono::steady_clock::now() < until) {
            const QString folder = sandbox.filePath(QStringLiteral("%1-%2").arg(QLatin1String(mode.name)).arg(trials));
            QDir().mkpath(folder);
            mode.prepare(folder);
            const QByteArray folderArg = QFile::encodeName(folder);
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::execl(self.constData(), self.constData(), "--child", mode.name, folderArg.constData(), nullptr);
                ::_exit(127);
            }
            if (pid < 0)
                return 2;
            // From the child's very first steps to well into its loop.
            std::uniform_int_distribution<int> delay(0, 60000);
            ::usleep(useconds_t(delay(random)));
            ::kill(pid, SIGKILL);
            int status = 0;
            ::waitpid(pid, &status, 0);
            if (!WIFSIGNALED(status)) {
                std::printf("%s trial %d: the child ended by itself (status %d)\n", mode.name, trials, status);
                ++failures;
            }
            try {
                mode.check(folder);
            } catch (const Failure &f) {
                std::printf("%s trial %d: %s\n", mode.name, trials, qPrintable(f.what));
                ++failures;
            }
            left += leftovers(folder);
            QDir(folder).removeRecursively();
            ++trials;
        }
        std::printf("%s: %d kill -9 trials, %d temporary files left behind\n", mode.name, trials, left);
    }
    std::printf("%d failures\n", failures);
    return failures == 0 ? 0 : 1;
}
