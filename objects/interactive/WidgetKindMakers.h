// The holder's makers of a widget kind (text field, bitmap ...): the object
// at a tool press, of a record and of a pasted record, and the record's
// stored form both ways through the kind's converter.
//
// Object: the class, with the constructors (holder, parent, device, number),
// (holder, payload) and (holder, record, number, offset). Payload: its
// record's payload. Stored: the stored payload. Record: the converter, with
// static toStored(NVAllObjects) and fromStored(sAllObjects).
#pragma once

#include "canvas/HolderObjectFactory.h"

template <class Object, class Payload, class Stored, class Record> HolderKindMakers widgetKindMakers() {
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
