// Find with no hit over a 10,000-note file (a full walk: one parse and the
// plain text of every note) against one pugixml parse of the same file;
// and the same walk through the Find cache, with the file unchanged and
// changed before each step.

#include "editor/findwalk.h"
#include "support/notesfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

using tlbench::kNotes;
using tlbench::seconds;

// Times walk (one Find step without a hit) against one pugixml parse of the
// same file; before runs ahead of each step, untimed.
template <typename Walk, typename Before>
void timeAgainstParse(benchmark::State &state, const QString &path, Walk walk, Before before)
{
    const QByteArray native = QFile::encodeName(path);
    double walkTotal = 0, parseTotal = 0;
    for (auto _ : state) {
        before();
        auto t0 = std::chrono::steady_clock::now();
        const tl::find::Hit hit = walk();
        benchmark::DoNotOptimize(hit);
        auto t1 = std::chrono::steady_clock::now();
        pugi::xml_document doc;
        benchmark::DoNotOptimize(doc.load_file(native.constData()));
        auto t2 = std::chrono::steady_clock::now();
        if (hit.position != 0 || !hit.missedInLast)
            state.SkipWithError("the walk found something or stopped early");
        walkTotal += seconds(t1 - t0);
        parseTotal += seconds(t2 - t1);
        state.SetIterationTime(seconds(t1 - t0));
    }
    state.counters["walk_ms"] = 1000 * walkTotal / double(state.iterations());
    state.counters["parse_ms"] = 1000 * parseTotal / double(state.iterations());
    state.counters["ratio"] = walkTotal / parseTotal;
}

tl::find::Hit walkWithoutHit(const tl::find::NoteTexts &texts)
{
    tl::find::SearchCounters counters;
    counters.reset(kNotes);
    return tl::find::searchWalk(QStringLiteral("Absent Word"), 1, counters, texts);
}

void BM_FindWithoutHit(benchmark::State &state)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tl-bench-XXXXXX"));
    const QString path = tlbench::makeNotesFile(dir.path());
    timeAgainstParse(
        state, path, [&] { return walkWithoutHit(tl::find::NotesFileTexts(path)); }, [] {});
}

// The same walk through the Find cache: once with the file as the cache
// last saw it, once with its modification time moved before every step.
void findThroughCache(benchmark::State &state, bool changeEveryStep)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tl-bench-XXXXXX"));
    const QString path = tlbench::makeNotesFile(dir.path());
    const QByteArray native = QFile::encodeName(path);
    tl::find::NotesTextCache cache;
    auto walk = [&] { return walkWithoutHit(*cache.texts(path)); };
    walk();
    walk();  // the second step that finds the file unchanged fills the cache
    long tick = 1;
    timeAgainstParse(state, path, walk, [&] {
        if (changeEveryStep) {
            ++tick;
            const struct timespec t[2] = {{tick, 0}, {tick, 0}};
            utimensat(AT_FDCWD, native.constData(), t, 0);
        }
    });
}

void BM_FindStepFileUnchanged(benchmark::State &state) { findThroughCache(state, false); }
void BM_FindStepFileChanged(benchmark::State &state) { findThroughCache(state, true); }

} // namespace

BENCHMARK(BM_FindStepFileUnchanged)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindStepFileChanged)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindWithoutHit)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
