// Editor-type codes of a property entry: they choose the in-place editor the
// property box gives the entry's row. The numbers are part of every object's
// property list and must not change.
#pragma once

#include <cstdint>

enum PropertyEditorType : int32_t {
    PE_NONE = 0,
    PE_STRING = 1,
    PE_BOOL = 2,
    PE_PLAIN = 3,
    PE_FILENAME = 4,
    PE_COLOR = 5,
    PE_FONT = 6,
    PE_ARROW = 7,
    PE_VALIDATE_TARGET = 8,
    PE_GRADIENT_FILL = 9,
    PE_ATTRIBUTE = 10,
    PE_PLAIN_11 = 11,
    PE_PLAIN_12 = 12,
    PE_UINT = 13,
    PE_ALIGN = 14,
    PE_RESOURCE_FILE = 15,
    PE_BORDER_STYLE = 16,
    PE_FILL_PATTERN = 17,
    PE_FILL_MODE = 18,
    PE_BUTTON_STYLE = 19,
    PE_TRANSITION_EFFECT = 20,
    PE_TRANSITION_SPEED = 21,
    PE_MOUSE_POINTER = 22,
    PE_VALIDATION_STRING = 23,
    PE_VALIDATION_ERROR = 24,
    PE_VALIDATION_MESSAGE = 25,
    PE_VALIDATION_FRAME = 26,
    PE_LEFT = 27,
    PE_TOP = 28,
    PE_WIDTH = 29,
    PE_HEIGHT = 30,
};
