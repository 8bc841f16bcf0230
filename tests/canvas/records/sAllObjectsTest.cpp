#include "canvas/records/sAllObjects.h"
#include "store/RecordIO.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

namespace {

// A named field of the stored record and the value it must hold.
struct Field {
    size_t offset;
    size_t width; // 1, 2 or 4 for integers; the field width for texts
    uint32_t value = 0;
    std::string text = {};
    bool isText = false;
};
Field num(size_t off, size_t width, uint32_t v) {
    return Field{off, width, v};
}
Field txt(size_t off, size_t width, std::string s) {
    return Field{off, width, 0, std::move(s), true};
}

struct RecordCase {
    std::string label;
    sAllObjects record;
    std::vector<Field> fields;
    size_t tailLength;
    std::function<void(const std::vector<uint8_t>& tail)> checkTail = nullptr;
};

sAllObjects head(int32_t kind, const char* id) {
    sAllObjects o;
    o.frameIndex = 7;
    o.drawingObject = kind;
    o.objectID = id;
    o.payload = sAllObjects::emptyPayloadForKind(kind);
    return o;
}

std::vector<Field> headFields(int32_t kind, const char* id) {
    return {num(0, 2, 1024), num(4, 4, 7), num(8, 4, uint32_t(kind)), txt(13, 30, ""), txt(43, 12, id)};
}

StoredControl control(const char* name, const char* tip = "") {
    StoredControl c;
    c.name = name;
    c.toolTip = tip;
    c.foreColor = 0x00112233;
    c.backColor = 0x00445566;
    c.x = 11;
    c.y = 12;
    c.height = 13;
    c.width = -14;
    c.attribute = 3;
    return c;
}
std::vector<Field> controlFields(const char* name, const char* tip = "") {
    return {txt(56, 36, name), txt(92, 20, tip), num(372, 4, 0x00112233), num(376, 4, 0x00445566),
            num(388, 2, 11),   num(390, 2, 12),  num(392, 2, 13),         num(394, 2, uint16_t(-14)),
            num(396, 1, 3)};
}

StoredFont font(int32_t size) {
    StoredFont f;
    f.height = size;
    f.width = size;
    f.weight = 75;
    f.italic = 1;
    f.underline = 1;
    f.strikeOut = 1;
    f.family = "helvetica";
    return f;
}
std::vector<Field> fontFields(size_t at, int32_t size) {
    return {num(at, 4, uint32_t(size)),   num(at + 4, 4, uint32_t(size)),
            num(at + 16, 4, 75),          num(at + 20, 1, 1),
            num(at + 21, 1, 1),           num(at + 22, 1, 1),
            txt(at + 28, 32, "helvetica")};
}

void append(std::vector<Field>& a, const std::vector<Field>& b) {
    a.insert(a.end(), b.begin(), b.end());
}

RecordCase shapeCase(int32_t kind) {
    sAllObjects o = head(kind, "R3");
    auto& s = *o.get<StoredShape>();
    s.name = "Rectangle 3";
    s.penStyle = 2;
    s.penWidth = 4;
    s.penColor = 0x000000FF;
    s.brushStyle = 2;
    s.brushColor = 0x0000FF00;
    s.hatch = 4;
    s.left = 10;
    s.top = 20;
    s.right = 5; // drawn right to left
    s.bottom = 40;
    s.cornerWidth = 6;
    s.cornerHeight = 7;
    s.x = 10;
    s.y = 20;
    s.height = 20;
    s.width = -5;
    s.arrow = 3;
    s.fillMode = 1;
    s.fillPattern = 2;
    s.styleByte = 2;
    s.widthShort = 4;
    auto f = headFields(kind, "R3");
    append(f, {txt(56, 32, "Rectangle 3"),
               num(88, 4, 2),
               num(92, 4, 4),
               num(100, 4, 0xFF),
               num(104, 4, 2),
               num(108, 4, 0xFF00),
               num(112, 4, 4),
               num(116, 4, 10),
               num(120, 4, 20),
               num(124, 4, 5),
               num(128, 4, 40),
               num(132, 4, 6),
               num(136, 4, 7),
               num(140, 2, 10),
               num(142, 2, 20),
               num(144, 2, 20),
               num(146, 2, 0xFFFB),
               num(150, 1, 3),
               num(151, 1, 1),
               num(152, 1, 2),
               num(153, 1, 2),
               num(154, 2, 4)});
    return {"shape kind " + std::to_string(kind), o, f, 0};
}

RecordCase frameCase(bool withEvents) {
    sAllObjects o = head(FRAMEOBJECT, "XXX");
    auto& fr = *o.get<NVFrame>();
    fr.m_Caption = "Frame 1";
    fr.soundClip = "clip";
    fr.soundNotes = "notes";
    fr.audioId = 0x03010002;
    fr.userAction = 1;
    fr.mouseDelay = 250;
    fr.foreColor = -1;
    fr.backColor = 0x00C72216;
    fr.eventIndex = 1;
    fr.events = withEvents ? std::vector<NVFrameEvent>{{1, 2, 1}, {3, 4, 0}} : std::vector<NVFrameEvent>{};
    auto f = headFields(FRAMEOBJECT, "XXX");
    append(f, {txt(56, 255, "Frame 1"), txt(311, 23, "clip"), txt(334, 250, "notes"), num(584, 4, 0x03010002),
               num(588, 1, 1), num(590, 2, 250), num(592, 4, 0xFFFFFFFF), num(596, 4, 0x00C72216),
               num(600, 2, 1), num(604, 4, withEvents ? 2 : 0), num(608, 4, withEvents ? 1 : 0)});
    RecordCase c{withEvents ? "frame with two events" : "frame without events", o, f, withEvents ? 32u : 0u};
    if (withEvents)
        c.checkTail = [](const std::vector<uint8_t>& t) {
            EXPECT_EQ((std::vector<uint8_t>(t.begin(), t.begin() + 3)), (std::vector<uint8_t>{1, 2, 1}));
            EXPECT_EQ((std::vector<uint8_t>(t.begin() + 16, t.begin() + 19)),
                      (std::vector<uint8_t>{3, 4, 0}));
            for (size_t i : {3u, 15u, 19u, 31u})
                EXPECT_EQ(t[i], 0) << i;
        };
    return c;
}

RecordCase polyCase(bool withPoints) {
    sAllObjects o = head(POLYLINE, "P2");
    auto& p = *o.get<sPoly>();
    p.name = "PolyLine 2";
    p.thickness = 3;
    p.color = 0x00ABCDEF;
    if (withPoints)
        p.points = {{1, 2}, {-3, 4}, {500, 600}};
    auto f = headFields(POLYLINE, "P2");
    append(f, {txt(56, 32, "PolyLine 2"), num(88, 4, 1), num(92, 4, 3), num(100, 4, 0x00ABCDEF),
               num(120, 4, withPoints ? 1 : 0), num(124, 4, withPoints ? 3 : 0)});
    RecordCase c{withPoints ? "polyline with points" : "polyline without points", o, f,
                 withPoints ? 24u : 0u};
    if (withPoints)
        c.checkTail = [](const std::vector<uint8_t>& t) {
            EXPECT_EQ(int32_t(rec::readLe32(&t[8])), -3);
            EXPECT_EQ(rec::readLe32(&t[20]), 600u);
        };
    return c;
}

RecordCase bitmapCase() {
    sAllObjects o = head(BITMAP, "B1");
    auto& b = *o.get<StoredBitmap>();
    b.control = control("BitmapObject 1");
    b.stretch = 1;
    b.align = 5;
    b.imageId = 0x01010004;
    auto f = headFields(BITMAP, "B1");
    append(f, controlFields("BitmapObject 1"));
    append(f, {num(400, 1, 1), num(401, 1, 5), num(404, 4, 0x01010004)});
    return {"bitmap", o, f, 0};
}

RecordCase textFieldCase(bool withTexts) {
    sAllObjects o = head(TEXTFIELD, "F4");
    auto& t = *o.get<StoredTextField>();
    t.control = control("TextField 4");
    t.transparent = 1;
    t.scrolling = 1;
    t.font = font(12);
    if (withTexts) {
        t.rtf = "{\\rtf1 abc}";
        t.fileName = "/tmp/notes.txt";
    }
    auto f = headFields(TEXTFIELD, "F4");
    append(f, controlFields("TextField 4"));
    append(f, fontFields(404, 12));
    append(f,
           {num(401, 1, 1), num(402, 1, 1), num(464, 4, withTexts ? 1 : 0), num(468, 4, withTexts ? 11 : 0),
            num(472, 4, 0), num(476, 4, 0), num(492, 4, withTexts ? 1 : 0), num(498, 2, withTexts ? 14 : 0)});
    RecordCase c{withTexts ? "text field with text and file" : "text field without texts", o, f,
                 withTexts ? 25u : 0u};
    if (withTexts)
        c.checkTail = [](const std::vector<uint8_t>& t) {
            EXPECT_EQ(std::string(t.begin(), t.end()), "{\\rtf1 abc}/tmp/notes.txt");
        };
    return c;
}

RecordCase instructionBoxCase(bool withText) {
    sAllObjects o = head(INSTRUCTIONBOX, "I1");
    auto& b = *o.get<StoredInstructionBox>();
    b.control = control("InstructionBox 1");
    b.caption = "Read me";
    b.scrolling = 1;
    b.font = font(10);
    if (withText)
        b.rtf = "{\\rtf1 x}";
    b.titleBar = 1;
    auto f = headFields(INSTRUCTIONBOX, "I1");
    append(f, controlFields("InstructionBox 1"));
    append(f, fontFields(660, 10));
    append(f, {txt(400, 256, "Read me"), num(656, 1, 1), num(724, 4, withText ? 1 : 0),
               num(728, 4, withText ? 9 : 0), num(732, 4, 0), num(736, 4, 0), num(740, 1, 1)});
    return {withText ? "instruction box with text" : "instruction box without text", o, f,
            withText ? 9u : 0u};
}

NVJumpButtonEvent jumpEvent(int i) {
    NVJumpButtonEvent e;
    e.audioId = 0x03010000u + uint32_t(i);
    e.playFile = "play" + std::to_string(i);
    e.runFile = "run";
    e.url = "http://u";
    e.validationTarget = int16_t(i);
    e.errorMessage = "err";
    e.message = "msg";
    e.validationImageId = 1;
    e.validationSoundId = 2;
    e.validationVideoId = 3;
    e.mousePointer = 14;
    e.gotoFrame = -2;
    e.exitPlay = 1;
    return e;
}

RecordCase hyperlinkCase(bool withDialog) {
    sAllObjects o = head(HYPERLINK, "J1");
    auto& h = *o.get<StoredHyperLink>();
    h.control = control("Hyperlink 1", "tip");
    h.caption = "Click";
    h.buttonStyle = 2;
    h.align = 4;
    h.transparent = 1;
    h.font = font(9);
    h.font.underline = h.font.strikeOut = 0;
    h.clickedImageId = 0x01020001;
    h.eventMask = 0x21;
    h.mouseOverImageId = 0x01020002;
    h.unset = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    for (int i = 0; i < 6; ++i)
        h.events.push_back(jumpEvent(i));
    if (withDialog) {
        sMessageDialogBlock d;
        d.caption0 = "abc";
        d.caption1 = "de";
        d.icon0 = 0x04010001;
        d.icon1 = 0x04010002;
        h.events[1].dialog = d;
        h.events[1].dialogLength = 5;
    }
    auto f = headFields(HYPERLINK, "J1");
    append(f, controlFields("Hyperlink 1", "tip"));
    auto ff = fontFields(660, 9);
    ff[4].value = 0;
    ff[5].value = 0;
    append(f, ff);
    append(f,
           {txt(400, 255, "Click"), num(655, 1, 2), num(656, 1, 4), num(657, 1, 1), num(728, 4, 0x01020001),
            num(732, 2, 0x21), num(736, 4, 6), num(740, 4, 1), num(744, 4, 0x01020002)});
    for (size_t i = 0; i < 12; ++i)
        f.push_back(num(748 + i, 1, uint32_t(i + 1)));
    RecordCase c{withDialog ? "hyperlink with one dialog block" : "hyperlink without dialog blocks", o, f,
                 6 * (1336 + 40) + (withDialog ? 5u : 0u)};
    c.checkTail = [withDialog](const std::vector<uint8_t>& t) {
        // event 0 then its 40 zero bytes
        EXPECT_EQ(rec::readLe32(&t[0]), 0x03010000u);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&t[4])), "play0");
        EXPECT_EQ(rec::readLe16(&t[784]), 0u);
        EXPECT_EQ(t[1316], 14);
        EXPECT_EQ(int32_t(rec::readLe32(&t[1320])), -2);
        EXPECT_EQ(rec::readLe32(&t[1328]), 0u);
        for (size_t i = 1336; i < 1376; ++i)
            ASSERT_EQ(t[i], 0) << i;
        const size_t e1 = 1376;
        EXPECT_EQ(rec::readLe32(&t[e1]), 0x03010001u);
        EXPECT_EQ(rec::readLe32(&t[e1 + 1328]), withDialog ? 1u : 0u);
        if (!withDialog)
            return;
        EXPECT_EQ(rec::readLe16(&t[e1 + 1326]), 5u);
        const size_t blk = e1 + 1336;
        EXPECT_EQ(rec::readLe32(&t[blk + 0]), 1u);
        EXPECT_EQ(rec::readLe32(&t[blk + 4]), 1u);
        EXPECT_EQ(rec::readLe16(&t[blk + 8]), 3u);
        EXPECT_EQ(rec::readLe16(&t[blk + 10]), 2u);
        EXPECT_EQ(rec::readLe32(&t[blk + 12]), 0x04010001u);
        EXPECT_EQ(rec::readLe32(&t[blk + 16]), 0x04010002u);
        for (size_t i = 20; i < 40; ++i)
            EXPECT_EQ(t[blk + i], 0);
        // the caption at 4 comes first, then the one at 0
        EXPECT_EQ(std::string(&t[blk + 40], &t[blk + 45]), "deabc");
        EXPECT_EQ(rec::readLe32(&t[blk + 45]), 0x03010002u); // event 2 follows
    };
    return c;
}

RecordCase validationCase(bool withDialog) {
    sAllObjects o = head(VALIDATIONFIELD, "T2");
    auto& v = *o.get<StoredValidationField>();
    v.control = control("ValidationField 2");
    v.validationData = std::vector<uint8_t>(280, 0);
    v.validationData[0] = 'x';
    if (withDialog) {
        sMessageDialogBlock d;
        d.caption1 = "Title";
        d.icon1 = 0x04010003;
        v.dialog = d;
    }
    v.validationNumber = 2;
    v.dialogLength = withDialog ? 45 : 40;
    v.align = 1;
    v.transparent = 1;
    v.font = font(-12);
    v.errorText = "Wrong";
    v.validationId = 9;
    v.caseSensitive = 1;
    v.dynamicGrow = 1;
    v.password = 1;
    auto f = headFields(VALIDATIONFIELD, "T2");
    append(f, controlFields("ValidationField 2"));
    append(f, fontFields(660, uint32_t(-12)));
    append(f, {num(640, 4, withDialog ? 1 : 0), num(644, 4, 280), num(648, 4, 1), num(652, 2, 2),
               num(654, 2, withDialog ? 45 : 40), num(657, 1, 1), num(658, 1, 1), num(659, 1, 0),
               txt(720, 259, "Wrong"), num(980, 2, 9), num(988, 1, 1), num(989, 1, 1), num(990, 1, 1)});
    RecordCase c{withDialog ? "validation field with dialog block" : "validation field without dialog block",
                 o, f, 280 + (withDialog ? 45u : 0u)};
    c.checkTail = [withDialog](const std::vector<uint8_t>& t) {
        EXPECT_EQ(t[0], 'x');
        if (!withDialog)
            return;
        EXPECT_EQ(rec::readLe32(&t[280 + 0]), 0u);
        EXPECT_EQ(rec::readLe32(&t[280 + 4]), 1u);
        EXPECT_EQ(rec::readLe16(&t[280 + 8]), 0u);
        EXPECT_EQ(rec::readLe16(&t[280 + 10]), 5u);
        EXPECT_EQ(rec::readLe32(&t[280 + 16]), 0x04010003u);
        EXPECT_EQ(std::string(&t[320], &t[325]), "Title");
    };
    return c;
}

std::vector<RecordCase> allCases() {
    return {shapeCase(LINE),
            shapeCase(RECTANGLE),
            shapeCase(ROUNDRECT),
            shapeCase(ELLIPSE),
            frameCase(true),
            frameCase(false),
            polyCase(true),
            polyCase(false),
            bitmapCase(),
            textFieldCase(true),
            textFieldCase(false),
            instructionBoxCase(true),
            instructionBoxCase(false),
            hyperlinkCase(true),
            hyperlinkCase(false),
            validationCase(true),
            validationCase(false)};
}

uint32_t readField(const std::array<uint8_t, 1024>& b, const Field& f) {
    switch (f.width) {
    case 1:
        return b[f.offset];
    case 2:
        return rec::readLe16(&b[f.offset]);
    default:
        return rec::readLe32(&b[f.offset]);
    }
}

TEST(sAllObjects, EveryKindAtItsOffsets) {
    for (const RecordCase& c : allCases()) {
        SCOPED_TRACE(c.label);
        const auto b = c.record.toBytes();
        std::set<size_t> named;
        for (const Field& f : c.fields) {
            for (size_t i = 0; i < f.width; ++i)
                named.insert(f.offset + i);
            if (f.isText) {
                const char* t = reinterpret_cast<const char*>(&b[f.offset]);
                EXPECT_EQ(std::string(t, strnlen(t, f.width)), f.text) << "text at " << f.offset;
            } else {
                EXPECT_EQ(readField(b, f), f.value) << "field at " << f.offset;
            }
        }
        for (size_t i = 0; i < b.size(); ++i) {
            if (!named.count(i)) {
                ASSERT_EQ(b[i], 0) << "unnamed byte " << i;
            }
        }

        const auto tail = c.record.tailBytes();
        EXPECT_EQ(tail.size(), c.tailLength);
        EXPECT_EQ(c.record.tailLength(), c.tailLength);
        if (c.checkTail)
            c.checkTail(tail);
    }
}

TEST(sAllObjects, EveryKindReadsBackEqual) {
    std::vector<uint8_t> stream;
    const auto cases = allCases();
    for (const RecordCase& c : cases)
        c.record.appendTo(stream);
    size_t pos = 0;
    for (const RecordCase& c : cases) {
        SCOPED_TRACE(c.label);
        size_t used = 0;
        auto back = sAllObjects::read(stream.data() + pos, stream.size() - pos, used);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(used, 1024 + c.tailLength);
        EXPECT_EQ(*back, c.record);
        EXPECT_EQ(back->payload.index(), c.record.payload.index());
        pos += used;
    }
    EXPECT_EQ(pos, stream.size());
}

TEST(sAllObjects, ReadBackKeepsTailData) {
    std::vector<uint8_t> s;
    hyperlinkCase(true).record.appendTo(s);
    size_t used = 0;
    auto h = sAllObjects::read(s.data(), s.size(), used);
    ASSERT_TRUE(h);
    const auto& link = *h->get<StoredHyperLink>();
    ASSERT_EQ(link.events.size(), 6u);
    ASSERT_TRUE(link.events[1].dialog.has_value());
    EXPECT_EQ(link.events[1].dialog->caption0, "abc");
    EXPECT_EQ(link.events[1].dialog->caption1, "de");
    EXPECT_FALSE(link.events[0].dialog.has_value());
    EXPECT_EQ(link.events[5], jumpEvent(5));

    s.clear();
    validationCase(true).record.appendTo(s);
    auto v = sAllObjects::read(s.data(), s.size(), used);
    ASSERT_TRUE(v);
    ASSERT_TRUE(v->get<StoredValidationField>()->dialog.has_value());
    EXPECT_EQ(v->get<StoredValidationField>()->dialog->caption1, "Title");
    EXPECT_EQ(v->get<StoredValidationField>()->validationData.size(), 280u);
}

TEST(sAllObjects, TruncatedRecordsAreRefused) {
    for (const RecordCase& c : allCases()) {
        SCOPED_TRACE(c.label);
        std::vector<uint8_t> s;
        c.record.appendTo(s);
        size_t used = 99;
        EXPECT_FALSE(sAllObjects::read(s.data(), 1023, used).has_value());
        EXPECT_EQ(used, 0u);
        if (c.tailLength) {
            EXPECT_FALSE(sAllObjects::read(s.data(), s.size() - 1, used).has_value());
        }
    }
}

TEST(sAllObjects, NegativeCountsAreRefused) {
    struct Case {
        RecordCase base;
        size_t offset;
        size_t width;
    };
    const std::vector<Case> cases = {
        {frameCase(true), 604, 4},
        {polyCase(true), 124, 4},
        {hyperlinkCase(false), 736, 4},
        {textFieldCase(true), 498, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.base.label);
        std::vector<uint8_t> s;
        c.base.record.appendTo(s);
        if (c.width == 4)
            rec::writeLe32(&s[c.offset], 0xFFFFFFFF);
        else
            rec::writeLe16(&s[c.offset], 0xFFFF);
        size_t used = 0;
        EXPECT_FALSE(sAllObjects::read(s.data(), s.size(), used).has_value());
    }
}

TEST(sAllObjects, OverlongTextsAreCutAndTerminated) {
    sAllObjects o = head(INSTRUCTIONBOX, "I123456789012345");
    o.get<StoredInstructionBox>()->caption = std::string(300, 'c');
    o.get<StoredInstructionBox>()->font.family = std::string(40, 'f');
    const auto b = o.toBytes();
    EXPECT_EQ(b[43 + 11], 0);
    EXPECT_EQ(b[400 + 255], 0);
    EXPECT_EQ(b[660 + 28 + 31], 0);
    size_t used = 0;
    std::vector<uint8_t> s(b.begin(), b.end());
    auto back = sAllObjects::read(s.data(), s.size(), used);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->objectID, "I1234567890");
    EXPECT_EQ(back->get<StoredInstructionBox>()->caption.size(), 255u);
}

TEST(sAllObjects, KindsWithoutStoredFormCarryOnlyTheHead) {
    sAllObjects o = head(MOUSECLICK, "");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(o.payload));
    EXPECT_EQ(o.tailLength(), 0u);
    const auto b = o.toBytes();
    for (size_t i = 56; i < 1024; ++i)
        ASSERT_EQ(b[i], 0);
}

} // namespace
