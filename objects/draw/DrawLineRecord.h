// Conversion between the payload of a line with arrow heads and the shape
// block of its stored 1024-byte record.
#pragma once

#include "canvas/records/ObjectRecords.h"
#include "canvas/records/sAllObjects.h"

class DrawLineRecord {
  public:
    // The shape block of a line: pen and brush in the line's colour (brush
    // style 0, hatch 0), the ends as a rectangle and as a start point with
    // the differences to the other end, style, width and arrow.
    static StoredShape toStoredShape(const sDrawLine& payload);
    // The payload of a stored shape block: colour from the pen, style and
    // width from the low parts of the pen words, ends from the point block.
    static sDrawLine fromStoredShape(const StoredShape& shape);

    // Whole records: the head (frame, kind, object ID) and the payload. A
    // record without a line payload gives an empty shape block.
    static sAllObjects toStored(const NVAllObjects& record);
    static NVAllObjects fromStored(const sAllObjects& stored);
};
