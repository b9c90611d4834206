// Opening the generated large databases (see make-databases) with the engine, reported
// without the key transformation, whose cost depends only on the rounds the file asks for
// and is measured by KeyTransformBench. Each iteration times the whole load and subtracts
// the median time of a transformation of the file's rounds measured beforehand.
#include "kdb/AesKeyTransform.h"
#include "kdb/DatabaseError.h"
#include "kdb/DatabaseModel.h"
#include "kdb/DatabaseOpener.h"
#include "kdb/MappedFileSource.h"
#include "kdb/SecureBytes.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr char kPassword[] = "bench-password";

uint64_t readLE(const std::vector<uint8_t>& bytes, std::size_t offset, unsigned width) {
    uint64_t value = 0;
    for (unsigned index = 0; index < width; ++index) {
        value |= static_cast<uint64_t>(bytes[offset + index]) << (8 * index);
    }
    return value;
}

// The rounds the header of a file of either version asks for.
std::optional<uint64_t> headerRounds(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> head((std::istreambuf_iterator<char>(file)),
                                    std::istreambuf_iterator<char>());
    if (head.size() < 128) {
        return std::nullopt;
    }
    if (readLE(head, 4, 4) == 0xB54BFB65) {
        return readLE(head, 120, 4);
    }
    for (std::size_t offset = 12; offset + 3 <= head.size();) {
        const uint8_t field = head[offset];
        const auto length = static_cast<std::size_t>(readLE(head, offset + 1, 2));
        offset += 3;
        if (field == 0) {
            break;
        }
        if (field == 6 && offset + 8 <= head.size()) {
            return readLE(head, offset, 8);
        }
        offset += length;
    }
    return std::nullopt;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double transformSeconds(uint64_t rounds) {
    std::array<uint8_t, 32> key{};
    std::array<uint8_t, 32> value{};
    std::vector<double> runs;
    for (int run = 0; run < 9; ++run) {
        const auto start = std::chrono::steady_clock::now();
        vaultora::kdb::AesKeyTransform::transform(key.data(), value.data(), rounds);
        benchmark::DoNotOptimize(value);
        runs.push_back(secondsSince(start));
    }
    std::nth_element(runs.begin(), runs.begin() + 4, runs.end());
    return runs[4];
}

std::size_t countEntries(const vaultora::kdb::DatabaseGroup& group) {
    std::size_t entries = group.getEntries().size();
    for (const vaultora::kdb::DatabaseGroup* child : group.getSubGroups()) {
        entries += countEntries(*child);
    }
    return entries;
}

void BM_Open(benchmark::State& state, const std::string& name) {
    const std::string path = std::string(VAULTORA_BENCH_DATA_DIR) + "/" + name;
    const std::optional<uint64_t> rounds = headerRounds(path);
    if (!rounds) {
        state.SkipWithError(("missing " + path + ": run bench/make-databases").c_str());
        return;
    }
    const double transform = transformSeconds(*rounds);
    const vaultora::kdb::SecureBytes password = vaultora::kdb::secureBytesFromText(kPassword);
    std::size_t entries = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        try {
            const auto tree = vaultora::kdb::openDatabase(
                std::make_unique<vaultora::kdb::MappedFileSource>(path), password);
            entries = countEntries(*tree->getRoot());
        } catch (const vaultora::kdb::DatabaseError& error) {
            state.SkipWithError((error.name() + " " + error.reason()).c_str());
            return;
        }
        state.SetIterationTime(std::max(0.0, secondsSince(start) - transform));
    }
    state.counters["entries"] = static_cast<double>(entries);
    state.counters["rounds"] = static_cast<double>(*rounds);
    state.counters["transform_ms"] = transform * 1000.0;
}

BENCHMARK_CAPTURE(BM_Open, version2_10000, std::string("v2-10000.kdbx"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Open, version2_100000, std::string("v2-100000.kdbx"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Open, version1_10000, std::string("v1-10000.kdb"))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
