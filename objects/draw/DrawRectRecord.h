// Conversion between the payload of rectangles, round rectangles and ellipses
// and the shape block of their stored 1024-byte record: pen, brush, hatch,
// rectangle and point as the player draws them.
#pragma once

#include "canvas/records/ObjectRecords.h"
#include "canvas/records/sAllObjects.h"

#include <cstdint>

class DrawRectRecord {
  public:
    // The shape block of a payload; kind is 2, 3 or 4 (only a rectangle
    // stores a hatch, only a round rectangle its corner).
    static StoredShape toStoredShape(const sDrawRect& payload, int32_t kind);
    // The payload of a stored shape block; the shape code follows the kind.
    static sDrawRect fromStoredShape(const StoredShape& shape, int32_t kind);

    // Whole records: the head (frame, kind, object ID) and the payload. A
    // record without a rectangle payload gives an empty shape block.
    static sAllObjects toStored(const NVAllObjects& record);
    static NVAllObjects fromStored(const sAllObjects& stored);

    // Hatch index of a fill pattern for a rectangle (0 for "Solid").
    static int32_t hatchOf(int fillPattern);
};
