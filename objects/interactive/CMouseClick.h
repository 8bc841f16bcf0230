// The mouse-click target: the click rectangle of a recorded mouse action,
// shown as red corner marks and moved or resized with the selection-handle
// gestures. Its rectangle, cursor image and disabled flag live in the frame's
// playback record, which every change writes straight back; the target's own
// record is never stored.
#pragma once

#include "canvas/DrawTools.h"
#include "canvas/records/ObjectRecords.h"
#include "capture/NVCap.h"

#include <QPoint>
#include <QString>

class InteractiveHost;
class VLImageHolder;
struct SPlayBackFrameInfo;

class CMouseClick : public DrawTools {
    Q_OBJECT

  public:
    static constexpr int NAME_LIMIT = 29;
    // The smallest size the target is drawn at: a recorded click rectangle.
    static constexpr int DRAWN_MIN_WIDTH = 40;
    static constexpr int DRAWN_MIN_HEIGHT = 36;
    static constexpr const char* DEFAULT_NAME = "Mouse Click";

    // The click rectangle {left, top, right, bottom}, a variant flag (always
    // 0) and the 0-based frame whose playback record the target edits.
    CMouseClick(VLImageHolder* holder, SRect rect, int variant, int frame);
    ~CMouseClick() override;

    // True when the frame's playback record holds a recorded mouse action
    // with a click rectangle of some size: such a frame shows a target.
    static bool hasClickTarget(const SPlayBackFrameInfo& record);

    VLImageHolder* getVLImageHolder() const { return m_holder; }

    void draw(_XDisplay* display, _XGC* gc, unsigned long& drawable) override;
    bool select(QPoint point) override;
    QRegion getRegion() override;
    const char* getObjectName() const override;
    bool getAllObjectStructure(NVAllObjects* target) override;
    void repaintItem() override;
    void addMyPropEntrys();

    // The gestures the holder forwards, in holder coordinates.
    void press(QPoint pointer);
    void move(QPoint pointer, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    void release(QPoint pointer);

    QString Prop2Str(const QString& name);
    int PropValueId(const QString& name);

    // The payload and the fields that are not part of it.
    const sMouseClick& clickRecord() const { return m_click; }
    uint32_t imageId() const { return m_dwImageID; }
    bool targetDisabled() const override { return m_bTargetDisabled; }
    int frameIndex() const { return m_frame; }
    int currentHandle() const { return m_nHandle; }
    QRect lastBand() const;
    bool bandDrawn() const { return m_bBandDrawn; }

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    SPlayBackFrameInfo* playback() const;
    void emitGeometry();
    void setGeometryRows();
    void writeClickRect();
    void raiseToDrawnMinimum();
    void drawBand(const QRect& band);

    VLImageHolder* m_holder = nullptr; // not owned
    InteractiveHost* m_host = nullptr; // not owned
    int m_frame = 0;
    sMouseClick m_click;
    uint32_t m_dwImageID = 0;
    bool m_bTargetDisabled = false;

    bool m_bPressed = false;
    int m_nHandle = -1;
    QPoint m_ptPress;
    QPoint m_ptBandTopLeft;
    QPoint m_ptBandBottomRight;
    bool m_bPressInside = false;
    // A band was drawn since the last press; only then does a release
    // take it as the rectangle.
    bool m_bBandDrawn = false;
};
