// Conversion between a bitmap's record and its stored 1024-byte form: the
// control block (name and rectangle), then stretch, align and the image's
// resource identifier.
#pragma once

#include "canvas/records/ObjectRecords.h"
#include "canvas/records/sAllObjects.h"

class BitmapRecord {
  public:
    // The record's name field holds 31 characters and its terminator.
    static constexpr size_t NAME_FIELD = 32;

    static StoredBitmap toStoredBitmap(const sBitmapObject& payload);
    static sBitmapObject fromStoredBitmap(const StoredBitmap& stored);

    // Whole records: the head (frame, kind, object ID) and the payload. A
    // record without a bitmap payload gives an empty stored bitmap.
    static sAllObjects toStored(const NVAllObjects& record);
    static NVAllObjects fromStored(const sAllObjects& stored);
};
