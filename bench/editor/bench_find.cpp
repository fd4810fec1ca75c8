// Find with no hit over a 10,000-note file (a full walk: one parse and the
// plain text of every note) against one pugixml parse of the same file.

#include "editor/findwalk.h"
#include "platform/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <chrono>

namespace {

constexpr int kNotes = 10000;
constexpr int kNoteBytes = 5 * 1024;

// The notes of the record store's benchmark file.
QString noteText(int i)
{
    QString text = QStringLiteral("{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fnil\\fcharset204 Tahoma;}}"
                                  "\\viewkind4\\uc1\\pard\\lang1049\\f0\\fs20 Note %1 a ").arg(i);
    while (text.size() < kNoteBytes - 8)
        text += QStringLiteral("\\'cf\\'f0\\'e8 text \\b bold\\b0  ");
    text += QStringLiteral("\\par\n}");
    return text;
}

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
        put(QStringLiteral("<note>") + noteText(i) + QStringLiteral("</note>"));
    put(QStringLiteral("</notes></root>"));
    file.commit();
    return path;
}

double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_FindWithoutHit(benchmark::State &state)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tl-bench-XXXXXX"));
    const QString path = makeFile(dir.path());
    const QByteArray native = QFile::encodeName(path);
    double walkTotal = 0, parseTotal = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        tl::find::SearchCounters counters;
        counters.reset(kNotes);
        const tl::find::NotesFileTexts texts(path);
        const tl::find::Hit hit = tl::find::searchWalk(QStringLiteral("Absent Word"), 1, counters, texts);
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

} // namespace

BENCHMARK(BM_FindWithoutHit)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
