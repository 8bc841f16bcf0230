// What the frame strip asks of the main window's frame table and of the image
// holder's per-frame object records. The main window hands the strip one
// object answering for both (NavigationBarBase::setHost); without one the
// strip keeps only its own bookkeeping. Frames are 0-based here.
#pragma once

#include <cstdint>

class FrameStripHost {
  public:
    virtual ~FrameStripHost() = default;

    // The main window's playback records.
    virtual int playbackFrameCount() const = 0;
    virtual bool isPlaybackFrameDeleted(int frame) const = 0; // flags byte, bit 0x04
    virtual bool hasRecordedAction(int frame) const = 0;      // action kind is mouse or key
    virtual bool hasAudio(int frame) const = 0;               // flags byte, bit 0x01
    virtual void setActionDisabled(int frame, uint8_t value) = 0;

    // The main window's command states.
    virtual void disableObjects() = 0;
    virtual void enableObjects() = 0;
    virtual void changePurgeStatus(bool anyFrameDeleted) = 0;

    // The image holder's per-frame records.
    virtual bool hasFrameObjectRecord(int frame) const = 0; // the frame's record list is not empty
    virtual void addFrameStructureToList(int frame) = 0;
    // The user-action byte of the frame object: the live one when the frame is
    // the holder's current frame, else the frame's stored record.
    virtual uint8_t frameUserAction(int frame) const = 0;
    // Sets it; for the live frame object its frame part is copied into the
    // frame's stored record as well.
    virtual void setFrameUserAction(int frame, uint8_t value) = 0;
};
