// Kind codes of frame objects: the current tool, an object's drawingObject
// and the kind field of its records are the same number.
#pragma once

#include <cstdint>

enum DrawingObjectType : int32_t {
    SELECTION = 0,
    LINE = 1,
    RECTANGLE = 2,
    ROUNDRECT = 3,
    ELLIPSE = 4,
    PENCIL = 5,
    VALIDATIONFIELD = 6,
    AIRBRUSH = 7,
    FRAMEOBJECT = 12,
    INSTRUCTIONBOX = 14,
    HYPERLINK = 17,
    TEXTFIELD = 19,
    BITMAP = 20,
    MOUSECLICK = 21,
    PAINTBRUSH = 23,
    POLYLINE = 25,
};

// Letter of an object ID ("%s%d" with the kind's counter). Validation fields
// made with the tool take "T", recreated or pasted ones "F". Kinds without an
// ID letter give an empty text; frame objects carry the fixed ID "XXX".
const char* objectIdLetter(int32_t kind, bool madeWithTool = true);
constexpr const char* FRAME_OBJECT_ID = "XXX";
