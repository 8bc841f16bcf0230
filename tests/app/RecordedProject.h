// A project as a recording leaves it, written straight into the main window's
// working frame file: a key frame of the whole screen, then one-row bands;
// the tables, the holder and the strip follow.
#pragma once

#include "app/Velmora.h"
#include "canvas/VLImageHolder.h"
#include "canvas/strip/NVNavigationBar.h"
#include "canvas/strip/NavigationBarBase.h"
#include "store/ProjectTables.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace mainwin {

// Bytes of band `frame` (frames 1 on), `row` bytes long.
using BandBytes = std::function<std::string(size_t row, int frame)>;

// Call through ASSERT_NO_FATAL_FAILURE.
inline void recordedProject(Velmora* w, int frames, const BandBytes& band = {}) {
    const Velmora::ScreenInfo s = w->screenInfo();
    ASSERT_GT(s.bytesPerPixel, 0);
    const size_t row = size_t(s.width) * size_t(s.bytesPerPixel);
    std::FILE* f = std::fopen(w->workingFileName().c_str(), "wb");
    ASSERT_NE(f, nullptr);
    SDatMainHeader mh;
    mh.capture = SRect{0, 0, s.width, s.height};
    mh.frameCount = uint32_t(frames);
    const auto mb = mh.toBytes();
    ASSERT_EQ(std::fwrite(mb.data(), 1, mb.size(), f), mb.size());
    ProjectTables& p = w->project();
    uint32_t offset = SDatMainHeader::SIZE;
    for (int i = 0; i < frames; ++i) {
        const bool key = i == 0;
        std::string data = key    ? std::string(row * size_t(s.height), '\x20')
                           : band ? band(row, i)
                                  : std::string(row, char(i));
        SDatFrameHeader h;
        h.frameNumber = uint32_t(i);
        h.recordSize = uint32_t(SDatFrameHeader::SIZE + data.size());
        h.data = key ? SRect{0, 0, s.width - 1, s.height - 1} : SRect{0, i, s.width - 1, i};
        h.keyFlag = key;
        h.frameState = key ? FRAME_STATE_FIRST : FRAME_STATE_TIMER;
        const auto hb = h.toBytes();
        ASSERT_EQ(std::fwrite(hb.data(), 1, hb.size(), f), hb.size());
        ASSERT_EQ(std::fwrite(data.data(), 1, data.size(), f), data.size());
        SEditInfo e;
        e.keyFlag = key;
        e.recordOffset = int32_t(offset);
        offset += h.recordSize;
        p.m_vEditInfo.push_back(e);
        SPlayBackFrameInfo pb;
        pb.frameFlags = key ? PBF_KEY : 0;
        pb.frameNumber = uint32_t(i + 1);
        pb.setName("Frame " + std::to_string(i + 1));
        p.m_vPlayBackFrameInfo.push_back(pb);
    }
    ASSERT_EQ(std::fclose(f), 0);
    p.m_dwFrameCount = uint32_t(frames);
    w->imageHolder()->get_no_frames(frames);
    ASSERT_EQ(w->initEditingFrames(), 0);
    w->frameStrip()->reset_frame_details(frames, 0, nullptr);
    w->slotEnableMenu();
    w->slotEnableTool();
    w->enableObjects();
}

// The same with a mouse action on each listed 0-based frame, as the end of a
// recording leaves the tables and the strip. Call through
// ASSERT_NO_FATAL_FAILURE.
inline void recordedProjectWithActions(Velmora* w, int frames, const std::vector<int>& actions) {
    ASSERT_NO_FATAL_FAILURE(recordedProject(w, frames));
    ProjectTables& p = w->project();
    for (int f : actions) {
        p.m_vPlayBackFrameInfo[size_t(f)].vType = VALIDATION_MOUSE;
        p.m_vPlayBackFrameInfo[size_t(f)].mouseMessage = 513;
        p.m_vUserActionFrames.push_back(uint32_t(f));
    }
    p.m_dwUserActionFrame = uint32_t(actions.size());
    std::vector<int> list(actions.begin(), actions.end());
    w->frameStrip()->reset_frame_details(0, 0, nullptr);
    w->frameStrip()->reset_frame_details(frames, int(list.size()), list.data());
    w->slotEnableMenu();
}

} // namespace mainwin
