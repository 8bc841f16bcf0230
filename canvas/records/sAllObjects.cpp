#include "canvas/records/sAllObjects.h"

#include "store/RecordIO.h"

#include <algorithm>
#include <cstring>

namespace {

template <class... Ts> struct overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> overloaded(Ts...) -> overloaded<Ts...>;

constexpr size_t kMaxShortText = 32767;

int16_t shortLength(const std::string& s) {
    return int16_t(std::min(s.size(), kMaxShortText));
}

// ---- fixed part ----

void writeControl(rec::RecordWriter& w, const StoredControl& c) {
    w.text(StoredControl::NAME, StoredControl::NAME_LENGTH, c.name);
    w.text(StoredControl::TOOL_TIP, StoredControl::TOOL_TIP_LENGTH, c.toolTip);
    w.u32(StoredControl::FORE_COLOR, c.foreColor);
    w.u32(StoredControl::BACK_COLOR, c.backColor);
    w.i16(StoredControl::X, c.x);
    w.i16(StoredControl::Y, c.y);
    w.i16(StoredControl::HEIGHT, c.height);
    w.i16(StoredControl::WIDTH, c.width);
    w.u8(StoredControl::ATTRIBUTE, c.attribute);
}

StoredControl readControl(rec::RecordReader& r) {
    StoredControl c;
    c.name = r.text(StoredControl::NAME, StoredControl::NAME_LENGTH);
    c.toolTip = r.text(StoredControl::TOOL_TIP, StoredControl::TOOL_TIP_LENGTH);
    c.foreColor = r.u32(StoredControl::FORE_COLOR);
    c.backColor = r.u32(StoredControl::BACK_COLOR);
    c.x = r.i16(StoredControl::X);
    c.y = r.i16(StoredControl::Y);
    c.height = r.i16(StoredControl::HEIGHT);
    c.width = r.i16(StoredControl::WIDTH);
    c.attribute = r.u8(StoredControl::ATTRIBUTE);
    return c;
}

void writeFont(rec::RecordWriter& w, size_t at, const StoredFont& f) {
    w.i32(at + StoredFont::HEIGHT, f.height);
    w.i32(at + StoredFont::WIDTH, f.width);
    w.i32(at + StoredFont::WEIGHT, f.weight);
    w.u8(at + StoredFont::ITALIC, f.italic);
    w.u8(at + StoredFont::UNDERLINE, f.underline);
    w.u8(at + StoredFont::STRIKE_OUT, f.strikeOut);
    w.text(at + StoredFont::FAMILY, StoredFont::FAMILY_LENGTH, f.family);
}

StoredFont readFont(rec::RecordReader& r, size_t at) {
    StoredFont f;
    f.height = r.i32(at + StoredFont::HEIGHT);
    f.width = r.i32(at + StoredFont::WIDTH);
    f.weight = r.i32(at + StoredFont::WEIGHT);
    f.italic = r.u8(at + StoredFont::ITALIC);
    f.underline = r.u8(at + StoredFont::UNDERLINE);
    f.strikeOut = r.u8(at + StoredFont::STRIKE_OUT);
    f.family = r.text(at + StoredFont::FAMILY, StoredFont::FAMILY_LENGTH);
    return f;
}

void writeKindPart(uint8_t* b, rec::RecordWriter& w, const sAllObjects::Payload& payload) {
    std::visit(overloaded{
                   [](const std::monostate&) {},
                   [&](const StoredShape& s) {
                       w.text(StoredShape::NAME, StoredShape::NAME_LENGTH, s.name);
                       w.i32(StoredShape::PEN_STYLE, s.penStyle);
                       w.i32(StoredShape::PEN_WIDTH, s.penWidth);
                       w.u32(StoredShape::PEN_COLOR, s.penColor);
                       w.i32(StoredShape::BRUSH_STYLE, s.brushStyle);
                       w.u32(StoredShape::BRUSH_COLOR, s.brushColor);
                       w.i32(StoredShape::HATCH, s.hatch);
                       w.i32(StoredShape::LEFT, s.left);
                       w.i32(StoredShape::TOP, s.top);
                       w.i32(StoredShape::RIGHT, s.right);
                       w.i32(StoredShape::BOTTOM, s.bottom);
                       w.i32(StoredShape::CORNER_WIDTH, s.cornerWidth);
                       w.i32(StoredShape::CORNER_HEIGHT, s.cornerHeight);
                       w.i16(StoredShape::X, s.x);
                       w.i16(StoredShape::Y, s.y);
                       w.i16(StoredShape::HEIGHT, s.height);
                       w.i16(StoredShape::WIDTH, s.width);
                       w.u8(StoredShape::ARROW, s.arrow);
                       w.u8(StoredShape::FILL_MODE, s.fillMode);
                       w.u8(StoredShape::FILL_PATTERN, s.fillPattern);
                       w.u8(StoredShape::STYLE_BYTE, s.styleByte);
                       w.i16(StoredShape::WIDTH_SHORT, s.widthShort);
                   },
                   [&](const NVFrame& f) { f.writeTo(b + sAllObjects::KIND_PART); },
                   [&](const sPoly& p) { p.writeTo(b + sAllObjects::KIND_PART); },
                   [&](const StoredBitmap& s) {
                       writeControl(w, s.control);
                       w.u8(StoredBitmap::STRETCH, s.stretch);
                       w.u8(StoredBitmap::ALIGN, s.align);
                       w.u32(StoredBitmap::IMAGE_ID, s.imageId);
                   },
                   [&](const StoredTextField& s) {
                       writeControl(w, s.control);
                       w.u8(StoredTextField::TRANSPARENT, s.transparent);
                       w.u8(StoredTextField::SCROLLING, s.scrolling);
                       writeFont(w, StoredTextField::FONT, s.font);
                       w.u32(StoredTextField::RTF_REF, s.rtf.empty() ? 0 : 1);
                       w.u32(StoredTextField::RTF_LENGTH, uint32_t(s.rtf.size()));
                       w.u32(StoredTextField::EXTRA_REF, s.extra.empty() ? 0 : 1);
                       w.u32(StoredTextField::EXTRA_LENGTH, uint32_t(s.extra.size()));
                       w.u32(StoredTextField::FILE_NAME_REF, s.fileName.empty() ? 0 : 1);
                       w.i16(StoredTextField::FILE_NAME_LENGTH, shortLength(s.fileName));
                   },
                   [&](const StoredInstructionBox& s) {
                       writeControl(w, s.control);
                       w.text(StoredInstructionBox::CAPTION, StoredInstructionBox::CAPTION_LENGTH, s.caption);
                       w.u8(StoredInstructionBox::SCROLLING, s.scrolling);
                       writeFont(w, StoredInstructionBox::FONT, s.font);
                       w.u32(StoredInstructionBox::RTF_REF, s.rtf.empty() ? 0 : 1);
                       w.u32(StoredInstructionBox::RTF_LENGTH, uint32_t(s.rtf.size()));
                       w.u8(StoredInstructionBox::TITLE_BAR, s.titleBar);
                   },
                   [&](const StoredHyperLink& s) {
                       writeControl(w, s.control);
                       w.text(StoredHyperLink::CAPTION, StoredHyperLink::CAPTION_LENGTH, s.caption);
                       w.u8(StoredHyperLink::BUTTON_STYLE, s.buttonStyle);
                       w.u8(StoredHyperLink::ALIGN, s.align);
                       w.u8(StoredHyperLink::TRANSPARENT, s.transparent);
                       writeFont(w, StoredHyperLink::FONT, s.font);
                       w.u32(StoredHyperLink::CLICKED_IMAGE_ID, s.clickedImageId);
                       w.i16(StoredHyperLink::EVENT_MASK, s.eventMask);
                       w.i32(StoredHyperLink::EVENT_COUNT, int32_t(s.events.size()));
                       w.u32(StoredHyperLink::EVENTS_REF, s.events.empty() ? 0 : 1);
                       w.u32(StoredHyperLink::MOUSE_OVER_IMAGE_ID, s.mouseOverImageId);
                       w.bytes(StoredHyperLink::UNSET, s.unset.data(), s.unset.size());
                   },
                   [&](const StoredValidationField& s) {
                       writeControl(w, s.control);
                       w.u32(StoredValidationField::DIALOG_REF, s.dialog ? 1 : 0);
                       w.u32(StoredValidationField::DATA_LENGTH, uint32_t(s.validationData.size()));
                       w.u32(StoredValidationField::DATA_REF, s.validationData.empty() ? 0 : 1);
                       w.u16(StoredValidationField::VALIDATION_NUMBER, s.validationNumber);
                       w.i16(StoredValidationField::DIALOG_LENGTH, s.dialogLength);
                       w.u8(StoredValidationField::ALIGN, s.align);
                       w.u8(StoredValidationField::TRANSPARENT, s.transparent);
                       w.u8(StoredValidationField::SCROLLING, s.scrolling);
                       writeFont(w, StoredValidationField::FONT, s.font);
                       w.text(StoredValidationField::ERROR_TEXT, StoredValidationField::ERROR_LENGTH,
                              s.errorText);
                       w.u16(StoredValidationField::VALIDATION_ID, s.validationId);
                       w.u8(StoredValidationField::CASE_SENSITIVE, s.caseSensitive);
                       w.u8(StoredValidationField::DYNAMIC_GROW, s.dynamicGrow);
                       w.u8(StoredValidationField::PASSWORD, s.password);
                   },
               },
               payload);
}

// ---- tail ----

void appendBytes(std::vector<uint8_t>& out, const void* p, size_t n) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    out.insert(out.end(), b, b + n);
}

void appendText(std::vector<uint8_t>& out, const std::string& s, size_t n) {
    appendBytes(out, s.data(), n);
}

template <typename Record> void appendRecord(std::vector<uint8_t>& out, const Record& r, size_t size) {
    const size_t at = out.size();
    out.resize(at + size);
    r.writeTo(out.data() + at);
}

// A validation field's stored block holds its caption at 4 only.
sMessageDialogBlock validationBlock(const sMessageDialogBlock& b) {
    sMessageDialogBlock s = b;
    s.caption0.clear();
    return s;
}

void appendTail(std::vector<uint8_t>& out, const sAllObjects::Payload& payload) {
    std::visit(overloaded{
                   [](const auto&) {},
                   [&](const NVFrame& f) {
                       for (const NVFrameEvent& e : f.events)
                           appendRecord(out, e, NVFrameEvent::SIZE);
                   },
                   [&](const sPoly& p) {
                       for (const NVPoint& pt : p.points) {
                           uint8_t b[8];
                           rec::writeLe32(b, uint32_t(pt.x));
                           rec::writeLe32(b + 4, uint32_t(pt.y));
                           appendBytes(out, b, sizeof b);
                       }
                   },
                   [&](const StoredTextField& s) {
                       appendText(out, s.rtf, s.rtf.size());
                       appendText(out, s.extra, s.extra.size());
                       appendText(out, s.fileName, size_t(shortLength(s.fileName)));
                   },
                   [&](const StoredInstructionBox& s) { appendText(out, s.rtf, s.rtf.size()); },
                   [&](const StoredHyperLink& s) {
                       for (const NVJumpButtonEvent& e : s.events) {
                           appendRecord(out, e, NVJumpButtonEvent::SIZE);
                           if (!e.dialog) {
                               out.resize(out.size() + sMessageDialogBlock::SIZE, 0);
                               continue;
                           }
                           appendRecord(out, *e.dialog, sMessageDialogBlock::SIZE);
                           appendText(out, e.dialog->caption1, size_t(e.dialog->caption1Length()));
                           appendText(out, e.dialog->caption0, size_t(e.dialog->caption0Length()));
                       }
                   },
                   [&](const StoredValidationField& s) {
                       appendBytes(out, s.validationData.data(), s.validationData.size());
                       if (s.dialog) {
                           const sMessageDialogBlock b = validationBlock(*s.dialog);
                           appendRecord(out, b, sMessageDialogBlock::SIZE);
                           appendText(out, b.caption1, size_t(b.caption1Length()));
                       }
                   },
               },
               payload);
}

// Reads the tail sequentially; every take is checked against what remains.
class TailCursor {
  public:
    TailCursor(const uint8_t* p, size_t size) : m_p(p), m_size(size) {}
    const uint8_t* take(size_t n) {
        if (n > m_size - m_pos)
            return nullptr;
        const uint8_t* p = m_p + m_pos;
        m_pos += n;
        return p;
    }
    bool text(size_t n, std::string& out) {
        const uint8_t* p = take(n);
        if (!p)
            return false;
        out.assign(reinterpret_cast<const char*>(p), n);
        return true;
    }
    // Room for count records of `each` bytes, without overflow.
    bool holds(int64_t count, size_t each) const {
        return count >= 0 && uint64_t(count) <= (m_size - m_pos) / each;
    }
    size_t position() const { return m_pos; }

  private:
    const uint8_t* m_p;
    size_t m_size;
    size_t m_pos = 0;
};

} // namespace

size_t sAllObjects::payloadIndexForKind(int32_t kind) {
    switch (kind) {
    case LINE:
    case RECTANGLE:
    case ROUNDRECT:
    case ELLIPSE:
        return 1;
    case FRAMEOBJECT:
        return 2;
    case POLYLINE:
        return 3;
    case BITMAP:
        return 4;
    case TEXTFIELD:
        return 5;
    case INSTRUCTIONBOX:
        return 6;
    case HYPERLINK:
        return 7;
    case VALIDATIONFIELD:
        return 8;
    default:
        return 0;
    }
}

sAllObjects::Payload sAllObjects::emptyPayloadForKind(int32_t kind) {
    switch (payloadIndexForKind(kind)) {
    case 1:
        return StoredShape{};
    case 2:
        return NVFrame{};
    case 3:
        return sPoly{};
    case 4:
        return StoredBitmap{};
    case 5:
        return StoredTextField{};
    case 6:
        return StoredInstructionBox{};
    case 7:
        return StoredHyperLink{};
    case 8:
        return StoredValidationField{};
    default:
        return std::monostate{};
    }
}

std::array<uint8_t, sAllObjects::SIZE> sAllObjects::toBytes() const {
    std::array<uint8_t, SIZE> b;
    rec::RecordWriter w(b);
    w.u16(RECORD_SIZE, uint16_t(SIZE));
    w.i32(FRAME_INDEX, frameIndex);
    w.i32(KIND, drawingObject);
    w.text(GLOBAL_ID, GLOBAL_ID_LENGTH, globalID);
    w.text(OBJECT_ID, OBJECT_ID_LENGTH, objectID);
    writeKindPart(b.data(), w, payload);
    return b;
}

std::vector<uint8_t> sAllObjects::tailBytes() const {
    std::vector<uint8_t> out;
    appendTail(out, payload);
    return out;
}

size_t sAllObjects::tailLength() const {
    return tailBytes().size();
}

void sAllObjects::appendTo(std::vector<uint8_t>& out) const {
    const auto b = toBytes();
    out.insert(out.end(), b.begin(), b.end());
    appendTail(out, payload);
}

std::optional<sAllObjects> sAllObjects::read(const uint8_t* p, size_t size, size_t& consumed,
                                             const vlm::FileVersion& version) {
    consumed = 0;
    if (!p || size < SIZE)
        return std::nullopt;
    rec::RecordReader r(p, SIZE);
    sAllObjects o;
    o.frameIndex = r.i32(FRAME_INDEX);
    o.drawingObject = r.i32(KIND);
    o.globalID = r.text(GLOBAL_ID, GLOBAL_ID_LENGTH);
    o.objectID = r.text(OBJECT_ID, OBJECT_ID_LENGTH);
    TailCursor tail(p + SIZE, size - SIZE);
    bool ok = true;

    switch (payloadIndexForKind(o.drawingObject)) {
    case 1: {
        StoredShape s;
        s.name = r.text(StoredShape::NAME, StoredShape::NAME_LENGTH);
        s.penStyle = r.i32(StoredShape::PEN_STYLE);
        s.penWidth = r.i32(StoredShape::PEN_WIDTH);
        s.penColor = r.u32(StoredShape::PEN_COLOR);
        s.brushStyle = r.i32(StoredShape::BRUSH_STYLE);
        s.brushColor = r.u32(StoredShape::BRUSH_COLOR);
        s.hatch = r.i32(StoredShape::HATCH);
        s.left = r.i32(StoredShape::LEFT);
        s.top = r.i32(StoredShape::TOP);
        s.right = r.i32(StoredShape::RIGHT);
        s.bottom = r.i32(StoredShape::BOTTOM);
        s.cornerWidth = r.i32(StoredShape::CORNER_WIDTH);
        s.cornerHeight = r.i32(StoredShape::CORNER_HEIGHT);
        s.x = r.i16(StoredShape::X);
        s.y = r.i16(StoredShape::Y);
        s.height = r.i16(StoredShape::HEIGHT);
        s.width = r.i16(StoredShape::WIDTH);
        s.arrow = r.u8(StoredShape::ARROW);
        s.fillMode = r.u8(StoredShape::FILL_MODE);
        s.fillPattern = r.u8(StoredShape::FILL_PATTERN);
        s.styleByte = r.u8(StoredShape::STYLE_BYTE);
        s.widthShort = r.i16(StoredShape::WIDTH_SHORT);
        o.payload = std::move(s);
        break;
    }
    case 2: {
        int32_t count = 0;
        NVFrame f = NVFrame::fromBytes(p + KIND_PART, count);
        ok = tail.holds(count, NVFrameEvent::SIZE);
        for (int32_t i = 0; ok && i < count; ++i)
            f.events.push_back(NVFrameEvent::fromBytes(tail.take(NVFrameEvent::SIZE)));
        o.payload = std::move(f);
        break;
    }
    case 3: {
        int32_t count = 0;
        sPoly s = sPoly::fromBytes(p + KIND_PART, count);
        ok = tail.holds(count, 8);
        for (int32_t i = 0; ok && i < count; ++i) {
            const uint8_t* pt = tail.take(8);
            s.points.push_back(NVPoint{int32_t(rec::readLe32(pt)), int32_t(rec::readLe32(pt + 4))});
        }
        o.payload = std::move(s);
        break;
    }
    case 4: {
        StoredBitmap s;
        s.control = readControl(r);
        s.stretch = r.u8(StoredBitmap::STRETCH);
        s.align = r.u8(StoredBitmap::ALIGN);
        s.imageId = r.u32(StoredBitmap::IMAGE_ID);
        o.payload = std::move(s);
        break;
    }
    case 5: {
        StoredTextField s;
        s.control = readControl(r);
        s.transparent = r.u8(StoredTextField::TRANSPARENT);
        s.scrolling = r.u8(StoredTextField::SCROLLING);
        s.font = readFont(r, StoredTextField::FONT);
        const int16_t nameLength = r.i16(StoredTextField::FILE_NAME_LENGTH);
        ok = tail.text(r.u32(StoredTextField::RTF_LENGTH), s.rtf) &&
             tail.text(r.u32(StoredTextField::EXTRA_LENGTH), s.extra) && nameLength >= 0 &&
             tail.text(size_t(nameLength), s.fileName);
        o.payload = std::move(s);
        break;
    }
    case 6: {
        StoredInstructionBox s;
        s.control = readControl(r);
        s.caption = r.text(StoredInstructionBox::CAPTION, StoredInstructionBox::CAPTION_LENGTH);
        s.scrolling = r.u8(StoredInstructionBox::SCROLLING);
        s.font = readFont(r, StoredInstructionBox::FONT);
        s.titleBar = r.u8(StoredInstructionBox::TITLE_BAR);
        ok = tail.text(r.u32(StoredInstructionBox::RTF_LENGTH), s.rtf);
        o.payload = std::move(s);
        break;
    }
    case 7: {
        StoredHyperLink s;
        s.control = readControl(r);
        s.caption = r.text(StoredHyperLink::CAPTION, StoredHyperLink::CAPTION_LENGTH);
        s.buttonStyle = r.u8(StoredHyperLink::BUTTON_STYLE);
        s.align = r.u8(StoredHyperLink::ALIGN);
        s.transparent = r.u8(StoredHyperLink::TRANSPARENT);
        s.font = readFont(r, StoredHyperLink::FONT);
        s.clickedImageId = r.u32(StoredHyperLink::CLICKED_IMAGE_ID);
        s.eventMask = r.i16(StoredHyperLink::EVENT_MASK);
        s.mouseOverImageId = r.u32(StoredHyperLink::MOUSE_OVER_IMAGE_ID);
        r.bytes(StoredHyperLink::UNSET, s.unset.data(), s.unset.size());
        const int32_t count = r.i32(StoredHyperLink::EVENT_COUNT);
        ok = tail.holds(count, NVJumpButtonEvent::SIZE + sMessageDialogBlock::SIZE);
        for (int32_t i = 0; ok && i < count; ++i) {
            // Captions read so far may have used the room the count check saw.
            const uint8_t* event = tail.take(NVJumpButtonEvent::SIZE);
            const uint8_t* block = event ? tail.take(sMessageDialogBlock::SIZE) : nullptr;
            if (!block) {
                ok = false;
                break;
            }
            bool hasDialog = false;
            NVJumpButtonEvent e = NVJumpButtonEvent::fromBytes(event, hasDialog);
            if (hasDialog) {
                sMessageDialogBlock d = sMessageDialogBlock::fromBytes(block);
                int16_t length0 = 0, length1 = 0;
                sMessageDialogBlock::captionLengths(block, length0, length1);
                ok = length0 >= 0 && length1 >= 0 && tail.text(size_t(length1), d.caption1) &&
                     tail.text(size_t(length0), d.caption0);
                e.dialog = std::move(d);
            }
            s.events.push_back(std::move(e));
        }
        o.payload = std::move(s);
        break;
    }
    case 8: {
        StoredValidationField s;
        s.control = readControl(r);
        s.validationNumber = r.u16(StoredValidationField::VALIDATION_NUMBER);
        s.dialogLength = r.i16(StoredValidationField::DIALOG_LENGTH);
        s.align = r.u8(StoredValidationField::ALIGN);
        s.transparent = r.u8(StoredValidationField::TRANSPARENT);
        s.scrolling = r.u8(StoredValidationField::SCROLLING);
        s.font = readFont(r, StoredValidationField::FONT);
        s.errorText = r.text(StoredValidationField::ERROR_TEXT, StoredValidationField::ERROR_LENGTH);
        s.validationId = r.u16(StoredValidationField::VALIDATION_ID);
        s.caseSensitive = r.u8(StoredValidationField::CASE_SENSITIVE);
        s.dynamicGrow = r.u8(StoredValidationField::DYNAMIC_GROW);
        s.password = r.u8(StoredValidationField::PASSWORD);
        if (version.hasLegacyValidationTails()) {
            const uint32_t n = r.u32(StoredValidationField::LEGACY_COUNT);
            ok = tail.holds(n, 4) && tail.take(size_t(n) * 4) &&
                 tail.holds(n, StoredValidationField::LEGACY_EVENT_SIZE) &&
                 tail.take(size_t(n) * StoredValidationField::LEGACY_EVENT_SIZE);
            s.dialogLength = sValidationField::DIALOG_BLOCK_ONLY;
            o.payload = std::move(s);
            break;
        }
        const uint32_t dataLength = r.u32(StoredValidationField::DATA_LENGTH);
        const uint8_t* data = tail.take(dataLength);
        ok = data != nullptr;
        if (ok)
            s.validationData.assign(data, data + dataLength);
        if (ok && r.u32(StoredValidationField::DIALOG_REF) != 0) {
            const uint8_t* block = tail.take(sMessageDialogBlock::SIZE);
            ok = block != nullptr;
            if (ok) {
                sMessageDialogBlock d = sMessageDialogBlock::fromBytes(block);
                int16_t length0 = 0, length1 = 0;
                sMessageDialogBlock::captionLengths(block, length0, length1);
                ok = length1 >= 0 && tail.text(size_t(length1), d.caption1);
                s.dialog = std::move(d);
            }
        }
        o.payload = std::move(s);
        break;
    }
    default:
        break;
    }
    if (!ok)
        return std::nullopt;
    consumed = SIZE + tail.position();
    return o;
}

bool sAllObjects::operator==(const sAllObjects& o) const {
    return toBytes() == o.toBytes() && tailBytes() == o.tailBytes();
}
