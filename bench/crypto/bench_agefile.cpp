// Encrypting and decrypting the benchmarks' notes file (about 50 MB) as an
// age file with a known file key, so the passphrase's key derivation is left
// out; a plain copy of the same bytes is the floor of the same run. The key
// derivation itself (the unlock) is timed apart at the default work factor.

#include "crypto/agefile.h"
#include "support/notesfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstring>

namespace {

namespace age = tl::crypto::age;
using tl::crypto::SecureBytes;

const QByteArray &notesBytes()
{
    static const QByteArray bytes = [] {
        QTemporaryDir dir;
        QFile f(tlbench::makeNotesFile(dir.path()));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    return bytes;
}

const SecureBytes &fileKey()
{
    static const SecureBytes key(QByteArrayView("0123456789abcdef"));
    return key;
}

void BM_CopyPlain(benchmark::State &state)
{
    const QByteArray &text = notesBytes();
    for (auto _ : state) {
        SecureBytes copy = SecureBytes::uninitialized(text.size());
        std::memcpy(copy.data(), text.constData(), size_t(text.size()));
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}

void BM_EncryptPayload(benchmark::State &state)
{
    const QByteArray &text = notesBytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(age::encryptPayload(text, fileKey()).size());
    state.SetBytesProcessed(state.iterations() * text.size());
}

void BM_DecryptPayload(benchmark::State &state)
{
    const QByteArray &text = notesBytes();
    const QByteArray payload = age::encryptPayload(text, fileKey());
    for (auto _ : state)
        benchmark::DoNotOptimize(age::decryptPayload(payload, fileKey()).size());
    state.SetBytesProcessed(state.iterations() * text.size());
}

void BM_UnlockDefaultWorkFactor(benchmark::State &state)
{
    static const QByteArray file = age::encrypt("x", "passphrase");
    const age::Header header = age::parseHeader(file);
    for (auto _ : state)
        benchmark::DoNotOptimize(age::unwrapFileKey(header, "passphrase").size());
}

} // namespace

BENCHMARK(BM_CopyPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncryptPayload)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecryptPayload)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnlockDefaultWorkFactor)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
