#include "objects/draw/DrawRectRecord.h"

#include "objects/draw/StoredRecordHeader.h"

#include "objects/draw/DrawRect.h"

namespace {
uint32_t colorRef(int32_t r, int32_t g, int32_t b) {
    return NVColor{r, g, b}.toColorRef();
}
} // namespace

int32_t DrawRectRecord::hatchOf(int fillPattern) {
    switch (fillPattern) {
    case 1:
        return 2; // Left Diagonal
    case 2:
        return 4; // Cross
    case 3:
        return 5; // Diagonal Cross
    case 4:
        return 3; // Right Diagonal
    case 5:
        return 0; // Horizontal
    case 6:
        return 1; // Vertical
    default:
        return 0;
    }
}

StoredShape DrawRectRecord::toStoredShape(const sDrawRect& p, int32_t kind) {
    StoredShape s;
    s.name = p.name;
    s.penStyle = p.borderStyle;
    s.styleByte = uint8_t(p.borderStyle);
    s.penWidth = p.borderWidth;
    s.widthShort = int16_t(p.borderWidth);
    s.penColor = colorRef(p.borderRed, p.borderGreen, p.borderBlue);
    s.brushStyle = p.fillPattern != 0 ? 2 : 0;
    s.brushColor = colorRef(p.fillRed, p.fillGreen, p.fillBlue);
    s.hatch = kind == RECTANGLE ? hatchOf(p.fillPattern) : 0;
    s.left = p.left;
    s.top = p.top;
    s.right = p.right;
    s.bottom = p.bottom;
    if (kind == ROUNDRECT)
        s.cornerWidth = s.cornerHeight = p.cornerRadius;
    s.x = int16_t(p.left);
    s.y = int16_t(p.top);
    s.height = int16_t(p.bottom - p.top);
    s.width = int16_t(p.right - p.left);
    s.fillMode = p.fillMode;
    s.fillPattern = p.fillPattern;
    return s;
}

sDrawRect DrawRectRecord::fromStoredShape(const StoredShape& s, int32_t kind) {
    sDrawRect p;
    p.left = s.x;
    p.top = s.y;
    p.right = p.left + s.width;
    p.bottom = p.top + s.height;
    const NVColor border = NVColor::fromColorRef(s.penColor);
    p.borderRed = border.red;
    p.borderGreen = border.green;
    p.borderBlue = border.blue;
    const NVColor fill = NVColor::fromColorRef(s.brushColor);
    p.fillRed = fill.red;
    p.fillGreen = fill.green;
    p.fillBlue = fill.blue;
    p.fillMode = s.fillMode;
    p.fillPattern = s.fillPattern;
    p.borderStyle = int8_t(s.styleByte);
    p.borderWidth = s.widthShort;
    p.shape = kind == ROUNDRECT ? DrawRect::SHAPE_ROUNDRECT
              : kind == ELLIPSE ? DrawRect::SHAPE_ELLIPSE
                                : DrawRect::SHAPE_RECTANGLE;
    p.cornerRadius = kind == ROUNDRECT ? int16_t(s.cornerWidth & 0xFFFF) : 0;
    p.name = s.name;
    return p;
}

sAllObjects DrawRectRecord::toStored(const NVAllObjects& record) {
    sAllObjects out = storedHeaderOf(record);
    const sDrawRect* p = record.get<sDrawRect>();
    out.payload = p ? toStoredShape(*p, record.drawingObject) : StoredShape{};
    return out;
}

NVAllObjects DrawRectRecord::fromStored(const sAllObjects& stored) {
    NVAllObjects out = liveHeaderOf(stored);
    const StoredShape* s = stored.get<StoredShape>();
    out.payload = s ? fromStoredShape(*s, stored.drawingObject) : sDrawRect{};
    return out;
}
