// The fields the payloads of the control kinds (text field, validation
// field) share: name, attribute, colours and rectangle. Their rectangle as the
// editor frame sees it, their control block in the stored form, and the
// holder's makers of such a kind.
#pragma once

#include "canvas/HolderObjectFactory.h"
#include "canvas/records/ObjectRecords.h"
#include "canvas/records/sAllObjects.h"
#include "objects/interactive/InPlaceEditorFrame.h"

template <class Payload> InPlaceEditorFrame::Box controlBoxOf(const Payload& p) {
    return InPlaceEditorFrame::Box{p.x, p.y, p.width, p.height};
}

template <class Payload> void setControlBox(Payload& p, const InPlaceEditorFrame::Box& b) {
    p.x = b.x;
    p.y = b.y;
    p.width = b.w;
    p.height = b.h;
}

template <class Payload> StoredControl storedControlOf(const Payload& p) {
    StoredControl c;
    c.name = p.name;
    c.attribute = p.attribute;
    c.foreColor = p.foreColor.toColorRef();
    c.backColor = p.backColor.toColorRef();
    c.x = int16_t(p.x);
    c.y = int16_t(p.y);
    c.height = int16_t(p.height);
    c.width = int16_t(p.width);
    return c;
}

template <class Payload> void takeStoredControl(const StoredControl& c, Payload& p) {
    p.name = c.name;
    p.attribute = c.attribute;
    p.foreColor = NVColor::fromColorRef(c.foreColor);
    p.backColor = NVColor::fromColorRef(c.backColor);
    p.x = c.x;
    p.y = c.y;
    p.width = c.width;
    p.height = c.height;
}

// The holder's makers of a control kind whose class takes the new, paste
// and load constructors of the text field and converts through Record.
template <class Object, class Payload, class Stored, class Record> HolderKindMakers controlKindMakers() {
    HolderKindMakers m;
    m.newAtTool = [](VLImageHolder* holder, QPaintDevice* device, int, int number) -> DrawTools* {
        return new Object(holder, holder, device, number);
    };
    m.ofRecord = [](VLImageHolder* holder, const NVAllObjects& record) -> DrawTools* {
        const Payload* p = record.get<Payload>();
        return p ? new Object(holder, *p) : nullptr;
    };
    m.pasted = [](VLImageHolder* holder, const NVAllObjects& record, int number,
                  QPoint offset) -> DrawTools* {
        return record.get<Payload>() ? new Object(holder, record, number, offset) : nullptr;
    };
    m.toStored = [](const NVAllObjects& record, sAllObjects& stored) {
        stored = Record::toStored(record);
        return true;
    };
    m.fromStored = [](const sAllObjects& stored, NVAllObjects& record) {
        if (!stored.get<Stored>())
            return false;
        record = Record::fromStored(stored);
        return true;
    };
    return m;
}
