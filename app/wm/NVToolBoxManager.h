// Moves or resizes one widget with the mouse, live or as an XOR outline on
// the root window: while the pointer button stays down it polls the pointer,
// reports positions and sizes and reports entering and leaving hot spots
// (screen areas where a dragged bar would dock).
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>

class QEventLoop;
class QWidget;

class NVToolBoxManager : public QObject {
    Q_OBJECT
  public:
    // `rubberBand`: draw an outline and leave the widget alone during the
    // drag; otherwise move or resize the widget itself.
    NVToolBoxManager(QWidget* widget, bool rubberBand);
    ~NVToolBoxManager() override;

    int addHotSpot(int x, int y, int w, int h);
    // With `mapFromParent`, r's top-left is in the coordinates of the managed
    // widget's parent widget (ignored when it has none). Returns the index.
    int addHotSpot(const QRect& r, bool mapFromParent);
    void removeHotSpot(int index);
    int hotSpotCount() const { return int(m_hotSpots.size()); }

    // Each returns only when the drag has ended (the pointer's button mask
    // changed, or stop()).
    void doMove(bool holdInHotSpot, bool report, bool);
    void doResize(bool, bool report);
    void doXResize(bool, bool report);
    void doYResize(bool, bool report);

    void setGeometry(int x, int y, int w, int h);
    void setGeometry(int index);
    void resize(int w, int h) { setGeometry(x(), y(), w, h); }

    int x() const { return m_x; }
    int y() const { return m_y; }
    int width() const { return m_w; }
    int height() const { return m_h; }
    int mouseX() const { return m_mouseX; }
    int mouseY() const { return m_mouseY; }
    bool isActive() const { return m_active; }
    bool rubberBandDrawn() const { return !m_erased; }

  public slots:
    // Ends a running move or resize: the timer stops, the cursor and the
    // screen under the outline are restored, and the drag call returns. In
    // rubber-band mode the widget is then placed at the outline, and a final
    // posChanged or sizeChanged reports where it ended.
    void stop();
    void doMoveInternal();
    void doResizeInternal();

  signals:
    void posChanged(int x, int y);
    void sizeChanged(int w, int h);
    void onHotSpot(int index); // -1: the pointer left all hot spots

  private:
    enum class Mode { Idle, Move, Resize };
    bool queryPointer(int& x, int& y, unsigned& mask) const;
    bool begin(Mode mode, bool report);
    void drawRectangle(int x, int y, int w, int h);
    void deleteLastRectangle();
    void drawOutlines(int x, int y, int w, int h);
    void runLoop();

    QPointer<QWidget> m_widget;
    bool m_rubberBand;
    bool m_active = false;
    bool m_report = false;
    bool m_holdInHotSpot = false;
    Mode m_mode = Mode::Idle;
    int m_x = 0, m_y = 0, m_w = 0, m_h = 0;
    int m_lastX = 0, m_lastY = 0, m_lastW = 0, m_lastH = 0;
    bool m_erased = true;
    int m_offsetX = 0, m_offsetY = 0;
    int m_mouseX = 0, m_mouseY = 0, m_prevX = 0, m_prevY = 0;
    unsigned m_startMask = 0;
    bool m_widthOnly = false;
    bool m_heightOnly = false;
    QList<QRect> m_hotSpots;
    int m_currentHotSpot = -1;
    bool m_outsideReported = false;
    QTimer* m_timer;
    QEventLoop* m_loop = nullptr; // the running drag's loop, on runLoop's stack
    void* m_gc = nullptr;         // the XOR graphics context on the root window
    int m_screen = 0;
    unsigned long m_root = 0;
};
