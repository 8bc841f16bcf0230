#include "objects/interactive/CEditInstructionBoxLabel.h"

#include "objects/interactive/TitleBarImage.h"

#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>

CEditInstructionBoxLabel::CEditInstructionBoxLabel(QWidget* editor, const char* name) : QLabel(editor) {
    if (name)
        setObjectName(QString::fromLatin1(name));
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    // The image is tiled behind the caption.
    pal.setBrush(QPalette::Window, QBrush(QPixmap(ttbar_xpm)));
    setPalette(pal);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Sunken);
    setLineWidth(1);
    setAlignment(Qt::AlignHCenter);
}

void CEditInstructionBoxLabel::mousePressEvent(QMouseEvent* event) {
    event->accept();
    emit signalLabelPressed(event);
}

void CEditInstructionBoxLabel::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (event->buttons() == Qt::LeftButton && event->modifiers() == Qt::NoModifier)
        emit signalLabelMoved(event);
}

void CEditInstructionBoxLabel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    emit signalLabelReleased(event);
}
