// Conversion between a validation field's record and its stored 1024-byte
// form: the control block, the font record with both sizes negated, the IDs,
// the flags, the error text and its dialog block, and the strings packed by
// CValidationData into the tail.
#pragma once

#include "canvas/records/ObjectRecords.h"
#include "canvas/records/sAllObjects.h"

class ValidationFieldRecord {
  public:
    static StoredValidationField toStoredField(const sValidationField& payload);
    static sValidationField fromStoredField(const StoredValidationField& stored);

    // Whole records: the head (frame, kind, object ID) and the payload. A
    // record without a validation-field payload gives an empty stored field.
    static sAllObjects toStored(const NVAllObjects& record);
    static NVAllObjects fromStored(const sAllObjects& stored);
};
