#include "store/CValidationData.h"

#include "store/RecordIO.h"

#include <algorithm>
#include <cstring>
#include <tuple>

namespace {

constexpr size_t kMaxCaption = 32767; // the length field is a signed 16-bit word

size_t keyLength(const sValidationKey& k) {
    size_t n = sValidationKey::SIZE + sValidationKeyEvent::SIZE;
    if (k.event)
        n += size_t(k.event->captionLength());
    return n;
}

} // namespace

int16_t sValidationKeyEvent::captionLength() const {
    return int16_t(std::min(caption.size(), kMaxCaption));
}

void sValidationKeyEvent::writeTo(uint8_t* p) const {
    rec::RecordWriter w(p, SIZE);
    w.text(MESSAGE, MESSAGE_LENGTH, message);
    w.u32(IMAGE_ID, imageId);
    w.u32(WORD_264, word264);
    w.u32(WORD_268, word268);
    w.u32(CAPTION_REF, caption.empty() ? 0 : 1);
    w.i16(CAPTION_LENGTH, captionLength());
    w.u32(ICON_ID, iconId);
}

sValidationKeyEvent sValidationKeyEvent::fromBytes(const uint8_t* p) {
    rec::RecordReader r(p, SIZE);
    sValidationKeyEvent e;
    e.message = r.text(MESSAGE, MESSAGE_LENGTH);
    e.imageId = r.u32(IMAGE_ID);
    e.word264 = r.u32(WORD_264);
    e.word268 = r.u32(WORD_268);
    e.iconId = r.u32(ICON_ID);
    return e;
}

bool sValidationKeyEvent::operator==(const sValidationKeyEvent& o) const {
    return std::tie(message, imageId, word264, word268, caption, iconId) ==
           std::tie(o.message, o.imageId, o.word264, o.word268, o.caption, o.iconId);
}

uint32_t CValidationData::GetValidationDataLength(const SMultiString& strings) const {
    size_t n = 0;
    for (const auto& s : strings.list) {
        n += HEAD_SIZE;
        for (const auto& k : s.keys)
            n += keyLength(k);
    }
    return uint32_t(n);
}

bool CValidationData::GetValidationData(uint8_t* dest, const SMultiString& strings, size_t) const {
    const uint32_t total = GetValidationDataLength(strings);
    if (!dest || total == 0)
        return false;
    std::memset(dest, 0, total);
    uint8_t* p = dest;
    for (const auto& s : strings.list) {
        rec::RecordWriter head(p, HEAD_SIZE);
        head.text(HEAD_TEXT, sMultiValidationString::TEXT_LENGTH, s.text);
        head.u32(HEAD_KEY_COUNT, uint32_t(s.keys.size()));
        head.u8(HEAD_FLAG, s.flag);
        p += HEAD_SIZE;
        for (const auto& k : s.keys) {
            rec::RecordWriter key(p, sValidationKey::SIZE);
            key.u32(sValidationKey::KEY, k.uiValidationKey);
            key.u32(sValidationKey::EVENT_REF, k.event ? 1 : 0);
            key.i32(sValidationKey::EVENT_SIZE, k.nEventSize());
            p += sValidationKey::SIZE;
            if (k.event)
                k.event->writeTo(p);
            p += sValidationKeyEvent::SIZE;
            if (k.event) {
                const size_t n = size_t(k.event->captionLength());
                if (n)
                    std::memcpy(p, k.event->caption.data(), n);
                p += n;
            }
        }
    }
    return true;
}

std::vector<uint8_t> CValidationData::pack(const SMultiString& strings) const {
    std::vector<uint8_t> out(GetValidationDataLength(strings));
    if (!out.empty())
        GetValidationData(out.data(), strings);
    return out;
}

bool CValidationData::GetValidationDataArray(const uint8_t* src, size_t length, SMultiString& strings) const {
    if (!src || length == 0)
        return false;
    SMultiString result;
    size_t pos = 0;
    while (length - pos >= HEAD_SIZE) {
        rec::RecordReader head(src + pos, HEAD_SIZE);
        sMultiValidationString s;
        s.text = head.text(HEAD_TEXT, sMultiValidationString::TEXT_LENGTH);
        const uint32_t keyCount = head.u32(HEAD_KEY_COUNT);
        s.flag = head.u8(HEAD_FLAG);
        pos += HEAD_SIZE;
        // Every key takes at least 336 bytes: a count the block cannot hold is refused.
        if (keyCount > (length - pos) / (sValidationKey::SIZE + sValidationKeyEvent::SIZE))
            return false;
        s.nKeyCount = int32_t(keyCount);
        for (uint32_t i = 0; i < keyCount; ++i) {
            if (length - pos < sValidationKey::SIZE + sValidationKeyEvent::SIZE)
                return false;
            rec::RecordReader key(src + pos, sValidationKey::SIZE);
            sValidationKey k;
            k.uiValidationKey = key.u32(sValidationKey::KEY);
            const int32_t eventSize = key.i32(sValidationKey::EVENT_SIZE);
            pos += sValidationKey::SIZE;
            if (eventSize != 0) {
                sValidationKeyEvent e = sValidationKeyEvent::fromBytes(src + pos);
                const int16_t captionLength =
                    int16_t(rec::readLe16(src + pos + sValidationKeyEvent::CAPTION_LENGTH));
                pos += sValidationKeyEvent::SIZE;
                if (captionLength < 0 || size_t(captionLength) > length - pos)
                    return false;
                e.caption.assign(reinterpret_cast<const char*>(src + pos), size_t(captionLength));
                pos += size_t(captionLength);
                k.event = std::move(e);
            } else {
                pos += sValidationKeyEvent::SIZE;
            }
            s.keys.push_back(std::move(k));
        }
        result.list.push_back(std::move(s));
    }
    strings = std::move(result);
    return true;
}
