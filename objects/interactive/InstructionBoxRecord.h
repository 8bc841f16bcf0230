// Conversion between an instruction box's record and its stored 1024-byte
// form: the control block, the caption, the font record, scrolling and the
// title-bar byte, and the instruction text, which travels as RTF in the
// box's fore colour and font.
#pragma once

#include "canvas/records/ObjectRecords.h"
#include "canvas/records/sAllObjects.h"

class InstructionBoxRecord {
  public:
    static StoredInstructionBox toStoredBox(const sInstructionBox& payload);
    static sInstructionBox fromStoredBox(const StoredInstructionBox& stored);

    // Whole records: the head (frame, kind, object ID) and the payload. A
    // record without an instruction-box payload gives an empty stored box.
    static sAllObjects toStored(const NVAllObjects& record);
    static NVAllObjects fromStored(const sAllObjects& stored);
};
