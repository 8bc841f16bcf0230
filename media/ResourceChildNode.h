// The 332-byte record of one resource, in the media library's store and in
// the output file's resource table.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct ResourceChildNode {
    static constexpr size_t SIZE = 332;
    static constexpr size_t PATH_LENGTH = 260;
    static constexpr size_t NAME_LENGTH = 40;
    enum Offset : size_t {
        NODE_SIZE = 0,
        RESOURCE_ID = 4,
        DATA_OFFSET = 8,
        STORED_SIZE = 12,
        FILE_SIZE = 16,
        FULL_PATH = 20,
        FILE_NAME = 280,
        FLAGS = 320,
    };
    enum Flags : uint8_t {
        FLAG_COMPRESSED = 0x01, // stored bytes are a zlib stream
        FLAG_RAW = 0x02,        // stored bytes are the file's own
        FLAG_DEFAULT_ICON = 0x04,
    };

    uint32_t nodeSize = 0; // 332 in default-icon nodes; never read
    uint32_t resourceId = 0;
    uint32_t dataOffset = 0;
    uint32_t storedSize = 0;
    uint32_t fileSize = 0; // for compressed nodes, the inflated size
    std::string fullPath;  // at most 259 bytes survive storing
    std::string fileName;  // at most 39 bytes survive storing
    uint8_t flags = 0;

    bool isCompressed() const { return flags & FLAG_COMPRESSED; }
    bool isDefaultIcon() const { return flags & FLAG_DEFAULT_ICON; }

    std::array<uint8_t, SIZE> toBytes() const;
    void writeTo(uint8_t* p) const;
    static ResourceChildNode fromBytes(const uint8_t* p);
    bool operator==(const ResourceChildNode& o) const;
};
