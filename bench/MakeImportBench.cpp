// Make and import of a generated 300-frame project at 1920x1080, 4 bytes a
// pixel, with a small band changing on every frame and a key frame every tenth.
#include "store/DatRecords.h"
#include "store/OutputFileImporter.h"
#include "store/OutputFileMaker.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <unistd.h>

namespace {

constexpr int W = 1920, H = 1080, BPP = 4, FRAMES = 300, BAND = 16;
constexpr size_t ROW = size_t(W) * BPP;

struct Services : MakeServices, ImportServices {
    size_t objectCount(uint32_t) override { return 0; }
    std::vector<uint8_t> objectChunk(uint32_t) override { return {}; }
    std::vector<uint32_t> resourceIds(uint32_t) override { return {}; }
    bool resource(uint32_t, VlmResourceRecord&, std::vector<uint8_t>*) override { return false; }
    std::vector<uint8_t> encodeAudio(const uint8_t* p, size_t n) override { return {p, p + n}; }
    void addResource(const VlmResourceRecord&, const std::vector<uint8_t>&) override {}
    std::vector<uint8_t> decodeAudio(const uint8_t* c, size_t n, size_t) override { return {c, c + n}; }
    bool frameObjects(uint32_t, const uint8_t*, size_t) override { return true; }
};

struct Project {
    std::string dir;
    ProjectTables tables;

    Project() {
        char tmpl[] = "/tmp/velmora-bench-XXXXXX";
        dir = mkdtemp(tmpl);
        std::FILE* f = std::fopen((dir + "/Untitled.dat").c_str(), "wb");
        SDatMainHeader mh;
        mh.capture = SRect{0, 0, W, H};
        mh.frameCount = FRAMES;
        auto mb = mh.toBytes();
        std::fwrite(mb.data(), 1, mb.size(), f);
        std::vector<uint8_t> screen(ROW * H);
        std::mt19937 gen(1);
        for (size_t i = 0; i < screen.size(); i += 4)
            screen[i] = uint8_t(gen()), screen[i + 1] = uint8_t(i >> 8);
        uint32_t offset = 48;
        for (int n = 0; n < FRAMES; ++n) {
            const bool key = n % 10 == 0;
            const int top = (n * 37) % (H - BAND);
            for (int y = top; y < top + BAND; ++y)
                for (int x = (n * 13) % 200; x < (n * 13) % 200 + 300; ++x)
                    screen[size_t(y) * ROW + size_t(x) * 4] ^= 0x55;
            SDatFrameHeader h;
            h.frameNumber = uint32_t(n);
            h.keyFlag = key;
            h.data = key ? SRect{0, 0, W - 1, H - 1} : SRect{0, top, W - 1, top + BAND - 1};
            const size_t length = key ? screen.size() : ROW * BAND;
            h.recordSize = uint32_t(60 + length);
            auto hb = h.toBytes();
            std::fwrite(hb.data(), 1, hb.size(), f);
            std::fwrite(screen.data() + (key ? 0 : size_t(top) * ROW), 1, length, f);
            SEditInfo e;
            e.keyFlag = key;
            e.recordOffset = int32_t(offset);
            offset += h.recordSize;
            tables.m_vEditInfo.push_back(e);
            SPlayBackFrameInfo p;
            p.frameFlags = key ? PBF_KEY : 0;
            p.pixelFlags = 0x03;
            tables.m_vPlayBackFrameInfo.push_back(p);
        }
        std::fclose(f);
        tables.m_dwFrameCount = FRAMES;
    }
    ~Project() {
        std::string cmd = "rm -rf '" + dir + "'";
        if (std::system(cmd.c_str()) != 0)
            std::fprintf(stderr, "could not remove %s\n", dir.c_str());
    }
    MakeInput input() {
        MakeInput in;
        in.workingPath = dir + "/Untitled.dat";
        in.outputPath = dir + "/Untitled.vlm";
        in.project = &tables;
        in.depth = 24;
        in.screenWidth = W;
        in.screenHeight = H;
        in.bytesPerPixel = BPP;
        return in;
    }
};

Project& project() {
    static Project p;
    return p;
}

void BM_Make(benchmark::State& state) {
    Project& p = project();
    Services s;
    for (auto _ : state) {
        OutputFileMaker maker(p.input(), s);
        if (maker.make() != OutputFileMaker::MAKE_OK)
            state.SkipWithError("make failed");
    }
    state.counters["frames/s"] =
        benchmark::Counter(double(FRAMES) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Make)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_Import(benchmark::State& state) {
    Project& p = project();
    Services s;
    {
        OutputFileMaker maker(p.input(), s);
        if (maker.make() != OutputFileMaker::MAKE_OK) {
            state.SkipWithError("make failed");
            return;
        }
    }
    const std::string copy = p.dir + "/copy.vlm";
    std::string cmd = "cp '" + p.dir + "/Untitled.vlm' '" + copy + "'";
    if (std::system(cmd.c_str()) != 0)
        state.SkipWithError("copy failed");
    for (auto _ : state) {
        OutputFileImporter importer(copy, {W, H, 24, BPP}, p.dir, p.dir + "/Sound.dat", s);
        if (importer.run().code != 0)
            state.SkipWithError("import failed");
    }
    state.counters["frames/s"] =
        benchmark::Counter(double(FRAMES) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Import)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
