// The holder's per-frame object records and the frame change: records follow
// every change of the frame row, and entering a frame turns its records into
// live objects.
#include "canvas/VLImageHolder.h"

#include "canvas/DrawTools.h"
#include "canvas/HolderObjectFactory.h"
#include "canvas/VelmoraView.h"
#include "canvas/records/StoredText.h"
#include "properties/EditPropertyBox.h"
#include "store/CValidationData.h"
#include "store/DatRecords.h"

#include <QComboBox>
#include <QLoggingCategory>
#include <QMetaMethod>
#include <QTabWidget>

#include <algorithm>
#include <cstdio>

namespace {
Q_LOGGING_CATEGORY(lcFrames, "velmora.canvas.frames", QtWarningMsg)

NVAllObjects frameHead(NVAllObjects record) {
    record.drawingObject = FRAMEOBJECT;
    record.objectID = FRAME_OBJECT_ID;
    record.recordSize = NVAllObjects::STORED_SIZE;
    return record;
}

bool validIndex(size_t size, int index) {
    return index >= 0 && size_t(index) < size;
}
} // namespace

// ---------------------------------------------------------------- services

std::vector<SPlayBackFrameInfo>* VLImageHolder::playbackRecords() const {
    if (m_playback)
        return m_playback;
    const HolderObjectFactory& f = HolderObjectFactory::current();
    return f.playbackRecords ? f.playbackRecords() : nullptr;
}

const SPlayBackFrameInfo* VLImageHolder::playbackRecord(int frame) const {
    const std::vector<SPlayBackFrameInfo>* table = playbackRecords();
    if (!table || !validIndex(table->size(), frame))
        return nullptr;
    return &(*table)[size_t(frame)];
}

bool VLImageHolder::hasObjectClass(int kind) {
    if (HolderObjectFactory::current().makersOf(kind))
        return true;
    switch (kind) {
    // Frame records are the canvas's own; without a class they only make no live object.
    case FRAMEOBJECT:
    case MOUSECLICK:
        return true;
    default:
        return false;
    }
}

bool VLImageHolder::isaControl(int kind) {
    return kind == VALIDATIONFIELD || kind == INSTRUCTIONBOX || kind == TEXTFIELD || kind == BITMAP;
}

NVFrame* VLImageHolder::frameRecord(int frame) {
    if (!validIndex(vAllObjects.size(), frame) || vAllObjects[size_t(frame)].AllObjects.empty())
        return nullptr;
    return vAllObjects[size_t(frame)].AllObjects[0].get<NVFrame>();
}

const NVFrame* VLImageHolder::frameRecord(int frame) const {
    if (!validIndex(vAllObjects.size(), frame) || vAllObjects[size_t(frame)].AllObjects.empty())
        return nullptr;
    return vAllObjects[size_t(frame)].AllObjects[0].get<NVFrame>();
}

const std::vector<KeptStoredRecord>& VLImageHolder::keptRecords(int frame) const {
    static const std::vector<KeptStoredRecord> none;
    return validIndex(m_kept.size(), frame) ? m_kept[size_t(frame)] : none;
}

void VLImageHolder::ensureKeptSize() {
    m_kept.resize(vAllObjects.size());
}

int* VLImageHolder::counterOfKind(int kind) {
    switch (kind) {
    case LINE:
        return &numLines;
    case RECTANGLE:
        return &numRects;
    case ROUNDRECT:
        return &numRoundRects;
    case ELLIPSE:
        return &numEllipses;
    case HYPERLINK:
        return &numHyperlinks;
    case POLYLINE:
        return &numPolylines;
    case VALIDATIONFIELD:
        return &numValidationFields;
    case INSTRUCTIONBOX:
        return &numInstructionBoxes;
    case TEXTFIELD:
        return &numTextFields;
    case BITMAP:
        return &numBitmapObjects;
    default:
        return nullptr;
    }
}

int32_t* VLImageHolder::savedCounterOfKind(sLastObjectNumber& c, int kind) {
    switch (kind) {
    case LINE:
        return &c.numLines;
    case RECTANGLE:
        return &c.numRects;
    case ROUNDRECT:
        return &c.numRoundRects;
    case ELLIPSE:
        return &c.numEllipses;
    case HYPERLINK:
        return &c.numHyperlinks;
    case POLYLINE:
        return &c.numPolylines;
    case VALIDATIONFIELD:
        return &c.numValidationFields;
    case INSTRUCTIONBOX:
        return &c.numInstructionBoxes;
    case TEXTFIELD:
        return &c.numTextFields;
    case BITMAP:
        return &c.numBitmapObjects;
    default:
        return nullptr;
    }
}

sLastObjectNumber VLImageHolder::currentCounters() {
    sLastObjectNumber c;
    c.numLines = numLines;
    c.numRects = numRects;
    c.numRoundRects = numRoundRects;
    c.numEllipses = numEllipses;
    c.numHyperlinks = numHyperlinks;
    c.numPolylines = numPolylines;
    c.numValidationFields = numValidationFields;
    c.numInstructionBoxes = numInstructionBoxes;
    c.numTextFields = numTextFields;
    c.numBitmapObjects = numBitmapObjects;
    return c;
}

void VLImageHolder::setCurrentCounters(const sLastObjectNumber& c) {
    numLines = c.numLines;
    numRects = c.numRects;
    numRoundRects = c.numRoundRects;
    numEllipses = c.numEllipses;
    numHyperlinks = c.numHyperlinks;
    numPolylines = c.numPolylines;
    numValidationFields = c.numValidationFields;
    numInstructionBoxes = c.numInstructionBoxes;
    numTextFields = c.numTextFields;
    numBitmapObjects = c.numBitmapObjects;
}

// ---------------------------------------------------------------- live objects

void VLImageHolder::storeLiveObjects() {
    if (validIndex(vAllObjects.size(), current_frame)) {
        auto& records = vAllObjects[size_t(current_frame)].AllObjects;
        for (size_t i = 0; i < vObjectList.size(); ++i) {
            DrawTools* object = vObjectList[i];
            if (!object)
                continue;
            draw_tool = object;
            if (object->drawingObject != MOUSECLICK) {
                if (records.size() <= i)
                    records.resize(i + 1);
                object->getAllObjectStructure(&records[i]);
                records[i].drawingObject = object->drawingObject;
                records[i].recordSize = NVAllObjects::STORED_SIZE;
            }
        }
        auto click = std::find_if(records.begin(), records.end(),
                                  [](const NVAllObjects& r) { return r.drawingObject == MOUSECLICK; });
        if (click != records.end())
            records.erase(click);
    }
    destroyLiveObjects();
}

void VLImageHolder::destroyLiveObjects() {
    std::vector<DrawTools*> objects;
    objects.swap(vObjectList);
    draw_tool = nullptr;
    vSelectedObjectIndex.clear();
    for (DrawTools* object : objects)
        delete object;
}

void VLImageHolder::clearUndo() {
    while (!stRemovedObjects.empty()) {
        DrawTools* removed = stRemovedObjects.top();
        stRemovedObjects.pop();
        if (std::find(vObjectList.begin(), vObjectList.end(), removed) == vObjectList.end())
            delete removed;
    }
    stActionCounts = {};
    stGeometryCounts = {};
    stObjectIndexes = {};
    stUndoCodes = {};
    stRects = {};
    stPointArrays = {};
    stFrameRanges = {};
}

void VLImageHolder::connectObject(DrawTools* object) {
    connectEditObject(object);
    EditPropertyBox* box = view ? view->_get_editprop_box() : nullptr;
    if (!box || !box->tabWidget)
        return;
    if (object->drawingObject == FRAMEOBJECT || object->drawingObject == HYPERLINK ||
        object->drawingObject == VALIDATIONFIELD) {
        QTabWidget* tabs = box->tabWidget;
        connect(tabs, &QTabWidget::currentChanged, object,
                [object, tabs](int index) { object->slotEnterEventItems(tabs->widget(index)); });
    }
}

void VLImageHolder::connectEditObject(DrawTools* object) {
    // The widget kinds' classes build on the canvas: their signals are found
    // by name. The bitmap declares its selected signal under a name of its own.
    if (!object)
        return;
    const QMetaObject* kind = object->metaObject();
    const QMetaObject* self = metaObject();
    int selected = kind->indexOfSignal("signal_selected_edit_object(DrawTools*)");
    if (selected < 0)
        selected = kind->indexOfSignal("signalSelectedEditObject(DrawTools*)");
    const int moved = kind->indexOfSignal("signalMovedEditObject(QRect)");
    if (selected >= 0)
        connect(object, kind->method(selected), this,
                self->method(self->indexOfSlot("slot_selected_edit_object(DrawTools*)")),
                Qt::UniqueConnection);
    if (moved >= 0)
        connect(object, kind->method(moved), this,
                self->method(self->indexOfSlot("slotMovedEditObject(QRect)")), Qt::UniqueConnection);
}

void VLImageHolder::refillChooser() {
    EditPropertyBox* box = view ? view->_get_editprop_box() : nullptr;
    QComboBox* chooser = box ? box->objectChooser : nullptr;
    const QSignalBlocker blocker(chooser);
    if (chooser)
        chooser->clear();
    for (DrawTools* object : vObjectList) {
        if (!object)
            continue;
        draw_tool = object;
        if (chooser)
            chooser->addItem(QString::fromLatin1(object->getObjectName()));
        if (isaControl(object->drawingObject))
            object->show();
    }
}

void VLImageHolder::createObjects(int frame) {
    if (!validIndex(vAllObjects.size(), frame))
        return;
    // Copies: constructors may add to the frame's list (chooser names only),
    // never to the records themselves.
    const std::vector<NVAllObjects> records = vAllObjects[size_t(frame)].AllObjects;
    for (const NVAllObjects& record : records) {
        DrawTools* object = nullptr;
        const int kind = record.drawingObject;
        const HolderObjectFactory& f = HolderObjectFactory::current();
        switch (kind) {
        case FRAMEOBJECT:
            if (const NVFrame* p = record.get<NVFrame>(); p && f.makesFrameObjects())
                object = f.frameObjectOfRecord(this, *p);
            break;
        case MOUSECLICK:
            if (const sMouseClick* p = record.get<sMouseClick>(); p && f.clickTarget) {
                const SRect r{p->x, p->y, p->x + p->width, p->y + p->height};
                object = f.clickTarget(this, r, frame);
            }
            break;
        default:
            if (const HolderKindMakers* m = f.makersOf(kind))
                object = m->ofRecord(this, record);
            break;
        }
        if (!object) {
            // Kept in the list so that records and live objects stay index-aligned.
            object = new DrawTools(nullptr, "unmade");
        }
        if (kind == FRAMEOBJECT) {
            std::snprintf(newObjectID, sizeof newObjectID, "%s", FRAME_OBJECT_ID);
        } else if (const int* counter = counterOfKind(kind)) {
            std::snprintf(newObjectID, sizeof newObjectID, "%s%d", objectIdLetter(kind, false), *counter);
        } else {
            newObjectID[0] = '\0';
        }
        if (kind != MOUSECLICK)
            object->setObjectID(newObjectID);
        object->drawingObject = kind;
        draw_tool = object;
        connectObject(object);
        vObjectList.push_back(object);
    }
    if (vObjectList.size() > 1)
        emit signalEnableSelectAll();
}

void VLImageHolder::addClickTarget(int frame) {
    const SPlayBackFrameInfo* p = playbackRecord(frame);
    if (!p || p->vType != VALIDATION_MOUSE)
        return;
    const SRect r = p->clickRect;
    if (r.right == r.left || r.bottom == r.top)
        return;
    if (!validIndex(vAllObjects.size(), frame) || !HolderObjectFactory::current().clickTarget)
        return;
    DrawTools* target = HolderObjectFactory::current().clickTarget(this, r, frame);
    target->drawingObject = MOUSECLICK;
    draw_tool = target;
    NVAllObjects record;
    target->getAllObjectStructure(&record);
    record.drawingObject = MOUSECLICK;
    record.recordSize = NVAllObjects::STORED_SIZE;
    vAllObjects[size_t(frame)].AllObjects.push_back(std::move(record));
    vObjectList.push_back(target);
}

void VLImageHolder::enterCurrentFrame(bool withClickTarget) {
    if (!validIndex(vAllObjects.size(), current_frame))
        return;
    if (validIndex(vLastObjectNumber.size(), current_frame))
        setCurrentCounters(vLastObjectNumber[size_t(current_frame)]);
    if (vAllObjects[size_t(current_frame)].AllObjects.empty())
        addFrameStructureToList(current_frame);
    createObjects(current_frame);
    if (withClickTarget)
        addClickTarget(current_frame);
    refillChooser();
    drawContents();
}

void VLImageHolder::slot_get_current_frame(int frame) {
    qCDebug(lcFrames, "Frame change started");
    if (current_frame >= 0) {
        // The leaving frame's counters go with it.
        if (validIndex(vLastObjectNumber.size(), current_frame))
            vLastObjectNumber[size_t(current_frame)] = currentCounters();
        storeLiveObjects();
        EditPropertyBox* box = view ? view->_get_editprop_box() : nullptr;
        if (box && box->isVisible()) {
            box->hide();
            if (box->objectChooser)
                box->objectChooser->clear();
        }
    }
    const int previous = current_frame;
    // A frame beyond the store is no frame.
    current_frame = validIndex(vAllObjects.size(), frame) ? frame : -1;
    destroyLiveObjects();
    clearUndo();
    emit signal_select_region();
    sqpPos = QPoint(0, 0);
    snCountPaste = 0;
    objectSelection = false;
    emit signalDisableUndo();
    emit signalDisableCutCopy();
    if (current_frame >= 0 && previous >= 0) {
        enterCurrentFrame(true);
    } else if (current_frame == 0 && previous == -1) {
        // First frame after a reset: its click target, if any, is among its records.
        enterCurrentFrame(false);
    } else {
        refillChooser();
    }
    qCDebug(lcFrames, "Frame change end");
}

void VLImageHolder::copyObjects(const StrAllObjects& source, StrAllObjects& destination,
                                int destinationFrame) {
    for (const NVAllObjects& from : source.AllObjects) {
        if (from.drawingObject == MOUSECLICK)
            continue;             // lives only while its frame is shown
        NVAllObjects copy = from; // records own their data: the copy shares nothing
        switch (from.drawingObject) {
        case FRAMEOBJECT:
            if (NVFrame* f = copy.get<NVFrame>()) {
                const SPlayBackFrameInfo* p = playbackRecord(destinationFrame);
                if (p)
                    f->m_Caption = p->name();
                if (f->audioId)
                    emit signalAddIDOnCopy(f->audioId);
            }
            break;
        case BITMAP:
            if (const sBitmapObject* b = copy.get<sBitmapObject>(); b && b->imageId)
                emit signalAddIDOnCopy(b->imageId);
            break;
        case VALIDATIONFIELD:
            if (sValidationField* v = copy.get<sValidationField>()) {
                changeValidationData(*v, &from);
                for (uint32_t id : resourceIdsOf(copy))
                    emit signalAddIDOnCopy(id);
            }
            break;
        case HYPERLINK:
            if (sHyperLink* h = copy.get<sHyperLink>()) {
                if (h->clickedImageId)
                    emit signalAddIDOnCopy(h->clickedImageId);
                if (h->mouseOverImageId)
                    emit signalAddIDOnCopy(h->mouseOverImageId);
                for (size_t e = 0; e < h->events.size(); ++e) {
                    sHyperLinkEvent& ev = h->events[e];
                    if (e < 4) {
                        if (ev.validationImageId)
                            emit signalAddIDOnCopy(ev.validationImageId);
                        if (ev.validationSoundId)
                            emit signalAddIDOnCopy(ev.validationSoundId);
                        if (ev.validationVideoId)
                            emit signalAddIDOnCopy(ev.validationVideoId);
                    } else {
                        // Events 4 and 5 carry no block of their own.
                        ev.dialog.reset();
                    }
                }
            }
            break;
        default:
            break;
        }
        copy.drawingObject = from.drawingObject;
        copy.recordSize = NVAllObjects::STORED_SIZE;
        copy.objectID = from.objectID;
        destination.AllObjects.push_back(std::move(copy));
    }
}

void VLImageHolder::changeValidationData(sValidationField& destination, const NVAllObjects* source) {
    const sValidationField* from = source ? source->get<sValidationField>() : nullptr;
    if (!from)
        return;
    destination.strings = from->strings; // strings, keys and key events by value
    destination.validationData = from->validationData;
}

int VLImageHolder::getValidationID(int n) const {
    int seen = 0;
    for (size_t i = 1; i < vObjectList.size(); ++i) {
        DrawTools* object = vObjectList[i];
        if (object && object->drawingObject == VALIDATIONFIELD && ++seen == n)
            return object->getObjectID();
    }
    return 0;
}

int VLImageHolder::nextValidationID() const {
    int highest = 0;
    auto take = [&highest](DrawTools* object) {
        if (object && object->drawingObject == VALIDATIONFIELD)
            highest = std::max(highest, object->getObjectID());
    };
    for (size_t i = 1; i < vObjectList.size(); ++i)
        take(vObjectList[i]);
    std::stack<DrawTools*> removed = stRemovedObjects;
    for (; !removed.empty(); removed.pop())
        take(removed.top());
    return highest + 1;
}

void VLImageHolder::assignIDValue(unsigned long id) {
    validationImageID = id;
}

// ---------------------------------------------------------------- frame row

void VLImageHolder::get_no_frames(int frames) {
    storeLiveObjects();
    const size_t n = size_t(std::max(frames, 0));
    total_frames = int(n);
    vAllObjects.assign(n, StrAllObjects{});
    vLastObjectNumber.assign(n, sLastObjectNumber{});
    m_kept.assign(n, {});
    current_frame = -1;
    if (n > 0)
        addFrameStructureToList(0);
}

void VLImageHolder::addFrameObject(bool insert) {
    const int n = int(vAllObjects.size()) + 1;
    ensureKeptSize();
    // The frame object only fills the record; it never joins the live objects.
    const HolderObjectFactory& f = HolderObjectFactory::current();
    const int frameNumber = insert ? current_frame + 1 : n;
    NVAllObjects record = f.makesFrameObjects() ? f.newFrameRecord(this, frameNumber, insert ? 1 : 0)
                                                : frameStructure(frameNumber - 1);
    StrAllObjects list;
    list.AllObjects.push_back(frameHead(std::move(record)));
    if (insert && current_frame >= 0 && size_t(current_frame) <= vAllObjects.size()) {
        vAllObjects.insert(vAllObjects.begin() + current_frame, std::move(list));
        vLastObjectNumber.insert(vLastObjectNumber.begin() + current_frame, sLastObjectNumber{});
        m_kept.insert(m_kept.begin() + current_frame, {});
        ++current_frame;
    } else if (insert) {
        vAllObjects.insert(vAllObjects.begin(), std::move(list));
        vLastObjectNumber.insert(vLastObjectNumber.begin(), sLastObjectNumber{});
        m_kept.insert(m_kept.begin(), {});
    } else {
        vAllObjects.push_back(std::move(list));
        vLastObjectNumber.emplace_back();
        m_kept.emplace_back();
    }
    vLastObjectNumber.resize(vAllObjects.size());
    total_frames = int(vAllObjects.size());
    draw_tool = vObjectList.empty() ? nullptr : vObjectList.back();
}

void VLImageHolder::addObjectsOnPaste(uint32_t source, uint32_t target) {
    ensureKeptSize();
    if (source >= vAllObjects.size())
        return;
    target = std::min<uint32_t>(target, uint32_t(vAllObjects.size()));
    if (current_frame >= 0 && validIndex(vLastObjectNumber.size(), current_frame))
        vLastObjectNumber[size_t(current_frame)] = currentCounters();
    vLastObjectNumber.resize(vAllObjects.size());
    const sLastObjectNumber counters = vLastObjectNumber[source];
    storeLiveObjects();
    StrAllObjects copy;
    for (const NVAllObjects& r : vAllObjects[source].AllObjects)
        qCDebug(lcFrames, "Bef copying strlen(vAllObjects[current_frame].AllObjects[i].objectID) %d %s",
                int(r.objectID.size()), r.objectID.c_str());
    copyObjects(vAllObjects[source], copy, int(target));
    std::vector<KeptStoredRecord> kept = m_kept[source];
    for (const KeptStoredRecord& k : kept)
        announceKeptResources(k.stored);
    vAllObjects.insert(vAllObjects.begin() + target, std::move(copy));
    vLastObjectNumber.insert(vLastObjectNumber.begin() + target, counters);
    m_kept.insert(m_kept.begin() + target, std::move(kept));
    total_frames = int(vAllObjects.size());
    if (current_frame >= 0 && int(target) <= current_frame)
        ++current_frame;
}

void VLImageHolder::changeObjectsOnCutPaste(uint32_t source, uint32_t target) {
    ensureKeptSize();
    if (source >= vAllObjects.size())
        return;
    target = std::min<uint32_t>(target, uint32_t(vAllObjects.size()));
    if (current_frame >= 0 && validIndex(vLastObjectNumber.size(), current_frame))
        vLastObjectNumber[size_t(current_frame)] = currentCounters();
    vLastObjectNumber.resize(vAllObjects.size());
    const sLastObjectNumber counters = vLastObjectNumber[source];
    storeLiveObjects();
    StrAllObjects moved = vAllObjects[source];
    std::vector<KeptStoredRecord> kept = m_kept[source];
    vAllObjects.insert(vAllObjects.begin() + target, std::move(moved));
    vLastObjectNumber.insert(vLastObjectNumber.begin() + target, counters);
    m_kept.insert(m_kept.begin() + target, std::move(kept));
    const size_t removeAt = source < target ? source : source + 1;
    vAllObjects.erase(vAllObjects.begin() + long(removeAt));
    vLastObjectNumber.erase(vLastObjectNumber.begin() + long(removeAt));
    m_kept.erase(m_kept.begin() + long(removeAt));
    total_frames = int(vAllObjects.size());
}

void VLImageHolder::releaseRecordResources(const NVAllObjects& record, const NVAllObjects& frameRecord) {
    if (record.drawingObject == FRAMEOBJECT) {
        if (const NVFrame* f = frameRecord.get<NVFrame>(); f && f->audioId)
            emit signalReduceIDOnDelete(f->audioId);
        return;
    }
    for (uint32_t id : resourceIdsOf(record))
        emit signalReduceIDOnDelete(id);
}

std::vector<uint32_t> VLImageHolder::resourceIdsOf(const NVAllObjects& record) {
    std::vector<uint32_t> ids;
    if (const sHyperLink* h = record.get<sHyperLink>()) {
        ids.push_back(h->clickedImageId);
        ids.push_back(h->mouseOverImageId);
        for (const sHyperLinkEvent& ev : h->events) {
            ids.push_back(ev.validationImageId);
            ids.push_back(ev.validationSoundId);
            ids.push_back(ev.validationVideoId);
        }
    } else if (const sValidationField* v = record.get<sValidationField>()) {
        // The field's own resources, not whichever one a field reported last.
        if (v->dialog) {
            ids.push_back(v->dialog->icon0);
            ids.push_back(v->dialog->icon1);
        }
        for (const sMultiValidationString& string : v->strings.list)
            for (const sValidationKey& key : string.keys)
                if (key.event) {
                    ids.push_back(key.event->imageId);
                    ids.push_back(key.event->iconId);
                }
    } else if (const sBitmapObject* b = record.get<sBitmapObject>()) {
        ids.push_back(b->imageId);
    }
    ids.erase(std::remove(ids.begin(), ids.end(), 0u), ids.end());
    return ids;
}

namespace {
// Resource IDs a stored record names, in the order the purge releases them.
std::vector<uint32_t> storedResourceIds(const sAllObjects& s) {
    std::vector<uint32_t> ids;
    if (const StoredBitmap* b = s.get<StoredBitmap>()) {
        ids.push_back(b->imageId);
    } else if (const StoredHyperLink* h = s.get<StoredHyperLink>()) {
        ids.push_back(h->clickedImageId);
        ids.push_back(h->mouseOverImageId);
        for (const NVJumpButtonEvent& ev : h->events) {
            ids.push_back(ev.validationImageId);
            ids.push_back(ev.validationSoundId);
            ids.push_back(ev.validationVideoId);
        }
    } else if (const StoredValidationField* v = s.get<StoredValidationField>()) {
        if (v->dialog)
            ids.push_back(v->dialog->icon1);
        SMultiString strings;
        if (!v->validationData.empty() && CValidationData().GetValidationDataArray(
                                              v->validationData.data(), v->validationData.size(), strings))
            for (const sMultiValidationString& string : strings.list)
                for (const sValidationKey& key : string.keys)
                    if (key.event) {
                        ids.push_back(key.event->imageId);
                        ids.push_back(key.event->iconId);
                    }
    }
    ids.erase(std::remove(ids.begin(), ids.end(), 0u), ids.end());
    return ids;
}
} // namespace

void VLImageHolder::releaseKeptResources(const sAllObjects& stored) {
    for (uint32_t id : storedResourceIds(stored))
        emit signalReduceIDOnDelete(id);
}

void VLImageHolder::announceKeptResources(const sAllObjects& stored) {
    for (uint32_t id : storedResourceIds(stored))
        emit signalAddIDOnCopy(id);
}

void VLImageHolder::deleteObjectsOnPurge(uint32_t frame) {
    ensureKeptSize();
    if (frame >= vAllObjects.size())
        return;
    if (current_frame >= 0 && validIndex(vLastObjectNumber.size(), current_frame))
        vLastObjectNumber[size_t(current_frame)] = currentCounters();
    // The shown frame's edits are kept when another frame goes.
    const bool purgingShown = current_frame == int(frame);
    if (purgingShown)
        destroyLiveObjects();
    else
        storeLiveObjects();
    clearUndo();
    StrAllObjects& list = vAllObjects[frame];
    std::vector<KeptStoredRecord>& kept = m_kept[frame];
    // From the last record to the first; kept records sit among them by position.
    for (size_t i = list.AllObjects.size() + kept.size(); i-- > 0;) {
        auto k = std::find_if(kept.begin(), kept.end(),
                              [i](const KeptStoredRecord& r) { return r.position == i; });
        if (k != kept.end()) {
            releaseKeptResources(k->stored);
            continue;
        }
        const size_t keptBefore = size_t(std::count_if(
            kept.begin(), kept.end(), [i](const KeptStoredRecord& r) { return r.position < i; }));
        const size_t r = i - keptBefore;
        if (r < list.AllObjects.size())
            releaseRecordResources(list.AllObjects[r], list.AllObjects.front());
    }
    vAllObjects.erase(vAllObjects.begin() + frame);
    if (frame < vLastObjectNumber.size())
        vLastObjectNumber.erase(vLastObjectNumber.begin() + frame);
    m_kept.erase(m_kept.begin() + frame);
    total_frames = int(vAllObjects.size());
    // The frame shown keeps its place in the row, and the canvas its objects.
    if (current_frame > int(frame))
        --current_frame;
    if (current_frame >= int(vAllObjects.size()))
        current_frame = int(vAllObjects.size()) - 1;
    if (current_frame >= 0) {
        enterCurrentFrame(true);
    } else {
        refillChooser();
        drawContents();
    }
}

bool VLImageHolder::frameHasAudioResource(uint32_t frame) {
    if (frame >= vAllObjects.size() || vAllObjects[frame].AllObjects.empty())
        return false;
    const NVFrame* f = vAllObjects[frame].AllObjects.front().get<NVFrame>();
    return f && f->audioId != 0;
}

void VLImageHolder::getMouseActionFrames(std::vector<SPlayBackFrameInfo>& playback) {
    if (playback.empty() || vAllObjects.empty())
        return;
    const SPlayBackFrameInfo& p = playback.front();
    if (p.vType != VALIDATION_MOUSE)
        return;
    const SRect r = p.clickRect;
    if (r.right == r.left || r.bottom == r.top)
        return;
    auto& records = vAllObjects[0].AllObjects;
    // One target per frame, even when asked twice.
    if (std::any_of(records.begin(), records.end(),
                    [](const NVAllObjects& rec) { return rec.drawingObject == MOUSECLICK; }))
        return;
    if (!HolderObjectFactory::current().clickTarget)
        return;
    DrawTools* target = HolderObjectFactory::current().clickTarget(this, r, 0);
    target->drawingObject = MOUSECLICK;
    draw_tool = target;
    NVAllObjects record;
    target->getAllObjectStructure(&record);
    record.drawingObject = MOUSECLICK;
    record.recordSize = NVAllObjects::STORED_SIZE;
    if (records.empty())
        addFrameStructureToList(0);
    records.push_back(std::move(record));
    if (current_frame == 0) {
        vObjectList.push_back(target);
        refillChooser();
    } else {
        // Frame 0 is not shown: the record alone makes the target on entry.
        draw_tool = vObjectList.empty() ? nullptr : vObjectList.back();
        delete target;
    }
}

void VLImageHolder::addFrameStructureToList(int frame) {
    if (frame < 0)
        return;
    if (size_t(frame) >= vAllObjects.size()) {
        vAllObjects.resize(size_t(frame) + 1);
        vLastObjectNumber.resize(vAllObjects.size());
        total_frames = int(vAllObjects.size());
    }
    ensureKeptSize();
    auto& records = vAllObjects[size_t(frame)].AllObjects;
    records.resize(1);
    records[0] = frameStructure(frame);
}

NVAllObjects VLImageHolder::frameStructure(int frame) const {
    NVAllObjects record;
    NVFrame f;
    const SPlayBackFrameInfo* p = playbackRecord(frame);
    const std::string name = p ? p->name() : std::string();
    if (!name.empty()) {
        f.m_Caption = name;
    } else {
        char text[32];
        std::snprintf(text, sizeof text, "%s%d", "Frame ", frame + 1);
        f.m_Caption = text;
    }
    f.foreColor = NVFrame::NO_FORE_COLOR;
    const HolderObjectFactory& factory = HolderObjectFactory::current();
    // The frame object's default back colour (22, 34, 199) until the class says otherwise.
    f.backColor = factory.frameBackColor ? factory.frameBackColor() : NVColor{22, 34, 199}.toColorRef();
    f.events = std::vector<NVFrameEvent>(2);
    record.payload = std::move(f);
    return frameHead(std::move(record));
}

int VLImageHolder::getNumValidationFields() const {
    int n = 0;
    for (size_t i = 1; i < vObjectList.size(); ++i)
        if (vObjectList[i] && vObjectList[i]->drawingObject == VALIDATIONFIELD)
            ++n;
    return n;
}

QString VLImageHolder::getValidationObjName(int n) const {
    int seen = 0;
    for (size_t i = 1; i < vObjectList.size(); ++i) {
        DrawTools* object = vObjectList[i];
        if (object && object->drawingObject == VALIDATIONFIELD && ++seen == n)
            return QString::fromLatin1(object->getObjectName());
    }
    return QString();
}

QString VLImageHolder::getFrameObjName(int frame) const {
    const SPlayBackFrameInfo* p = playbackRecord(frame);
    return p ? fromStoredText(p->name()) : QString();
}

void VLImageHolder::getNumSingleFrameObjects(int count) {
    if (count <= 0)
        return;
    auto empty = std::find_if(vAllObjects.begin(), vAllObjects.end(),
                              [](const StrAllObjects& l) { return l.AllObjects.empty(); });
    if (empty == vAllObjects.end()) {
        if (vAllObjects.empty())
            return;
        empty = vAllObjects.begin();
    }
    empty->AllObjects.resize(size_t(count));
}
