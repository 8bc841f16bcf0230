// Conversion between a hyperlink's payload and its stored 1024-byte record
// with the six jump events behind it, and the event mask the player reads.
#pragma once

#include "canvas/records/ObjectRecords.h"
#include "canvas/records/sAllObjects.h"

#include <cstdint>

class CHyperLinkRecord {
  public:
    static constexpr int EVENT_COUNT = sHyperLink::EVENT_COUNT;
    // Click events (0..3) carry message dialogs; the pointer events do not.
    static constexpr int CLICK_EVENTS = 4;
    // The stored caption field keeps this many characters and a terminator.
    static constexpr int CAPTION_LIMIT = 254;

    // Bit i set when event i has a go-to, a dialog length or a dialog block.
    static int16_t eventMask(const sHyperLink& payload);
    static int16_t eventMask(const NVAllObjects& record);

    // A dialog block worth keeping: one with a caption or an icon.
    static bool blockHoldsSomething(const sMessageDialogBlock& block);

    static StoredHyperLink toStoredHyperLink(const sHyperLink& payload);
    static sHyperLink fromStoredHyperLink(const StoredHyperLink& stored);

    // Whole records: the head (frame, kind, object ID) and the payload.
    static sAllObjects toStored(const NVAllObjects& record);
    static NVAllObjects fromStored(const sAllObjects& stored);
};
