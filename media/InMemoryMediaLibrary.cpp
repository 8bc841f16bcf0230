#include "media/InMemoryMediaLibrary.h"

#include "media/ResourceIds.h"

#include <algorithm>
#include <cstring>

namespace {
std::string pathBytes(const QString& path) {
    return path.toLocal8Bit().toStdString();
}
} // namespace

InMemoryMediaLibrary::InMemoryMediaLibrary(ResourceUseTable& uses) : m_uses(uses) {}

void InMemoryMediaLibrary::addResource(ResourceChildNode node, std::vector<uint8_t> storedBytes) {
    node.storedSize = uint32_t(storedBytes.size());
    node.dataOffset = m_nextOffset + uint32_t(ResourceChildNode::SIZE);
    m_nextOffset = node.dataOffset + node.storedSize;
    m_items.push_back({std::move(node), std::move(storedBytes)});
}

uint32_t InMemoryMediaLibrary::importFile(const QString& fullPath, std::vector<uint8_t> bytes) {
    ResourceChildNode node;
    node.resourceId = ResourceIds::FindTheResourceID(ResourceIds::extensionOf(fullPath), identifiers());
    node.fullPath = pathBytes(fullPath);
    const size_t slash = node.fullPath.rfind('/');
    node.fileName = slash == std::string::npos ? node.fullPath : node.fullPath.substr(slash + 1);
    node.fileSize = uint32_t(bytes.size());
    node.flags = ResourceChildNode::FLAG_RAW;
    const uint32_t id = node.resourceId;
    addResource(std::move(node), std::move(bytes));
    return id;
}

std::vector<uint32_t> InMemoryMediaLibrary::identifiers() const {
    std::vector<uint32_t> ids;
    for (const Item& i : m_items)
        ids.push_back(i.node.resourceId);
    return ids;
}

const InMemoryMediaLibrary::Item* InMemoryMediaLibrary::findById(uint32_t id) const {
    for (const Item& i : m_items)
        if (i.node.resourceId == id)
            return &i;
    return nullptr;
}

std::optional<ResourceChildNode> InMemoryMediaLibrary::FindTheChildNodeFromID(uint32_t id) {
    if (const Item* i = findById(id))
        return i->node;
    return std::nullopt;
}

uint32_t InMemoryMediaLibrary::Read(const ResourceChildNode& node, uint8_t* buffer, size_t capacity) {
    if (!buffer)
        return 0;
    // The store reads by data offset; so does this.
    for (const Item& i : m_items) {
        if (i.node.dataOffset != node.dataOffset)
            continue;
        const size_t n = std::min({capacity, size_t(node.storedSize), i.bytes.size()});
        if (n)
            std::memcpy(buffer, i.bytes.data(), n);
        return uint32_t(n);
    }
    return 0;
}

uint32_t InMemoryMediaLibrary::FindTheIDFromPath(const QString& fullPath) {
    const std::string p = pathBytes(fullPath);
    for (const Item& i : m_items)
        if (i.node.fullPath == p)
            return i.node.resourceId;
    return 0;
}

int InMemoryMediaLibrary::ReadDefaultResourceData(uint32_t id, uint8_t* buffer, size_t capacity,
                                                  unsigned long& length) {
    length = 0;
    for (const Item& i : m_items) {
        if (i.node.resourceId != id || !i.node.isDefaultIcon())
            continue;
        length = i.node.fileSize;
        if (buffer) {
            const size_t n = std::min({capacity, size_t(i.node.fileSize), i.bytes.size()});
            if (n)
                std::memcpy(buffer, i.bytes.data(), n);
            length = n;
        }
        break;
    }
    return 0;
}

bool InMemoryMediaLibrary::WriteFromVLM(const ResourceChildNode& node, const uint8_t* data, size_t length) {
    for (const Item& i : m_items)
        if (i.node.resourceId == node.resourceId && i.node.fullPath == node.fullPath)
            return false;
    std::vector<uint8_t> bytes;
    // Path-only records carry no bytes.
    const bool hasBytes = node.flags & (ResourceChildNode::FLAG_COMPRESSED | ResourceChildNode::FLAG_RAW);
    if (data && hasBytes)
        bytes.assign(data, data + std::min(length, size_t(node.storedSize)));
    ResourceChildNode copy = node;
    addResource(std::move(copy), std::move(bytes));
    return true;
}

QString InMemoryMediaLibrary::GetTheFileNameFromID(uint32_t id) {
    if (const Item* i = findById(id))
        return QString::fromLocal8Bit(i->node.fullPath.c_str());
    return QString();
}

void InMemoryMediaLibrary::SlotDeleteIDFromUseArray(unsigned long id) {
    m_uses.dropUse(uint32_t(id));
}
void InMemoryMediaLibrary::slotAddIDOnCopy(unsigned long id) {
    m_uses.addCopyUse(uint32_t(id));
}
void InMemoryMediaLibrary::slotReduceIDOnDelete(unsigned long id) {
    m_uses.reduceUse(uint32_t(id));
}
