// The fields the payloads of the control kinds (text field, validation
// field, instruction box) share: name, colours and rectangle, as the control
// block of their stored form and back. The attribute is each kind's own.
#pragma once

#include "canvas/records/ObjectRecords.h"
#include "canvas/records/sAllObjects.h"

template <class Payload> StoredControl storedControlOf(const Payload& p) {
    StoredControl c;
    c.name = p.name;
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
    p.foreColor = NVColor::fromColorRef(c.foreColor);
    p.backColor = NVColor::fromColorRef(c.backColor);
    p.x = c.x;
    p.y = c.y;
    p.width = c.width;
    p.height = c.height;
}
