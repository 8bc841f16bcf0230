// The navigation bar under the main window's tool bars: the scrolling frame
// strip between the previous and next buttons for frames and user-action
// frames, and two go-to fields.
#pragma once

#include <QPointer>
#include <QWidget>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class ScrollNavigationBar;

class NVNavigationBar : public QWidget {
    Q_OBJECT

  public:
    NVNavigationBar(QWidget* parent = nullptr, int frames = 0, int userActionFrames = 0,
                    bool recorded = false, unsigned int flags = 0);
    ~NVNavigationBar() override;

    ScrollNavigationBar* getScrollNavigationBar() const { return m_scrollBar; }
    QLineEdit* frameField() const { return m_frameField; }
    QLineEdit* userActionField() const { return m_userActionField; }
    QPushButton* preFrameButton() const { return m_preFrame; }
    QPushButton* preUserActionButton() const { return m_preUserAction; }
    QPushButton* nextFrameButton() const { return m_nextFrame; }
    QPushButton* nextUserActionButton() const { return m_nextUserAction; }

    // The widget that takes the keyboard focus after a go-to field was used;
    // the main window names itself here. Without one, the bar's own window.
    static void setFocusTarget(QWidget* widget);

  public slots:
    void slot_start_change_frame_selection();
    void slot_start_change_ua_frame_selection();
    void slot_make_goto_frame(int frame);
    void slot_make_goto_ua_frame(int userActionFrame);
    void slot_enable_edit_texts();
    void slot_change_button_state(int state);

  signals:
    void signal_change_frame_selection(int frame);
    void signal_change_ua_frame_selection(int userActionFrame);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void giveFocusAway();

    QLineEdit* m_frameField = nullptr;
    QLineEdit* m_userActionField = nullptr;
    QPushButton* m_preFrame = nullptr;
    QPushButton* m_preUserAction = nullptr;
    QPushButton* m_nextFrame = nullptr;
    QPushButton* m_nextUserAction = nullptr;
    ScrollNavigationBar* m_scrollBar = nullptr;
    QGridLayout* m_grid = nullptr;

    static QPointer<QWidget> s_focusTarget;
};
