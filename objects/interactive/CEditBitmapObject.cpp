#include "objects/interactive/CEditBitmapObject.h"

#include "objects/interactive/CBitmapObject.h"
#include "properties/EditPropertyBase.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

CEditBitmapObject::CEditBitmapObject(CBitmapObject* owner, QWidget* parent, InteractiveHost* host)
    : QLabel(parent), m_owner(owner), m_host(host),
      m_frame(InPlaceEditorFrame::Policy::bitmap(), this, owner, parent, host) {
    m_record.recordSize = NVAllObjects::STORED_SIZE;
    m_record.drawingObject = BITMAP;
    m_record.payload = sBitmapObject{};
    if (m_owner)
        connect(m_owner, &CBitmapObject::signalStretch, this, &CEditBitmapObject::slotStretch);
    if (parent)
        parent->installEventFilter(this);
}

bool CEditBitmapObject::eventFilter(QObject* watched, QEvent* event) {
    // A scroll of the holder can bring the label's window into view without
    // an expose that reaches it: paint it again.
    if (watched == parentWidget() && event->type() == QEvent::Move && isVisible())
        update();
    return QLabel::eventFilter(watched, event);
}

void CEditBitmapObject::setImage(const QPixmap& image) {
    m_image = image;
    m_scaled = QPixmap();
    update();
}

std::optional<QPointF> CEditBitmapObject::scaleFactors(QSize image, QSize label) {
    if (image.width() <= 0 || image.height() <= 0)
        return std::nullopt;
    return QPointF(double(label.width()) / image.width(), double(label.height()) / image.height());
}

InPlaceEditorFrame::Box CEditBitmapObject::frameRect() const {
    return boxOf(bitmap());
}

void CEditBitmapObject::setFrameRect(const InPlaceEditorFrame::Box& rect) {
    setBox(bitmap(), rect);
}

void CEditBitmapObject::emitSelected() {
    emit signal_selected_bitmap_object(m_owner);
}

void CEditBitmapObject::emitMoved(const QRect& before) {
    emit signalMovedBitmapObject(before);
}

bool CEditBitmapObject::forwarded() const {
    return m_owner && m_owner->interacting();
}

void CEditBitmapObject::slotStretch() {
    sBitmapObject& b = bitmap();
    if (b.stretch == 0) {
        const QSize holder = parentWidget() ? parentWidget()->size() : QSize();
        QPoint placed;
        if (CBitmapObject::alignedPosition(b.align, holder, QSize(b.width, b.height), placed)) {
            b.x = placed.x();
            b.y = placed.y();
        }
        b.width = CBitmapObject::UNSTRETCHED_SIZE;
        b.height = CBitmapObject::UNSTRETCHED_SIZE;
    }
    setGeometry(b.x, b.y, b.width, b.height);
}

void CEditBitmapObject::paintEvent(QPaintEvent* event) {
    const std::optional<QPointF> factors = scaleFactors(m_image.size(), size());
    if (!factors)
        return;
    QPainter painter(this);
    painter.setClipRegion(event->region());
    if (size() == m_image.size()) {
        painter.drawPixmap(0, 0, m_image);
        return;
    }
    if (m_scaled.isNull() || m_scaled.size() != size() || m_scaledFrom != m_image.cacheKey()) {
        const QSize scaled(qRound(m_image.width() * factors->x()), qRound(m_image.height() * factors->y()));
        m_scaled = m_image.scaled(scaled, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        m_scaledFrom = m_image.cacheKey();
    }
    painter.drawPixmap(0, 0, m_scaled);
}

void CEditBitmapObject::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (!m_owner || m_owner->Prop2Str(QStringLiteral("Stretch")) != QLatin1String("No"))
        return;
    if (EditPropertyBase* props = m_owner->getEditPropertyBase()) {
        props->setProp_Value(QStringLiteral("Width"), QString::number(CBitmapObject::UNSTRETCHED_SIZE));
        props->setProp_Value(QStringLiteral("Height"), QString::number(CBitmapObject::UNSTRETCHED_SIZE));
    }
}
