// The widget of an in-place editor: a frame on the holder that owns the move
// and resize frame and hands it its own mouse events and those its children
// pass on. Each editor adds its record, children and signals.
#pragma once

#include "objects/interactive/InPlaceEditorFrame.h"

#include <QFrame>

class InPlaceEditorWidget : public QFrame, public InPlaceEditorFrame::Client {
  public:
    InPlaceEditorWidget(const InPlaceEditorFrame::Policy& policy, DrawTools* owner, QWidget* parent,
                        InteractiveHost* host)
        : QFrame(parent), m_frame(policy, this, owner, parent, host) {}

    InPlaceEditorFrame& frame() { return m_frame; }

    // Mouse events of the children, in their coordinates.
    void framePress(QMouseEvent* event) { m_frame.mousePressEvent(event); }
    void frameMove(QMouseEvent* event) { m_frame.mouseMoveEvent(event); }
    void frameRelease(QMouseEvent* event) { m_frame.mouseReleaseEvent(event); }

    QWidget* frameWidget() const override { return const_cast<InPlaceEditorWidget*>(this); }

  protected:
    void mousePressEvent(QMouseEvent* event) override { m_frame.mousePressEvent(event); }
    void mouseMoveEvent(QMouseEvent* event) override { m_frame.mouseMoveEvent(event); }
    void mouseReleaseEvent(QMouseEvent* event) override { m_frame.mouseReleaseEvent(event); }

  private:
    InPlaceEditorFrame m_frame;
};
