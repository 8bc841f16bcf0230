// The frame object: first record of every frame's object list. It has no
// shape; it carries what belongs to the frame as a whole (name, fill colours
// of a blank frame, user-action switch, audio, sound clip, mouse delay and the
// two frame events) and is edited through the property box whenever no single
// object of the frame is selected.
#pragma once

#include "canvas/DrawTools.h"
#include "canvas/records/ObjectRecords.h"

#include <QColor>
#include <QString>

class InteractiveHost;
class VLImageHolder;
struct SPlayBackFrameInfo;

class CFrameObject : public DrawTools {
    Q_OBJECT

  public:
    static constexpr int NAME_LIMIT = 29;
    static constexpr int CLIP_LIMIT = 19;
    static constexpr int NOTES_LIMIT = 249;
    static constexpr int EVENT_COUNT = 2;
    static const QColor DEFAULT_BACK_COLOR; // (22, 34, 199)

    // Back colour of frame objects made for new frames from now on.
    static QColor backColor;
    static void resetBackColor() { backColor = DEFAULT_BACK_COLOR; }

    // Frame object of a new frame; frameNumber is 1-based (playback record
    // frameNumber - 1). The insertion flag does not affect the record.
    CFrameObject(VLImageHolder* holder, int frameNumber, int inserting);
    // The live frame object of the holder's current frame, from its record.
    CFrameObject(VLImageHolder* holder, const NVFrame& frame, int unused);
    ~CFrameObject() override;

    // The record a new frame's object list starts with: kind 12, "XXX",
    // record size 1024, from a frame object made for frame frameNumber.
    static NVAllObjects recordForNewFrame(VLImageHolder* holder, int frameNumber, bool inserting);

    VLImageHolder* getVLImageHolder() const { return m_holder; }

    const char* getObjectName() const override;
    void* getObjectStructure() override;
    NVFrame* getFrameObjectStructure() override;
    void addEventPropEntrys(int event) override;
    void setEventProperty(int event) override;
    // Packed 0x00BBGGRR fill colour of the frame's first record; the packed
    // default back colour for a frame without records.
    int getFrameFillColor(unsigned long frame) override;
    bool getAllObjectStructure(NVAllObjects* target) override;
    // Applies the row selected in the Properties list.
    void repaintItem() override;
    void addMyPropEntrys();

    // Applies the named row; what repaintItem does for the selected row.
    Q_INVOKABLE void applyProperty(const QString& row);
    // Applies the named row of event `event`.
    Q_INVOKABLE void applyEventProperty(int event, const QString& row);

    // Row lookups: value text (null when absent) and value identifier (0).
    QString Prop2Str(const QString& name);
    int PropValueId(const QString& name);
    QString PropEventStr(int event, const QString& name);
    int PropEventValueId(int event, const QString& name);

    // The frame strip sets the live object's user-action byte through this.
    void setUserActionDisabled(bool disabled);

    const NVAllObjects& record() const { return m_record; }
    bool isRecordedFrame() const { return m_bRecordedFrame; }
    bool hasNoUserAction() const { return m_bNoUserAction; }
    const QString& loadedName() const { return m_LoadedName; }

    // Transition effect words by code, speed words by code.
    static QString effectWord(int code);
    static int effectCode(const QString& word); // -1 for none
    static QString speedWord(int code);
    static int speedCode(const QString& word);

  signals:
    void signalEventNo(int);
    void signalResetCombo();
    void signalDeleteIDFromUseArray(unsigned long);

  public slots:
    void slotForEvents(int event);
    void slotEnterEventItems(QWidget* page) override;

  private:
    void connectServices();
    void finishHead();
    NVFrame& frame();
    const NVFrame& frame() const;
    SPlayBackFrameInfo* playback(int frame) const;
    void setRowValues();

    VLImageHolder* m_holder = nullptr; // not owned
    InteractiveHost* m_host = nullptr; // not owned
    NVAllObjects m_record;
    bool m_bRecordedFrame = false;
    bool m_bNoUserAction = false;
    QString m_LoadedName;
};
