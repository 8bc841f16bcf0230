// A media library held in memory: records with their stored bytes in the
// order added, the use counts in a ResourceUseTable (the process's by default).
#pragma once

#include "media/MediaLibraryInterface.h"
#include "media/ResourceUseTable.h"

#include <vector>

class InMemoryMediaLibrary : public MediaLibraryInterface {
  public:
    explicit InMemoryMediaLibrary(ResourceUseTable& uses = ResourceUseTable::instance());

    // Appends a record as it is (identifier included) with its stored bytes;
    // the data offset and stored size follow the bytes.
    void addResource(ResourceChildNode node, std::vector<uint8_t> storedBytes);
    // Imports a file's bytes as a raw (or, without a base, unnumbered)
    // resource under a new identifier; gives the identifier.
    uint32_t importFile(const QString& fullPath, std::vector<uint8_t> bytes);
    std::vector<uint32_t> identifiers() const;
    size_t size() const { return m_items.size(); }

    std::optional<ResourceChildNode> FindTheChildNodeFromID(uint32_t id) override;
    uint32_t Read(const ResourceChildNode& node, uint8_t* buffer, size_t capacity) override;
    uint32_t FindTheIDFromPath(const QString& fullPath) override;
    int ReadDefaultResourceData(uint32_t id, uint8_t* buffer, size_t capacity,
                                unsigned long& length) override;
    bool WriteFromVLM(const ResourceChildNode& node, const uint8_t* data, size_t length) override;
    QString GetTheFileNameFromID(uint32_t id) override;

    void SlotDeleteIDFromUseArray(unsigned long id) override;
    void slotAddIDOnCopy(unsigned long id) override;
    void slotReduceIDOnDelete(unsigned long id) override;

  private:
    struct Item {
        ResourceChildNode node;
        std::vector<uint8_t> bytes;
    };
    const Item* findById(uint32_t id) const;
    uint32_t m_nextOffset = 60; // as if behind a store header
    std::vector<Item> m_items;
    ResourceUseTable& m_uses;
};
