#include "objects/interactive/CHyperLinkRecord.h"

#include "objects/draw/StoredRecordHeader.h"

int16_t CHyperLinkRecord::eventMask(const sHyperLink& p) {
    int mask = 0;
    for (size_t i = 0; i < p.events.size() && i < 16; ++i) {
        const sHyperLinkEvent& e = p.events[i];
        if (e.gotoFrame != 0 || e.dialogLength != 0 || e.dialog)
            mask |= 1 << i;
    }
    return int16_t(mask);
}

int16_t CHyperLinkRecord::eventMask(const NVAllObjects& record) {
    const sHyperLink* p = record.get<sHyperLink>();
    return p ? eventMask(*p) : 0;
}

bool CHyperLinkRecord::blockHoldsSomething(const sMessageDialogBlock& b) {
    return !b.caption0.empty() || !b.caption1.empty() || b.icon0 != 0 || b.icon1 != 0;
}

namespace {
sHyperLinkEvent storedEvent(const sHyperLinkEvent& e, int index) {
    sHyperLinkEvent s;
    if (index < CHyperLinkRecord::CLICK_EVENTS) {
        s.playFile = e.playFile;
        s.runFile = e.runFile;
        s.url = e.url;
        s.errorMessage = e.errorMessage;
        s.message = e.message;
        s.validationTarget = e.validationTarget;
        s.validationImageId = e.validationImageId;
        s.validationSoundId = e.validationSoundId;
        s.validationVideoId = e.validationVideoId;
        s.word1312 = e.word1312;
        s.gotoFrame = e.gotoFrame;
        s.dialogLength = e.dialogLength;
        s.dialog = e.dialog ? *e.dialog : sMessageDialogBlock{};
    } else {
        s.dialog = sMessageDialogBlock{};
    }
    s.audioId = e.audioId;
    s.mousePointer = e.mousePointer;
    s.exitPlay = e.exitPlay;
    return s;
}

sHyperLinkEvent liveEvent(const sHyperLinkEvent& s, int index) {
    sHyperLinkEvent e;
    if (index < CHyperLinkRecord::CLICK_EVENTS) {
        e.playFile = s.playFile;
        e.runFile = s.runFile;
        e.url = s.url;
        e.errorMessage = s.errorMessage;
        e.message = s.message;
        e.validationTarget = s.validationTarget;
        e.validationImageId = s.validationImageId;
        e.validationSoundId = s.validationSoundId;
        e.validationVideoId = s.validationVideoId;
        e.word1312 = s.word1312;
        e.gotoFrame = s.gotoFrame;
        e.dialogLength = s.dialogLength;
        // An empty block is what releasing a dialog leaves anyway; keeping
        // it would mark the event as active at the next make.
        if (s.dialog && CHyperLinkRecord::blockHoldsSomething(*s.dialog))
            e.dialog = s.dialog;
    }
    e.audioId = s.audioId;
    e.mousePointer = s.mousePointer;
    e.exitPlay = s.exitPlay;
    return e;
}
} // namespace

StoredHyperLink CHyperLinkRecord::toStoredHyperLink(const sHyperLink& p) {
    StoredHyperLink s;
    s.control.name = p.name;
    s.control.toolTip = p.toolTip;
    s.control.attribute = p.attribute;
    s.control.foreColor = p.foreColor.toColorRef();
    s.control.backColor = p.backColor.toColorRef();
    s.control.x = int16_t(p.x);
    s.control.y = int16_t(p.y);
    s.control.width = int16_t(p.right - p.x);
    s.control.height = int16_t(p.bottom - p.y);
    s.caption = p.caption.substr(0, size_t(CAPTION_LIMIT));
    s.buttonStyle = p.buttonStyle;
    s.align = p.align;
    s.transparent = p.transparent;
    if (p.font) {
        s.font.height = p.font->pointSize;
        s.font.width = 0;
        s.font.weight = p.font->weight;
        s.font.italic = p.font->italic ? 1 : 0;
        s.font.family = p.font->family;
    }
    s.clickedImageId = p.clickedImageId;
    s.mouseOverImageId = p.mouseOverImageId;
    s.eventMask = eventMask(p);
    for (int i = 0; i < EVENT_COUNT; ++i)
        s.events.push_back(size_t(i) < p.events.size() ? storedEvent(p.events[size_t(i)], i)
                                                       : storedEvent(sHyperLinkEvent{}, i));
    s.unset = p.unset;
    return s;
}

sHyperLink CHyperLinkRecord::fromStoredHyperLink(const StoredHyperLink& s) {
    sHyperLink p;
    p.name = s.control.name;
    p.x = s.control.x;
    p.y = s.control.y;
    p.width = s.control.width;
    p.height = s.control.height;
    p.right = p.x + s.control.width;
    p.bottom = p.y + s.control.height;
    p.toolTip = s.control.toolTip;
    p.caption = s.caption;
    p.backColor = NVColor::fromColorRef(s.control.backColor);
    p.foreColor = NVColor::fromColorRef(s.control.foreColor);
    p.attribute = s.control.attribute;
    p.buttonStyle = s.buttonStyle;
    p.align = s.align;
    p.transparent = s.transparent;
    NVFont f;
    f.family = s.font.family;
    f.weight = s.font.weight;
    f.italic = s.font.italic != 0;
    f.pointSize = s.font.height;
    p.font = f;
    p.clickedImageId = s.clickedImageId;
    p.mouseOverImageId = s.mouseOverImageId;
    p.unset = s.unset;
    p.currentEvent = 0;
    // Always the chooser's six events, whatever count the file gives.
    p.events.clear();
    for (int i = 0; i < EVENT_COUNT; ++i) {
        if (size_t(i) < s.events.size()) {
            p.events.push_back(liveEvent(s.events[size_t(i)], i));
        } else {
            sHyperLinkEvent e;
            e.mousePointer = 1;
            p.events.push_back(e);
        }
    }
    return p;
}

sAllObjects CHyperLinkRecord::toStored(const NVAllObjects& record) {
    sAllObjects out = storedHeaderOf(record);
    const sHyperLink* p = record.get<sHyperLink>();
    out.payload = p ? toStoredHyperLink(*p) : StoredHyperLink{};
    return out;
}

NVAllObjects CHyperLinkRecord::fromStored(const sAllObjects& stored) {
    NVAllObjects out = liveHeaderOf(stored);
    const StoredHyperLink* s = stored.get<StoredHyperLink>();
    out.payload = s ? fromStoredHyperLink(*s) : sHyperLink{};
    return out;
}
