// The about box's link: a flat button showing the maker's web address that
// opens it in a web browser when pressed, with a pointing hand while the
// pointer is over it.
#pragma once

#include <QPushButton>
#include <QString>

class LinkButton : public QPushButton {
    Q_OBJECT
  public:
    LinkButton(QWidget* parent, const char* name);

    // The program the address is handed to.
    static QString browserCommand() { return QStringLiteral("xdg-open"); }

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    bool m_cursorSet = false;
};
