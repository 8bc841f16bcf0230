// Rebuilding a frame from the working frame file: the frame just before a
// key frame (one key record and nine bands) at 1920 x 1080, 32 bits per
// pixel, with the file in the page cache.
#include "store/FrameStore.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr uint32_t W = 1920;
constexpr uint32_t H = 1080;
constexpr uint32_t BPP = 4;

// Writes key frame 0 and bands 1..9 of `bandRows` rows each, spread over the
// screen, plus key frame 10; returns the frame table.
std::vector<SEditInfo> writeFile(const std::string& path, int bandRows) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    SDatMainHeader mh;
    mh.frameCount = 11;
    mh.capture = SRect{0, 0, int32_t(W), int32_t(H)};
    auto m = mh.toBytes();
    std::fwrite(m.data(), 1, m.size(), f);
    long offset = long(m.size());
    std::vector<SEditInfo> edit;
    std::vector<uint8_t> data(size_t(W) * BPP * H);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(i * 31);
    for (int frame = 0; frame <= 10; ++frame) {
        const bool key = frame % 10 == 0;
        SDatFrameHeader h;
        h.frameNumber = uint32_t(frame);
        h.keyFlag = key ? 1 : 0;
        const int top = key ? 0 : (frame * 97) % int(H - uint32_t(bandRows) + 1);
        const int bottom = key ? int(H) - 1 : top + bandRows - 1;
        h.data = SRect{0, top, int32_t(W) - 1, bottom};
        const size_t length = size_t(bottom - top + 1) * W * BPP;
        h.recordSize = uint32_t(SDatFrameHeader::SIZE + length);
        SEditInfo e;
        e.keyFlag = h.keyFlag;
        e.recordOffset = int32_t(offset);
        edit.push_back(e);
        auto hb = h.toBytes();
        std::fwrite(hb.data(), 1, hb.size(), f);
        std::fwrite(data.data(), 1, length, f);
        offset += long(SDatFrameHeader::SIZE + length);
    }
    std::fclose(f);
    return edit;
}

void BM_GetEditFrameBeforeKey(benchmark::State& state) {
    char dir[] = "/tmp/velmora-bench-XXXXXX";
    if (!mkdtemp(dir)) {
        state.SkipWithError("no temporary directory");
        return;
    }
    const std::string path = std::string(dir) + "/Untitled.dat";
    const auto edit = writeFile(path, int(state.range(0)));
    FrameStore store;
    if (!store.open(path, FrameGeometry{W, H, BPP, 0})) {
        state.SkipWithError("cannot open");
        return;
    }
    SDatFrameHeader h;
    store.getEditFrame(edit, 9, h); // warm the page cache
    for (auto _ : state) {
        if (store.getEditFrame(edit, 9, h) != FrameStore::Result::Ok)
            state.SkipWithError("rebuild failed");
        benchmark::DoNotOptimize(store.workBuffer().data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(W * BPP) * (H + 9 * state.range(0)));
    store.close();
    std::remove(path.c_str());
    rmdir(dir);
}
// Bands of 1, 108 (a tenth of the screen) and 1080 rows (worst case).
BENCHMARK(BM_GetEditFrameBeforeKey)->Arg(1)->Arg(108)->Arg(1080)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
