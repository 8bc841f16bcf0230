#include "store/DrawingObjectType.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(DrawingObjectType, IdLettersByKind) {
    struct Case {
        int32_t kind;
        bool withTool;
        const char* letter;
    };
    const std::vector<Case> cases = {
        {LINE, true, "L"},           {RECTANGLE, true, "R"},       {ROUNDRECT, true, "N"},
        {ELLIPSE, true, "E"},        {VALIDATIONFIELD, true, "T"}, {VALIDATIONFIELD, false, "F"},
        {INSTRUCTIONBOX, true, "I"}, {HYPERLINK, true, "J"},       {TEXTFIELD, true, "F"},
        {BITMAP, true, "B"},         {POLYLINE, true, "P"},        {FRAMEOBJECT, true, ""},
        {MOUSECLICK, true, ""},      {SELECTION, true, ""},        {PENCIL, true, ""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(objectIdLetter(c.kind, c.withTool), c.letter) << c.kind;
    EXPECT_STREQ(FRAME_OBJECT_ID, "XXX");
}

} // namespace
