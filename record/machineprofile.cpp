#include "record/machineprofile.h"

#include <cstdio>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>

machineprofile::machineprofile() {
    init();
}

int machineprofile::init() {
    struct sysinfo si {};
    if (sysinfo(&si) == -1)
        return 0;
    struct statfs fs {};
    if (statfs("/", &fs) == -1)
        return 0;
    const uint64_t unit = si.mem_unit ? si.mem_unit : 1;
    m_totalRam = uint64_t(si.totalram) * unit;
    m_freeRam = uint64_t(si.freeram) * unit;
    m_sharedRam = uint64_t(si.sharedram) * unit;
    m_bufferRam = uint64_t(si.bufferram) * unit;
    m_totalSwap = uint64_t(si.totalswap) * unit;
    m_freeSwap = uint64_t(si.freeswap) * unit;
    m_processes = si.procs;
    m_rootType = int64_t(fs.f_type);
    m_rootBlockSize = uint64_t(fs.f_bsize);
    m_rootBlocks = uint64_t(fs.f_blocks);
    m_rootBlocksFree = uint64_t(fs.f_bfree);
    m_rootBlocksAvailable = uint64_t(fs.f_bavail);
    m_rootFiles = uint64_t(fs.f_files);
    m_rootFilesFree = uint64_t(fs.f_ffree);
    m_rootNameLength = uint64_t(fs.f_namelen);
    return 1;
}

int64_t machineprofile::fBlocksFree(const char* path) {
    struct statvfs vfs {};
    if (!path || statvfs(path, &vfs) == -1) {
        std::printf("statfs failed\n");
        std::fflush(stdout);
        m_pathBlocksAvailable = -1;
        m_pathBlockSize = 0;
        return -1;
    }
    // Blocks of the path's own file system, counted in its fragment size.
    m_pathBlocksAvailable = int64_t(vfs.f_bavail);
    m_pathBlockSize = uint64_t(vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize);
    return m_pathBlocksAvailable;
}

int64_t machineprofile::getFreeDiskSpace(const char* path) {
    const int64_t blocks = fBlocksFree(path);
    return freeMegabytes(blocks, m_pathBlockSize);
}

int64_t machineprofile::freeMegabytes(int64_t blocks, uint64_t blockSize) {
    if (blocks < 0)
        return -1;
    // Both factors are below 2^63 / 2^20 for any real file system.
    return int64_t((uint64_t(blocks) * blockSize) >> 20);
}

int64_t machineprofile::getTotalSwapSizeInMB() const {
    return int64_t(m_totalSwap >> 20);
}

int64_t machineprofile::getAvailableSwapSizeInMB() const {
    return int64_t(m_freeSwap >> 20);
}
