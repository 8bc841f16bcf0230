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

// A whole record in its stored form: the head and the payload converted by
// toField; a record without such a payload gives an empty stored payload.
template <class Payload, class Stored>
sAllObjects storedRecordOf(const NVAllObjects& record, Stored (*toField)(const Payload&)) {
    sAllObjects out = storedHeaderOf(record);
    const Payload* p = record.get<Payload>();
    out.payload = p ? toField(*p) : Stored{};
    return out;
}

template <class Stored, class Payload>
NVAllObjects liveRecordOf(const sAllObjects& stored, Payload (*fromField)(const Stored&)) {
    NVAllObjects out = liveHeaderOf(stored);
    const Stored* s = stored.get<Stored>();
    out.payload = s ? fromField(*s) : Payload{};
    return out;
}
