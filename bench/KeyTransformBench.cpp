// Key transformation rounds per second: the processor's AES instructions and the cipher
// library side by side, with the hardware bound they are measured against. The bound is one
// block through 14 dependent AES steps per round: the two blocks of a round run interleaved,
// so a round cannot finish sooner than the latency of that chain.
#include "kdb/AesKeyTransform.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

constexpr uint64_t kRounds = 1u << 20;

constexpr std::array<uint8_t, 32> kKey{
    0x60, 0x3d, 0xeb, 0x10, 0x15, 0xca, 0x71, 0xbe, 0x2b, 0x73, 0xae, 0xf0, 0x85, 0x7d, 0x77, 0x81,
    0x1f, 0x35, 0x2c, 0x07, 0x3b, 0x61, 0x08, 0xd7, 0x2d, 0x98, 0x10, 0xa3, 0x09, 0x14, 0xdf, 0xf4};

void reportRounds(benchmark::State& state) {
    state.counters["rounds_per_second"] = benchmark::Counter(
        static_cast<double>(state.iterations() * kRounds), benchmark::Counter::kIsRate);
}

void BM_TransformAesInstructions(benchmark::State& state) {
    if (!vaultora::kdb::AesKeyTransform::aesInstructionsAvailable()) {
        state.SkipWithError("no AES instructions on this processor");
        return;
    }
    std::array<uint8_t, 32> value{};
    for (auto _ : state) {
        vaultora::kdb::AesKeyTransform::transformWithAesInstructions(kKey.data(), value.data(),
                                                                     kRounds);
        benchmark::DoNotOptimize(value);
    }
    reportRounds(state);
}
BENCHMARK(BM_TransformAesInstructions)->Unit(benchmark::kMillisecond);

void BM_TransformCipherLibrary(benchmark::State& state) {
    std::array<uint8_t, 32> value{};
    for (auto _ : state) {
        vaultora::kdb::AesKeyTransform::transformWithCipherLibrary(kKey.data(), value.data(),
                                                                   kRounds);
        benchmark::DoNotOptimize(value);
    }
    reportRounds(state);
}
BENCHMARK(BM_TransformCipherLibrary)->Unit(benchmark::kMillisecond);

#if defined(__x86_64__) || defined(__i386__)
// 14 dependent AES steps on one block per round: nothing can overlap them.
__attribute__((target("aes,sse2"))) void BM_AesLatencyBound(benchmark::State& state) {
    __m128i block = _mm_setzero_si128();
    const __m128i roundKey = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kKey.data()));
    for (auto _ : state) {
        for (uint64_t round = 0; round < kRounds; ++round) {
            for (int step = 0; step < 14; ++step) {
                block = _mm_aesenc_si128(block, roundKey);
            }
        }
        benchmark::DoNotOptimize(block);
    }
    reportRounds(state);
}
BENCHMARK(BM_AesLatencyBound)->Unit(benchmark::kMillisecond);
#endif

} // namespace

BENCHMARK_MAIN();
