// Application event filter that only logs a few events and consumes none.
#pragma once

#include <QObject>

class NVEventFilter : public QObject {
  public:
    NVEventFilter();
    bool eventFilter(QObject* watched, QEvent* event) override;
};
