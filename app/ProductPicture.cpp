#include "app/ProductPicture.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

namespace product {

QPixmap picture() {
    QPixmap pm(PICTURE_WIDTH, PICTURE_HEIGHT);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, PICTURE_HEIGHT);
    g.setColorAt(0.0, QColor(22, 34, 199));
    g.setColorAt(1.0, QColor(8, 12, 60));
    p.fillRect(pm.rect(), g);
    p.setPen(QColor(239, 121, 24));
    QFont title("helvetica", 36, QFont::Bold);
    p.setFont(title);
    p.drawText(QRect(0, 60, PICTURE_WIDTH, 70), Qt::AlignCenter, "Velmora");
    p.setPen(Qt::white);
    p.setFont(QFont("helvetica", 12));
    p.drawText(QRect(0, 140, PICTURE_WIDTH, 30), Qt::AlignCenter, "Version 1.0");
    return pm;
}

} // namespace product
