// One operation of the program on a large notes file, in a process of its
// own so its peak memory is its own: open (count the notes, load the first
// and the information bar's field, as opening a file does), a note step
// (store note k, load note k + 1, the parsed copy kept), a Find walk without
// a hit, and close (the shown note stored once more). Prints the time and
// the process's peak resident memory; bench/scale/run.sh makes the files and
// runs every operation at each size.
//
//   bench_scale make FOLDER NOTES          prints the new file's path
//   bench_scale open|step|find|close FILE

#include "editor/findwalk.h"
#include "notes/recordstore.h"
#include "support/notesfile.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <chrono>
#include <cstdio>
#include <sys/resource.h>

namespace {

double peakMB()
{
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024;
}

template <typename F> double timed(F &&f)
{
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return 1000 * tlbench::seconds(std::chrono::steady_clock::now() - t0);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("make")) {
        const int notes = args[3].toInt();
        std::printf("%s\n", qPrintable(tlbench::makeNotesFile(args[2], notes, QStringLiteral("Scale%1.nts").arg(notes))));
        return 0;
    }
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: bench_scale make FOLDER NOTES | open|step|find|close FILE\n");
        return 2;
    }
    const QString op = args[1], path = args[2];
    tl::RecordStore store;
    int notes = 0;
    double ms = 0;
    int runs = 1;
    if (op == QLatin1String("open")) {
        ms = timed([&] {
            notes = store.noteCount(path);
            store.loadNote(0, path);
            store.param(path, QStringLiteral("RealPath"));
        });
    } else if (op == QLatin1String("step")) {
        notes = store.noteCount(path);  // untimed: the file is open
        store.loadNote(0, path);
        runs = 5;
        for (int k = 0; k < runs; ++k)
            ms += timed([&] {
                store.saveNote(k, path, tlbench::noteText(k, 'b'));
                store.loadNote(k + 1, path);
            });
        ms /= runs;
    } else if (op == QLatin1String("find")) {
        ms = timed([&] {
            const tl::find::NotesFileTexts texts(path);
            notes = texts.count();
            tl::find::SearchCounters counters;
            counters.reset(notes);
            const tl::find::Hit hit = tl::find::searchWalk(QStringLiteral("Absent Word"), 1, counters, texts);
            if (hit.position != 0)
                std::abort();
        });
    } else if (op == QLatin1String("close")) {
        notes = store.noteCount(path);
        store.loadNote(0, path);
        ms = timed([&] { store.saveNote(0, path, tlbench::noteText(0, 'c')); });
    } else {
        return 2;
    }
    std::printf("%s notes=%d file_MB=%.0f ms=%.0f peak_MB=%.0f\n", qPrintable(op), notes,
                double(QFileInfo(path).size()) / (1024 * 1024), ms, peakMB());
    return 0;
}
