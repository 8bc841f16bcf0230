#include "store/Deflater.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/mman.h>

namespace {

constexpr uintptr_t HUGE_PAGE = 2 << 20;

// The kernel's flags ("VmFlags") of the mapping that holds `p`; empty when
// none does.
std::string mappingFlags(const void* p) {
    std::ifstream smaps("/proc/self/smaps");
    const auto at = reinterpret_cast<uintptr_t>(p);
    std::string line;
    bool inside = false;
    while (std::getline(smaps, line)) {
        unsigned long begin = 0, end = 0;
        if (std::sscanf(line.c_str(), "%lx-%lx ", &begin, &end) == 2) { // a mapping's first line
            inside = at >= begin && at < end;
            continue;
        }
        if (inside && line.rfind("VmFlags:", 0) == 0)
            return line;
    }
    return {};
}

bool hugePagesOffered() {
    std::ifstream f("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string modes;
    std::getline(f, modes);
    return modes.find("[never]") == std::string::npos && !modes.empty();
}

// Buffers hold every byte asked for; those of a huge page's size or more
// start on a huge-page bound and ask for huge pages, smaller ones do not.
TEST(ByteBuffer, LargeBuffersLieOnHugePagesAndHoldEveryByte) {
    struct Case {
        size_t bytes;
        bool huge;
    };
    for (const Case c : {Case{100, false}, Case{1 << 20, false}, Case{(2 << 20) - 1, false},
                         Case{2 << 20, true}, Case{6220810, true}}) {
        SCOPED_TRACE(c.bytes);
        ByteBuffer b;
        b.reserve(c.bytes);
        ASSERT_NE(b.data(), nullptr);
        EXPECT_GE(b.capacity(), c.bytes);
        std::memset(b.data(), 0xA5, c.bytes);
        EXPECT_EQ(b.data()[0], 0xA5);
        EXPECT_EQ(b.data()[c.bytes - 1], 0xA5);
        const bool aligned = reinterpret_cast<uintptr_t>(b.data()) % HUGE_PAGE == 0;
        if (c.huge) {
            EXPECT_TRUE(aligned);
        }
        if (c.bytes >= (1u << 20) && hugePagesOffered()) {
            const std::string flags = mappingFlags(b.data());
            EXPECT_EQ(flags.find(" hg") != std::string::npos, c.huge) << flags;
        }
        // Growing gives fresh room; shrinking keeps it.
        uint8_t* before = b.data();
        b.reserve(c.bytes / 2);
        EXPECT_EQ(b.data(), before);
    }
}

// The advice covers only whole huge pages inside the range, before the bytes
// are first written, and leaves the bytes as they were.
TEST(ByteBuffer, AdviceCoversWholeHugePagesInsideTheRange) {
    if (!hugePagesOffered())
        GTEST_SKIP() << "this system offers no huge pages";
    // A fresh mapping, so that no earlier advice lies on it; the range starts
    // a page past a huge-page bound.
    const size_t mapped = 5 * HUGE_PAGE;
    void* region = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(region, MAP_FAILED);
    const uintptr_t bound = (reinterpret_cast<uintptr_t>(region) + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    auto* start = reinterpret_cast<uint8_t*>(bound + 4096);
    const size_t n = 2 * HUGE_PAGE + 12345;
    adviseHugePages(start, n);
    std::memset(start, 7, n);
    EXPECT_EQ(mappingFlags(start).find(" hg"), std::string::npos) << "the head is not a whole huge page";
    EXPECT_NE(mappingFlags(reinterpret_cast<void*>(bound + HUGE_PAGE)).find(" hg"), std::string::npos);
    EXPECT_EQ(start[0], 7);
    EXPECT_EQ(start[n - 1], 7);
    adviseHugePages(nullptr, 1 << 30); // nothing to advise
    munmap(region, mapped);
}

} // namespace
