// One item of a movable tool bar: a widget with the caller's id and its
// right-aligned and auto-sized flags. Not a widget itself.
#pragma once

#include <QPointer>
#include <QWidget>

class NVToolBarItem {
  public:
    // Items the bar makes for inserted widgets are of kind WidgetItem.
    enum itemType : int { WidgetItem = 3 };

    NVToolBarItem(QWidget* widget, itemType kind, int id, bool ownsWidget);
    ~NVToolBarItem();
    NVToolBarItem(const NVToolBarItem&) = delete;
    NVToolBarItem& operator=(const NVToolBarItem&) = delete;

    QWidget* getItem() const { return m_widget; }
    WId winId() const { return m_widget ? m_widget->winId() : 0; }
    int x() const { return m_widget ? m_widget->x() : 0; }
    int width() const { return m_widget ? m_widget->width() : 0; }
    int height() const { return m_widget ? m_widget->height() : 0; }
    void setEnabled(bool on);
    void show();
    void hide();
    void move(int x, int y);
    void resize(int w, int h);

    bool isAuto() const { return m_autoSized; }
    void autoSize(bool on) { m_autoSized = on; }
    bool isRight() const { return m_right; }
    void alignRight(bool on) { m_right = on; }
    int ID() const { return m_id; }
    itemType kind() const { return m_kind; }

  private:
    int m_id;
    bool m_right = false;
    bool m_autoSized = false;
    QPointer<QWidget> m_widget; // cleared when something else deletes it
    itemType m_kind;
    bool m_ownsWidget;
};
