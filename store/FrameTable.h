// The operations that change the row of frames: append and insert blank
// frames, copy and move frames, delete marks and purge, key copies and names.
// They keep the frame tables and the working frame file in step and tell the
// canvas's per-frame object lists through FrameTableListener. Image data is
// never rewritten: key copies and blank records are appended to the file.
#pragma once

#include "store/DatRecords.h"
#include "store/ProjectTables.h"

#include <cstdint>
#include <vector>

class FrameStore;

// What the canvas keeps per frame follows the frames through these calls.
class FrameTableListener {
  public:
    virtual ~FrameTableListener() = default;
    virtual void addFrameObject(bool insert) = 0;
    virtual void addObjectsOnPaste(uint32_t source, uint32_t position) = 0;
    virtual void changeObjectsOnCutPaste(uint32_t source, uint32_t position) = 0;
    virtual void deleteObjectsOnPurge(uint32_t frame) = 0;
    virtual bool frameHasAudioResource(uint32_t /*frame*/) { return false; }
};

// The action stored with a frame: the one that leads into it during playback.
struct FrameAction {
    int32_t vType = VALIDATION_NONE;
    int32_t pointerX = 0, pointerY = 0, reserved = 0;
    int32_t xOrKey = 0, yOrModifiers = 0;
    SRect clickRect{0, 0, 0, 0};
    int32_t mouseMessage = 0, buttonModifiers = 0;
    uint32_t cursorImage = 0;
    uint8_t actionDisabled = 0;

    static FrameAction of(const SPlayBackFrameInfo& p);
    void applyTo(SPlayBackFrameInfo& p) const;
};

class FrameTable {
  public:
    // Works on `project` by reference; it must outlive the table.
    FrameTable(ProjectTables& project, FrameStore& store, SRect frameRect,
               FrameTableListener* listener = nullptr);

    // Each returns false when the working frame file could not be read or
    // written; the tables then stay as they were before that step.
    bool appendFrame();
    bool insertFrame();
    bool copyFrame(uint32_t source, uint32_t position, bool keyCopy);
    // Returns the number of frames copied, or -1 when the range does not lie in the project.
    int copyRangeFrames(uint32_t first, uint32_t last, uint32_t position);
    bool cutPasteFrame(uint32_t source, uint32_t position, bool keyCopy);
    bool cutPasteRangeFrames(uint32_t first, uint32_t last, uint32_t position);
    bool pasteFrameToEnd(uint32_t source, bool keyCopy);
    // Toggles the deleted mark of frames first to last.
    void toggleDeleted(uint32_t first, uint32_t last);
    bool purgeFrame(uint32_t frame);
    bool makeKeyFrame(uint32_t frame);
    void addFrameName();

    bool editDataWrite(SDatFrameHeader& header, uint32_t& offset);
    bool editHeaderRead(uint32_t frame, SDatFrameHeader& header);
    bool editHeaderWrite(uint32_t frame, const SDatFrameHeader& header);
    bool fileHeaderWrite();

    // Frames the strip marks: a recorded action, sound, or an audio resource on the frame object.
    std::vector<uint32_t> markedFrames() const;
    // Counts of deleted and user-action frames taken afresh from the tables.
    void recount();

  private:
    bool writeBlank(uint32_t& offset, int32_t frameState);
    // Writes a blank record and puts its frame at `at`, appended or inserted.
    bool addBlankFrame(uint32_t at, bool insert, int32_t frameState);
    bool validRange(uint32_t first, uint32_t last) const;

    ProjectTables& m_p;
    FrameStore& m_store;
    SRect m_frameRect;
    FrameTableListener* m_listener;
};
