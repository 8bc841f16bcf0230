// The property store every frame object owns: a fixed main table of
// properties and two growable tables of event sets, all values as text.
//
// Entries are handed out by address and those addresses stay valid for the
// life of the store: the set tables are deques, which never move their
// elements when they grow. Indices the callers pass are checked: an entry
// outside the store gives null and a write to one is ignored.
#pragma once

#include "properties/EditPropertyEntry.h"

#include <QString>

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

// One set of event entries; adds fill it from slot 1 upward.
struct structEventProp {
    static constexpr int SLOTS = 12;
    std::array<EditPropertyEntry, SLOTS> entries;
};

// A table of sets, indexed by event number (event table) or by key
// (one element of the validation table).
struct EditEventPropEntry {
    int32_t reserved = 0;
    std::vector<int32_t> setMarks; // one 0 per extension; never read
    std::deque<structEventProp> sets;
};

class EditPropertyBase {
  public:
    static constexpr int MAIN_SLOTS = 64;
    // Counter limits of the three kinds of set: a counter above its limit
    // starts again at slot 1 on the next add.
    static constexpr int SHORT_SET_LIMIT = 2;
    static constexpr int LONG_SET_LIMIT = 10;
    static constexpr int VALIDATION_SET_LIMIT = 2;

    explicit EditPropertyBase(bool standard);
    virtual ~EditPropertyBase();
    EditPropertyBase(const EditPropertyBase&) = delete;
    EditPropertyBase& operator=(const EditPropertyBase&) = delete;

    // Hook for standard entries; adds none.
    virtual void fillWithStandardEntrys();

    // Main table.
    void setProp(int slot, const QString& name, const QString& value, const QString& category, int editorType,
                 const QString& data, int valueId);
    // Appends at slot entryCount + 1; refused (nothing written, counter kept)
    // once slot 63 is used.
    void addProp(const QString& name, const QString& value, const QString& category, int editorType,
                 const QString& data, int valueId);
    EditPropertyEntry* getProp(int slot);
    EditPropertyEntry* getProp(const QString& name);
    void setProp_Value(int slot, const QString& value);
    void setProp_Value(const QString& name, const QString& value);
    void setProp_ValueId(int slot, int id);
    void setProp_ValueId(const QString& name, int id);
    // Absent names give an empty text and 0.
    QString getPropValue(const QString& name);
    QString getPropData(const QString& name);
    int getPropValueId(const QString& name);
    int getEntryCount() const { return entryCount; }

    // Event table (set = event number).
    void setProperties(int set, int slot, const QString& name, const QString& value, const QString& category,
                       int editorType, const QString& data, int valueId);
    void addProperties(int set, const QString& name, const QString& value, const QString& category,
                       int editorType, const QString& data, int valueId);
    void addEventProperties(int set, const QString& name, const QString& value, const QString& category,
                            int editorType, const QString& data, int valueId);
    EditPropertyEntry* getProperties(int set, int slot);
    EditPropertyEntry* getProperties(int set, const QString& name);
    EditPropertyEntry* getEventProperties(int set, const QString& name);
    void setEventPropValue(int set, int slot, const QString& value);
    void setEventPropValue(int set, const QString& name, const QString& value);
    void setEventPropertyValue(int set, const QString& name, const QString& value);
    void setEventPropValueId(int set, int slot, int id);
    void setEventPropValueId(int set, const QString& name, int id);
    void setEventPropertyValueId(int set, const QString& name, int id);
    QString getEventPropValue(int set, const QString& name);
    QString getEventPropData(int set, const QString& name);
    int getEntryEventCount() const { return entryEventCount; }
    int getEntryValEventCount() const { return entryValEventCount; }

    // Validation table (string, key).
    void setValProperties(int string, int key, int slot, const QString& name, const QString& value,
                          const QString& category, int editorType, const QString& data, int valueId);
    void addValProperties(int string, int key, const QString& name, const QString& value,
                          const QString& category, int editorType, const QString& data, int valueId);
    EditPropertyEntry* getValProperties(int string, int key, int slot);
    EditPropertyEntry* getValProperties(int string, int key, const QString& name);
    void setValEventPropValue(int string, int key, int slot, const QString& value);
    void setValEventPropValue(int string, int key, const QString& name, const QString& value);
    void setValEventPropValueId(int string, int key, int slot, int id);
    void setValEventPropValueId(int string, int key, const QString& name, int id);
    QString getValEventPropValue(int string, int key, const QString& name);

    // Number of sets built so far (for the property box and tests).
    int eventSetCount() const { return int(eventTable.sets.size()); }
    int validationStringCount() const { return int(validationTable.size()); }
    int validationSetCount(int string) const;

  private:
    structEventProp* eventSet(int set);
    structEventProp* validationSet(int string, int key);
    structEventProp& extendEventTable(int set);
    structEventProp& extendValidationTable(int string, int key);

    std::array<EditPropertyEntry, MAIN_SLOTS> entries;
    EditEventPropEntry eventTable;
    std::deque<EditEventPropEntry> validationTable;
    int32_t entryCount = 0;
    int32_t entryEventCount = 0;
    int32_t entryValEventCount = 0;
};
