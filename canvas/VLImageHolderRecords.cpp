// Conversion between the holder's per-frame records and the stored records
// of the output file, the reset of the per-frame store, and the write-back of
// the live objects before making.
#include "canvas/VLImageHolder.h"

#include "canvas/DrawTools.h"
#include "canvas/HolderObjectFactory.h"
#include "canvas/VelmoraView.h"
#include "properties/EditPropertyBox.h"
#include "store/DatRecords.h"

#include <QComboBox>

#include <algorithm>
#include <climits>

void VLImageHolder::getNoFramesOnFileOpen(int frames) {
    if (frames <= 0) {
        vLastObjectNumber.clear();
        setCurrentCounters(sLastObjectNumber{});
    } else {
        total_frames = frames;
        vAllObjects.assign(size_t(frames), StrAllObjects{});
        vLastObjectNumber.assign(size_t(frames), sLastObjectNumber{});
        m_kept.assign(size_t(frames), {});
        current_frame = -1;
    }
    if (!vObjectList.empty()) {
        for (DrawTools* object : vObjectList)
            if (object && isaControl(object->drawingObject))
                object->hide();
        EditPropertyBox* box = view ? view->_get_editprop_box() : nullptr;
        if (box && box->objectChooser)
            box->objectChooser->clear();
        emit signalDisableUndo();
        // The objects are gone for good: nothing can bring them back.
        destroyLiveObjects();
        clearUndo();
        drawContents();
    }
    vSelectedObjectIndex.clear();
    if (frames <= 0) {
        vAllObjects.clear();
        m_kept.clear();
        total_frames = 0;
        current_frame = -1;
    }
}

void VLImageHolder::updateObjects() {
    if (current_frame < 0 || size_t(current_frame) >= vAllObjects.size())
        return;
    auto& records = vAllObjects[size_t(current_frame)].AllObjects;
    for (size_t i = 0; i < vObjectList.size(); ++i) {
        DrawTools* object = vObjectList[i];
        if (!object)
            continue;
        draw_tool = object;
        if (records.size() <= i)
            records.resize(i + 1);
        object->getAllObjectStructure(&records[i]);
        records[i].drawingObject = object->drawingObject;
        records[i].recordSize = NVAllObjects::STORED_SIZE;
    }
    if (size_t(current_frame) < vLastObjectNumber.size())
        vLastObjectNumber[size_t(current_frame)] = currentCounters();
}

int VLImageHolder::objectIdNumber(const std::string& objectID) {
    // Bounded so that a raised counter still fits "%s%d" in an object ID.
    constexpr long long kMax = 999999999;
    long long n = 0;
    bool any = false;
    for (size_t i = 0; i < objectID.size() && i < 10; ++i) {
        const char c = objectID[i];
        if (c == '\0')
            break;
        if (c < '0' || c > '9')
            continue;
        any = true;
        n = std::min(kMax, n * 10 + (c - '0'));
    }
    return any ? int(n) : 0;
}

void VLImageHolder::convertIntoSAllObject(std::vector<sAllObjects>& out, int frame) {
    if (frame < 0 || size_t(frame) >= vAllObjects.size())
        return;
    ensureKeptSize();
    if (vAllObjects[size_t(frame)].AllObjects.empty())
        addFrameStructureToList(frame);
    const std::vector<NVAllObjects>& records = vAllObjects[size_t(frame)].AllObjects;
    const std::vector<KeptStoredRecord>& kept = m_kept[size_t(frame)];

    auto head = [frame](sAllObjects& s, int32_t kind, const std::string& objectID) {
        s.frameIndex = frame;
        s.drawingObject = kind;
        s.globalID.clear();
        s.objectID = objectID;
    };
    auto emitKept = [&](size_t position) {
        for (const KeptStoredRecord& k : kept)
            if (k.position == position) {
                sAllObjects s = k.stored;
                head(s, s.drawingObject, s.objectID);
                out.push_back(std::move(s));
                return true;
            }
        return false;
    };

    size_t position = 0;
    for (const NVAllObjects& record : records) {
        while (emitKept(position))
            ++position;
        sAllObjects s;
        bool stored = true;
        switch (record.drawingObject) {
        case FRAMEOBJECT:
            s.payload = record.get<NVFrame>() ? *record.get<NVFrame>() : NVFrame{};
            break;
        default:
            // The click target, and kinds without a stored form, are not stored.
            if (const HolderKindMakers* m = HolderObjectFactory::current().makersOf(record.drawingObject))
                stored = m->toStored(record, s);
            else
                stored = false;
            break;
        }
        if (!stored)
            continue;
        head(s, record.drawingObject, record.objectID);
        out.push_back(std::move(s));
        ++position;
    }
    // Kept records whose place lies past the live ones.
    std::vector<const KeptStoredRecord*> rest;
    for (const KeptStoredRecord& k : kept)
        if (k.position >= position)
            rest.push_back(&k);
    std::sort(rest.begin(), rest.end(),
              [](const KeptStoredRecord* a, const KeptStoredRecord* b) { return a->position < b->position; });
    for (const KeptStoredRecord* k : rest) {
        sAllObjects s = k->stored;
        head(s, s.drawingObject, s.objectID);
        out.push_back(std::move(s));
    }
}

void VLImageHolder::convertFromSAllObject(std::vector<sAllObjects>& in, int frame) {
    if (frame < 0 || size_t(frame) >= vAllObjects.size())
        return;
    ensureKeptSize();
    vLastObjectNumber.resize(vAllObjects.size());
    sLastObjectNumber& counters = vLastObjectNumber[size_t(frame)];
    auto& records = vAllObjects[size_t(frame)].AllObjects;
    auto& kept = m_kept[size_t(frame)];
    auto putFrameRecordFirst = [&](NVAllObjects record) {
        if (!records.empty() && records.front().drawingObject == FRAMEOBJECT) {
            records.front() = std::move(record);
            return;
        }
        // Records read before the frame record stay behind it.
        records.insert(records.begin(), std::move(record));
        for (KeptStoredRecord& k : kept)
            ++k.position;
    };

    for (const sAllObjects& s : in) {
        const int32_t kind = s.drawingObject;
        NVAllObjects record;
        if (kind == FRAMEOBJECT) {
            const NVFrame* f = s.get<NVFrame>();
            if (!f)
                continue;
            NVFrame frameRecord = *f;
            const SPlayBackFrameInfo* p = playbackRecord(frame);
            if (p && !p->name().empty())
                frameRecord.m_Caption = p->name();
            record.payload = std::move(frameRecord);
        } else if (const HolderKindMakers* m = HolderObjectFactory::current().makersOf(kind)) {
            if (!m->fromStored(s, record))
                continue;
        } else if (kind == MOUSECLICK || kind == SELECTION) {
            continue; // never stored
        } else {
            kept.push_back(KeptStoredRecord{records.size() + kept.size(), s});
        }
        // Counters restore from the highest number of each kind, so that new
        // objects never repeat a name.
        if (int32_t* counter = savedCounterOfKind(counters, kind))
            *counter = std::max(*counter, int32_t(objectIdNumber(s.objectID)));
        if (!hasObjectClass(kind))
            continue;
        record.drawingObject = kind;
        record.recordSize = NVAllObjects::STORED_SIZE;
        record.objectID = s.objectID;
        record.frameIndex = 0;
        record.globalID.clear();
        if (kind == FRAMEOBJECT)
            putFrameRecordFirst(std::move(record));
        else
            records.push_back(std::move(record));
    }
    // Every frame with records begins with its frame record.
    if ((!records.empty() || !kept.empty()) &&
        (records.empty() || records.front().drawingObject != FRAMEOBJECT))
        putFrameRecordFirst(frameStructure(frame));
}

bool VLImageHolder::getVectorRef(std::vector<sAllObjects>& records, int frame) {
    vStoredObjects.clear();
    if (frame < 0 || size_t(frame) >= vAllObjects.size()) {
        records.clear();
        return false;
    }
    convertIntoSAllObject(vStoredObjects, frame);
    records = vStoredObjects;
    return true;
}

bool VLImageHolder::setVectorRef(std::vector<sAllObjects>& records, int frame) {
    vStoredObjects = records;
    if (frame < 0 || size_t(frame) >= vAllObjects.size())
        return false;
    convertFromSAllObject(vStoredObjects, frame);
    return true;
}
