#include "media/ResourceUseTable.h"
#include "store/Diagnostics.h"

#include <cstdio>

ResourceUseTable& ResourceUseTable::instance() {
    static ResourceUseTable table;
    return table;
}

int ResourceUseTable::indexOf(uint32_t id) const {
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].id == id)
            return int(i);
    return -1;
}

bool ResourceUseTable::IsResourceInUse(uint32_t id, int& index) const {
    const int i = indexOf(id);
    if (i < 0)
        return false;
    index = i;
    return true;
}

bool ResourceUseTable::isInUse(uint32_t id) const {
    return indexOf(id) >= 0;
}

int32_t ResourceUseTable::countOf(uint32_t id) const {
    const int i = indexOf(id);
    return i < 0 ? 0 : m_entries[size_t(i)].count;
}

void ResourceUseTable::dropUse(uint32_t id) {
    diag::print("resource use dropped: %#x\n", id);
    const int i = indexOf(id);
    if (i < 0)
        return;
    if (--m_entries[size_t(i)].count <= 0)
        m_entries.erase(m_entries.begin() + i);
}

void ResourceUseTable::addCopyUse(uint32_t id) {
    if (id == 0)
        return;
    diag::print("resource use added on copy: %#x\n", id);
    const int i = indexOf(id);
    if (i < 0)
        m_entries.push_back({id, 1});
    else
        ++m_entries[size_t(i)].count;
}

void ResourceUseTable::reduceUse(uint32_t id) {
    if (id == 0)
        return;
    const int i = indexOf(id);
    if (i >= 0)
        --m_entries[size_t(i)].count;
}

void ResourceUseTable::countChoice(uint32_t id, bool& newObjectFlag) {
    const int i = indexOf(id);
    if (i < 0) {
        m_entries.push_back({id, 1});
    } else {
        ++m_entries[size_t(i)].count;
        newObjectFlag = false;
    }
    for (const UseStruct& u : m_entries)
        diag::print("resource %#x used %d times\n", u.id, u.count);
}
