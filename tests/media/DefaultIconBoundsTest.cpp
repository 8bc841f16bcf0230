// A default-icon file whose fourth record declares an icon or a preview far
// larger than a default icon is: the icon list ends there, as at a short
// file, without reading or storing the declared bytes. Run under an
// address-space limit, so that trusting the size fails the test instead of
// filling the memory.
#include "ResourceStoreTestFiles.h"

#include "media/ResourceStore.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

using namespace resourcetest;

namespace {

uint64_t addressSpace() {
    std::ifstream statm("/proc/self/statm");
    uint64_t pages = 0;
    statm >> pages;
    return pages * uint64_t(sysconf(_SC_PAGESIZE));
}

struct HugeIconCase {
    const char* name;
    uint32_t iconSize, previewSize;
    int icons; // written into the store
};

TEST(DefaultIconBounds, AnIconOrPreviewAboveOneMegabyteEndsTheIconList) {
    const HugeIconCase cases[] = {
        {"IconNearFourGigabytes", 0xFFFFFF00u, 9, 3},
        {"IconOf300Megabytes", 300u << 20, 9, 3},
        {"PreviewNearFourGigabytes", 44, 0xFFFFFF00u, 3},
        {"IconOfOneMegabyte", 1u << 20, 9, 4},
    };
    for (const HugeIconCase& c : cases) {
        SCOPED_TRACE(c.name);
        Folders folders;
        // Three good icons, then the record under test; the file is made
        // long enough (sparse) to hold what it declares.
        std::string file = defaultIconFile(3);
        uint8_t record[56];
        rec::RecordWriter w(record, sizeof record);
        w.text(0, 40, "Default Icon 4");
        const uint32_t iconAt = uint32_t(file.size() + 56);
        w.u32(40, iconAt);
        w.u32(44, iconAt + c.iconSize);
        w.u32(48, c.iconSize);
        w.u32(52, c.previewSize);
        file.append(reinterpret_cast<const char*>(record), sizeof record);
        testsupport::writeFile(folders.icons(), file);
        const uint64_t declaredEnd = uint64_t(iconAt) + c.iconSize + c.previewSize;
        ASSERT_EQ(truncate(folders.icons().c_str(), off_t(declaredEnd)), 0);

        rlimit old{};
        ASSERT_EQ(getrlimit(RLIMIT_AS, &old), 0);
        rlimit tight = old;
        tight.rlim_cur = rlim_t(addressSpace() + (uint64_t(192) << 20));
        ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
        std::vector<QString> statuses;
        int written = -1;
        std::vector<uint8_t> preview4, preview2;
        {
            ResourceUseTable uses;
            ResourceStore store(
                folders.store(), folders.icons(), [](int) {},
                [&](const QString& s) { statuses.push_back(s); }, uses);
            ASSERT_TRUE(store.ensureStore());
            written = store.defaultIconsWritten();
            preview4 = store.defaultIconPreview("Default Icon 4");
            preview2 = store.defaultIconPreview("Default Icon 2");
        }
        setrlimit(RLIMIT_AS, &old);

        EXPECT_EQ(written, c.icons);
        uint64_t expected = ResourceStore::HEADER_SIZE;
        for (int n = 1; n <= 3; ++n)
            expected += ResourceStore::NODE_SIZE + iconBytes(n).size();
        if (c.icons == 4)
            expected += ResourceStore::NODE_SIZE + c.iconSize;
        EXPECT_EQ(std::filesystem::file_size(folders.store()), expected);
        EXPECT_FALSE(testsupport::fileExists(folders.scratch()));
        ASSERT_EQ(statuses.size(), 1u) << "made with fewer icons, and said so";
        EXPECT_TRUE(statuses[0].contains("3 of 53") || statuses[0].contains("4 of 53"))
            << statuses[0].toStdString();
        EXPECT_EQ(preview4.size(), c.icons == 4 ? size_t(c.previewSize) : 0u);
        EXPECT_EQ(std::string(preview2.begin(), preview2.end()), "preview 2");
    }
}

} // namespace
