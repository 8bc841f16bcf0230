#include "objects/interactive/BitmapRecord.h"

#include "objects/draw/StoredRecordHeader.h"

StoredBitmap BitmapRecord::toStoredBitmap(const sBitmapObject& p) {
    StoredBitmap s;
    s.control.name = p.name;
    // The stored rectangle keeps 16 bits.
    s.control.x = int16_t(p.x);
    s.control.y = int16_t(p.y);
    s.control.height = int16_t(p.height);
    s.control.width = int16_t(p.width);
    s.stretch = p.stretch;
    s.align = p.align;
    s.imageId = p.imageId;
    return s;
}

sBitmapObject BitmapRecord::fromStoredBitmap(const StoredBitmap& s) {
    sBitmapObject p;
    p.name = s.control.name.substr(0, NAME_FIELD - 1);
    p.x = s.control.x;
    p.y = s.control.y;
    p.width = s.control.width;
    p.height = s.control.height;
    p.align = s.align;
    p.stretch = s.stretch;
    p.imageId = s.imageId;
    return p;
}

sAllObjects BitmapRecord::toStored(const NVAllObjects& record) {
    return storedRecordOf(record, &toStoredBitmap);
}

NVAllObjects BitmapRecord::fromStored(const sAllObjects& stored) {
    return liveRecordOf(stored, &fromStoredBitmap);
}
