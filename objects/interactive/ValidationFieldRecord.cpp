#include "objects/interactive/ValidationFieldRecord.h"

#include "objects/draw/StoredRecordHeader.h"
#include "objects/interactive/ControlPayload.h"
#include "objects/interactive/TextFieldRecord.h"
#include "store/CValidationData.h"

StoredValidationField ValidationFieldRecord::toStoredField(const sValidationField& p) {
    StoredValidationField s;
    s.control = storedControlOf(p);
    s.font = TextFieldRecord::storedFontOf(p.font.value_or(NVFont{}));
    s.font.height = -s.font.height;
    s.font.width = -s.font.width;
    s.validationNumber = p.validationNumber;
    s.validationId = p.validationId;
    s.dialogLength = p.dialogLength;
    // The field keeps its caption at 0 and its icon at 16; the stored block
    // carries the caption at 4.
    if (p.dialogLength != sValidationField::DIALOG_BLOCK_ONLY) {
        sMessageDialogBlock b;
        if (p.dialog) {
            b.caption1 = p.dialog->caption0;
            b.icon1 = p.dialog->icon1;
        }
        s.dialog = b;
    }
    s.errorText = p.errorText.substr(0, StoredValidationField::ERROR_LENGTH);
    s.align = p.align;
    s.transparent = p.transparent;
    s.scrolling = 0;
    s.caseSensitive = p.caseSensitive;
    s.dynamicGrow = p.dynamicGrow;
    s.password = p.password;
    if (!p.strings.list.empty())
        s.validationData = CValidationData().pack(p.strings);
    return s;
}

sValidationField ValidationFieldRecord::fromStoredField(const StoredValidationField& s) {
    sValidationField p;
    takeStoredControl(s.control, p);
    StoredFont font = s.font;
    font.height = -font.height;
    font.width = -font.width;
    p.font = TextFieldRecord::fontOf(font);
    p.scrolling = 0;
    p.transparent = s.transparent;
    p.password = s.password;
    p.dynamicGrow = s.dynamicGrow;
    p.caseSensitive = s.caseSensitive;
    p.align = s.align;
    p.validationNumber = s.validationNumber;
    p.validationId = s.validationId;
    p.dialogLength = s.dialogLength;
    if (s.dialogLength != sValidationField::DIALOG_BLOCK_ONLY) {
        sMessageDialogBlock b;
        if (s.dialog) {
            b.caption0 = s.dialog->caption1;
            b.icon1 = s.dialog->icon1;
        }
        p.dialog = b;
    }
    p.errorText = s.errorText;
    if (!s.validationData.empty()) {
        SMultiString strings;
        if (CValidationData().GetValidationDataArray(s.validationData.data(), s.validationData.size(),
                                                     strings)) {
            for (sMultiValidationString& str : strings.list)
                str.nKeyCount = int32_t(str.keys.size());
            p.strings = std::move(strings);
            p.validationData = s.validationData;
        }
    }
    return p;
}

sAllObjects ValidationFieldRecord::toStored(const NVAllObjects& record) {
    return storedRecordOf<sValidationField, StoredValidationField>(record, &toStoredField);
}

NVAllObjects ValidationFieldRecord::fromStored(const sAllObjects& stored) {
    return liveRecordOf<StoredValidationField, sValidationField>(stored, &fromStoredField);
}
