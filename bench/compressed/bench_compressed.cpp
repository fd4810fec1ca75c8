// Opening and closing a compressed notes file of 10,000 notes (about 50 MB)
// the way the main window does it, against the floor of the same run: the
// same notes file packed by `zip -6` and unpacked by `unzip`. The working
// copy lives in the private temp folder, as in the program: run it with
// XDG_RUNTIME_DIR set (as a desktop session has it) and without.
//
// Open: unpack the member beside the working copy, move it in place, read
// realpath (written only when it changed), load note 0. Close: store note 0,
// write the archive beside itself at level 6, check it, rename it over the
// old one, delete the copy.

#include "notes/compressed.h"
#include "notes/recordstore.h"
#include "platform/paths.h"
#include "support/notesfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <unistd.h>

namespace {

namespace cz = tl::compressed;
using tlbench::seconds;

bool run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

void BM_OpenCloseCompressed(benchmark::State &state)
{
    const QString zip = QStandardPaths::findExecutable(QStringLiteral("zip"));
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (zip.isEmpty() || unzip.isEmpty()) {
        state.SkipWithError("zip and unzip are needed for the baseline");
        return;
    }
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tl-bench-XXXXXX"));
    const QString plain = tlbench::makeNotesFile(dir.path());
    const QString archive = dir.path() + QStringLiteral("/Bench.znts");
    const QString member = dir.path() + QStringLiteral("/Bench.nts");
    QFile::rename(plain, member);
    tl::RecordStore().setParam(member, QStringLiteral("RealPath"), archive);
    tl::RecordStore().setParam(member, QStringLiteral("CompressLevel"), QStringLiteral("6"));
    cz::packNotes(member, archive, 6);
    QDir().mkpath(dir.path() + QStringLiteral("/out"));
    // Where the program keeps it: the private temp folder, in
    // $XDG_RUNTIME_DIR (a memory file system on a desktop) when that is set.
    const QString copy = cz::workingCopyPath(archive, tl::paths::privateTempFolder());
    const QString fresh = copy + QStringLiteral(".fresh");
    const QString baseZip = dir.path() + QStringLiteral("/base.zip");

    double ours = 0, floor = 0, unpack = 0, xml = 0, pack = 0;
    int k = 0;
    for (auto _ : state) {
        // Each side starts with nothing dirty on disk: a sync inside one
        // would otherwise pay for what the other left unwritten.
        ::sync();
        const auto t0 = std::chrono::steady_clock::now();
        std::chrono::steady_clock::time_point ta, tb;
        {
            tl::RecordStore store;
            cz::unpackNotes(archive, fresh);
            std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(copy).constData());
            ta = std::chrono::steady_clock::now();
            if (store.param(copy, QStringLiteral("RealPath")) != archive)
                store.setParam(copy, QStringLiteral("RealPath"), archive);
            QString text = store.loadNote(0, copy);
            benchmark::DoNotOptimize(store.param(copy, QStringLiteral("CompressLevel")));
            text += QString::number(k++); // an edit
            store.saveNote(0, copy, text);
            tb = std::chrono::steady_clock::now();
            cz::packNotes(copy, archive, 6);
            QFile::remove(copy);
        }
        const auto t1end = std::chrono::steady_clock::now();
        ::sync();
        const auto t1 = std::chrono::steady_clock::now();
        unpack += seconds(ta - t0);
        xml += seconds(tb - ta);
        pack += seconds(t1end - tb);
        QFile::remove(baseZip);
        if (!run(zip, { QStringLiteral("-6"), QStringLiteral("-q"), QStringLiteral("-j"), baseZip, member })
            || !run(unzip,
                { QStringLiteral("-q"), QStringLiteral("-o"), baseZip, QStringLiteral("-d"),
                    dir.path() + QStringLiteral("/out") })) {
            state.SkipWithError("zip or unzip failed");
            return;
        }
        const auto t2 = std::chrono::steady_clock::now();
        ours += seconds(t1end - t0);
        floor += seconds(t2 - t1);
        state.SetIterationTime(seconds(t1end - t0));
    }
    state.counters["file_MB"] = double(QFileInfo(member).size()) / (1024 * 1024);
    state.counters["archive_MB"] = double(QFileInfo(archive).size()) / (1024 * 1024);
    state.counters["open_close_ms"] = 1000 * ours / double(state.iterations());
    state.counters["zip6_unzip_ms"] = 1000 * floor / double(state.iterations());
    state.counters["ratio"] = ours / floor;
    state.counters["unpack_ms"] = 1000 * unpack / double(state.iterations());
    state.counters["notes_ms"] = 1000 * xml / double(state.iterations()); // realpath, note 0 read and stored
    state.counters["pack_ms"] = 1000 * pack / double(state.iterations()); // written, checked, renamed
}

} // namespace

BENCHMARK(BM_OpenCloseCompressed)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
