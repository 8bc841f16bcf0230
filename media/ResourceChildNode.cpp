#include "media/ResourceChildNode.h"

#include "store/RecordIO.h"

#include <tuple>

std::array<uint8_t, ResourceChildNode::SIZE> ResourceChildNode::toBytes() const {
    std::array<uint8_t, SIZE> b;
    writeTo(b.data());
    return b;
}

void ResourceChildNode::writeTo(uint8_t* p) const {
    rec::RecordWriter w(p, SIZE);
    w.u32(NODE_SIZE, nodeSize);
    w.u32(RESOURCE_ID, resourceId);
    w.u32(DATA_OFFSET, dataOffset);
    w.u32(STORED_SIZE, storedSize);
    w.u32(FILE_SIZE, fileSize);
    w.text(FULL_PATH, PATH_LENGTH, fullPath);
    w.text(FILE_NAME, NAME_LENGTH, fileName);
    w.u8(FLAGS, flags);
}

ResourceChildNode ResourceChildNode::fromBytes(const uint8_t* p) {
    rec::RecordReader r(p, SIZE);
    ResourceChildNode n;
    n.nodeSize = r.u32(NODE_SIZE);
    n.resourceId = r.u32(RESOURCE_ID);
    n.dataOffset = r.u32(DATA_OFFSET);
    n.storedSize = r.u32(STORED_SIZE);
    n.fileSize = r.u32(FILE_SIZE);
    n.fullPath = r.text(FULL_PATH, PATH_LENGTH);
    n.fileName = r.text(FILE_NAME, NAME_LENGTH);
    n.flags = r.u8(FLAGS);
    return n;
}

bool ResourceChildNode::operator==(const ResourceChildNode& o) const {
    return std::tie(nodeSize, resourceId, dataOffset, storedSize, fileSize, fullPath, fileName, flags) ==
           std::tie(o.nodeSize, o.resourceId, o.dataOffset, o.storedSize, o.fileSize, o.fullPath, o.fileName,
                    o.flags);
}
