// Coding and decoding one minute of 22050 Hz mono sound, in make-sized pieces.
#include "media/G723Codec.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr size_t RATE = 22050;
constexpr size_t MINUTE_SAMPLES = RATE * 60;
constexpr size_t PIECE_BYTES = 88200;

std::vector<uint8_t> minuteOfSound() {
    std::vector<uint8_t> b(MINUTE_SAMPLES * 2);
    for (size_t i = 0; i < MINUTE_SAMPLES; ++i) {
        double t = double(i) / RATE;
        auto v =
            int16_t(std::lround(9000 * std::sin(2 * M_PI * 440 * t) + 3000 * std::sin(2 * M_PI * 2900 * t)));
        b[2 * i] = uint8_t(uint16_t(v));
        b[2 * i + 1] = uint8_t(uint16_t(v) >> 8);
    }
    return b;
}

void BM_G723CompressMinute(benchmark::State& state) {
    auto in = minuteOfSound();
    std::vector<uint8_t> out(PIECE_BYTES);
    for (auto _ : state) {
        size_t total = 0;
        for (size_t off = 0; off < in.size(); off += PIECE_BYTES) {
            int n = 0;
            int len = int(std::min(PIECE_BYTES, in.size() - off));
            G723Compress(in.data() + off, len, out.data(), &n);
            total += size_t(n);
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}
BENCHMARK(BM_G723CompressMinute)->Unit(benchmark::kMillisecond);

void BM_G723DeCompressMinute(benchmark::State& state) {
    auto in = minuteOfSound();
    std::vector<std::vector<uint8_t>> pieces;
    for (size_t off = 0; off < in.size(); off += PIECE_BYTES) {
        std::vector<uint8_t> p(PIECE_BYTES);
        int n = 0;
        G723Compress(in.data() + off, int(std::min(PIECE_BYTES, in.size() - off)), p.data(), &n);
        p.resize(size_t(n));
        pieces.push_back(std::move(p));
    }
    std::vector<short> out(PIECE_BYTES);
    for (auto _ : state) {
        size_t total = 0;
        for (auto& p : pieces) {
            int n = 0;
            G723DeCompress(p.data(), int(p.size()), out.data(), &n);
            total += size_t(n);
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(in.size()));
}
BENCHMARK(BM_G723DeCompressMinute)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
