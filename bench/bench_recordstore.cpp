// One step through a large notes file (store note k, load note k + 1) against
// the floor the format allows: reading the file's bytes once and writing them
// once to a new file with the same durability steps (flush, sync, rename).

#include "notes/recordstore.h"
#include "platform/atomicfile.h"
#include "support/notesfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <sys/resource.h>

namespace {

using tlbench::kNotes;
using tlbench::noteText;
using tlbench::seconds;

// Steps through the file, each step timed against the floor: the same file's
// bytes read once and written once with the same durability steps. With
// reuse the store keeps its parsed copy between steps (it is checked against
// the file each time); without, every operation parses the file afresh, as
// after another process changed it.
void runSteps(benchmark::State &state, bool reuse)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tl-bench-XXXXXX"));
    const QString path = tlbench::makeNotesFile(dir.path());
    const QString copy = dir.path() + QStringLiteral("/Copy.nts");
    tl::RecordStore kept;
    int k = 0;
    double stepTotal = 0, floorTotal = 0;
    for (auto _ : state) {
        tl::RecordStore saver, loader;
        tl::RecordStore &save = reuse ? kept : saver;
        tl::RecordStore &load = reuse ? kept : loader;
        const QString text = noteText(k, reuse ? 'b' : 'c');
        auto t0 = std::chrono::steady_clock::now();
        save.saveNote(k, path, text);
        benchmark::DoNotOptimize(load.loadNote(k + 1, path));
        auto t1 = std::chrono::steady_clock::now();
        tl::writeFileAtomically(copy, tl::readWholeFile(path));
        auto t2 = std::chrono::steady_clock::now();
        stepTotal += seconds(t1 - t0);
        floorTotal += seconds(t2 - t1);
        state.SetIterationTime(seconds(t1 - t0));
        k = (k + 1) % (kNotes - 1);
    }
    state.counters["file_MB"] = double(QFileInfo(path).size()) / (1024 * 1024);
    state.counters["step_ms"] = 1000 * stepTotal / double(state.iterations());
    state.counters["floor_ms"] = 1000 * floorTotal / double(state.iterations());
    state.counters["ratio"] = stepTotal / floorTotal;
}

void BM_NoteStep(benchmark::State &state)
{
    runSteps(state, true);
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = double(usage.ru_maxrss) / 1024;
}

void BM_NoteStepColdFile(benchmark::State &state)
{
    runSteps(state, false);
}

// The window's step: the note shown is stored into the file as it is now
// (found again by its loaded text, the note before it remembered), then the
// next note is loaded with its predecessor.
void BM_NoteStepShown(benchmark::State &state)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tl-bench-XXXXXX"));
    const QString path = tlbench::makeNotesFile(dir.path());
    const QString copy = dir.path() + QStringLiteral("/Copy.nts");
    tl::RecordStore store;
    auto shownAt = [&](int index) {
        tl::sync::ShownNote shown{index, tl::sync::storedForm(store.loadNote(index, path)), std::nullopt};
        if (index > 0)
            shown.before = tl::sync::storedForm(store.loadNote(index - 1, path));
        return shown;
    };
    int k = 0;
    tl::sync::ShownNote shown = shownAt(k);
    double stepTotal = 0, floorTotal = 0;
    for (auto _ : state) {
        const QString text = noteText(k, 'd');
        auto t0 = std::chrono::steady_clock::now();
        store.storeShown(path, shown, text, true);
        shown = shownAt(k + 1);
        auto t1 = std::chrono::steady_clock::now();
        tl::writeFileAtomically(copy, tl::readWholeFile(path));
        auto t2 = std::chrono::steady_clock::now();
        stepTotal += seconds(t1 - t0);
        floorTotal += seconds(t2 - t1);
        state.SetIterationTime(seconds(t1 - t0));
        k = (k + 1) % (kNotes - 1);
        if (k == 0)
            shown = shownAt(0);
    }
    state.counters["step_ms"] = 1000 * stepTotal / double(state.iterations());
    state.counters["floor_ms"] = 1000 * floorTotal / double(state.iterations());
    state.counters["ratio"] = stepTotal / floorTotal;
}

} // namespace

BENCHMARK(BM_NoteStep)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NoteStepColdFile)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NoteStepShown)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
