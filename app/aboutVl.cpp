#include "app/aboutVl.h"

#include "app/LinkButton.h"
#include "app/ProductPicture.h"

#include <QPalette>

#include <algorithm>

aboutVl::aboutVl(QWidget* parent, const char* name) : QDialog(parent) {
    setObjectName(name ? name : "");
    setModal(false);
    setFixedSize(product::PICTURE_WIDTH, product::PICTURE_HEIGHT);

    QPalette background = palette();
    background.setBrush(QPalette::Window, QBrush(product::picture()));
    setPalette(background);
    setAutoFillBackground(true);

    m_link = new LinkButton(this, "link");
    m_link->setFlat(true);
    m_link->setText(WEB_ADDRESS);
    // As wide as the address needs in the application font, never narrower.
    m_link->setFixedWidth(std::max(200, m_link->sizeHint().width()));
    // A flat button paints no button face here, so the text takes the colour
    // as well to stay readable on the dark picture.
    QPalette linkPalette(QColor(239, 125, 16));
    linkPalette.setColor(QPalette::ButtonText, QColor(239, 125, 16));
    m_link->setPalette(linkPalette);
    m_link->move(70, 180);
}

void aboutVl::mousePressEvent(QMouseEvent*) {
    hide();
}
