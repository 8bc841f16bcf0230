// The title bar of an instruction box's editor: the caption in white over
// the tiled navy title-bar image. It hands its presses, left-button moves
// and releases to whoever listens (the instruction box, which passes them to
// the editor's move and resize frame), so that a drag on the title bar moves
// the box; none of them reaches the label's own handling.
#pragma once

#include <QLabel>

class CEditInstructionBoxLabel : public QLabel {
    Q_OBJECT

  public:
    CEditInstructionBoxLabel(QWidget* editor, const char* name);

  signals:
    void signalLabelPressed(QMouseEvent* event);
    void signalLabelMoved(QMouseEvent* event);
    void signalLabelReleased(QMouseEvent* event);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    // Only while exactly the left button is held, without a modifier key.
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
