#include "objects/draw/DrawLineRecord.h"

#include "objects/draw/StoredRecordHeader.h"

StoredShape DrawLineRecord::toStoredShape(const sDrawLine& p) {
    StoredShape s;
    s.name = p.name;
    s.penStyle = p.lineStyle;
    s.styleByte = uint8_t(p.lineStyle);
    s.penWidth = p.lineWidth;
    s.widthShort = p.lineWidth;
    s.penColor = NVColor{p.red, p.green, p.blue}.toColorRef();
    s.brushStyle = 0;
    s.brushColor = s.penColor;
    s.hatch = 0;
    s.left = p.x1;
    s.top = p.y1;
    s.right = p.x2;
    s.bottom = p.y2;
    s.x = int16_t(p.x1);
    s.y = int16_t(p.y1);
    s.height = int16_t(p.y2 - p.y1);
    s.width = int16_t(p.x2 - p.x1);
    s.arrow = p.arrow;
    return s;
}

sDrawLine DrawLineRecord::fromStoredShape(const StoredShape& s) {
    sDrawLine p;
    p.name = s.name;
    p.x1 = s.x;
    p.y1 = s.y;
    p.x2 = p.x1 + s.width;
    p.y2 = p.y1 + s.height;
    p.lineStyle = int8_t(s.penStyle & 0xFF);
    p.lineWidth = int16_t(s.penWidth & 0xFFFF);
    const NVColor c = NVColor::fromColorRef(s.penColor);
    p.red = c.red;
    p.green = c.green;
    p.blue = c.blue;
    p.arrow = s.arrow;
    return p;
}

sAllObjects DrawLineRecord::toStored(const NVAllObjects& record) {
    sAllObjects out = storedHeaderOf(record);
    const sDrawLine* p = record.get<sDrawLine>();
    out.payload = p ? toStoredShape(*p) : StoredShape{};
    return out;
}

NVAllObjects DrawLineRecord::fromStored(const sAllObjects& stored) {
    NVAllObjects out = liveHeaderOf(stored);
    const StoredShape* s = stored.get<StoredShape>();
    out.payload = s ? fromStoredShape(*s) : sDrawLine{};
    return out;
}
