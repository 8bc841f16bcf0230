#include "store/DrawingObjectType.h"

const char* objectIdLetter(int32_t kind, bool madeWithTool) {
    switch (kind) {
    case LINE:
        return "L";
    case RECTANGLE:
        return "R";
    case ROUNDRECT:
        return "N";
    case ELLIPSE:
        return "E";
    case VALIDATIONFIELD:
        return madeWithTool ? "T" : "F";
    case INSTRUCTIONBOX:
        return "I";
    case HYPERLINK:
        return "J";
    case TEXTFIELD:
        return "F";
    case BITMAP:
        return "B";
    case POLYLINE:
        return "P";
    default:
        return "";
    }
}
