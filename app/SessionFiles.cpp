#include "app/SessionFiles.h"
#include "store/Diagnostics.h"
#include "store/RegularFile.h"

#include <QDataStream>
#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <QLoggingCategory>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcSession, "velmora.app.session", QtWarningMsg)

std::string SessionFiles::settingsPath(const std::string& dataDir) {
    return dataDir + "/settings.rse";
}

std::string SessionFiles::recentFilesPath(const std::string& dataDir) {
    return dataDir + "/recentfiles";
}

SWindowSettings SessionFiles::makeSettings(const QRect& g, bool fullScreen, bool minimized,
                                           uint8_t visibleBits, int screenWidth, int screenHeight) {
    SWindowSettings s;
    s.x = g.x();
    s.y = g.y();
    if (fullScreen) {
        s.width = screenWidth - 10;
        s.height = screenHeight - 100;
    } else {
        s.width = g.width();
        s.height = g.height();
    }
    if (minimized) {
        s.flags = SWindowSettings::MINIMIZED_FLAGS;
    } else {
        s.flags = uint8_t(visibleBits & 0x7f);
        if (fullScreen)
            s.flags |= SWindowSettings::FULL_SCREEN;
    }
    return s;
}

bool SessionFiles::saveSettings(const std::string& dataDir, const SWindowSettings& s) {
    const std::string path = settingsPath(dataDir);
    int fd = regularfile::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const auto bytes = s.toBytes();
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += size_t(n);
    }
    bool ok = done == bytes.size();
    if (::close(fd) != 0)
        ok = false;
    // A half-written record would restore a wrong size at the next start.
    if (!ok)
        ::unlink(path.c_str());
    return ok;
}

SessionFiles::LoadResult SessionFiles::loadSettings(const std::string& dataDir, SWindowSettings& out) {
    const std::string path = settingsPath(dataDir);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        std::remove(path.c_str()); // also an empty directory of that name
        return LoadResult::NoFile;
    }
    int fd = regularfile::open(path, O_RDONLY);
    if (fd < 0)
        return LoadResult::Unreadable;
    uint8_t buf[SWindowSettings::SIZE] = {};
    size_t got = 0;
    while (got < sizeof buf) {
        ssize_t n = ::read(fd, buf + got, sizeof buf - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += size_t(n);
    }
    ::close(fd);
    out = SWindowSettings::fromBytes(buf, got);
    ::unlink(path.c_str());
    return LoadResult::Loaded;
}

QRect SessionFiles::defaultGeometry(int screenWidth, int screenHeight) {
    return QRect(0, 0, screenWidth - 10, screenHeight - 100);
}

QRect SessionFiles::startGeometry(const SWindowSettings* stored, int screenWidth, int screenHeight) {
    if (!stored || stored->width <= 0 || stored->height <= 0 || stored->width > screenWidth ||
        stored->height > screenHeight)
        return defaultGeometry(screenWidth, screenHeight);
    return QRect(0, 0, stored->width, stored->height);
}

QByteArray SessionFiles::encodeRecentFiles(const QStringList& list) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_2_0);
    out << list;
    return bytes;
}

std::optional<QStringList> SessionFiles::decodeRecentFiles(const QByteArray& bytes) {
    // The count word comes first and every entry takes at least its 4-byte
    // length word; a larger count would have the stream reserve it up front.
    if (bytes.size() < 4)
        return std::nullopt;
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
    const quint32 count = quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | quint32(b[3]);
    if (count > quint32((bytes.size() - 4) / 4))
        return std::nullopt;
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_2_0);
    QStringList list;
    in >> list;
    if (in.status() != QDataStream::Ok)
        return std::nullopt;
    return list;
}

QStringList SessionFiles::readRecentFileList(const std::string& dataDir) {
    const QString path = QString::fromStdString(recentFilesPath(dataDir));
    qCDebug(lcSession, "recent %s", qPrintable(path));
    QStringList list;
    QFile file;
    const int fd = regularfile::open(recentFilesPath(dataDir), O_RDONLY);
    if (fd >= 0 && file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (auto decoded = decodeRecentFiles(file.readAll()))
            list = *decoded;
        else
            diag::print("velmora: %s is damaged, recent-file list not restored\n", qPrintable(path));
    } else if (fd < 0 && errno == EINVAL) {
        diag::print("velmora: %s is not a regular file, recent-file list not restored\n", qPrintable(path));
    } else {
        if (fd >= 0)
            ::close(fd);
        qCDebug(lcSession, "No history found");
    }
    for (const QString& entry : list)
        qCDebug(lcSession, "== %s ", qPrintable(entry));
    while (list.size() > MAX_RECENT_FILES)
        list.removeAll(QString(list.last()));
    return list;
}

bool SessionFiles::writeRecentFiles(const std::string& dataDir, const QStringList& list) {
    // Never waits on a FIFO put in the file's place.
    const int fd = regularfile::open(recentFilesPath(dataDir), O_WRONLY | O_CREAT | O_TRUNC);
    QFile file;
    if (fd < 0)
        return false;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    const QByteArray bytes = encodeRecentFiles(list);
    bool ok = file.write(bytes) == bytes.size();
    file.close();
    return ok && file.error() == QFileDevice::NoError;
}

bool SessionFiles::updateRecentFileList(QStringList& list, const QString& path) {
    int at = list.indexOf(path);
    if (at >= 0) {
        list.move(at, 0);
        return false;
    }
    list.prepend(path);
    return true;
}
