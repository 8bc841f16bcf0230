// The about box: the product picture with a link to the maker's web page.
// Modeless; a click on the box outside the link hides it.
#pragma once

#include <QDialog>

class LinkButton;

class aboutVl : public QDialog {
    Q_OBJECT
  public:
    static constexpr const char* WEB_ADDRESS = "https://www.velmora.example/";

    aboutVl(QWidget* parent, const char* name);

    LinkButton* link() const { return m_link; }

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    LinkButton* m_link;
};
