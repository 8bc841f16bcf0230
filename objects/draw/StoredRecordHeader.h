// The fields every kind's live record and its stored form share: frame,
// kind and object ID. Each kind's converter adds its own payload.
#pragma once

#include "canvas/records/ObjectRecords.h"
#include "canvas/records/sAllObjects.h"

inline sAllObjects storedHeaderOf(const NVAllObjects& record) {
    sAllObjects out;
    out.frameIndex = record.frameIndex;
    out.drawingObject = record.drawingObject;
    out.objectID = record.objectID;
    return out;
}

inline NVAllObjects liveHeaderOf(const sAllObjects& stored) {
    NVAllObjects out;
    out.recordSize = NVAllObjects::STORED_SIZE;
    out.frameIndex = stored.frameIndex;
    out.drawingObject = stored.drawingObject;
    out.objectID = stored.objectID;
    return out;
}

// Whole records of a kind whose payload converts on its own: the head and
// the converted payload; a record without the payload gives an empty one.
template <typename Payload, typename StoredPayload>
sAllObjects storedRecordOf(const NVAllObjects& record, StoredPayload (*convert)(const Payload&)) {
    sAllObjects out = storedHeaderOf(record);
    const Payload* p = record.get<Payload>();
    out.payload = p ? convert(*p) : StoredPayload{};
    return out;
}

template <typename StoredPayload, typename Payload>
NVAllObjects liveRecordOf(const sAllObjects& stored, Payload (*convert)(const StoredPayload&)) {
    NVAllObjects out = liveHeaderOf(stored);
    const StoredPayload* s = stored.get<StoredPayload>();
    out.payload = s ? convert(*s) : Payload{};
    return out;
}

// Hands an object's own record to the holder's copy of it, keeping the object
// ID the holder gave that copy.
inline bool copyRecordKeepingId(const NVAllObjects& own, NVAllObjects* target) {
    if (!target)
        return false;
    std::string id = target->objectID;
    *target = own;
    target->objectID = std::move(id);
    return true;
}
