// What the rest of the program asks of the media library: resource records
// and their stored bytes by identifier or path, adding resources read from an
// output file, and the use-count reports of objects. The media library dialog
// implements it over its store file; InMemoryMediaLibrary serves tests and
// callers without a store.
#pragma once

#include "media/ResourceChildNode.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

class MediaLibraryInterface {
  public:
    virtual ~MediaLibraryInterface() = default;

    // A copy of the first record with that identifier, or none.
    virtual std::optional<ResourceChildNode> FindTheChildNodeFromID(uint32_t id) = 0;
    // Copies the record's stored bytes (still compressed for compressed
    // records) into the buffer, at most capacity bytes; gives the count, 0
    // when they cannot be read.
    virtual uint32_t Read(const ResourceChildNode& node, uint8_t* buffer, size_t capacity) = 0;
    // Identifier of the first record whose full source path equals the path, or 0.
    virtual uint32_t FindTheIDFromPath(const QString& fullPath) = 0;
    // For the first default-icon record with the identifier: sets length to
    // its size and, given a buffer, copies up to capacity bytes into it.
    // Length 0 when there is none. Always gives 0.
    virtual int ReadDefaultResourceData(uint32_t id, uint8_t* buffer, size_t capacity,
                                        unsigned long& length) = 0;
    // Adds a record and its stored bytes read from an output file unless one
    // with the same identifier and path is present; true when added.
    virtual bool WriteFromVLM(const ResourceChildNode& node, const uint8_t* data, size_t length) = 0;
    // WriteFromVLM telling the import under which identifier the resource is now
    // held: the record's own, a new one when the store already holds that
    // identifier under another path (the import then rewrites the identifier
    // in its records), or 0 when the record was refused (its uses then name
    // no resource). True when added.
    virtual bool WriteFromVLMKeepingId(const ResourceChildNode& node, const uint8_t* data, size_t length,
                                       uint32_t& keptId) {
        const bool added = WriteFromVLM(node, data, length);
        keptId = node.resourceId;
        return added;
    }
    // Full source path of the first record with the identifier, or empty.
    virtual QString GetTheFileNameFromID(uint32_t id) = 0;
    // Identifier of the first record whose full source path equals the path;
    // 0 when there is none (the media library also reports that).
    virtual uint32_t GetTheIDFromFileName(const QString& fullPath) { return FindTheIDFromPath(fullPath); }
    // For the first record whose full source path equals the path: its stored
    // bytes when they are the image's own (size set to their count); for a
    // compressed record nothing, with size set to its stored size. No record:
    // nothing and size 0. An empty result tells the caller to load the file
    // from its path.
    virtual std::vector<uint8_t> ReadImageData(const QString& fullPath, unsigned long* size) {
        (void)fullPath;
        if (size)
            *size = 0;
        return {};
    }

    // Use-count reports of objects and the canvas.
    virtual void SlotDeleteIDFromUseArray(unsigned long id) = 0;
    virtual void slotAddIDOnCopy(unsigned long id) = 0;
    virtual void slotReduceIDOnDelete(unsigned long id) = 0;
};
