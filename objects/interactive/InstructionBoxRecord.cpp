#include "objects/interactive/InstructionBoxRecord.h"
#include "objects/interactive/ControlPayload.h"

#include "canvas/records/StoredText.h"
#include "objects/draw/StoredRecordHeader.h"
#include "objects/interactive/TextFieldRecord.h"

StoredInstructionBox InstructionBoxRecord::toStoredBox(const sInstructionBox& p) {
    StoredInstructionBox s;
    s.control = storedControlOf(p);
    const NVFont font = p.font.value_or(NVFont{});
    s.font = TextFieldRecord::storedFontOf(font);
    s.caption = p.caption.substr(0, StoredInstructionBox::CAPTION_LENGTH - 1);
    s.scrolling = p.scrolling;
    s.titleBar = p.titleBar;
    if (!p.text.empty())
        s.rtf = TextFieldRecord::storedRtfOf(p.text, p.foreColor, font);
    return s;
}

sInstructionBox InstructionBoxRecord::fromStoredBox(const StoredInstructionBox& s) {
    sInstructionBox p;
    takeStoredControl(s.control, p);
    p.titleBar = s.titleBar;
    p.scrolling = s.scrolling;
    p.caption = s.caption;
    p.font = TextFieldRecord::fontOf(s.font);
    if (!s.rtf.empty())
        p.text = TextFieldRecord::textOfStoredRtf(s.rtf, p.foreColor, *p.font);
    return p;
}

sAllObjects InstructionBoxRecord::toStored(const NVAllObjects& record) {
    return storedRecordOf(record, &toStoredBox);
}

NVAllObjects InstructionBoxRecord::fromStored(const sAllObjects& stored) {
    return liveRecordOf(stored, &fromStoredBox);
}
