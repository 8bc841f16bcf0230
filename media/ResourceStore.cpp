#include "media/ResourceStore.h"

#include "media/ResourceIds.h"
#include "store/Diagnostics.h"
#include "store/RecordIO.h"
#include "store/RegularFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace {

// An open file descriptor, closed with its owner.
class Fd {
  public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    bool ok() const { return m_fd >= 0; }
    // Closes now and tells whether the close reported an error.
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int m_fd;
};

bool readAt(int fd, uint64_t offset, uint8_t* buffer, size_t size) {
    while (size > 0) {
        const ssize_t n = ::pread(fd, buffer, size, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        buffer += n;
        offset += uint64_t(n);
        size -= size_t(n);
    }
    return true;
}

bool writeAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

uint64_t fileLength(int fd) {
    struct stat st;
    return ::fstat(fd, &st) == 0 ? uint64_t(st.st_size) : 0;
}

std::string scratchPathOf(const std::string& store) {
    const size_t slash = store.rfind('/');
    const size_t dot = store.rfind('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        return store.substr(0, dot) + ".CLN";
    return store + ".CLN";
}

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// One record of the default-icon file at `at`: its name, icon and preview.
struct DefaultIconRecord {
    std::string name;
    uint64_t iconOffset = 0, iconSize = 0, previewOffset = 0, previewSize = 0;
    uint64_t next = 0; // where the next record starts
};

// Reads the record at `at`; none when it cannot be read, points outside the
// file or before its own end, or declares an icon or preview too large to
// be one. Either ends the icon list, as a short file does.
std::optional<DefaultIconRecord> defaultIconRecordAt(int fd, uint64_t at, uint64_t fileLength) {
    uint8_t record[ResourceStore::DEFAULT_ICON_RECORD_SIZE];
    if (!readAt(fd, at, record, sizeof record))
        return std::nullopt;
    rec::RecordReader r(record, sizeof record);
    DefaultIconRecord d;
    d.name = r.text(0, 40);
    d.iconOffset = r.u32(40);
    d.previewOffset = r.u32(44);
    d.iconSize = r.u32(48);
    d.previewSize = r.u32(52);
    if (d.iconSize > ResourceStore::MAX_DEFAULT_ICON_BYTES ||
        d.previewSize > ResourceStore::MAX_DEFAULT_ICON_BYTES ||
        d.iconOffset < at + ResourceStore::DEFAULT_ICON_RECORD_SIZE ||
        d.iconOffset + d.iconSize > fileLength || d.previewOffset + d.previewSize > fileLength)
        return std::nullopt;
    d.next = d.iconOffset + d.iconSize + d.previewSize;
    return d;
}

// A node as read: texts cut at their fields, and the stored bytes where they
// really are.
ResourceChildNode sanitized(const uint8_t* bytes, uint64_t position) {
    ResourceChildNode n = ResourceChildNode::fromBytes(bytes);
    if (n.fullPath.size() > ResourceStore::MAX_PATH_BYTES)
        n.fullPath.resize(ResourceStore::MAX_PATH_BYTES);
    if (n.fileName.size() > ResourceStore::MAX_NAME_BYTES)
        n.fileName.resize(ResourceStore::MAX_NAME_BYTES);
    if (n.storedSize > 0)
        n.dataOffset = uint32_t(position + ResourceStore::NODE_SIZE);
    return n;
}

// True when the zlib stream of exactly `size` bytes inflates to exactly
// `expected` bytes.
bool inflatesTo(const uint8_t* data, size_t size, uint64_t expected) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return false;
    std::vector<uint8_t> out(64 * 1024);
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = uInt(size);
    uint64_t total = 0;
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = out.data();
        z.avail_out = uInt(out.size());
        rc = inflate(&z, Z_NO_FLUSH);
        total += out.size() - z.avail_out;
        if (total > expected)
            break;
        if (rc == Z_BUF_ERROR || (rc == Z_OK && z.avail_in == 0 && z.avail_out != 0))
            break;
    }
    const bool ok = rc == Z_STREAM_END && total == expected && z.avail_in == 0;
    inflateEnd(&z);
    return ok;
}

const char* const kMessages[ResourceStore::MESSAGE_COUNT] = {
    "Unable to Open RSE File",
    "Error on writing file ",
    "Memory Error",
    "Read Error On Reading file ",
    "Image File Corrupted",
    "Resource Editor File creation Failed!!.",
    " Resource is already in use deletion failed",
    " Resource is already in use replace  failed",
    "File name too long",
    "File type not supported",
};

} // namespace

QString ResourceStore::messageText(int k) {
    if (k < 0 || k >= MESSAGE_COUNT)
        return QString();
    return QString::fromLatin1(kMessages[k]);
}

ResourceStore::Category ResourceStore::categoryOfExtension(const QString& e) {
    if (e == "JPG" || e == "BMP" || e == "GIF")
        return IMAGES;
    if (e == "WAV" || e == "MP3")
        return AUDIO;
    if (e == "AVI")
        return VIDEO;
    if (e == "CUR")
        return CURSOR;
    if (e == "ICO")
        return ICONS;
    if (e == "XPM")
        return DEFAULT_ICONS;
    return NO_CATEGORY;
}

ResourceStore::Category ResourceStore::categoryOf(const ResourceChildNode& node) {
    if (node.isDefaultIcon())
        return DEFAULT_ICONS;
    return categoryOfExtension(ResourceIds::extensionOf(decodePath(node.fullPath)));
}

std::vector<uint8_t> ResourceStore::headerBytes() {
    std::vector<uint8_t> h(HEADER_SIZE);
    rec::RecordWriter w(h.data(), h.size());
    w.bytes(0, "INT", 4);
    w.u16(4, 1);
    w.u16(6, 0);
    w.u32(20, HEADER_SIZE);
    w.u32(28, NODE_SIZE);
    return h;
}

std::string ResourceStore::encodePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString ResourceStore::decodePath(const std::string& bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), int(bytes.size())));
}

ResourceStore::ResourceStore(std::string storePath, std::string defaultIconPath, MessageHandler onMessage,
                             StatusHandler onStatus, ResourceUseTable& uses)
    : m_storePath(std::move(storePath)), m_scratchPath(scratchPathOf(m_storePath)),
      m_iconPath(std::move(defaultIconPath)), m_onMessage(std::move(onMessage)),
      m_onStatus(std::move(onStatus)), m_uses(uses) {
    // The use counts stay: an instance made while a project is open must not
    // free the resources its objects use.
    if (!storeUsable())
        makeStore();
}

// A regular file with at least its header; anything shorter holds no
// resources and is made anew.
bool ResourceStore::storeUsable() const {
    struct stat st;
    return ::stat(m_storePath.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           uint64_t(st.st_size) >= HEADER_SIZE;
}

void ResourceStore::report(int message) const {
    if (m_onMessage)
        m_onMessage(message);
    else
        diag::print("ResourceEditor: %s\n", qPrintable(messageText(message)));
}

bool ResourceStore::IsResourceFileExists() const {
    struct stat st;
    return ::stat(m_storePath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ResourceStore::ensureStore() {
    return storeUsable() || makeStore();
}

// Header and default icons go to the scratch copy first, which then becomes
// the store: a failure leaves no half-made store behind.
bool ResourceStore::makeStore() {
    m_iconsWritten = 0;
    Fd out(regularfile::open(m_scratchPath, O_WRONLY | O_CREAT | O_TRUNC, 0644));
    if (!out.ok()) {
        report(MSG_CANNOT_OPEN);
        return false;
    }
    bool ok = writeAll(out.get(), headerBytes().data(), HEADER_SIZE);
    uint64_t length = HEADER_SIZE;

    // Not a regular file: as missing.
    Fd icons(regularfile::open(m_iconPath, O_RDONLY));
    const uint64_t iconFileLength = icons.ok() ? fileLength(icons.get()) : 0;
    uint64_t at = 0;
    std::vector<uint8_t> bytes;
    for (int n = 1; ok && icons.ok() && n <= DEFAULT_ICON_COUNT; ++n) {
        const auto icon = defaultIconRecordAt(icons.get(), at, iconFileLength);
        if (!icon)
            break;
        const uint64_t iconSize = icon->iconSize;
        bytes.resize(iconSize);
        if (iconSize > 0 && !readAt(icons.get(), icon->iconOffset, bytes.data(), iconSize))
            break;
        ResourceChildNode node;
        node.nodeSize = NODE_SIZE;
        node.resourceId = ResourceIds::FIRST_DEFAULT_ICON + uint32_t(n - 1);
        node.fullPath = "Default Icon " + std::to_string(n);
        node.fileName = node.fullPath;
        node.dataOffset = uint32_t(length + NODE_SIZE);
        node.storedSize = uint32_t(iconSize);
        node.fileSize = uint32_t(iconSize);
        node.flags = ResourceChildNode::FLAG_RAW | ResourceChildNode::FLAG_DEFAULT_ICON;
        const auto nodeBytes = node.toBytes();
        ok = writeAll(out.get(), nodeBytes.data(), NODE_SIZE) && writeAll(out.get(), bytes.data(), iconSize);
        length += NODE_SIZE + iconSize;
        m_iconsWritten = n;
        at = icon->next;
    }
    ok = ok && ::fsync(out.get()) == 0;
    ok = out.close() && ok;
    if (!ok || ::rename(m_scratchPath.c_str(), m_storePath.c_str()) != 0) {
        ::unlink(m_scratchPath.c_str());
        m_iconsWritten = 0;
        report(MSG_WRITE_ERROR);
        return false;
    }
    if (m_iconsWritten < DEFAULT_ICON_COUNT) {
        const QString text =
            icons.ok() ? QString("The resource store was made with %1 of %2 default icons: %3 is short")
                             .arg(m_iconsWritten)
                             .arg(DEFAULT_ICON_COUNT)
                             .arg(QString::fromStdString(m_iconPath))
                       : QString("The resource store was made without default icons: %1 is missing")
                             .arg(QString::fromStdString(m_iconPath));
        diag::print("%s\n", qPrintable(text));
        if (m_onStatus)
            m_onStatus(text);
    }
    return true;
}

bool ResourceStore::walk(const Visit& visit) const {
    Fd in(regularfile::open(m_storePath, O_RDONLY));
    if (!in.ok())
        return false;
    const uint64_t length = fileLength(in.get());
    uint64_t at = HEADER_SIZE;
    uint8_t bytes[NODE_SIZE];
    while (at + NODE_SIZE <= length) {
        if (!readAt(in.get(), at, bytes, NODE_SIZE))
            break;
        const uint64_t stored = rec::readLe32(bytes + ResourceChildNode::STORED_SIZE);
        if (at + NODE_SIZE + stored > length)
            break; // stored bytes past the end: the walk ends here
        if (!visit(sanitized(bytes, at), at))
            break;
        at += NODE_SIZE + stored;
    }
    return true;
}

std::optional<ResourceStore::Found>
ResourceStore::findFirst(const std::function<bool(const ResourceChildNode&)>& match, bool& opened) const {
    std::optional<Found> found;
    opened = walk([&](const ResourceChildNode& n, uint64_t at) {
        if (!match(n))
            return true;
        found = Found{n, at};
        return false;
    });
    return found;
}

std::vector<ResourceChildNode> ResourceStore::nodes() {
    std::vector<ResourceChildNode> all;
    if (!walk([&](const ResourceChildNode& n, uint64_t) {
            all.push_back(n);
            return true;
        }))
        report(MSG_CANNOT_OPEN);
    return all;
}

bool ResourceStore::collectIdentifiers(std::vector<uint32_t>& ids) const {
    return walk([&](const ResourceChildNode& n, uint64_t) {
        ids.push_back(n.resourceId);
        return true;
    });
}

std::vector<uint32_t> ResourceStore::identifiers() const {
    std::vector<uint32_t> ids;
    collectIdentifiers(ids);
    return ids;
}

uint32_t ResourceStore::FindTheResourceID(const QString& extension) {
    std::vector<uint32_t> ids;
    if (!collectIdentifiers(ids)) {
        report(MSG_CANNOT_OPEN);
        return 0;
    }
    return ResourceIds::FindTheResourceID(extension, ids);
}

QString ResourceStore::GetFileInformation(int code, const QString& path) {
    const QFileInfo info(path);
    switch (code) {
    case 20:
        return QString::number(info.size());
    case 21:
        return info.exists() ? "T" : "F";
    case 22:
        return ResourceIds::extensionOf(path);
    case 23:
        return info.fileName();
    default:
        return QString();
    }
}

bool ResourceStore::appendNode(ResourceChildNode node, const uint8_t* data, size_t size, bool setOffset) {
    if (!ensureStore())
        return false;
    Fd out(regularfile::open(m_storePath, O_WRONLY | O_APPEND));
    if (!out.ok()) {
        report(MSG_CANNOT_OPEN);
        return false;
    }
    const uint64_t before = fileLength(out.get());
    if (before + NODE_SIZE + size > UINT32_MAX) {
        report(MSG_WRITE_ERROR);
        return false;
    }
    node.storedSize = uint32_t(size);
    if (setOffset)
        node.dataOffset = uint32_t(before + NODE_SIZE);
    const auto bytes = node.toBytes();
    bool ok = writeAll(out.get(), bytes.data(), NODE_SIZE) && (size == 0 || writeAll(out.get(), data, size));
    if (ok)
        ok = out.close();
    if (!ok) {
        // Cut the store back to what it was; a second descriptor, since the
        // first may be closed already.
        Fd cut(regularfile::open(m_storePath, O_WRONLY));
        if (!cut.ok() || ::ftruncate(cut.get(), off_t(before)) != 0)
            diag::error("resource store: cannot cut back a failed append");
        report(MSG_WRITE_ERROR);
        return false;
    }
    return true;
}

uint32_t ResourceStore::importFile(const QString& path) {
    const std::string fullPath = encodePath(path);
    const std::string name = fileNameOf(fullPath);
    if (fullPath.size() > MAX_PATH_BYTES || name.size() > MAX_NAME_BYTES) {
        report(MSG_NAME_TOO_LONG);
        return 0;
    }
    const QString extension = ResourceIds::extensionOf(path);
    if (categoryOfExtension(extension) == NO_CATEGORY) {
        report(MSG_TYPE_UNSUPPORTED);
        return 0;
    }
    if (!ensureStore())
        return 0;
    std::vector<uint32_t> ids;
    if (!collectIdentifiers(ids)) {
        report(MSG_CANNOT_OPEN);
        return 0;
    }
    const uint32_t id = ResourceIds::FindTheResourceID(extension, ids);
    if (id == 0) {
        report(MSG_TYPE_UNSUPPORTED);
        return 0;
    }

    ResourceChildNode node;
    node.resourceId = id;
    node.fullPath = fullPath;
    node.fileName = name;
    if (extension == "WAV" || extension == "MP3" || extension == "AVI")
        return appendNode(node, nullptr, 0, false) ? id : 0;

    const bool compressed = extension == "BMP";
    QFile source(path);
    if (regularfile::existsButNotRegular(fullPath) || !source.open(QIODevice::ReadOnly)) {
        report(compressed ? MSG_READ_ERROR : MSG_CANNOT_OPEN);
        return 0;
    }
    const QByteArray file = source.readAll();
    if (source.error() != QFileDevice::NoError || file.size() != source.size()) {
        report(MSG_READ_ERROR);
        return 0;
    }
    node.fileSize = uint32_t(file.size());
    const auto* fileBytes = reinterpret_cast<const uint8_t*>(file.constData());
    if (compressed) {
        uLongf packedSize = compressBound(uLong(file.size()));
        std::vector<uint8_t> packed(packedSize);
        if (compress(packed.data(), &packedSize, fileBytes, uLong(file.size())) == Z_OK) {
            node.flags = ResourceChildNode::FLAG_COMPRESSED;
            return appendNode(node, packed.data(), packedSize, true) ? id : 0;
        }
        diag::print("resource store: compression of %s failed, stored as it is\n", fullPath.c_str());
    }
    node.flags = ResourceChildNode::FLAG_RAW;
    return appendNode(node, fileBytes, size_t(file.size()), true) ? id : 0;
}

bool ResourceStore::DeleteItemFromListView(unsigned long id) {
    Fd in(regularfile::open(m_storePath, O_RDONLY));
    if (!in.ok()) {
        report(MSG_CANNOT_OPEN);
        return false;
    }
    Fd out(regularfile::open(m_scratchPath, O_WRONLY | O_CREAT | O_TRUNC, 0644));
    if (!out.ok()) {
        report(MSG_CANNOT_OPEN);
        return false;
    }
    auto fail = [&](int message) {
        out.close();
        ::unlink(m_scratchPath.c_str());
        report(message);
        return false;
    };
    const uint64_t length = fileLength(in.get());
    uint8_t header[HEADER_SIZE];
    if (!readAt(in.get(), 0, header, HEADER_SIZE))
        return fail(MSG_READ_ERROR);
    if (!writeAll(out.get(), header, HEADER_SIZE))
        return fail(MSG_WRITE_ERROR);

    uint64_t at = HEADER_SIZE;
    uint64_t written = HEADER_SIZE;
    bool removed = false;
    uint8_t node[NODE_SIZE];
    std::vector<uint8_t> chunk(256 * 1024);
    while (at + NODE_SIZE <= length) {
        if (!readAt(in.get(), at, node, NODE_SIZE))
            return fail(MSG_READ_ERROR);
        const uint64_t stored = rec::readLe32(node + ResourceChildNode::STORED_SIZE);
        if (at + NODE_SIZE + stored > length)
            break;
        const uint64_t next = at + NODE_SIZE + stored;
        if (rec::readLe32(node + ResourceChildNode::RESOURCE_ID) == uint32_t(id)) {
            removed = true;
            at = next;
            continue;
        }
        // Nodes behind a removed one move: their data offset follows them.
        if (removed)
            rec::writeLe32(node + ResourceChildNode::DATA_OFFSET, uint32_t(written + NODE_SIZE));
        if (!writeAll(out.get(), node, NODE_SIZE))
            return fail(MSG_WRITE_ERROR);
        for (uint64_t from = at + NODE_SIZE; from < next;) {
            const size_t n = size_t(std::min<uint64_t>(chunk.size(), next - from));
            if (!readAt(in.get(), from, chunk.data(), n))
                return fail(MSG_READ_ERROR);
            if (!writeAll(out.get(), chunk.data(), n))
                return fail(MSG_WRITE_ERROR);
            from += n;
        }
        written += NODE_SIZE + stored;
        at = next;
    }
    if (::fsync(out.get()) != 0 || !out.close())
        return fail(MSG_WRITE_ERROR);
    if (::rename(m_scratchPath.c_str(), m_storePath.c_str()) != 0) {
        ::unlink(m_scratchPath.c_str());
        report(MSG_WRITE_ERROR);
        return false;
    }
    return true;
}

std::optional<ResourceChildNode> ResourceStore::FindChildNode(const QString& fileName) {
    const std::string name = encodePath(fileName);
    bool opened = true;
    auto f = findFirst([&](const ResourceChildNode& n) { return n.fileName == name; }, opened);
    if (!opened)
        report(MSG_CANNOT_OPEN);
    if (!f)
        return std::nullopt;
    return f->node;
}

uint32_t ResourceStore::FindResourceIDOfItem(const QString& fileName) {
    const auto n = FindChildNode(fileName);
    return n ? n->resourceId : 0;
}

bool ResourceStore::IsResIDPresent(const ResourceChildNode& node) {
    bool opened = true;
    const auto f = findFirst(
        [&](const ResourceChildNode& n) {
            return n.resourceId == node.resourceId && n.fullPath == node.fullPath;
        },
        opened);
    if (!opened)
        report(MSG_CANNOT_OPEN);
    return f.has_value();
}

bool ResourceStore::AddNewItem(const ResourceChildNode& node, const uint8_t* data) {
    const bool hasBytes = node.flags & (ResourceChildNode::FLAG_COMPRESSED | ResourceChildNode::FLAG_RAW);
    if (hasBytes && node.storedSize > 0 && !data)
        return false;
    return appendNode(node, data, hasBytes ? node.storedSize : 0, true);
}

std::vector<uint8_t> ResourceStore::defaultIconPreview(const QString& name) const {
    const std::string wanted = encodePath(name);
    Fd icons(regularfile::open(m_iconPath, O_RDONLY));
    if (!icons.ok())
        return {};
    const uint64_t length = fileLength(icons.get());
    uint64_t at = 0;
    for (int n = 1; n <= DEFAULT_ICON_COUNT; ++n) {
        const auto icon = defaultIconRecordAt(icons.get(), at, length);
        if (!icon)
            break;
        if (icon->name == wanted) {
            std::vector<uint8_t> preview(icon->previewSize);
            if (icon->previewSize > 0 &&
                !readAt(icons.get(), icon->previewOffset, preview.data(), icon->previewSize))
                return {};
            return preview;
        }
        at = icon->next;
    }
    return {};
}

bool ResourceStore::readStored(uint64_t offset, uint8_t* buffer, size_t size) const {
    Fd in(regularfile::open(m_storePath, O_RDONLY));
    if (!in.ok())
        return false;
    if (offset < HEADER_SIZE + NODE_SIZE || offset + size > fileLength(in.get()))
        return false;
    return size == 0 || readAt(in.get(), offset, buffer, size);
}

std::optional<ResourceChildNode> ResourceStore::FindTheChildNodeFromID(uint32_t id) {
    bool opened = true;
    auto f = findFirst([&](const ResourceChildNode& n) { return n.resourceId == id; }, opened);
    if (!opened)
        report(MSG_CANNOT_OPEN);
    if (!f)
        return std::nullopt;
    return f->node;
}

uint32_t ResourceStore::Read(const ResourceChildNode& node, uint8_t* buffer, size_t capacity) {
    if (!buffer)
        return 0;
    const size_t n = std::min(size_t(node.storedSize), capacity);
    return readStored(node.dataOffset, buffer, n) ? uint32_t(n) : 0;
}

uint32_t ResourceStore::FindTheIDFromPath(const QString& fullPath) {
    const std::string path = encodePath(fullPath);
    bool opened = true;
    const auto f = findFirst([&](const ResourceChildNode& n) { return n.fullPath == path; }, opened);
    if (!opened)
        report(MSG_CANNOT_OPEN);
    return f ? f->node.resourceId : 0;
}

int ResourceStore::ReadDefaultResourceData(uint32_t id, uint8_t* buffer, size_t capacity,
                                           unsigned long& length) {
    length = 0;
    bool opened = true;
    const auto f = findFirst(
        [&](const ResourceChildNode& n) { return n.resourceId == id && n.isDefaultIcon(); }, opened);
    if (!opened)
        report(MSG_CANNOT_OPEN);
    if (!f) {
        report(MSG_READ_ERROR);
        return 0;
    }
    const size_t size = std::min(f->node.fileSize, f->node.storedSize);
    if (!buffer) {
        length = size;
        return 0;
    }
    const size_t n = std::min(size, capacity);
    if (!readStored(f->node.dataOffset, buffer, n)) {
        report(MSG_READ_ERROR);
        return 0;
    }
    length = n;
    return 0;
}

bool ResourceStore::WriteFromVLM(const ResourceChildNode& node, const uint8_t* data, size_t length) {
    uint32_t kept = 0;
    return WriteFromVLMKeepingId(node, data, length, kept);
}

bool ResourceStore::WriteFromVLMKeepingId(const ResourceChildNode& given, const uint8_t* data, size_t length,
                                          uint32_t& keptId) {
    keptId = 0;
    ResourceChildNode node = given;
    if (node.fullPath.size() > MAX_PATH_BYTES)
        node.fullPath.resize(MAX_PATH_BYTES);
    if (node.fileName.size() > MAX_NAME_BYTES)
        node.fileName.resize(MAX_NAME_BYTES);
    if (node.resourceId == 0) {
        diag::print("resource store: imported resource %s has no identifier, not added\n",
                    node.fullPath.c_str());
        return false;
    }
    if (!ensureStore())
        return false;

    std::vector<uint32_t> ids;
    bool present = false;
    bool idTaken = false;
    if (!walk([&](const ResourceChildNode& n, uint64_t) {
            ids.push_back(n.resourceId);
            if (n.resourceId == node.resourceId) {
                idTaken = true;
                present = present || n.fullPath == node.fullPath;
            }
            return true;
        })) {
        report(MSG_CANNOT_OPEN);
        return false;
    }
    if (present) {
        keptId = node.resourceId;
        return false;
    }

    if (node.isCompressed()) {
        if (!data || length < node.storedSize || !inflatesTo(data, node.storedSize, node.fileSize)) {
            diag::print(
                "resource store: imported resource %#x (%s) does not inflate to its size, not added\n",
                node.resourceId, node.fullPath.c_str());
            return false;
        }
    } else if (node.flags & ResourceChildNode::FLAG_RAW) {
        if (node.storedSize > 0 && (!data || length < node.storedSize)) {
            diag::print("resource store: imported resource %#x (%s) is short, not added\n", node.resourceId,
                        node.fullPath.c_str());
            return false;
        }
    } else {
        node.storedSize = 0;
    }

    if (idTaken) {
        // Another resource holds this identifier here: the import's one gets
        // a new one, which its records must then use.
        const uint32_t fresh =
            ResourceIds::FindTheResourceID(ResourceIds::extensionOf(decodePath(node.fullPath)), ids);
        if (fresh == 0) {
            diag::print("resource store: no identifier for imported resource %s, not added\n",
                        node.fullPath.c_str());
            return false;
        }
        diag::print("resource store: imported resource %#x (%s) renumbered %#x\n", node.resourceId,
                    node.fullPath.c_str(), fresh);
        node.resourceId = fresh;
    }
    if (!AddNewItem(node, data))
        return false;
    keptId = node.resourceId;
    return true;
}

QString ResourceStore::GetTheFileNameFromID(uint32_t id) {
    bool opened = true;
    const auto f = findFirst([&](const ResourceChildNode& n) { return n.resourceId == id; }, opened);
    if (!opened)
        report(MSG_CANNOT_OPEN);
    if (!f) {
        report(MSG_IMAGE_CORRUPTED);
        return QString();
    }
    return decodePath(f->node.fullPath);
}

uint32_t ResourceStore::GetTheIDFromFileName(const QString& fullPath) {
    const std::string path = encodePath(fullPath);
    bool opened = true;
    const auto f = findFirst([&](const ResourceChildNode& n) { return n.fullPath == path; }, opened);
    if (!opened)
        report(MSG_CANNOT_OPEN);
    if (!f) {
        report(MSG_IMAGE_CORRUPTED);
        return 0;
    }
    return f->node.resourceId;
}

std::vector<uint8_t> ResourceStore::ReadImageData(const QString& fullPath, unsigned long* size) {
    if (size)
        *size = 0;
    const std::string path = encodePath(fullPath);
    bool opened = true;
    const auto f = findFirst([&](const ResourceChildNode& n) { return n.fullPath == path; }, opened);
    if (!opened) {
        report(MSG_CANNOT_OPEN);
        return {};
    }
    if (!f)
        return {};
    if (f->node.isCompressed()) {
        if (size)
            *size = f->node.storedSize;
        return {};
    }
    std::vector<uint8_t> bytes(f->node.storedSize);
    if (!readStored(f->node.dataOffset, bytes.data(), bytes.size()))
        return {};
    if (size)
        *size = bytes.size();
    return bytes;
}

void ResourceStore::SlotDeleteIDFromUseArray(unsigned long id) {
    m_uses.dropUse(uint32_t(id));
}

void ResourceStore::slotAddIDOnCopy(unsigned long id) {
    m_uses.addCopyUse(uint32_t(id));
}

void ResourceStore::slotReduceIDOnDelete(unsigned long id) {
    m_uses.reduceUse(uint32_t(id));
}
