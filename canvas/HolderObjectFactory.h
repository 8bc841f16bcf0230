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

struct HolderObjectFactory {
    // Rectangles, round rectangles, ellipses (shape 1, 2, 3): a new object of
    // a creation drag, an object of a record, a pasted object.
    DrawTools* (*newShape)(VLImageHolder* holder, QPaintDevice* device, int shape, int number) = nullptr;
    DrawTools* (*shapeOfPayload)(VLImageHolder* holder, const sDrawRect& payload) = nullptr;
    DrawTools* (*pastedShape)(VLImageHolder* holder, const NVAllObjects& record, int number,
                              QPoint offset) = nullptr;
    sAllObjects (*shapeToStored)(const NVAllObjects& record) = nullptr;
    NVAllObjects (*shapeFromStored)(const sAllObjects& stored) = nullptr;

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

    bool makesShapes() const {
        return newShape && shapeOfPayload && pastedShape && shapeToStored && shapeFromStored;
    }
    bool makesFrameObjects() const { return frameObjectOfRecord && newFrameRecord; }
};
