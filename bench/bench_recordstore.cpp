// One step through a large notes file (store note k, load note k + 1) against
// the floor the format allows: reading the file's bytes once and writing them
// once to a new file with the same durability steps (flush, sync, rename).

#include "notes/recordstore.h"
#include "platform/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>
#include <sys/resource.h>

namespace {

constexpr int kNotes = 10000;
constexpr int kNoteBytes = 5 * 1024;

QString noteText(int i, char variant)
{
    QString text = QStringLiteral("{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fnil\\fcharset204 Tahoma;}}"
                                  "\\viewkind4\\uc1\\pard\\lang1049\\f0\\fs20 Note %1 %2 ").arg(i).arg(QLatin1Char(variant));
    while (text.size() < kNoteBytes - 8)
        text += QStringLiteral("\\'cf\\'f0\\'e8 text \\b bold\\b0  ");
    text += QStringLiteral("\\par\n}");
    return text;
}

// Written in pieces, so the generator itself does not set the peak memory.
QString makeFile(const QString &dir)
{
    const QString path = dir + QStringLiteral("/Big.nts");
    tl::AtomicFile file(path);
    auto put = [&](const QString &text) {
        const QByteArray utf8 = text.toUtf8();
        file.write(utf8.constData(), utf8.size());
    };
    put(QStringLiteral("<root><info><lastupdate>10.12.2026</lastupdate><authorname/><companyname/>"
                       "<comments/><realpath/><compresslevel>0</compresslevel></info><notes>"));
    for (int i = 0; i < kNotes; ++i)
        put(QStringLiteral("<note>") + noteText(i, 'a') + QStringLiteral("</note>"));
    put(QStringLiteral("</notes></root>"));
    file.commit();
    return path;
}

double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_NoteStep(benchmark::State &state)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tl-bench-XXXXXX"));
    const QString path = makeFile(dir.path());
    const QString copy = dir.path() + QStringLiteral("/Copy.nts");
    tl::RecordStore store;
    int k = 0;
    double stepTotal = 0, floorTotal = 0;
    for (auto _ : state) {
        const QString text = noteText(k, 'b');
        auto t0 = std::chrono::steady_clock::now();
        store.saveNote(k, path, text);
        benchmark::DoNotOptimize(store.loadNote(k + 1, path));
        auto t1 = std::chrono::steady_clock::now();
        tl::writeFileAtomically(copy, tl::readWholeFile(path));
        auto t2 = std::chrono::steady_clock::now();
        stepTotal += seconds(t1 - t0);
        floorTotal += seconds(t2 - t1);
        state.SetIterationTime(seconds(t1 - t0));
        k = (k + 1) % (kNotes - 1);
    }
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["file_MB"] = double(QFileInfo(path).size()) / (1024 * 1024);
    state.counters["step_ms"] = 1000 * stepTotal / double(state.iterations());
    state.counters["floor_ms"] = 1000 * floorTotal / double(state.iterations());
    state.counters["ratio"] = stepTotal / floorTotal;
    state.counters["peak_rss_MB"] = double(usage.ru_maxrss) / 1024;
}

// A step after another process changed the file: the parsed copy cannot be
// reused, so this is the cost without it.
void BM_NoteStepColdFile(benchmark::State &state)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tl-bench-XXXXXX"));
    const QString path = makeFile(dir.path());
    const QString copy = dir.path() + QStringLiteral("/Copy.nts");
    int k = 0;
    double stepTotal = 0, floorTotal = 0;
    for (auto _ : state) {
        tl::RecordStore store;  // nothing held from before
        const QString text = noteText(k, 'c');
        auto t0 = std::chrono::steady_clock::now();
        store.saveNote(k, path, text);
        tl::RecordStore other;
        benchmark::DoNotOptimize(other.loadNote(k + 1, path));
        auto t1 = std::chrono::steady_clock::now();
        tl::writeFileAtomically(copy, tl::readWholeFile(path));
        auto t2 = std::chrono::steady_clock::now();
        stepTotal += seconds(t1 - t0);
        floorTotal += seconds(t2 - t1);
        state.SetIterationTime(seconds(t1 - t0));
        k = (k + 1) % (kNotes - 1);
    }
    state.counters["step_ms"] = 1000 * stepTotal / double(state.iterations());
    state.counters["floor_ms"] = 1000 * floorTotal / double(state.iterations());
    state.counters["ratio"] = stepTotal / floorTotal;
}

} // namespace

BENCHMARK(BM_NoteStep)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NoteStepColdFile)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
