// The frame strip inside a horizontally scrolling view, with the slots that
// step to the next or previous frame and user-action frame and go to a frame
// by number. Frame numbers are 1-based here.
#pragma once

#include <QWidget>

class NavigationBarBase;
class QScrollArea;
class QScrollBar;

class ScrollNavigationBar : public QWidget {
    Q_OBJECT

  public:
    ScrollNavigationBar(int frames, int userActionFrames, bool recorded, QWidget* parent, const char* name);
    ~ScrollNavigationBar() override;

    // Marks the strip recorded (or not) and sizes it for the given frame count.
    void resetResize(int frames, bool recorded);
    NavigationBarBase* get_navbase() const { return m_navBase; }
    QScrollArea* getScrollView() const { return m_scrollView; }
    QScrollBar* getScrollBar() const;
    // Scrolls the view back to its start.
    void scrollToStart();

    int firstVisibleCell() const { return m_firstVisible; }
    int lastVisibleCell() const { return m_lastVisible; }

  public slots:
    void slot_goto_frame(int frame);
    void slot_goto_ua_frame(int userActionFrame);
    void slot_clicked_on_next_frame_button();
    void slot_clicked_on_pre_frame_button();
    void slot_clicked_on_next_key_frame_button();
    void slot_clicked_on_pre_key_frame_button();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void recordVisibleCells();
    void scrollBy(int pixels);
    void scrollToCell(int cell);

    NavigationBarBase* m_navBase = nullptr;
    QScrollArea* m_scrollView = nullptr;
    int m_initialFrames = 0;
    int m_initialUserActionFrames = 0;
    uint8_t m_recorded = 0;
    int m_firstVisible = 0;
    int m_lastVisible = 0;
};
