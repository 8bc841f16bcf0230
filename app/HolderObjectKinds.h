// Installs the image holder's makers for every object class there is. Call
// it once at start-up, before the first frame is shown, from code that links
// the object libraries (the main window; the canvas tests).
#pragma once

#include "canvas/HolderObjectFactory.h"
#include "objects/draw/CDrawLine.h"
#include "objects/draw/CDrawPolyLine.h"
#include "objects/draw/DrawLineRecord.h"
#include "objects/draw/DrawRect.h"
#include "objects/draw/DrawRectRecord.h"
#include "objects/interactive/CFrameObject.h"
#include "objects/interactive/CHyperLink.h"
#include "objects/interactive/CMouseClick.h"
#include "objects/interactive/CTextField.h"
#include "objects/interactive/CValidationField.h"
#include "objects/interactive/InteractiveHost.h"

inline void installHolderObjectKinds() {
    HolderObjectFactory f;
    HolderKindMakers shapes;
    shapes.newAtTool = [](VLImageHolder* holder, QPaintDevice* device, int kind, int number) -> DrawTools* {
        // Shape codes 1, 2, 3 follow the kind codes 2, 3, 4.
        return new DrawRect(holder, device, kind - 1, number);
    };
    shapes.ofRecord = [](VLImageHolder* holder, const NVAllObjects& record) -> DrawTools* {
        const sDrawRect* p = record.get<sDrawRect>();
        return p ? new DrawRect(holder, *p) : nullptr;
    };
    shapes.pasted = [](VLImageHolder* holder, const NVAllObjects& record, int number,
                       QPoint offset) -> DrawTools* {
        return record.get<sDrawRect>() ? new DrawRect(holder, record, number, offset) : nullptr;
    };
    shapes.toStored = [](const NVAllObjects& record, sAllObjects& stored) {
        stored = DrawRectRecord::toStored(record);
        return true;
    };
    shapes.fromStored = [](const sAllObjects& stored, NVAllObjects& record) {
        if (!stored.get<StoredShape>())
            return false;
        record = DrawRectRecord::fromStored(stored);
        return true;
    };
    for (int kind : {RECTANGLE, ROUNDRECT, ELLIPSE})
        f.setKind(kind, shapes);
    HolderKindMakers lines;
    lines.newAtTool = [](VLImageHolder* holder, QPaintDevice* device, int, int number) -> DrawTools* {
        return new CDrawLine(holder, device, number);
    };
    lines.ofRecord = [](VLImageHolder* holder, const NVAllObjects& record) -> DrawTools* {
        const sDrawLine* p = record.get<sDrawLine>();
        return p ? new CDrawLine(holder, *p) : nullptr;
    };
    lines.pasted = [](VLImageHolder* holder, const NVAllObjects& record, int number,
                      QPoint offset) -> DrawTools* {
        return record.get<sDrawLine>() ? new CDrawLine(holder, record, number, offset) : nullptr;
    };
    lines.toStored = [](const NVAllObjects& record, sAllObjects& stored) {
        stored = DrawLineRecord::toStored(record);
        return true;
    };
    lines.fromStored = [](const sAllObjects& stored, NVAllObjects& record) {
        if (!stored.get<StoredShape>())
            return false;
        record = DrawLineRecord::fromStored(stored);
        return true;
    };
    f.setKind(LINE, lines);
    f.setKind(POLYLINE, CDrawPolyLine::holderKindMakers());
    f.setKind(HYPERLINK, CHyperLink::holderKindMakers());
    f.setKind(TEXTFIELD, CTextField::holderKindMakers());
    f.setKind(VALIDATIONFIELD, CValidationField::holderKindMakers());
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
