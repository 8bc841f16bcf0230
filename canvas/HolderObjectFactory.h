// How the image holder makes live objects of the kinds that have a class.
//
// The object classes live in libraries that build on the canvas, so the
// holder does not name them: the program installs one table of makers at
// start-up (installHolderObjectKinds() in app/HolderObjectKinds.h does it
// for every class there is) and the holder asks the table. A kind whose
// makers are missing has no live objects: its records stay as they are.
#pragma once

#include "canvas/records/ObjectRecords.h"
#include "canvas/records/sAllObjects.h"
#include "capture/NVCap.h"
#include "store/DatRecords.h"

#include <QPoint>

#include <vector>

class DrawTools;
class QPaintDevice;
class VLImageHolder;

// The makers of one kind of object: a new object at a tool press, the object
// of a record, a pasted object, and the record's stored form both ways. A
// maker that cannot use the record it is given answers null or false.
struct HolderKindMakers {
    DrawTools* (*newAtTool)(VLImageHolder* holder, QPaintDevice* device, int kind, int number) = nullptr;
    DrawTools* (*ofRecord)(VLImageHolder* holder, const NVAllObjects& record) = nullptr;
    DrawTools* (*pasted)(VLImageHolder* holder, const NVAllObjects& record, int number,
                         QPoint offset) = nullptr;
    bool (*toStored)(const NVAllObjects& record, sAllObjects& stored) = nullptr;
    bool (*fromStored)(const sAllObjects& stored, NVAllObjects& record) = nullptr;

    bool complete() const { return newAtTool && ofRecord && pasted && toStored && fromStored; }
};

struct HolderObjectFactory {
    static constexpr int KIND_COUNT = 32;

    // One row per kind code; kinds without a complete row have no live objects.
    HolderKindMakers kinds[KIND_COUNT];

    void setKind(int kind, const HolderKindMakers& makers) {
        if (kind >= 0 && kind < KIND_COUNT)
            kinds[kind] = makers;
    }
    // The kind's complete row, or null.
    const HolderKindMakers* makersOf(int kind) const {
        if (kind < 0 || kind >= KIND_COUNT || !kinds[kind].complete())
            return nullptr;
        return &kinds[kind];
    }

    // The frame object of a frame's record, and the record a new frame's
    // frame object fills (frameNumber from 1).
    DrawTools* (*frameObjectOfRecord)(VLImageHolder* holder, const NVFrame& frame) = nullptr;
    NVAllObjects (*newFrameRecord)(VLImageHolder* holder, int frameNumber, int inserting) = nullptr;
    // The back colour of frame objects of new frames, as 0x00BBGGRR.
    uint32_t (*frameBackColor)() = nullptr;

    // The mouse-click target of a recorded click rectangle on a frame.
    DrawTools* (*clickTarget)(VLImageHolder* holder, SRect rect, int frame) = nullptr;

    // The main window's playback records, when the holder was given none.
    std::vector<SPlayBackFrameInfo>* (*playbackRecords)() = nullptr;

    static void install(const HolderObjectFactory& factory);
    static const HolderObjectFactory& current();

    bool makesFrameObjects() const { return frameObjectOfRecord && newFrameRecord; }
};
