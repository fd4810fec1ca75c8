// A note step (store note k, load note k + 1) on the benchmarks' 50 MB notes
// file encrypted, against the same step on the plain file in the same run,
// one after the other; and unlocking the encrypted file with its passphrase
// at the default work factor (the key derivation and the header check).

#include "crypto/sealedfile.h"
#include "notes/recordstore.h"
#include "platform/atomicfile.h"
#include "support/notesfile.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>

namespace {

using tlbench::seconds;
namespace crypto = tl::crypto;

const QByteArray kPassphrase = "bench passphrase";

void BM_NoteStepEncryptedVsPlain(benchmark::State &state)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tl-bench-XXXXXX"));
    const QString plain = tlbench::makeNotesFile(dir.path());
    const QString sealed = dir.path() + QStringLiteral("/Sealed.nts.age");
    const QByteArray bytes = tl::readWholeFile(plain);
    {
        const auto seal = crypto::SealedFile::create(crypto::SecureBytes(kPassphrase));
        tl::writeFileAtomically(sealed, seal->seal(bytes));
    }
    const auto t0 = std::chrono::steady_clock::now();
    crypto::keyring::keep(sealed, crypto::SealedFile::unlock(tl::readWholeFile(sealed), crypto::SecureBytes(kPassphrase)));
    const double unlock = seconds(std::chrono::steady_clock::now() - t0);

    tl::RecordStore plainStore, sealedStore;
    int k = 0;
    double plainTotal = 0, sealedTotal = 0;
    for (auto _ : state) {
        const QString text = tlbench::noteText(k, 'e');
        auto a = std::chrono::steady_clock::now();
        plainStore.saveNote(k, plain, text);
        benchmark::DoNotOptimize(plainStore.loadNote(k + 1, plain));
        auto b = std::chrono::steady_clock::now();
        sealedStore.saveNote(k, sealed, text);
        benchmark::DoNotOptimize(sealedStore.loadNote(k + 1, sealed));
        auto c = std::chrono::steady_clock::now();
        plainTotal += seconds(b - a);
        sealedTotal += seconds(c - b);
        state.SetIterationTime(seconds(c - b));
        k = (k + 1) % (tlbench::kNotes - 1);
    }
    crypto::keyring::forgetAll();
    state.counters["plain_ms"] = 1000 * plainTotal / double(state.iterations());
    state.counters["encrypted_ms"] = 1000 * sealedTotal / double(state.iterations());
    state.counters["ratio"] = sealedTotal / plainTotal;
    state.counters["unlock_wf18_ms"] = 1000 * unlock;
}

} // namespace

BENCHMARK(BM_NoteStepEncryptedVsPlain)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
