// The label that shows a bitmap object on the canvas: it draws the image
// stretched over its whole area, holds the object's record and its move and
// resize frame, and keeps an unstretched bitmap at 50 x 50.
#pragma once

#include "canvas/records/ObjectRecords.h"
#include "objects/interactive/InPlaceEditorFrame.h"

#include <QLabel>
#include <QPixmap>
#include <QPointF>
#include <QRect>
#include <QSize>

#include <optional>

class CBitmapObject;
class InteractiveHost;

class CEditBitmapObject : public QLabel, public InPlaceEditorFrame::Client {
    Q_OBJECT

  public:
    CEditBitmapObject(CBitmapObject* owner, QWidget* parent, InteractiveHost* host);

    NVAllObjects& record() { return m_record; }
    const NVAllObjects& record() const { return m_record; }
    sBitmapObject& bitmap() { return *m_record.get<sBitmapObject>(); }
    const sBitmapObject& bitmap() const { return *m_record.get<sBitmapObject>(); }
    InPlaceEditorFrame& frame() { return m_frame; }

    // The image the label shows; the label keeps its own copy.
    void setImage(const QPixmap& image);
    const QPixmap& image() const { return m_image; }

    // Horizontal and vertical factors that stretch an image over a label;
    // none for an image without pixels.
    static std::optional<QPointF> scaleFactors(QSize image, QSize label);

    // InPlaceEditorFrame::Client
    InPlaceEditorFrame::Box frameRect() const override;
    void setFrameRect(const InPlaceEditorFrame::Box& rect) override;
    QWidget* frameWidget() const override { return const_cast<CEditBitmapObject*>(this); }
    void emitSelected() override;
    void emitMoved(const QRect& before) override;
    bool forwarded() const override;
    // An aligned bitmap does not move; an unstretched one does not resize.
    bool mayMove() const override { return bitmap().align == 0; }
    bool mayResize() const override { return bitmap().stretch != 0; }

  signals:
    void signal_selected_bitmap_object(DrawTools* object);
    void signalMovedBitmapObject(QRect before);

  public slots:
    // An unstretched bitmap becomes a 50 x 50 box placed by its alignment.
    void slotStretch();

  protected:
    void mousePressEvent(QMouseEvent* event) override { m_frame.mousePressEvent(event); }
    void mouseMoveEvent(QMouseEvent* event) override { m_frame.mouseMoveEvent(event); }
    void mouseReleaseEvent(QMouseEvent* event) override { m_frame.mouseReleaseEvent(event); }
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // While Stretch is "No", the Width and Height rows read "50" after any resize.
    void resizeEvent(QResizeEvent* event) override;

  private:
    CBitmapObject* m_owner;  // not owned
    InteractiveHost* m_host; // not owned
    NVAllObjects m_record;
    InPlaceEditorFrame m_frame;
    QPixmap m_image;
    // The image scaled to the label, kept until the size or the image changes.
    QPixmap m_scaled;
    qint64 m_scaledFrom = 0;
};
