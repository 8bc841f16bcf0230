// Conversion between a text field's record and its stored 1024-byte form:
// the control block, the font record, the flags, the text-file name and the
// written text, which travels as RTF only when the field has no text file.
#pragma once

#include "canvas/records/ObjectRecords.h"
#include "canvas/records/sAllObjects.h"

class TextFieldRecord {
  public:
    static StoredTextField toStoredField(const sTextField& payload);
    static sTextField fromStoredField(const StoredTextField& stored);

    // Whole records: the head (frame, kind, object ID) and the payload. A
    // record without a text-field payload gives an empty stored field.
    static sAllObjects toStored(const NVAllObjects& record);
    static NVAllObjects fromStored(const sAllObjects& stored);

    // A written text as its stored RTF in the colour and font, and back.
    static std::string storedRtfOf(const std::string& text, const NVColor& color, const NVFont& font);
    static std::string textOfStoredRtf(const std::string& rtf, const NVColor& color, const NVFont& font);

    // The font record with the point size in both size fields, and back.
    static StoredFont storedFontOf(const NVFont& font);
    static NVFont fontOf(const StoredFont& stored);
};
