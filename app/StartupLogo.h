// The splash window shown while the program starts.
#pragma once

#include <QTimer>
#include <QWidget>

class StartupLogo : public QWidget {
    Q_OBJECT
  public:
    StartupLogo(QWidget* parent, const char* name);

  public slots:
    void slotCloseScreen();

  protected:
    bool event(QEvent* e) override;

  private:
    QTimer m_idleTimer; // kept for parity with the window's fields; never started
    bool m_raising = false;
};
