// The resource store file VELMORA.RSE: a 60-byte header, then one 332-byte
// ResourceChildNode per resource followed by its stored bytes, in the order
// added; no count and no index. Every operation opens the file, walks it from
// the start and closes it again; nothing is kept in memory. New stores get the
// default icons of the default-icon file RESOURCES.RSE.
//
// The store trusts nothing it reads: texts are cut at their fields, a node
// whose stored bytes run past the end of the file ends the walk, and reads
// never go beyond the file or the caller's buffer. Removals write a scratch
// copy and rename it over the store; appends that fail are cut back. Failures
// are reported as the media library's message numbers (Message) through the
// message handler; the media library dialog shows them.
#pragma once

#include "media/MediaLibraryInterface.h"
#include "media/ResourceUseTable.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class ResourceStore : public MediaLibraryInterface {
  public:
    enum Message {
        MSG_CANNOT_OPEN = 0,      // "Unable to Open RSE File"
        MSG_WRITE_ERROR = 1,      // "Error on writing file "
        MSG_MEMORY_ERROR = 2,     // "Memory Error"
        MSG_READ_ERROR = 3,       // "Read Error On Reading file "
        MSG_IMAGE_CORRUPTED = 4,  // "Image File Corrupted"
        MSG_NO_CATEGORY = 5,      // "Resource Editor File creation Failed!!."
        MSG_IN_USE_DELETE = 6,    // " Resource is already in use deletion failed"
        MSG_IN_USE_REPLACE = 7,   // " Resource is already in use replace  failed"
        MSG_NAME_TOO_LONG = 8,    // "File name too long"
        MSG_TYPE_UNSUPPORTED = 9, // "File type not supported"
    };
    static constexpr int MESSAGE_COUNT = 10;
    // The text of message k; empty outside 0-9.
    static QString messageText(int k);

    // Categories of the media library's tree.
    enum Category { NO_CATEGORY, IMAGES, AUDIO, VIDEO, ICONS, CURSOR, DEFAULT_ICONS };
    // The category an extension (upper case, without the dot) is listed under.
    static Category categoryOfExtension(const QString& extension);
    // The category a stored node is listed under: Default Icons for a default
    // icon, otherwise by the extension of its full path.
    static Category categoryOf(const ResourceChildNode& node);

    static constexpr uint32_t HEADER_SIZE = 60;
    static constexpr uint32_t NODE_SIZE = uint32_t(ResourceChildNode::SIZE);
    static constexpr int DEFAULT_ICON_COUNT = 53;
    static constexpr uint32_t DEFAULT_ICON_RECORD_SIZE = 56;
    // A default icon or its preview above this size ends the icon list.
    static constexpr uint64_t MAX_DEFAULT_ICON_BYTES = 1u << 20;
    static constexpr size_t MAX_PATH_BYTES = ResourceChildNode::PATH_LENGTH - 1; // 259
    static constexpr size_t MAX_NAME_BYTES = ResourceChildNode::NAME_LENGTH - 1; // 39

    // The 60-byte store header.
    static std::vector<uint8_t> headerBytes();

    using MessageHandler = std::function<void(int message)>;
    using StatusHandler = std::function<void(const QString& text)>;

    // A store at storePath (its scratch copy beside it, ".CLN" in place of
    // ".RSE") with the default icons of defaultIconPath. Makes the store when
    // no regular file is at the path; when the default-icon file is missing or
    // short, the store gets the icons that could be read and this is said once
    // on standard error and through onStatus. Messages go to onMessage (to
    // standard error when there is none).
    ResourceStore(std::string storePath, std::string defaultIconPath, MessageHandler onMessage = {},
                  StatusHandler onStatus = {}, ResourceUseTable& uses = ResourceUseTable::instance());

    const std::string& storePath() const { return m_storePath; }
    const std::string& scratchPath() const { return m_scratchPath; }
    const std::string& defaultIconPath() const { return m_iconPath; }
    void setMessageHandler(MessageHandler handler) { m_onMessage = std::move(handler); }
    ResourceUseTable& useTable() { return m_uses; }

    // Store upkeep.
    bool IsResourceFileExists() const;
    // Makes the store anew (header and default icons) when no regular file of
    // at least the header's size is at its path; false when it could not be
    // made.
    bool ensureStore();
    // Number of default icons the last made store received.
    int defaultIconsWritten() const { return m_iconsWritten; }
    // Removes every node with the identifier and its stored bytes, through the
    // scratch copy renamed over the store; on failure the store is unchanged.
    bool DeleteItemFromListView(unsigned long id);
    // Facts about a file: 20 size in bytes, 21 "T"/"F" for existence, 22 the
    // extension in upper case, 23 the file name; otherwise empty.
    static QString GetFileInformation(int code, const QString& path);

    // Imports a file chosen by the author: checks the name's length (8) and
    // type (9), gives out the identifier and appends the node with the stored
    // bytes of its kind (path only, zlib-compressed or raw). Gives the
    // identifier, or 0 when nothing was stored (the message was reported).
    uint32_t importFile(const QString& path);

    // Every valid node in store order, in one walk; none when the store
    // cannot be opened (reported).
    std::vector<ResourceChildNode> nodes();
    // The identifiers the store holds, in one walk (no message).
    std::vector<uint32_t> identifiers() const;
    // Identifier for a new import of that extension (upper case): 0 when the
    // store cannot be opened (reported) or the extension has no identifier.
    uint32_t FindTheResourceID(const QString& extension);

    // Lookups by file name (the dialog's item texts), case-sensitive.
    std::optional<ResourceChildNode> FindChildNode(const QString& fileName);
    uint32_t FindResourceIDOfItem(const QString& fileName);
    // True when a node has the record's identifier and full path.
    bool IsResIDPresent(const ResourceChildNode& node);
    // Appends a record with its stored bytes (storedSize of them), the data
    // offset set to where they land; a failed write is cut back (1).
    bool AddNewItem(const ResourceChildNode& node, const uint8_t* data);
    // The preview image bytes of the default-icon file's entry of that name;
    // empty when there is none.
    std::vector<uint8_t> defaultIconPreview(const QString& name) const;

    // MediaLibraryInterface
    std::optional<ResourceChildNode> FindTheChildNodeFromID(uint32_t id) override;
    uint32_t Read(const ResourceChildNode& node, uint8_t* buffer, size_t capacity) override;
    uint32_t FindTheIDFromPath(const QString& fullPath) override;
    int ReadDefaultResourceData(uint32_t id, uint8_t* buffer, size_t capacity,
                                unsigned long& length) override;
    bool WriteFromVLM(const ResourceChildNode& node, const uint8_t* data, size_t length) override;
    bool WriteFromVLMKeepingId(const ResourceChildNode& node, const uint8_t* data, size_t length,
                               uint32_t& keptId) override;
    QString GetTheFileNameFromID(uint32_t id) override;
    uint32_t GetTheIDFromFileName(const QString& fullPath) override;
    std::vector<uint8_t> ReadImageData(const QString& fullPath, unsigned long* size) override;
    void SlotDeleteIDFromUseArray(unsigned long id) override;
    void slotAddIDOnCopy(unsigned long id) override;
    void slotReduceIDOnDelete(unsigned long id) override;

    // Path bytes as the store keeps them, and back.
    static std::string encodePath(const QString& path);
    static QString decodePath(const std::string& bytes);

  private:
    struct Found {
        ResourceChildNode node;
        uint64_t position = 0; // of the node in the store
    };
    using Visit = std::function<bool(const ResourceChildNode&, uint64_t position)>;
    // Walks the valid nodes; visit returns false to stop. False when the
    // store cannot be opened.
    bool walk(const Visit& visit) const;
    // The identifiers of every node in one walk; false when the store cannot
    // be opened.
    bool collectIdentifiers(std::vector<uint32_t>& ids) const;
    // First node the predicate accepts; opened is false when the store could
    // not be opened.
    std::optional<Found> findFirst(const std::function<bool(const ResourceChildNode&)>& match,
                                   bool& opened) const;
    bool storeUsable() const;
    bool makeStore();
    bool appendNode(ResourceChildNode node, const uint8_t* data, size_t size, bool setOffset);
    bool readStored(uint64_t offset, uint8_t* buffer, size_t size) const;
    void report(int message) const;

    std::string m_storePath;
    std::string m_scratchPath;
    std::string m_iconPath;
    MessageHandler m_onMessage;
    StatusHandler m_onStatus;
    ResourceUseTable& m_uses;
    int m_iconsWritten = 0;
};
