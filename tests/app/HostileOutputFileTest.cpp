// Opening an output file whose one index record stands for millions of
// frames: refused before the index is expanded, so the open stays small
// (run under an address-space limit far below what the expansion takes).
#include "MainWindowFixture.h"

#include "store/OutputFileImporter.h"
#include "store/RecordIO.h"
#include "store/VlmFile.h"
#include "store/VlmRecords.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

using namespace mainwin;
using namespace testsupport;

namespace {

namespace fs = std::filesystem;

// The bytes of a well-formed output file with at least one frame.
std::string wellFormedOutputFile() {
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(std::string(VELMORA_SOURCE_ROOT) + "/tests/fuzz/corpus"))
        if (e.is_regular_file())
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        VlmFile f;
        OutputFileImporter::limitFramesToPlaybackRecords(f);
        const bool good = f.openToRead(file.string()) == 0 && !f.index().empty();
        f.vlmFileClose();
        if (good)
            return readFile(file.string());
    }
    return {};
}

// Address space the process holds now, in bytes.
uint64_t addressSpace() {
    std::ifstream statm("/proc/self/statm");
    uint64_t pages = 0;
    statm >> pages;
    return pages * uint64_t(sysconf(_SC_PAGESIZE));
}

// Runs `f` with at most `headroom` bytes of address space beyond what is held now.
template <class F> void withAddressSpaceLimit(uint64_t headroom, F f) {
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_AS, &old), 0);
    rlimit tight = old;
    tight.rlim_cur = rlim_t(addressSpace() + headroom);
    ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
    f();
    setrlimit(RLIMIT_AS, &old);
}

class HostileOutputFile : public MainWindowTest {};

TEST_F(HostileOutputFile, OneIndexRecordForMillionsOfFramesIsRefusedWithinASmallAllocationLimit) {
    std::string b = wellFormedOutputFile();
    ASSERT_FALSE(b.empty()) << "no well-formed file in the corpus";
    const uint32_t indexAt =
        rec::readLe32(reinterpret_cast<const uint8_t*>(b.data()) + VLMHeader::INDEX_OFFSET);
    auto put32 = [&](size_t at, uint32_t v) { rec::writeLe32(reinterpret_cast<uint8_t*>(b.data()) + at, v); };
    put32(VLMHeader::INDEX_COUNT, 1u << 22);
    put32(VLMHeader::INDEX_LENGTH, uint32_t(VLMIndex::SIZE));
    put32(indexAt + VLMIndex::SKIP_COUNT, (1u << 22) - 1);
    TempDir dir;
    const std::string path = dir.file("many.vlm");
    writeFile(path, b);

    int code = -1;
    std::string cause;
    withAddressSpaceLimit(uint64_t(128) << 20, [&] { code = w->makeBuilderScratch(path, &cause); });
    EXPECT_EQ(code, OutputFileImporter::IMPORT_CANNOT_OPEN) << cause;
    EXPECT_EQ(w->project().m_dwFrameCount, 0u);
    EXPECT_FALSE(fileExists(dir.file("many.dat")));
}

} // namespace
