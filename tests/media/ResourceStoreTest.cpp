// The resource store file over a private folder: a new store from a synthetic
// default-icon file, imports by kind, removal, failures that must leave the
// store byte for byte, the import of output-file resources and a corrupted
// store.
#include "ResourceStoreTestFiles.h"

#include "media/ResourceIds.h"
#include "media/ResourceStore.h"
#include "support/QtTestApp.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <set>

#include <sys/resource.h>
#include <zlib.h>

using namespace resourcetest;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

struct StoreRig {
    Folders folders;
    ResourceUseTable uses;
    std::vector<int> messages;
    std::vector<QString> statuses;

    std::unique_ptr<ResourceStore> open(int icons = 53) {
        if (icons >= 0 && !testsupport::fileExists(folders.icons()))
            writeFile(folders.icons(), defaultIconFile(icons));
        return std::make_unique<ResourceStore>(
            folders.store(), folders.icons(), [this](int k) { messages.push_back(k); },
            [this](const QString& s) { statuses.push_back(s); }, uses);
    }
    std::string source(const std::string& name, const std::string& bytes) {
        const std::string path = folders.file(name);
        writeFile(path, bytes);
        return path;
    }
    std::string storeBytes() const { return readFile(folders.store()); }
    uint64_t storeSize() const { return std::filesystem::file_size(folders.store()); }
};

class ResourceStoreFile : public ::testing::Test, public StoreRig {};

uint32_t le32(const std::string& s, size_t at) {
    return rec::readLe32(reinterpret_cast<const uint8_t*>(s.data()) + at);
}

TEST_F(ResourceStoreFile, NewStoreHoldsHeaderAndTheDefaultIcons) {
    auto store = open();
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(statuses.empty());
    const std::string s = storeBytes();
    const std::string header = s.substr(0, 60);
    std::string expected(60, '\0');
    expected.replace(0, 3, "INT");
    expected[4] = 1;
    expected[20] = 60;
    expected[28] = char(332 & 0xFF);
    expected[29] = char(332 >> 8);
    EXPECT_EQ(header, expected);

    size_t at = 60;
    for (int n = 1; n <= 53; ++n) {
        ASSERT_LE(at + 332, s.size()) << n;
        const auto node = ResourceChildNode::fromBytes(reinterpret_cast<const uint8_t*>(s.data()) + at);
        const std::string icon = iconBytes(n);
        EXPECT_EQ(node.nodeSize, 332u);
        EXPECT_EQ(node.resourceId, 0x06010000u + uint32_t(n));
        EXPECT_EQ(node.dataOffset, at + 332) << n;
        EXPECT_EQ(node.storedSize, icon.size());
        EXPECT_EQ(node.fileSize, icon.size());
        EXPECT_EQ(node.fullPath, "Default Icon " + std::to_string(n));
        EXPECT_EQ(node.fileName, node.fullPath);
        EXPECT_EQ(node.flags, ResourceChildNode::FLAG_RAW | ResourceChildNode::FLAG_DEFAULT_ICON);
        EXPECT_EQ(s.substr(at + 332, icon.size()), icon) << n;
        at += 332 + icon.size();
    }
    EXPECT_EQ(at, s.size());
    EXPECT_FALSE(testsupport::fileExists(folders.scratch()));

    // A second instance finds the store and leaves it alone.
    auto again = open();
    EXPECT_EQ(storeBytes(), s);
    unsigned long length = 0;
    EXPECT_EQ(again->ReadDefaultResourceData(0x06010035, nullptr, 0, length), 0);
    EXPECT_EQ(length, iconBytes(53).size());
    std::vector<uint8_t> buffer(length);
    again->ReadDefaultResourceData(0x06010035, buffer.data(), buffer.size(), length);
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), iconBytes(53));
    EXPECT_EQ(again->defaultIconPreview("Default Icon 7"),
              std::vector<uint8_t>({'p', 'r', 'e', 'v', 'i', 'e', 'w', ' ', '7'}));
}

TEST_F(ResourceStoreFile, ShortOrMissingDefaultIconFileGivesTheIconsReadAndSaysSoOnce) {
    struct Row {
        const char* name;
        int entries; // -1: no file
        int icons;
    };
    for (const Row row :
         {Row{"ten entries", 10, 10}, Row{"no file", -1, 0}, Row{"cut in the middle", 5, 4}}) {
        SCOPED_TRACE(row.name);
        StoreRig t;
        if (row.entries >= 0) {
            std::string file = defaultIconFile(row.entries);
            if (std::string(row.name) == "cut in the middle")
                file.resize(file.size() - 3);
            writeFile(t.folders.icons(), file);
        }
        auto store = t.open(-1);
        EXPECT_EQ(store->defaultIconsWritten(), row.icons);
        EXPECT_TRUE(t.messages.empty());
        ASSERT_EQ(t.statuses.size(), 1u);
        EXPECT_TRUE(t.statuses[0].contains("RESOURCES.RSE"));
        EXPECT_EQ(store->nodes().size(), size_t(row.icons));
        EXPECT_EQ(
            t.storeSize(), 60 + [&] {
                uint64_t sum = 0;
                for (int n = 1; n <= row.icons; ++n)
                    sum += 332 + iconBytes(n).size();
                return sum;
            }());
        auto second = t.open(-1);
        EXPECT_EQ(t.statuses.size(), 1u);
    }
}

TEST_F(ResourceStoreFile, ImportsGrowTheStoreByKindAndReadGivesTheStoredBytes) {
    auto store = open();
    const std::string plainBmp = bmpBytes(64, 40, false);
    const std::string noisyBmp = bmpBytes(64, 40, true);
    const std::string gif = "GIF89a" + std::string(300, 'g');
    struct Row {
        const char* name;
        std::string bytes;
        uint8_t flags;
        uint32_t id;
    };
    const Row rows[] = {
        {"clip.wav", "RIFF....WAVEfmt ", 0, 0x03010001},
        {"song.MP3", "ID3", 0, 0x03030001},
        {"photo.bmp", plainBmp, ResourceChildNode::FLAG_COMPRESSED, 0x01010001},
        {"noise.bmp", noisyBmp, ResourceChildNode::FLAG_COMPRESSED, 0x01010002},
        {"anim.gif", gif, ResourceChildNode::FLAG_RAW, 0x01020001},
        {"pic.Jpg", "\xFF\xD8jpeg", ResourceChildNode::FLAG_RAW, 0x01030001},
        {"arrow.cur", "cursor", ResourceChildNode::FLAG_RAW, 0x05010001},
        {"film.avi", "RIFFAVI", 0, 0x02030001},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const uint64_t before = storeSize();
        const std::string path = source(row.name, row.bytes);
        EXPECT_EQ(store->importFile(QString::fromStdString(path)), row.id);
        const auto node = store->FindTheChildNodeFromID(row.id);
        ASSERT_TRUE(node);
        EXPECT_EQ(node->fullPath, path);
        EXPECT_EQ(node->fileName, row.name);
        EXPECT_EQ(node->flags, row.flags);
        EXPECT_EQ(storeSize(), before + 332 + node->storedSize);
        std::vector<uint8_t> stored(node->storedSize + 10);
        EXPECT_EQ(store->Read(*node, stored.data(), stored.size()), node->storedSize);
        stored.resize(node->storedSize);
        if (row.flags == 0) {
            EXPECT_EQ(node->storedSize, 0u);
            EXPECT_EQ(node->fileSize, 0u);
            EXPECT_EQ(node->dataOffset, 0u);
        } else if (row.flags == ResourceChildNode::FLAG_RAW) {
            EXPECT_EQ(node->fileSize, row.bytes.size());
            EXPECT_EQ(std::string(stored.begin(), stored.end()), row.bytes);
            EXPECT_EQ(node->dataOffset, before + 332);
        } else {
            EXPECT_EQ(node->fileSize, row.bytes.size());
            std::vector<uint8_t> inflated(row.bytes.size());
            uLongf n = inflated.size();
            ASSERT_EQ(uncompress(inflated.data(), &n, stored.data(), stored.size()), Z_OK);
            EXPECT_EQ(std::string(inflated.begin(), inflated.begin() + long(n)), row.bytes);
            unsigned long size = 1;
            EXPECT_TRUE(store->ReadImageData(QString::fromStdString(path), &size).empty());
            EXPECT_EQ(size, node->storedSize);
        }
    }
    // The incompressible one is stored compressed all the same, longer than its file.
    const auto noisy = store->FindTheChildNodeFromID(0x01010002);
    EXPECT_GT(noisy->storedSize, noisy->fileSize);
    EXPECT_LT(store->FindTheChildNodeFromID(0x01010001)->storedSize, plainBmp.size());

    // Read never goes beyond the buffer it is given.
    const auto gifNode = store->FindTheChildNodeFromID(0x01020001);
    std::vector<uint8_t> small(10, 0xEE);
    EXPECT_EQ(store->Read(*gifNode, small.data(), 4), 4u);
    EXPECT_EQ(std::string(small.begin(), small.begin() + 4), "GIF8");
    EXPECT_EQ(small[4], 0xEE);
    unsigned long size = 0;
    const auto raw = store->ReadImageData(QString::fromStdString(folders.file("anim.gif")), &size);
    EXPECT_EQ(std::string(raw.begin(), raw.end()), gif);
    EXPECT_EQ(size, gif.size());
    EXPECT_TRUE(messages.empty());
}

TEST_F(ResourceStoreFile, RefusedImportsLeaveTheStoreAsItWas) {
    auto store = open();
    const std::string before = storeBytes();
    struct Row {
        const char* name;
        std::string path;
        int message;
    };
    // A folder whose path is 231 bytes long: names behind it make paths of 259 and 260.
    const std::string deep = folders.dir.path() + "/" + std::string(230 - folders.dir.path().size(), 'd');
    ASSERT_EQ(deep.size(), 231u);
    std::filesystem::create_directories(deep);
    const Row rows[] = {
        {"name of 40 characters", source(std::string(36, 'n') + ".gif", "GIF"),
         ResourceStore::MSG_NAME_TOO_LONG},
        {"path of 260 characters",
         [&] {
             std::string p = deep + "/" + std::string(24, 'p') + ".gif";
             writeFile(p, "GIF");
             return p;
         }(),
         ResourceStore::MSG_NAME_TOO_LONG},
        {"mpeg", source("movie.mpeg", "mpeg"), ResourceStore::MSG_TYPE_UNSUPPORTED},
        {"four-letter jpeg", source("photo.jpeg", "jpeg"), ResourceStore::MSG_TYPE_UNSUPPORTED},
        {"no dot", source("README", "text"), ResourceStore::MSG_TYPE_UNSUPPORTED},
        {"png", source("shot.png", "png"), ResourceStore::MSG_TYPE_UNSUPPORTED},
        {"missing gif", folders.file("gone.gif"), ResourceStore::MSG_CANNOT_OPEN},
        {"missing bmp", folders.file("gone.bmp"), ResourceStore::MSG_READ_ERROR},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        messages.clear();
        EXPECT_EQ(store->importFile(QString::fromStdString(row.path)), 0u);
        EXPECT_EQ(messages, std::vector<int>{row.message});
        EXPECT_EQ(storeBytes(), before);
    }
    // 39 characters and a 259-character path still fit.
    messages.clear();
    EXPECT_NE(store->importFile(QString::fromStdString(source(std::string(35, 'n') + ".gif", "GIF"))), 0u);
    std::string fits = deep + "/" + std::string(23, 'p') + ".gif";
    ASSERT_EQ(fits.size(), 259u);
    writeFile(fits, "GIF");
    EXPECT_NE(store->importFile(QString::fromStdString(fits)), 0u);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(store->FindTheIDFromPath(QString::fromStdString(fits)), 0x01020002u);
}

TEST_F(ResourceStoreFile, RemovingTheSecondOfThreeMovesTheThird) {
    auto store = open(0);
    const uint32_t a = store->importFile(QString::fromStdString(source("a.gif", "GIF-A-bytes")));
    const uint32_t b = store->importFile(QString::fromStdString(source("b.gif", std::string(500, 'b'))));
    const uint32_t c = store->importFile(QString::fromStdString(source("c.gif", "GIF-C")));
    const std::string before = storeBytes();
    const auto nodeB = store->FindTheChildNodeFromID(b);
    const auto nodeC = store->FindTheChildNodeFromID(c);
    ASSERT_TRUE(store->DeleteItemFromListView(b));
    const std::string after = storeBytes();
    EXPECT_EQ(after.size(), before.size() - 332 - 500);
    // The first node and its bytes are untouched, byte for byte.
    const size_t firstEnd = 60 + 332 + 11;
    EXPECT_EQ(after.substr(0, firstEnd), before.substr(0, firstEnd));
    const auto movedC = store->FindTheChildNodeFromID(c);
    ASSERT_TRUE(movedC);
    EXPECT_EQ(movedC->dataOffset, firstEnd + 332);
    EXPECT_EQ(le32(after, firstEnd + 8), firstEnd + 332);
    EXPECT_EQ(nodeC->dataOffset, nodeB->dataOffset + 500 + 332);
    std::vector<uint8_t> bytes(5);
    EXPECT_EQ(store->Read(*movedC, bytes.data(), bytes.size()), 5u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "GIF-C");
    EXPECT_FALSE(store->FindTheChildNodeFromID(b));
    EXPECT_TRUE(store->FindTheChildNodeFromID(a));
    EXPECT_FALSE(testsupport::fileExists(folders.scratch()));
    EXPECT_TRUE(messages.empty());
}

TEST_F(ResourceStoreFile, RemovingASharedIdentifierRemovesEveryNodeOfIt) {
    auto store = open(0);
    ResourceChildNode n;
    n.resourceId = 0x01020007;
    n.flags = ResourceChildNode::FLAG_RAW;
    n.storedSize = 3;
    n.fileSize = 3;
    const uint8_t data[] = {1, 2, 3};
    for (const char* p : {"/x/one.gif", "/x/two.gif"}) {
        n.fullPath = p;
        n.fileName = p + 3;
        ASSERT_TRUE(store->AddNewItem(n, data));
    }
    store->importFile(QString::fromStdString(source("keep.gif", "GIF")));
    ASSERT_TRUE(store->DeleteItemFromListView(0x01020007));
    const auto left = store->nodes();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].fileName, "keep.gif");
    EXPECT_EQ(storeSize(), 60 + 332 + 3);
}

// Appends beyond a lowered file-size limit fail part way; the signal the limit
// raises is ignored so the write reports it instead.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_old;
        lowered.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

  private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

TEST_F(ResourceStoreFile, FailedRemovalLeavesTheStoreByteForByte) {
    struct Row {
        const char* name;
        bool scratchIsFolder;
        bool lowLimit; // the scratch copy cannot be written whole
        int message;
    };
    for (const Row row : {Row{"scratch copy is a folder", true, false, ResourceStore::MSG_CANNOT_OPEN},
                          Row{"scratch copy cut short", false, true, ResourceStore::MSG_WRITE_ERROR}}) {
        SCOPED_TRACE(row.name);
        StoreRig t;
        auto store = t.open(3);
        const uint32_t id = store->importFile(QString::fromStdString(t.source("a.gif", "GIF")));
        store->importFile(QString::fromStdString(t.source("b.gif", std::string(5000, 'b'))));
        const std::string before = t.storeBytes();
        if (row.scratchIsFolder)
            std::filesystem::create_directories(t.folders.scratch());
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (row.lowLimit)
                limit = std::make_unique<FileSizeLimit>(before.size() - 2000);
            EXPECT_FALSE(store->DeleteItemFromListView(id));
        }
        EXPECT_EQ(t.messages, std::vector<int>{row.message});
        EXPECT_EQ(t.storeBytes(), before);
        if (!row.scratchIsFolder) {
            EXPECT_FALSE(testsupport::fileExists(t.folders.scratch()));
        }
    }
}

TEST_F(ResourceStoreFile, ShortAppendIsReportedAndCutBack) {
    auto store = open(3);
    const std::string before = storeBytes();
    const std::string big = source("big.gif", std::string(4000, 'g'));
    const std::string vlmBytes(3000, 'v');
    {
        FileSizeLimit limit(before.size() + 332 + 1000);
        EXPECT_EQ(store->importFile(QString::fromStdString(big)), 0u);
        EXPECT_EQ(messages, std::vector<int>{ResourceStore::MSG_WRITE_ERROR});
        EXPECT_EQ(storeBytes(), before);

        messages.clear();
        ResourceChildNode n;
        n.resourceId = 0x01020001;
        n.fullPath = "/elsewhere/v.gif";
        n.fileName = "v.gif";
        n.flags = ResourceChildNode::FLAG_RAW;
        n.storedSize = n.fileSize = uint32_t(vlmBytes.size());
        uint32_t kept = 1;
        EXPECT_FALSE(store->WriteFromVLMKeepingId(n, reinterpret_cast<const uint8_t*>(vlmBytes.data()),
                                                  vlmBytes.size(), kept));
        EXPECT_EQ(kept, 0u);
        EXPECT_EQ(messages, std::vector<int>{ResourceStore::MSG_WRITE_ERROR});
        EXPECT_EQ(storeBytes(), before);
    }
    EXPECT_EQ(store->importFile(QString::fromStdString(big)), 0x01020001u);
}

TEST_F(ResourceStoreFile, VanishedStoreIsMadeAnewBeforeTheNextAppend) {
    auto store = open(4);
    store->importFile(QString::fromStdString(source("a.gif", "GIF")));
    std::filesystem::remove(folders.store());
    EXPECT_EQ(store->importFile(QString::fromStdString(source("b.gif", "GIF-B"))), 0x01020001u);
    const auto all = store->nodes();
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[0].resourceId, ResourceIds::FIRST_DEFAULT_ICON);
    EXPECT_EQ(all[4].fileName, "b.gif");
    EXPECT_EQ(storeBytes().substr(0, 4), std::string("INT\0", 4));

    // An instance made on a vanished store keeps the use counts of the open
    // project.
    uses.addCopyUse(0x01020001);
    std::filesystem::remove(folders.store());
    auto another = open(4);
    EXPECT_EQ(another->nodes().size(), 4u);
    EXPECT_EQ(uses.countOf(0x01020001), 1);
}

ResourceChildNode vlmNode(uint32_t id, const std::string& path, uint8_t flags, uint32_t stored,
                          uint32_t size) {
    ResourceChildNode n;
    n.resourceId = id;
    n.fullPath = path;
    n.fileName = path.substr(path.rfind('/') + 1);
    n.flags = flags;
    n.storedSize = stored;
    n.fileSize = size;
    n.dataOffset = 999999; // the output file's offset; the store sets its own
    return n;
}

TEST_F(ResourceStoreFile, ResourcesFromAnOutputFile) {
    auto store = open(2);
    const std::string gifPath = source("local.gif", "GIF-local");
    const uint32_t local = store->importFile(QString::fromStdString(gifPath));
    ASSERT_EQ(local, 0x01020001u);
    const std::string image(2000, 'i');
    std::vector<uint8_t> packed(compressBound(image.size()));
    uLongf packedSize = packed.size();
    compress(packed.data(), &packedSize, reinterpret_cast<const uint8_t*>(image.data()), image.size());
    packed.resize(packedSize);
    const uint8_t raw[] = {'G', 'I', 'F', '-', 'v'};

    struct Row {
        const char* name;
        ResourceChildNode node;
        std::vector<uint8_t> data;
        bool added;
        uint32_t kept;
    };
    const Row rows[] = {
        {"same identifier and path",
         vlmNode(local, gifPath, ResourceChildNode::FLAG_RAW, 5, 5),
         {raw, raw + 5},
         false,
         local},
        {"same identifier, other path: renumbered",
         vlmNode(local, "/other/place.gif", ResourceChildNode::FLAG_RAW, 5, 5),
         {raw, raw + 5},
         true,
         0x01020002},
        {"free identifier kept",
         vlmNode(0x01010009, "/other/pic.bmp", ResourceChildNode::FLAG_COMPRESSED, uint32_t(packed.size()),
                 uint32_t(image.size())),
         packed, true, 0x01010009},
        {"stream that does not inflate to its size",
         vlmNode(0x0101000A, "/other/bad.bmp", ResourceChildNode::FLAG_COMPRESSED, uint32_t(packed.size()),
                 uint32_t(image.size() + 1)),
         packed, false, 0},
        {"garbage stream",
         vlmNode(0x0101000B, "/other/junk.bmp", ResourceChildNode::FLAG_COMPRESSED, 5, 5),
         {raw, raw + 5},
         false,
         0},
        {"raw bytes short",
         vlmNode(0x0102000C, "/other/short.gif", ResourceChildNode::FLAG_RAW, 50, 50),
         {raw, raw + 5},
         false,
         0},
        {"identifier 0",
         vlmNode(0, "/other/none.gif", ResourceChildNode::FLAG_RAW, 5, 5),
         {raw, raw + 5},
         false,
         0},
        {"path only", vlmNode(0x03010004, "/snd/a.wav", 0, 0, 0), {}, true, 0x03010004},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string before = storeBytes();
        uint32_t kept = 12345;
        EXPECT_EQ(store->WriteFromVLMKeepingId(row.node, row.data.data(), row.data.size(), kept), row.added);
        EXPECT_EQ(kept, row.kept);
        if (!row.added) {
            EXPECT_EQ(storeBytes(), before);
            continue;
        }
        const auto stored = store->FindTheChildNodeFromID(row.kept);
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->fullPath, row.node.fullPath);
        EXPECT_EQ(stored->dataOffset, before.size() + 332);
        EXPECT_EQ(storeBytes().size(), before.size() + 332 + row.data.size());
        std::vector<uint8_t> back(row.data.size());
        EXPECT_EQ(store->Read(*stored, back.data(), back.size()), row.data.size());
        EXPECT_EQ(back, row.data);
    }
    // The local resource keeps its identifier and its file.
    EXPECT_EQ(store->GetTheFileNameFromID(local), QString::fromStdString(gifPath));
    EXPECT_TRUE(messages.empty());
    // The plain form answers as before.
    EXPECT_FALSE(store->WriteFromVLM(vlmNode(local, gifPath, ResourceChildNode::FLAG_RAW, 5, 5), raw, 5));
}

TEST_F(ResourceStoreFile, LookupsAndTheirMessages) {
    auto store = open(2);
    const std::string path = source("Pic.gif", "GIF");
    const uint32_t id = store->importFile(QString::fromStdString(path));
    EXPECT_EQ(store->FindResourceIDOfItem("Pic.gif"), id);
    EXPECT_EQ(store->FindResourceIDOfItem("pic.gif"), 0u); // names are case-sensitive
    EXPECT_EQ(store->GetTheIDFromFileName(QString::fromStdString(path)), id);
    EXPECT_TRUE(store->IsResIDPresent(*store->FindChildNode("Pic.gif")));
    EXPECT_TRUE(messages.empty());

    struct Row {
        const char* name;
        std::function<void()> call;
        std::vector<int> expected;
    };
    unsigned long length = 9;
    const Row rows[] = {
        {"file name of identifier 0", [&] { EXPECT_EQ(store->GetTheFileNameFromID(0), QString()); }, {4}},
        {"identifier of an unknown path",
         [&] { EXPECT_EQ(store->GetTheIDFromFileName("/no/such.gif"), 0u); },
         {4}},
        {"default data of a plain resource",
         [&] {
             store->ReadDefaultResourceData(id, nullptr, 0, length);
             EXPECT_EQ(length, 0u);
         },
         {3}},
        {"unknown path is silent", [&] { EXPECT_EQ(store->FindTheIDFromPath("/no/such.gif"), 0u); }, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        messages.clear();
        row.call();
        EXPECT_EQ(messages, row.expected);
    }

    std::filesystem::remove(folders.store());
    messages.clear();
    EXPECT_EQ(store->GetTheFileNameFromID(id), QString());
    EXPECT_EQ(messages, (std::vector<int>{0, 4}));
    messages.clear();
    EXPECT_FALSE(store->FindTheChildNodeFromID(id));
    EXPECT_EQ(messages, std::vector<int>{0});
    std::vector<uint8_t> buffer(8);
    ResourceChildNode n;
    n.dataOffset = 400;
    n.storedSize = 8;
    messages.clear();
    EXPECT_EQ(store->Read(n, buffer.data(), buffer.size()), 0u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(ResourceStoreFile, CorruptedStoreIsNeverTrusted) {
    auto store = open(0);
    store->importFile(QString::fromStdString(source("good.gif", "GIF-good")));
    std::string s = storeBytes();
    // A node whose texts fill their fields without a terminator, with a data
    // offset pointing far away, then one whose stored size runs past the end.
    ResourceChildNode bad;
    bad.resourceId = 0x01020002;
    bad.flags = ResourceChildNode::FLAG_RAW;
    bad.storedSize = 4;
    bad.fileSize = 4;
    auto bytes = bad.toBytes();
    std::fill(bytes.begin() + 20, bytes.begin() + 320, 'x');
    rec::writeLe32(bytes.data() + 8, 0xFFFFFF00u);
    s.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    s += "ABCD";
    ResourceChildNode past = bad;
    past.resourceId = 0x01020003;
    past.storedSize = 0xFFFFFFF0u;
    past.fullPath = "/past.gif";
    const auto pastBytes = past.toBytes();
    s.append(reinterpret_cast<const char*>(pastBytes.data()), pastBytes.size());
    s += "tail";
    writeFile(folders.store(), s);

    const auto all = store->nodes();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].fullPath, std::string(259, 'x'));
    EXPECT_EQ(all[1].fileName, std::string(39, 'x'));
    EXPECT_EQ(all[1].dataOffset, s.size() - 4 - 332 - 4);
    std::vector<uint8_t> buffer(4);
    EXPECT_EQ(store->Read(all[1], buffer.data(), buffer.size()), 4u);
    EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "ABCD");
    EXPECT_FALSE(store->FindTheChildNodeFromID(0x01020003));
    // A record handed in with bytes beyond the file reads nothing.
    ResourceChildNode beyond = all[1];
    beyond.storedSize = 1000;
    std::vector<uint8_t> big(1000);
    EXPECT_EQ(store->Read(beyond, big.data(), big.size()), 0u);
    // Removal keeps the good nodes and drops the broken tail.
    EXPECT_TRUE(store->DeleteItemFromListView(0x01020002));
    ASSERT_EQ(store->nodes().size(), 1u);
    EXPECT_EQ(storeSize(), 60 + 332 + 8);
    // A store shorter than its header walks as empty and is made anew before
    // the next append.
    writeFile(folders.store(), "INT");
    EXPECT_TRUE(store->nodes().empty());
    EXPECT_EQ(store->importFile(QString::fromStdString(source("after.gif", "GIF"))), 0x01020001u);
    ASSERT_EQ(store->nodes().size(), 1u);
    EXPECT_EQ(storeBytes().substr(0, 4), std::string("INT\0", 4));
}

TEST(ResourceStoreMessages, TextsAreTheLibrarysOwn) {
    EXPECT_EQ(ResourceStore::messageText(0), "Unable to Open RSE File");
    EXPECT_EQ(ResourceStore::messageText(1), "Error on writing file ");
    EXPECT_EQ(ResourceStore::messageText(7), " Resource is already in use replace  failed");
    EXPECT_EQ(ResourceStore::messageText(8), "File name too long");
    EXPECT_EQ(ResourceStore::messageText(9), "File type not supported");
    EXPECT_EQ(ResourceStore::messageText(10), QString());
}

} // namespace

namespace {

class CommittedDefaultIcons : public testsupport::OffscreenAppSuite {};

TEST_F(CommittedDefaultIcons, FiftyThreeIconFilesWithPngPreviews) {
    Folders folders;
    std::vector<QString> statuses;
    ResourceUseTable uses;
    ResourceStore store(
        folders.store(), VELMORA_SOURCE_DIR "/images/RESOURCES.RSE",
        [](int k) { ADD_FAILURE() << "message " << k; }, [&](const QString& s) { statuses.push_back(s); },
        uses);
    EXPECT_EQ(store.defaultIconsWritten(), 53);
    EXPECT_TRUE(statuses.empty());
    std::set<QByteArray> previews;
    for (int n = 1; n <= 53; ++n) {
        SCOPED_TRACE(n);
        unsigned long length = 0;
        store.ReadDefaultResourceData(ResourceIds::FIRST_DEFAULT_ICON + uint32_t(n - 1), nullptr, 0, length);
        std::vector<uint8_t> icon(length);
        store.ReadDefaultResourceData(ResourceIds::FIRST_DEFAULT_ICON + uint32_t(n - 1), icon.data(),
                                      icon.size(), length);
        EXPECT_EQ(QImage::fromData(icon.data(), int(icon.size()), "ICO").size(), QSize(32, 32));
        const auto preview = store.defaultIconPreview(QString("Default Icon %1").arg(n));
        const QImage image = QImage::fromData(preview.data(), int(preview.size()), "PNG");
        EXPECT_EQ(image.size(), QSize(64, 64));
        previews.insert(
            QByteArray(reinterpret_cast<const char*>(image.constBits()), int(image.sizeInBytes())));
    }
    EXPECT_EQ(previews.size(), 53u);
}

} // namespace
