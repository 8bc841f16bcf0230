#include "objects/interactive/TextFieldRecord.h"

#include "canvas/records/RtfText.h"
#include "canvas/records/StoredText.h"
#include "objects/draw/StoredRecordHeader.h"
#include "objects/interactive/ControlPayload.h"

StoredFont TextFieldRecord::storedFontOf(const NVFont& f) {
    StoredFont s;
    s.height = f.pointSize;
    s.width = f.pointSize;
    s.weight = f.weight;
    s.italic = f.italic ? 1 : 0;
    s.underline = f.underline ? 1 : 0;
    s.strikeOut = f.strikeOut ? 1 : 0;
    s.family = f.family;
    return s;
}

NVFont TextFieldRecord::fontOf(const StoredFont& s) {
    NVFont f;
    f.family = s.family;
    f.pointSize = s.height;
    f.weight = s.weight;
    f.italic = s.italic != 0;
    f.underline = s.underline != 0;
    f.strikeOut = s.strikeOut != 0;
    return f;
}

StoredTextField TextFieldRecord::toStoredField(const sTextField& p) {
    StoredTextField s;
    s.control = storedControlOf(p);
    const NVFont font = p.font.value_or(NVFont{});
    s.font = storedFontOf(font);
    s.transparent = p.transparent;
    s.scrolling = p.scrolling;
    s.fileName = p.fileName;
    // A field fed from a file stores no text: the file is read again.
    if (p.fileName.empty() && !p.text.empty()) {
        QString rtf = fromStoredText(p.text);
        RtfText::convertIntoRTF(rtf, p.foreColor, font.toQFont());
        s.rtf = toStoredText(rtf);
    }
    return s;
}

sTextField TextFieldRecord::fromStoredField(const StoredTextField& s) {
    sTextField p;
    takeStoredControl(s.control, p);
    p.font = fontOf(s.font);
    p.transparent = s.transparent;
    p.scrolling = s.scrolling;
    p.fileName = s.fileName;
    if (p.fileName.empty() && !s.rtf.empty()) {
        QString text = fromStoredText(s.rtf);
        RtfText::convertFromRTF(text, p.foreColor, p.font->toQFont());
        p.text = toStoredText(text);
    }
    return p;
}

sAllObjects TextFieldRecord::toStored(const NVAllObjects& record) {
    return storedRecordOf<sTextField, StoredTextField>(record, &toStoredField);
}

NVAllObjects TextFieldRecord::fromStored(const sAllObjects& stored) {
    return liveRecordOf<StoredTextField, sTextField>(stored, &fromStoredField);
}
