// A validation field (kind 6): a rectangle on a frame where the end user must
// type one of the expected strings, some of whose key strokes carry events
// (a message box, an image, a frame to go to). The object is never shown
// itself; its editor (CEditValidationField), a child of the image holder,
// shows and keeps the record. The object applies the property rows, keeps
// the strings, keys and key events, and lists the keys on the Events page.
#pragma once

#include "canvas/HolderObjectFactory.h"
#include "objects/interactive/CEditValidationField.h"
#include "objects/interactive/InPlaceControl.h"

#include <QPointer>
#include <QString>

class QPaintDevice;
class VLImageHolder;

class CValidationField : public InPlaceControl<CEditValidationField, sValidationField> {
    Q_OBJECT

  public:
    static constexpr int NAME_LIMIT = 29;
    static constexpr size_t ERROR_LIMIT = 259;
    static constexpr size_t MESSAGE_LIMIT = 258;

    // A new field made by the tool, with its number.
    CValidationField(VLImageHolder* holder, QWidget* parent, QPaintDevice* device, int number);
    // A pasted record, with a new number and the paste offset.
    CValidationField(VLImageHolder* holder, const NVAllObjects& record, int number, QPoint offset);
    // Re-created from a frame's stored record.
    CValidationField(VLImageHolder* holder, const sValidationField& stored);

    static HolderKindMakers holderKindMakers();

    int getObjectID() override;
    void selectValidationFromCombo() override;

    // ---- properties ----

    // Applies one property row by name.
    void applyProperty(const QString& row) override;
    // Lists the event rows of key `key` of string `string`.
    void addEventPropEntrys(int string, int key) override;
    // Stores the row selected in the Events list into that key's event.
    void setEventProperty(int string, int key) override;
    void applyEventProperty(int string, int key, const QString& row);
    QString PropEventStr(const QString& name, int string, int key);
    int PropValueId(const QString& name, int string, int key);

    // ---- strings, keys and key events ----

    // Removes key `key` of string `string` when it has a key event, and
    // string `string`; both release one use of each image and icon dropped.
    void removedKey(int string, int key) override;
    void resizeMultiStringVector(int string) override;
    // Puts the field's strings into the shared working copy, empty when it
    // has none, so the string editor's next press shows them.
    void loadValidationStrings() override;
    // Gives target a deep copy of the source record's strings.
    void copyValidationString(sValidationField& target, const NVAllObjects& source);
    // Packs the record's strings into its packed bytes; false when it has none.
    static bool CopyValidationData(NVAllObjects* record);
    // The record's string whose text is m_ValidationString; found is left
    // as it is when there is none.
    static void GetCurrentValkey(const sMultiValidationString*& found, const NVAllObjects* record);
    static bool IsValKeyEmpty(const NVAllObjects* record);
    static QString m_ValidationString;
    // "On " with the key word as the keys lists show it.
    static QString keyText(uint32_t word);

    // The key, or null for an index outside the strings or keys.
    sValidationKey* keyAt(int string, int key);
    // The string the "Validation String" row names, or -1.
    int namedString();

  signals:
    void signalItemKey(int key);
    void signalDeleteIDFromUseArray(unsigned long id);
    void signalAddIDOnCopy(unsigned long id);

  public slots:
    void slotSelectedValidationField(DrawTools* object);
    void slotMovedValidationField(QRect before);
    void slotFontSelected(QFont& font) override;
    void slotEnterEventItems(QWidget* page) override;

  private:
    void begin(VLImageHolder* holder);
    void addMyPropEntrys();
    void connectEditor();
    void setRows();
    void applyAttribute(uint8_t attribute);
    void applyColors();
    void applyStrings(const QString& value);
    void copyString(size_t index, const sMultiValidationString& from, bool withKeys);
    void applyError(const QString& value);
    void repack();
    // Keeps the events flag and the Events page on the string the
    // "Validation String" row names.
    void followNamedString();
    void releaseUses(const sValidationKey& key);
    void releaseUses(const sMultiValidationString& string);
    QString resourceName(uint32_t id);
    QString gotoWord(int32_t code) const;
    sValidationField& field();
    const sValidationField& field() const;

    VLImageHolder* m_holder = nullptr; // not owned
    QString m_name;
    QString m_initialName;
};
