// The use-count table of resources: how many objects of the project being
// edited use each resource identifier. One table per process, in memory only,
// shared by every media library instance; interface thread only.
#pragma once

#include <cstdint>
#include <vector>

struct UseStruct {
    uint32_t id = 0;
    int32_t count = 0;
    bool operator==(const UseStruct& o) const { return id == o.id && count == o.count; }
};

class ResourceUseTable {
  public:
    // The process's table.
    static ResourceUseTable& instance();

    // True when an entry has the identifier, whatever its count; index is
    // set to the first such entry.
    bool IsResourceInUse(uint32_t id, int& index) const;
    bool isInUse(uint32_t id) const;
    int32_t countOf(uint32_t id) const; // 0 when absent

    // A use dropped: the first entry's count goes down by one and the entry
    // goes when it reaches 0; an identifier without an entry changes nothing.
    void dropUse(uint32_t id);
    // A use added for a copy: identifier 0 is ignored.
    void addCopyUse(uint32_t id);
    // A use taken off without ever removing the entry; 0 ignored.
    void reduceUse(uint32_t id);
    // A resource chosen in a media library instance with OK: every choice is
    // one use, since the object drops its previous resource at every choice.
    // The instance's new-object flag is cleared by a choice of a resource
    // that already has an entry; it no longer decides the count.
    void countChoice(uint32_t id, bool& newObjectFlag);

    void clear() { m_entries.clear(); }
    const std::vector<UseStruct>& entries() const { return m_entries; }

  private:
    int indexOf(uint32_t id) const;
    std::vector<UseStruct> m_entries;
};
