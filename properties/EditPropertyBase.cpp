#include "properties/EditPropertyBase.h"

namespace {

bool validSetSlot(int slot) {
    return slot >= 0 && slot < structEventProp::SLOTS;
}

// Scans slots 0..bound of a set (bound clipped to the set's size) for the
// first entry whose name matches.
EditPropertyEntry* findIn(structEventProp* set, int bound, const QString& name) {
    if (!set)
        return nullptr;
    for (int i = 0; i <= bound && i < structEventProp::SLOTS; ++i)
        if (set->entries[size_t(i)].matches(name))
            return &set->entries[size_t(i)];
    return nullptr;
}

template <typename F> void forEachMatch(structEventProp* set, int bound, const QString& name, F f) {
    if (!set)
        return;
    for (int i = 0; i <= bound && i < structEventProp::SLOTS; ++i)
        if (set->entries[size_t(i)].matches(name))
            f(set->entries[size_t(i)]);
}

EditPropertyEntry* slotOf(structEventProp* set, int slot) {
    return set && validSetSlot(slot) ? &set->entries[size_t(slot)] : nullptr;
}

// The add rule shared by every kind of set: a counter above its limit starts
// again, then the counter advances and names the slot to write.
int nextSlot(int32_t& counter, int limit) {
    if (counter > limit)
        counter = 0;
    return ++counter;
}

} // namespace

EditPropertyBase::EditPropertyBase(bool standard) {
    if (standard)
        fillWithStandardEntrys();
}

EditPropertyBase::~EditPropertyBase() = default;

void EditPropertyBase::fillWithStandardEntrys() {}

// ---- main table ----

void EditPropertyBase::setProp(int slot, const QString& name, const QString& value, const QString& category,
                               int editorType, const QString& data, int valueId) {
    if (slot < 0 || slot >= MAIN_SLOTS)
        return;
    entries[size_t(slot)].assign(name, value, category, editorType, data, valueId);
}

void EditPropertyBase::addProp(const QString& name, const QString& value, const QString& category,
                               int editorType, const QString& data, int valueId) {
    if (entryCount + 1 >= MAIN_SLOTS)
        return;
    ++entryCount;
    setProp(entryCount, name, value, category, editorType, data, valueId);
}

EditPropertyEntry* EditPropertyBase::getProp(int slot) {
    if (slot < 0 || slot > entryCount)
        return nullptr;
    return &entries[size_t(slot)];
}

EditPropertyEntry* EditPropertyBase::getProp(const QString& name) {
    for (int i = 0; i <= entryCount; ++i)
        if (entries[size_t(i)].matches(name))
            return &entries[size_t(i)];
    return nullptr;
}

void EditPropertyBase::setProp_Value(int slot, const QString& value) {
    if (EditPropertyEntry* e = getProp(slot))
        e->value = value;
}

void EditPropertyBase::setProp_Value(const QString& name, const QString& value) {
    for (int i = 0; i <= entryCount; ++i)
        if (entries[size_t(i)].matches(name))
            entries[size_t(i)].value = value;
}

void EditPropertyBase::setProp_ValueId(int slot, int id) {
    if (EditPropertyEntry* e = getProp(slot))
        e->valueId = id;
}

void EditPropertyBase::setProp_ValueId(const QString& name, int id) {
    for (int i = 0; i <= entryCount; ++i)
        if (entries[size_t(i)].matches(name))
            entries[size_t(i)].valueId = id;
}

QString EditPropertyBase::getPropValue(const QString& name) {
    EditPropertyEntry* e = getProp(name);
    return e ? e->value : QString();
}

QString EditPropertyBase::getPropData(const QString& name) {
    EditPropertyEntry* e = getProp(name);
    return e ? e->data : QString();
}

int EditPropertyBase::getPropValueId(const QString& name) {
    EditPropertyEntry* e = getProp(name);
    return e ? e->valueId : 0;
}

// ---- event table ----

structEventProp* EditPropertyBase::eventSet(int set) {
    if (set < 0 || size_t(set) >= eventTable.sets.size())
        return nullptr;
    return &eventTable.sets[size_t(set)];
}

structEventProp& EditPropertyBase::extendEventTable(int set) {
    if (eventTable.sets.size() <= size_t(set)) {
        eventTable.sets.resize(size_t(set) + 1);
        eventTable.setMarks.push_back(0);
    }
    return eventTable.sets[size_t(set)];
}

void EditPropertyBase::setProperties(int set, int slot, const QString& name, const QString& value,
                                     const QString& category, int editorType, const QString& data,
                                     int valueId) {
    if (set < 0 || !validSetSlot(slot))
        return;
    extendEventTable(set).entries[size_t(slot)].assign(name, value, category, editorType, data, valueId);
}

void EditPropertyBase::addProperties(int set, const QString& name, const QString& value,
                                     const QString& category, int editorType, const QString& data,
                                     int valueId) {
    int slot = nextSlot(entryValEventCount, LONG_SET_LIMIT);
    setProperties(set, slot, name, value, category, editorType, data, valueId);
}

void EditPropertyBase::addEventProperties(int set, const QString& name, const QString& value,
                                          const QString& category, int editorType, const QString& data,
                                          int valueId) {
    int slot = nextSlot(entryEventCount, SHORT_SET_LIMIT);
    setProperties(set, slot, name, value, category, editorType, data, valueId);
}

EditPropertyEntry* EditPropertyBase::getProperties(int set, int slot) {
    return slotOf(eventSet(set), slot);
}

EditPropertyEntry* EditPropertyBase::getProperties(int set, const QString& name) {
    return findIn(eventSet(set), entryEventCount, name);
}

EditPropertyEntry* EditPropertyBase::getEventProperties(int set, const QString& name) {
    return findIn(eventSet(set), entryValEventCount, name);
}

void EditPropertyBase::setEventPropValue(int set, int slot, const QString& value) {
    if (EditPropertyEntry* e = getProperties(set, slot))
        e->value = value;
}

void EditPropertyBase::setEventPropValue(int set, const QString& name, const QString& value) {
    forEachMatch(eventSet(set), entryEventCount, name, [&](EditPropertyEntry& e) { e.value = value; });
}

void EditPropertyBase::setEventPropertyValue(int set, const QString& name, const QString& value) {
    forEachMatch(eventSet(set), entryValEventCount, name, [&](EditPropertyEntry& e) { e.value = value; });
}

void EditPropertyBase::setEventPropValueId(int set, int slot, int id) {
    if (EditPropertyEntry* e = getProperties(set, slot))
        e->valueId = id;
}

void EditPropertyBase::setEventPropValueId(int set, const QString& name, int id) {
    forEachMatch(eventSet(set), entryEventCount, name, [&](EditPropertyEntry& e) { e.valueId = id; });
}

void EditPropertyBase::setEventPropertyValueId(int set, const QString& name, int id) {
    forEachMatch(eventSet(set), entryValEventCount, name, [&](EditPropertyEntry& e) { e.valueId = id; });
}

QString EditPropertyBase::getEventPropValue(int set, const QString& name) {
    EditPropertyEntry* e = getProperties(set, name);
    return e ? e->value : QString();
}

QString EditPropertyBase::getEventPropData(int set, const QString& name) {
    EditPropertyEntry* e = getProperties(set, name);
    return e ? e->data : QString();
}

// ---- validation table ----

int EditPropertyBase::validationSetCount(int string) const {
    if (string < 0 || size_t(string) >= validationTable.size())
        return 0;
    return int(validationTable[size_t(string)].sets.size());
}

structEventProp* EditPropertyBase::validationSet(int string, int key) {
    if (string < 0 || key < 0 || size_t(string) >= validationTable.size())
        return nullptr;
    EditEventPropEntry& t = validationTable[size_t(string)];
    return size_t(key) < t.sets.size() ? &t.sets[size_t(key)] : nullptr;
}

structEventProp& EditPropertyBase::extendValidationTable(int string, int key) {
    if (validationTable.size() <= size_t(string))
        validationTable.resize(size_t(string) + 1);
    EditEventPropEntry& t = validationTable[size_t(string)];
    if (t.sets.size() <= size_t(key)) {
        t.sets.resize(size_t(key) + 1);
        t.setMarks.push_back(0);
    }
    return t.sets[size_t(key)];
}

void EditPropertyBase::setValProperties(int string, int key, int slot, const QString& name,
                                        const QString& value, const QString& category, int editorType,
                                        const QString& data, int valueId) {
    if (string < 0 || key < 0 || !validSetSlot(slot))
        return;
    extendValidationTable(string, key)
        .entries[size_t(slot)]
        .assign(name, value, category, editorType, data, valueId);
}

void EditPropertyBase::addValProperties(int string, int key, const QString& name, const QString& value,
                                        const QString& category, int editorType, const QString& data,
                                        int valueId) {
    int slot = nextSlot(entryValEventCount, VALIDATION_SET_LIMIT);
    setValProperties(string, key, slot, name, value, category, editorType, data, valueId);
}

EditPropertyEntry* EditPropertyBase::getValProperties(int string, int key, int slot) {
    return slotOf(validationSet(string, key), slot);
}

EditPropertyEntry* EditPropertyBase::getValProperties(int string, int key, const QString& name) {
    return findIn(validationSet(string, key), entryValEventCount, name);
}

void EditPropertyBase::setValEventPropValue(int string, int key, int slot, const QString& value) {
    if (EditPropertyEntry* e = getValProperties(string, key, slot))
        e->value = value;
}

void EditPropertyBase::setValEventPropValue(int string, int key, const QString& name, const QString& value) {
    forEachMatch(validationSet(string, key), entryValEventCount, name,
                 [&](EditPropertyEntry& e) { e.value = value; });
}

void EditPropertyBase::setValEventPropValueId(int string, int key, int slot, int id) {
    if (EditPropertyEntry* e = getValProperties(string, key, slot))
        e->valueId = id;
}

void EditPropertyBase::setValEventPropValueId(int string, int key, const QString& name, int id) {
    forEachMatch(validationSet(string, key), entryValEventCount, name,
                 [&](EditPropertyEntry& e) { e.valueId = id; });
}

QString EditPropertyBase::getValEventPropValue(int string, int key, const QString& name) {
    EditPropertyEntry* e = getValProperties(string, key, name);
    return e ? e->value : QString();
}
