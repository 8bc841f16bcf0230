#include "media/InMemoryMediaLibrary.h"
#include "media/ResourceChildNode.h"
#include "store/RecordIO.h"

#include <gtest/gtest.h>

namespace {

TEST(ResourceChildNode, LayoutAndRoundTrip) {
    ResourceChildNode n;
    n.nodeSize = 332;
    n.resourceId = 0x01010002;
    n.dataOffset = 0x1234;
    n.storedSize = 77;
    n.fileSize = 99;
    n.fullPath = "/home/u/pic.bmp";
    n.fileName = "pic.bmp";
    n.flags = ResourceChildNode::FLAG_COMPRESSED;
    const auto b = n.toBytes();
    ASSERT_EQ(b.size(), 332u);
    EXPECT_EQ(rec::readLe32(&b[0]), 332u);
    EXPECT_EQ(rec::readLe32(&b[4]), 0x01010002u);
    EXPECT_EQ(rec::readLe32(&b[8]), 0x1234u);
    EXPECT_EQ(rec::readLe32(&b[12]), 77u);
    EXPECT_EQ(rec::readLe32(&b[16]), 99u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[20])), n.fullPath);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[280])), n.fileName);
    EXPECT_EQ(b[320], 0x01);
    for (size_t i = 321; i < 332; ++i)
        EXPECT_EQ(b[i], 0) << i;
    EXPECT_EQ(ResourceChildNode::fromBytes(b.data()), n);
}

TEST(ResourceChildNode, OverlongPathIsCutAndTerminated) {
    ResourceChildNode n;
    n.fullPath = std::string(400, 'p');
    n.fileName = std::string(60, 'n');
    const auto b = n.toBytes();
    EXPECT_EQ(b[20 + 259], 0);
    EXPECT_EQ(b[280 + 39], 0);
    const auto r = ResourceChildNode::fromBytes(b.data());
    EXPECT_EQ(r.fullPath.size(), 259u);
    EXPECT_EQ(r.fileName.size(), 39u);
}

TEST(InMemoryMediaLibrary, LookupsReadAndImport) {
    ResourceUseTable uses;
    InMemoryMediaLibrary lib(uses);
    const uint32_t a = lib.importFile("/x/a.gif", {1, 2, 3});
    const uint32_t b = lib.importFile("/x/b.GIF", {4, 5});
    EXPECT_EQ(a, 0x01020001u);
    EXPECT_EQ(b, 0x01020002u);
    EXPECT_EQ(lib.FindTheIDFromPath("/x/b.GIF"), b);
    EXPECT_EQ(lib.FindTheIDFromPath("/x/none.gif"), 0u);
    EXPECT_EQ(lib.GetTheFileNameFromID(a), "/x/a.gif");
    EXPECT_EQ(lib.GetTheFileNameFromID(0x999), QString());

    auto node = lib.FindTheChildNodeFromID(b);
    ASSERT_TRUE(node.has_value());
    EXPECT_EQ(node->storedSize, 2u);
    EXPECT_EQ(node->fileName, "b.GIF");
    uint8_t buf[8] = {};
    EXPECT_EQ(lib.Read(*node, buf, sizeof buf), 2u);
    EXPECT_EQ(buf[0], 4);
    EXPECT_EQ(buf[1], 5);
    EXPECT_EQ(lib.Read(*node, buf, 1), 1u); // never beyond the buffer
    EXPECT_FALSE(lib.FindTheChildNodeFromID(0x01020003).has_value());
}

TEST(InMemoryMediaLibrary, WriteFromVlmAddsOnlyNewIdentifierAndPath) {
    ResourceUseTable uses;
    InMemoryMediaLibrary lib(uses);
    ResourceChildNode n;
    n.resourceId = 0x01030001;
    n.fullPath = "/p/a.jpg";
    n.flags = ResourceChildNode::FLAG_RAW;
    n.storedSize = 3;
    n.fileSize = 3;
    const uint8_t data[] = {9, 8, 7};
    EXPECT_TRUE(lib.WriteFromVLM(n, data, 3));
    EXPECT_FALSE(lib.WriteFromVLM(n, data, 3));
    EXPECT_EQ(lib.size(), 1u);
    n.fullPath = "/p/other.jpg";
    EXPECT_TRUE(lib.WriteFromVLM(n, data, 3));
    EXPECT_EQ(lib.GetTheFileNameFromID(0x01030001), "/p/a.jpg"); // the first keeps winning
}

TEST(InMemoryMediaLibrary, DefaultIconData) {
    ResourceUseTable uses;
    InMemoryMediaLibrary lib(uses);
    ResourceChildNode icon;
    icon.nodeSize = 332;
    icon.resourceId = 0x06010001;
    icon.fullPath = icon.fileName = "Default Icon 1";
    icon.fileSize = 4;
    icon.flags = ResourceChildNode::FLAG_RAW | ResourceChildNode::FLAG_DEFAULT_ICON;
    lib.addResource(icon, {1, 2, 3, 4});
    lib.importFile("/p/x.ico", {5});

    unsigned long len = 99;
    EXPECT_EQ(lib.ReadDefaultResourceData(0x06010001, nullptr, 0, len), 0);
    EXPECT_EQ(len, 4u);
    uint8_t buf[4] = {};
    lib.ReadDefaultResourceData(0x06010001, buf, sizeof buf, len);
    EXPECT_EQ(buf[3], 4);
    lib.ReadDefaultResourceData(0x04010001, nullptr, 0, len); // not a default icon
    EXPECT_EQ(len, 0u);
}

TEST(InMemoryMediaLibrary, UseReportsReachTheTable) {
    ResourceUseTable uses;
    InMemoryMediaLibrary lib(uses);
    lib.slotAddIDOnCopy(0x01010001);
    lib.slotAddIDOnCopy(0x01010001);
    lib.slotAddIDOnCopy(0);
    lib.SlotDeleteIDFromUseArray(0x01010001);
    EXPECT_EQ(uses.entries(), (std::vector<UseStruct>{{0x01010001, 1}}));
    lib.slotReduceIDOnDelete(0x01010001);
    EXPECT_TRUE(uses.isInUse(0x01010001));
}

} // namespace
