// Installs the image holder's makers for every object class there is. Call
// it once at start-up, before the first frame is shown, from code that links
// the object libraries (the main window; the canvas tests).
#pragma once

#include "canvas/HolderObjectFactory.h"
#include "objects/draw/DrawRect.h"
#include "objects/draw/DrawRectRecord.h"
#include "objects/interactive/CFrameObject.h"
#include "objects/interactive/CMouseClick.h"
#include "objects/interactive/InteractiveHost.h"

inline void installHolderObjectKinds() {
    HolderObjectFactory f;
    f.newShape = [](VLImageHolder* holder, QPaintDevice* device, int shape, int number) -> DrawTools* {
        return new DrawRect(holder, device, shape, number);
    };
    f.shapeOfPayload = [](VLImageHolder* holder, const sDrawRect& payload) -> DrawTools* {
        return new DrawRect(holder, payload);
    };
    f.pastedShape = [](VLImageHolder* holder, const NVAllObjects& record, int number,
                       QPoint offset) -> DrawTools* { return new DrawRect(holder, record, number, offset); };
    f.shapeToStored = [](const NVAllObjects& record) { return DrawRectRecord::toStored(record); };
    f.shapeFromStored = [](const sAllObjects& stored) { return DrawRectRecord::fromStored(stored); };
    f.frameObjectOfRecord = [](VLImageHolder* holder, const NVFrame& frame) -> DrawTools* {
        return new CFrameObject(holder, frame, 0);
    };
    f.newFrameRecord = [](VLImageHolder* holder, int frameNumber, int inserting) {
        NVAllObjects record;
        CFrameObject maker(holder, frameNumber, inserting);
        maker.getAllObjectStructure(&record);
        return record;
    };
    f.frameBackColor = [] {
        const QColor c = CFrameObject::backColor;
        return NVColor{c.red(), c.green(), c.blue()}.toColorRef();
    };
    f.clickTarget = [](VLImageHolder* holder, SRect rect, int frame) -> DrawTools* {
        return new CMouseClick(holder, rect, 0, frame);
    };
    f.playbackRecords = []() -> std::vector<SPlayBackFrameInfo>* {
        InteractiveHost* host = InteractiveHost::current();
        return host ? host->playbackRecords() : nullptr;
    };
    HolderObjectFactory::install(f);
}
