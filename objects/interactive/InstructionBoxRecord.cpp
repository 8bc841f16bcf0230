#include "objects/interactive/InstructionBoxRecord.h"

#include "canvas/records/RtfText.h"
#include "canvas/records/StoredText.h"
#include "objects/draw/StoredRecordHeader.h"
#include "objects/interactive/TextFieldRecord.h"

StoredInstructionBox InstructionBoxRecord::toStoredBox(const sInstructionBox& p) {
    StoredInstructionBox s;
    s.control.name = p.name;
    s.control.foreColor = p.foreColor.toColorRef();
    s.control.backColor = p.backColor.toColorRef();
    s.control.x = int16_t(p.x);
    s.control.y = int16_t(p.y);
    s.control.height = int16_t(p.height);
    s.control.width = int16_t(p.width);
    const NVFont font = p.font.value_or(NVFont{});
    s.font = TextFieldRecord::storedFontOf(font);
    s.caption = p.caption.substr(0, StoredInstructionBox::CAPTION_LENGTH - 1);
    s.scrolling = p.scrolling;
    s.titleBar = p.titleBar;
    if (!p.text.empty()) {
        QString rtf = fromStoredText(p.text);
        RtfText::convertIntoRTF(rtf, p.foreColor, font.toQFont());
        s.rtf = toStoredText(rtf);
    }
    return s;
}

sInstructionBox InstructionBoxRecord::fromStoredBox(const StoredInstructionBox& s) {
    sInstructionBox p;
    p.name = s.control.name;
    p.x = s.control.x;
    p.y = s.control.y;
    p.width = s.control.width;
    p.height = s.control.height;
    p.backColor = NVColor::fromColorRef(s.control.backColor);
    p.foreColor = NVColor::fromColorRef(s.control.foreColor);
    p.titleBar = s.titleBar;
    p.scrolling = s.scrolling;
    p.caption = s.caption;
    p.font = TextFieldRecord::fontOf(s.font);
    if (!s.rtf.empty()) {
        QString text = fromStoredText(s.rtf);
        RtfText::convertFromRTF(text, p.foreColor, p.font->toQFont());
        p.text = toStoredText(text);
    }
    return p;
}

sAllObjects InstructionBoxRecord::toStored(const NVAllObjects& record) {
    return storedRecordOf(record, &toStoredBox);
}

NVAllObjects InstructionBoxRecord::fromStored(const sAllObjects& stored) {
    return liveRecordOf(stored, &fromStoredBox);
}
