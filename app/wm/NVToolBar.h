// A tool bar that holds arbitrary widgets as items, lays them out in rows or
// columns with wrapping, right-aligned and auto-sized items, draws a drag
// handle, and can be docked in four places, float as a small tool window or
// be flattened to a 30 x 10 strip.
#pragma once

#include <QFrame>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class NVToolBarItem;
class NVToolBoxManager;

class NVToolBar : public QFrame {
    Q_OBJECT
  public:
    // 0 and 2 docked in rows, 1 and 3 docked in columns, 4 floating, 5 flat.
    enum BarPosition { Top = 0, Left = 1, Bottom = 2, Right = 3, Floating = 4, Flat = 5 };
    Q_ENUM(BarPosition)
    enum BarStatus { Toggle = 0, Show = 1, Hide = 2 };

    // `itemHeight` 0 or less means 26.
    NVToolBar(QWidget* parent, const char* name, int itemHeight = 26);
    ~NVToolBar() override;

    int insertWidget(int id, int width, QWidget* widget, int index = -1);
    void removeItem(int id);
    void showItem(int id);
    void hideItem(int id);
    void setItemEnabled(int id, bool enabled);
    void setItemAutoSized(int id, bool autoSized);
    void alignItemRight(int id, bool right);
    // Connects `signal` (as SIGNAL() gives it) of every item widget with the id.
    void addConnection(int id, const char* signal, const QObject* receiver, const char* member);
    QWidget* getWidget(int id) const;
    int count() const { return int(m_items.size()); }

    void setBarPos(BarPosition pos);
    BarPosition barPos() const { return m_position; }
    void setFlat(bool flat);
    bool enable(BarStatus status);
    void setFullWidth(bool full) { m_fullWidth = full; }
    bool fullWidth() const { return m_fullWidth; }
    void enableMoving(bool on);
    void setMaxWidth(int w);
    void setMaxHeight(int h) { m_maxHeight = h; }
    void setTitle(const QString& title) { m_title = title; }
    void updateRects(bool resizeBar = false);
    // The bar's natural width: 16 plus, for each item, 3 and its width (150
    // for an auto-sized one); height -1. Not the toolkit's size hint.
    QSize barSizeHint() const;
    bool rowsLayout() const { return m_rows; }
    int barWidth() const { return m_barWidth; }
    int barHeight() const { return m_barHeight; }
    BarPosition lastPosition() const { return m_lastPosition; }

    // The manager whose hot spots dock the bar; none unless an owner sets one.
    void setMoveManager(NVToolBoxManager* manager) { m_moveManager = manager; }
    // Whether a release toggles flat, shared by all tool bars.
    static bool toggleFlatOnRelease();

  public slots:
    void slotHotSpot(int index);
    void ContextCallback(int);

  signals:
    void moved(NVToolBar::BarPosition pos);
    void highlighted(int id, bool on);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void init();
    void afterItemChange();
    void layoutHorizontal();
    void layoutVertical();
    bool motifLook() const;

    std::vector<std::unique_ptr<NVToolBarItem>> m_items;
    QPointer<QWidget> m_parent;
    int m_itemHeight;
    BarPosition m_position = Top;
    BarPosition m_lastPosition = Top;
    bool m_fullWidth = true;
    bool m_savedFullWidth = true;
    bool m_movingEnabled = false;
    bool m_hasAutoItem = false;
    int m_maxWidth = -1;
    int m_maxHeight = -1; // -1: the parent's height
    int m_barWidth = 0;
    int m_barHeight = 0;
    bool m_rows = true;
    bool m_inOwnResize = false;
    int m_dockedX = 0;
    int m_dockedY = 0;
    Qt::WindowFlags m_dockedFlags;
    QString m_title;
    QPoint m_pressPos;
    NVToolBoxManager* m_moveManager = nullptr;
};
