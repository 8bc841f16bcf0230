#include "canvas/strip/ScrollNavigationBar.h"

#include "canvas/strip/FrameDetails.h"
#include "canvas/strip/NavigationBarBase.h"

#include <QScrollArea>
#include <QScrollBar>

namespace {
constexpr int STRIP_HEIGHT = 3 * FRAME_HEIGHT;
}

ScrollNavigationBar::ScrollNavigationBar(int frames, int userActionFrames, bool recorded, QWidget* parent,
                                         const char* name)
    : QWidget(parent), m_initialFrames(frames), m_initialUserActionFrames(userActionFrames),
      m_recorded(recorded ? 1 : 0) {
    setObjectName(QString::fromLatin1(name ? name : ""));

    m_scrollView = new QScrollArea(this);
    m_scrollView->setObjectName(QStringLiteral("gjgj"));
    m_scrollView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollView->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scrollView->setWidgetResizable(false);
    m_scrollView->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_navBase = new NavigationBarBase(nullptr, "base", frames, userActionFrames, recorded);
    m_navBase->resize(m_navBase->stripWidth(), STRIP_HEIGHT);
    // The scroll area owns the strip from here on.
    m_scrollView->setWidget(m_navBase);
    m_scrollView->resize(size());
    m_scrollView->horizontalScrollBar()->setSingleStep(FRAME_WIDTH);
}

// The strip belongs to the scroll view and the scroll view to this widget.
ScrollNavigationBar::~ScrollNavigationBar() = default;

QScrollBar* ScrollNavigationBar::getScrollBar() const {
    return m_scrollView->horizontalScrollBar();
}

void ScrollNavigationBar::scrollToStart() {
    getScrollBar()->setValue(0);
}

void ScrollNavigationBar::resizeEvent(QResizeEvent*) {
    m_navBase->resize(m_navBase->stripWidth(), STRIP_HEIGHT);
    m_scrollView->setGeometry(0, 0, width(), height());
}

void ScrollNavigationBar::paintEvent(QPaintEvent*) {}

void ScrollNavigationBar::resetResize(int frames, bool recorded) {
    m_navBase->set_recorded(recorded);
    // The strip sizes itself by its own frame count, which the rebuild before
    // this call has set to the same number of frames.
    (void)frames;
    m_navBase->resize(m_navBase->stripWidth(), STRIP_HEIGHT);
}

void ScrollNavigationBar::recordVisibleCells() {
    const int x = getScrollBar()->value();
    m_firstVisible = x / FRAME_WIDTH + 1;
    m_lastVisible = (m_scrollView->viewport()->width() + x) / FRAME_WIDTH;
}

void ScrollNavigationBar::scrollBy(int pixels) {
    getScrollBar()->setValue(getScrollBar()->value() + pixels);
}

void ScrollNavigationBar::scrollToCell(int cell) {
    getScrollBar()->setValue(0);
    getScrollBar()->setValue(FRAME_WIDTH * cell - FRAME_WIDTH);
}

void ScrollNavigationBar::slot_goto_frame(int frame) {
    if (frame < 1 || frame > m_navBase->get_total_no_frames())
        return;
    scrollToCell(frame);
    m_navBase->set_current_frame(frame);
}

void ScrollNavigationBar::slot_goto_ua_frame(int userActionFrame) {
    if (userActionFrame < 1 || userActionFrame > m_navBase->get_total_no_user_action_frames())
        return;
    scrollToCell(userActionFrame);
    m_navBase->set_current_user_action_frame(userActionFrame);
}

void ScrollNavigationBar::slot_clicked_on_next_frame_button() {
    recordVisibleCells();
    if (!m_navBase->isRecorded())
        return;
    const int current = m_navBase->get_current_frame();
    const int frames = m_navBase->get_total_no_frames();
    if (current >= frames)
        return;
    if (m_lastVisible < current + 1)
        scrollBy(FRAME_WIDTH);
    m_navBase->set_current_frame(current + 1);
}

void ScrollNavigationBar::slot_clicked_on_pre_frame_button() {
    recordVisibleCells();
    if (!m_navBase->isRecorded())
        return;
    const int current = m_navBase->get_current_frame();
    if (current <= 1)
        return;
    if (current - 1 < m_firstVisible)
        scrollBy(-FRAME_WIDTH);
    m_navBase->set_current_frame(current - 1);
}

void ScrollNavigationBar::slot_clicked_on_next_key_frame_button() {
    recordVisibleCells();
    if (!m_navBase->isRecorded())
        return;
    const int current = m_navBase->get_current_user_action_frame();
    const int count = m_navBase->get_total_no_user_action_frames();
    if (current >= count)
        return;
    if (m_lastVisible < current + 1)
        scrollBy(FRAME_WIDTH);
    m_navBase->set_current_user_action_frame(current + 1);
}

void ScrollNavigationBar::slot_clicked_on_pre_key_frame_button() {
    recordVisibleCells();
    if (!m_navBase->isRecorded())
        return;
    const int current = m_navBase->get_current_user_action_frame();
    if (current <= 1)
        return;
    if (current - 1 < m_firstVisible)
        scrollBy(-FRAME_WIDTH);
    m_navBase->set_current_user_action_frame(current - 1);
}
