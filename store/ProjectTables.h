// The project's frame tables and counters: one record, owned by the main
// window and worked on by reference by the frame-table operations and the
// recording, filled by an import and read by the make.
#pragma once

#include "store/DatRecords.h"

#include <cstdint>
#include <vector>

struct ProjectTables {
    std::vector<SEditInfo> m_vEditInfo;                   // where each frame's record lies
    std::vector<SPlayBackFrameInfo> m_vPlayBackFrameInfo; // one playback record per frame
    std::vector<uint32_t> m_vUserActionFrames;            // frames with a recorded action, in order
    std::vector<stdColormapArray> m_vColormaps;           // palettes of screens of 15 bits or fewer
    uint32_t m_dwFrameCount = 0;
    uint32_t m_dwUserActionFrame = 0; // number of user-action frames
    uint32_t m_nextRecordOffset = 0;  // where the next frame record goes in the working frame file
    int m_appendedCount = 0, m_insertedCount = 0, m_deletedCount = 0, m_frameNameCounter = 0;
    int m_currentFrame = 0; // 0-based
};
