// The resource store with the file in the page cache: finding the last node
// of a 1,000-node store (20 MB) by identifier, and reading a 1 MB node beside
// a plain read of a 1 MB file.
#include "media/ResourceStore.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr uint32_t NODES = 1000;
constexpr size_t NODE_BYTES = 20 * 1024;
constexpr size_t MEGABYTE = 1024 * 1024;

struct Folder {
    std::string path;
    Folder() {
        std::string t = (std::filesystem::temp_directory_path() / "velmora-bench-XXXXXX").string();
        path = mkdtemp(t.data()) ? t : std::string();
    }
    ~Folder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

Folder& folder() {
    static Folder f;
    return f;
}

ResourceChildNode rawNode(uint32_t id, const std::string& name, size_t size) {
    ResourceChildNode n;
    n.resourceId = id;
    n.fullPath = "/pictures/" + name;
    n.fileName = name;
    n.flags = ResourceChildNode::FLAG_RAW;
    n.storedSize = n.fileSize = uint32_t(size);
    return n;
}

// A store of `count` raw nodes of `size` bytes, identifiers 0x01020001 on.
ResourceStore& storeOf(const std::string& name, uint32_t count, size_t size) {
    static std::vector<std::unique_ptr<ResourceStore>> stores;
    const std::string path = folder().path + "/" + name;
    stores.push_back(std::make_unique<ResourceStore>(path, folder().path + "/none", [](int) {}));
    ResourceStore& s = *stores.back();
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = uint8_t(i * 7);
    for (uint32_t i = 1; i <= count; ++i)
        s.AddNewItem(rawNode(0x01020000 + i, "picture" + std::to_string(i) + ".gif", size), bytes.data());
    return s;
}

void BM_FindLastNodeById(benchmark::State& state) {
    static ResourceStore& store = storeOf("big.RSE", NODES, NODE_BYTES);
    const uint32_t last = 0x01020000 + NODES;
    for (auto _ : state) {
        auto node = store.FindTheChildNodeFromID(last);
        if (!node)
            state.SkipWithError("last node not found");
        benchmark::DoNotOptimize(node);
    }
}
BENCHMARK(BM_FindLastNodeById)->Unit(benchmark::kMillisecond);

void BM_ReadOneMegabyteNode(benchmark::State& state) {
    static ResourceStore& store = storeOf("one.RSE", 1, MEGABYTE);
    const auto node = store.FindTheChildNodeFromID(0x01020001);
    std::vector<uint8_t> buffer(MEGABYTE);
    for (auto _ : state) {
        if (store.Read(*node, buffer.data(), buffer.size()) != MEGABYTE)
            state.SkipWithError("short read");
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(MEGABYTE));
}
BENCHMARK(BM_ReadOneMegabyteNode)->Unit(benchmark::kMicrosecond);

// The yardstick: open, read and close a 1 MB file.
void BM_PlainReadOneMegabyte(benchmark::State& state) {
    const std::string path = folder().path + "/plain.bin";
    std::vector<uint8_t> buffer(MEGABYTE, 0x5A);
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(buffer.data(), 1, buffer.size(), f);
        std::fclose(f);
    }
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY);
        size_t got = 0;
        while (got < MEGABYTE) {
            const ssize_t n = ::read(fd, buffer.data() + got, MEGABYTE - got);
            if (n <= 0)
                break;
            got += size_t(n);
        }
        ::close(fd);
        if (got != MEGABYTE)
            state.SkipWithError("short read");
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(MEGABYTE));
}
BENCHMARK(BM_PlainReadOneMegabyte)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
