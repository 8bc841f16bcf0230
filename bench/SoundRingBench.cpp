// The sound ring between memory-only ends: a producer that copies from memory
// and a consumer that copies into memory, one run of 32 MiB per iteration.
// The goal is at least 100 times the fastest real stream (44100 Hz, stereo,
// 16 bits: 176400 bytes/s), that is 17.64 MB/s; the "per_realtime" counter
// gives the factor reached.
#include "media/SoundRing.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

namespace {

constexpr double REAL_TIME_BYTES_PER_SECOND = 176400;
constexpr size_t RUN_BYTES = 32u << 20;

void BM_SoundRingMemoryToMemory(benchmark::State& state) {
    SoundRing ring;
    std::vector<uint8_t> source(SoundRing::SEGMENT_SIZE, 0x5a);
    std::vector<uint8_t> sink(SoundRing::SEGMENT_SIZE);
    for (auto _ : state) {
        ring.reset();
        std::thread producer([&] {
            ring.produce(
                [&](uint8_t* dst, size_t n) {
                    memcpy(dst, source.data(), n);
                    return long(n);
                },
                double(RUN_BYTES));
        });
        SoundRing::Result r = ring.consume(
            [&](const uint8_t* src, size_t n) {
                memcpy(sink.data(), src, n);
                return true;
            },
            double(RUN_BYTES));
        producer.join();
        benchmark::DoNotOptimize(r.bytes);
    }
    const double bytes = double(state.iterations()) * double(RUN_BYTES);
    state.SetBytesProcessed(int64_t(bytes));
    state.counters["per_realtime"] =
        benchmark::Counter(bytes / REAL_TIME_BYTES_PER_SECOND, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SoundRingMemoryToMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
