// Probe of the machine's memory and free disk space, consulted by the
// recording start.
#pragma once

#include <cstdint>

class machineprofile {
  public:
    machineprofile();

    // Reads the memory figures and the root file system's figures: 1 on
    // success, 0 when either query fails.
    int init();
    // Blocks available to ordinary users on the file system holding the path;
    // prints "statfs failed" and returns -1 when the query fails.
    int64_t fBlocksFree(const char* path);
    // Megabytes available to ordinary users on the file system holding the
    // path; negative when the query fails.
    int64_t getFreeDiskSpace(const char* path);
    int64_t getTotalSwapSizeInMB() const;
    int64_t getAvailableSwapSizeInMB() const;

    // blocks x blockSize in megabytes (rounded down); negative blocks stay negative.
    static int64_t freeMegabytes(int64_t blocks, uint64_t blockSize);

    // Memory figures in bytes, taken by init().
    uint64_t totalRam() const { return m_totalRam; }
    uint64_t freeRam() const { return m_freeRam; }
    uint64_t sharedRam() const { return m_sharedRam; }
    uint64_t bufferRam() const { return m_bufferRam; }
    uint64_t totalSwap() const { return m_totalSwap; }
    uint64_t freeSwap() const { return m_freeSwap; }
    unsigned processes() const { return m_processes; }

    // Figures of the root file system, taken by init().
    int64_t rootType() const { return m_rootType; }
    uint64_t rootBlockSize() const { return m_rootBlockSize; }
    uint64_t rootBlocks() const { return m_rootBlocks; }
    uint64_t rootBlocksFree() const { return m_rootBlocksFree; }
    uint64_t rootBlocksAvailable() const { return m_rootBlocksAvailable; }
    uint64_t rootFiles() const { return m_rootFiles; }
    uint64_t rootFilesFree() const { return m_rootFilesFree; }
    uint64_t rootNameLength() const { return m_rootNameLength; }

  private:
    uint64_t m_totalRam = 0;
    uint64_t m_freeRam = 0;
    uint64_t m_sharedRam = 0;
    uint64_t m_bufferRam = 0;
    uint64_t m_totalSwap = 0;
    uint64_t m_freeSwap = 0;
    unsigned m_processes = 0;

    int64_t m_rootType = 0;
    uint64_t m_rootBlockSize = 0;
    uint64_t m_rootBlocks = 0;
    uint64_t m_rootBlocksFree = 0;
    uint64_t m_rootBlocksAvailable = 0;
    uint64_t m_rootFiles = 0;
    uint64_t m_rootFilesFree = 0;
    uint64_t m_rootNameLength = 0;

    // Of the last queried path.
    int64_t m_pathBlocksAvailable = 0;
    uint64_t m_pathBlockSize = 0;
};
