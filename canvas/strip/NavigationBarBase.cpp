#include "canvas/strip/NavigationBarBase.h"

#include "canvas/strip/FrameStripHost.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QtDebug>

#include <QLoggingCategory>
#include <algorithm>
#include <vector>

Q_LOGGING_CATEGORY(lcStrip, "velmora.canvas.strip", QtWarningMsg)

int NavigationBarBase::temp_end_frame = 0;

namespace {
constexpr int STRIP_HEIGHT = 3 * FRAME_HEIGHT;
constexpr int FRAME_BAND_Y = 0;
constexpr int RULER_BAND_Y = FRAME_HEIGHT;
constexpr int UA_BAND_Y = 2 * FRAME_HEIGHT;

int cellOf(int x) {
    return x / FRAME_WIDTH + 1;
}

void fillCell(QPainter& p, int cell, int bandY, const QColor& colour) {
    p.fillRect(FRAME_WIDTH * (cell - 1), bandY, FRAME_WIDTH, FRAME_HEIGHT, colour);
}

void crossCell(QPainter& p, int cell, int bandY) {
    const int x0 = FRAME_WIDTH * (cell - 1);
    const int x1 = FRAME_WIDTH * cell;
    p.drawLine(x0, bandY, x1, bandY + FRAME_HEIGHT - 1);
    p.drawLine(x1, bandY, x0, bandY + FRAME_HEIGHT - 1);
}

void ordered(int& a, int& b) {
    if (a > b)
        std::swap(a, b);
}
} // namespace

NavigationBarBase::NavigationBarBase(QWidget* parent, const char* name, int frames, int userActionFrames,
                                     bool recorded)
    : QWidget(parent) {
    setObjectName(QString::fromLatin1(name ? name : ""));
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont small = font();
    small.setPixelSize(9);
    setFont(small);

    frames = std::max(frames, 0);
    userActionFrames = std::max(userActionFrames, 0);
    m_recorded = recorded ? 1 : 0;
    if (recorded) {
        m_currentFrame = frames > 0 ? 1 : 0;
        m_frameDetails.resize(frames);
        m_uFrameDetails.resize(userActionFrames);
    }
    m_userActionCount = userActionFrames;
    m_frameCount = frames;
    if (!recorded && m_frameCount < MIN_FRAMES())
        m_frameCount = MIN_FRAMES();

    m_menu = new QMenu(this);
    static const char* const texts[6] = {"Cut\t",        "Copy",           "Paste",
                                         "Delete Frame", "Undelete Frame", "Enable User Action"};
    for (int id = 0; id < 6; ++id) {
        QAction* a = m_menu->addAction(QString::fromLatin1(texts[id]));
        a->setData(id);
        m_menuActions[id] = a;
    }
    m_menuActions[MenuUserAction]->setCheckable(true);
    m_menuActions[MenuPaste]->setEnabled(m_clipboardFull != 0);
    m_menuActions[MenuUndeleteFrame]->setEnabled(false);
    m_menuActions[MenuUserAction]->setEnabled(false);
    connect(m_menu, &QMenu::triggered, this, [this](QAction* a) { slot_manage_menu(a->data().toInt()); });

    resize(stripWidth(), STRIP_HEIGHT);
}

NavigationBarBase::~NavigationBarBase() = default;

QAction* NavigationBarBase::menuAction(int id) const {
    return id >= 0 && id < 6 ? m_menuActions[id] : nullptr;
}

int NavigationBarBase::stripWidth() const {
    const int minFrames = MIN_FRAMES();
    return m_frameCount >= minFrames ? FRAME_WIDTH * (m_frameCount + 1) : FRAME_WIDTH * minFrames;
}

void NavigationBarBase::applyStripSize() {
    if (width() != stripWidth() || height() != STRIP_HEIGHT)
        resize(stripWidth(), STRIP_HEIGHT);
}

bool NavigationBarBase::in(int frame, const int* list, int count) {
    if (!list)
        return false;
    for (int i = 0; i < count; ++i)
        if (list[i] == frame)
            return true;
    return false;
}

void NavigationBarBase::swap(int& a, int& b) {
    std::swap(a, b);
}

bool NavigationBarBase::between(int n, int a, int b) {
    ordered(a, b);
    return n >= a && n <= b;
}

int* NavigationBarBase::get_selected_frames(int* buffer) const {
    buffer[0] = m_currentFrame;
    buffer[1] = m_currentUserActionFrame;
    return buffer;
}

int* NavigationBarBase::get_drag_selected_frames(int* buffer) const {
    buffer[0] = m_frameRangeStart;
    buffer[1] = m_frameRangeEnd;
    buffer[2] = m_uaRangeStart;
    buffer[3] = m_uaRangeEnd;
    return buffer;
}

// ---------------------------------------------------------------- painting

void NavigationBarBase::paintEvent(QPaintEvent*) {
    const int frames = get_total_no_frames();
    const int uaFrames = get_total_no_user_action_frames();
    const int w = FRAME_WIDTH * std::max(m_frameCount, MIN_FRAMES());

    const qreal dpr = devicePixelRatioF();
    QPixmap pixmap(size() * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(palette().color(backgroundRole()));
    QPainter p(&pixmap);

    if (m_recorded) {
        p.fillRect(0, FRAME_BAND_Y, w + FRAME_WIDTH, FRAME_HEIGHT, Qt::white);
        p.fillRect(0, UA_BAND_Y, w + FRAME_WIDTH, FRAME_HEIGHT, Qt::white);
        p.fillRect(0, FRAME_BAND_Y, FRAME_WIDTH * (frames + 1), FRAME_HEIGHT, Qt::darkGray);
        p.fillRect(0, UA_BAND_Y, FRAME_WIDTH * (uaFrames + 1), FRAME_HEIGHT, Qt::darkGray);

        if (m_frameRangeStart != 0) {
            int a = m_frameRangeStart, b = m_frameRangeEnd;
            ordered(a, b);
            for (int n = std::max(a, 1); n <= std::min(b, frames); ++n)
                fillCell(p, n, FRAME_BAND_Y, Qt::blue);
        }
        if (m_uaRangeStart != 0) {
            int a = m_uaRangeStart, b = m_uaRangeEnd;
            ordered(a, b);
            for (int n = std::max(a, 1); n <= std::min(b, uaFrames); ++n)
                fillCell(p, n, UA_BAND_Y, Qt::blue);
        }
        for (int i = 0; i < frames; ++i) {
            const FrameDetails& fd = m_frameDetails[i];
            if (fd.userAction && !fd.actionEnabled) {
                fillCell(p, i + 1, FRAME_BAND_Y, Qt::cyan);
                if (fd.userActionNumber >= 1 && fd.userActionNumber <= uaFrames)
                    fillCell(p, fd.userActionNumber, UA_BAND_Y, Qt::cyan);
            }
        }
        if (m_currentFrame >= 1 && m_currentFrame <= frames) {
            fillCell(p, m_currentFrame, FRAME_BAND_Y, Qt::green);
            if (m_frameDetails[m_currentFrame - 1].userAction) {
                if (m_currentUserActionFrame != 0)
                    fillCell(p, m_currentUserActionFrame, UA_BAND_Y, Qt::green);
            } else {
                fillCell(p, m_currentUserActionFrame != 0 ? m_currentUserActionFrame : 1, UA_BAND_Y,
                         Qt::blue);
            }
        }
        fillCell(p, frames + 1, FRAME_BAND_Y, Qt::red);
        fillCell(p, uaFrames + 1, UA_BAND_Y, Qt::red);

        p.setPen(Qt::red);
        for (int i = 0; i < frames; ++i)
            if (m_frameDetails[i].deleted)
                crossCell(p, i + 1, FRAME_BAND_Y);
        for (int i = 0; i < uaFrames; ++i)
            if (m_uFrameDetails[i].deleted)
                crossCell(p, i + 1, UA_BAND_Y);
    } else {
        p.fillRect(0, FRAME_BAND_Y, w, FRAME_HEIGHT, Qt::white);
        p.fillRect(0, UA_BAND_Y, w, FRAME_HEIGHT, Qt::white);
    }

    p.setPen(Qt::black);
    for (int n = 1; n <= w / FRAME_WIDTH; ++n) {
        const int x = FRAME_WIDTH * n;
        p.drawLine(x, FRAME_BAND_Y - 1, x, FRAME_BAND_Y + FRAME_HEIGHT - 1);
        p.drawLine(x, UA_BAND_Y, x, UA_BAND_Y + FRAME_HEIGHT);
        p.drawPoint(x - 4, RULER_BAND_Y + 7);
        if (n % 10 == 0) {
            const QString number = QString::number(n);
            p.drawText(QPoint(x - 7 - int(number.size()) / 2, RULER_BAND_Y + 12), number);
        }
    }
    p.end();

    QPainter(this).drawPixmap(0, 0, pixmap);
}

void NavigationBarBase::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    applyStripSize();
}

// ------------------------------------------------------------------ mouse

bool NavigationBarBase::inFrameBand(const QPoint& p) const {
    return p.x() >= 0 && p.x() < FRAME_WIDTH * get_total_no_frames() - 1 && p.y() >= FRAME_BAND_Y &&
           p.y() < FRAME_BAND_Y + FRAME_HEIGHT - 1;
}

bool NavigationBarBase::inUserActionBand(const QPoint& p) const {
    return p.x() >= 0 && p.x() < FRAME_WIDTH * get_total_no_user_action_frames() - 1 && p.y() >= UA_BAND_Y &&
           p.y() < UA_BAND_Y + FRAME_HEIGHT - 1;
}

void NavigationBarBase::mousePressEvent(QMouseEvent* event) {
    if (!m_recorded)
        return;
    const QPoint pos = event->position().toPoint();
    const bool frameBand = inFrameBand(pos);
    const bool uaBand = !frameBand && inUserActionBand(pos);
    if (!frameBand && !uaBand)
        return;

    if (event->button() == Qt::LeftButton) {
        if (frameBand) {
            qCDebug(lcStrip, "x %d Y %d", FRAME_WIDTH * (cellOf(pos.x()) - 1), FRAME_BAND_Y);
            qCDebug(lcStrip, "New frame no %d", cellOf(pos.x()));
            m_pressInFrameBand = 1;
            m_pressInUserActionBand = 0;
            if (m_frameRangeStart != 0) {
                clearRanges();
                update();
            }
            m_pressPos = pos;
            if (cellOf(pos.x()) != m_currentFrame)
                set_current_frame(cellOf(pos.x()));
        } else {
            m_pressPos = pos;
            m_pressInUserActionBand = 1;
            m_pressInFrameBand = 0;
            if (m_uaRangeStart != 0) {
                clearRanges();
                update();
            }
            set_current_user_action_frame(cellOf(pos.x()));
            update();
        }
    } else if (event->button() == Qt::RightButton) {
        prepareMenu(frameBand);
        m_menu->popup(QCursor::pos());
    }
}

void NavigationBarBase::mouseMoveEvent(QMouseEvent* event) {
    if (!m_recorded)
        return;
    if (event->buttons() != Qt::LeftButton || event->modifiers() != Qt::NoModifier)
        return;
    const QPoint pos = event->position().toPoint();
    if (m_pressInFrameBand && inFrameBand(pos)) {
        const int p = cellOf(m_pressPos.x());
        const int e = cellOf(pos.x());
        if (e != p) {
            temp_end_frame = e;
            m_frameRangeStart = p;
            m_frameRangeEnd = e;
            followFrameRange(p, e);
        }
    } else if (m_pressInUserActionBand && inUserActionBand(pos)) {
        const int p = cellOf(m_pressPos.x());
        const int e = cellOf(pos.x());
        if (e != p) {
            temp_end_frame = e;
            m_uaRangeStart = p;
            m_uaRangeEnd = e;
            m_frameRangeStart = m_uFrameDetails[p - 1].frame;
            m_frameRangeEnd = m_uFrameDetails[e - 1].frame;
        }
    } else {
        return;
    }
    m_lastDragPos = pos;
    update();
}

void NavigationBarBase::followFrameRange(int p, int e) {
    const int frames = get_total_no_frames();
    auto number = [&](int frame) {
        if (frame < 1 || frame > frames)
            return 0;
        const FrameDetails& fd = m_frameDetails[frame - 1];
        return fd.userAction ? fd.userActionNumber : 0;
    };
    int start = 0, end = 0;
    if (e > p) {
        for (int f = p; f <= e && !start; ++f)
            start = number(f);
        for (int f = e; f > p && !end; --f)
            end = number(f);
        if (!end)
            end = start;
    } else if (e < p) {
        for (int f = p; f >= e && !start; --f)
            start = number(f);
        for (int f = e; f <= p && !end; ++f)
            end = number(f);
    }
    if (start > 0) {
        m_uaRangeStart = start;
        m_uaRangeEnd = end;
    }
}

void NavigationBarBase::clearRanges() {
    m_frameRangeStart = m_frameRangeEnd = 0;
    m_uaRangeStart = m_uaRangeEnd = 0;
}

// ------------------------------------------------------- current frames

void NavigationBarBase::emitFrameButtonState(int frame) {
    const int frames = get_total_no_frames();
    if (frame == 1)
        emit signal_change_button_state(frames > 1 ? ButtonsFirstFrame : ButtonsOnlyFrame);
    else if (frame >= 2 && frame <= frames - 1)
        emit signal_change_button_state(ButtonsMiddleFrame);
    else if (frame == frames && frames > 1)
        emit signal_change_button_state(ButtonsLastFrame);
}

void NavigationBarBase::emitUserActionButtonState(int userActionFrame) {
    const int count = get_total_no_user_action_frames();
    if (userActionFrame == 1)
        emit signal_change_button_state(count > 1 ? ButtonsFirstUserAction : ButtonsOnlyUserAction);
    else if (userActionFrame >= 2 && userActionFrame <= count - 1)
        emit signal_change_button_state(ButtonsMiddleUserAction);
    else if (userActionFrame == count && count > 1)
        emit signal_change_button_state(ButtonsLastUserAction);
}

void NavigationBarBase::set_current_frame(int frame) {
    if (frame < 1 || frame > get_total_no_frames())
        return;
    m_currentFrame = frame;
    emit signal_current_frame_is(frame - 1);
    // A receiver may have rebuilt the strip.
    if (frame > get_total_no_frames())
        return;

    const FrameDetails fd = m_frameDetails[frame - 1];
    const int number = fd.userActionNumber;
    if (fd.userAction && number >= 1 && number <= get_total_no_user_action_frames() &&
        m_uFrameDetails[number - 1].frame == frame) {
        set_current_user_action_frame(number);
    } else {
        emit signal_current_user_action_frame_is(-1);
        for (int f = frame + 1; f <= get_total_no_frames(); ++f) {
            const FrameDetails& next = m_frameDetails[f - 1];
            if (next.userAction && next.userActionNumber >= 1) {
                m_currentUserActionFrame = next.userActionNumber;
                break;
            }
        }
    }
    if (frame > get_total_no_frames())
        return;
    emit signalCurrentFrameStatus(m_frameDetails[frame - 1].deleted != 0);
    emitFrameButtonState(frame);
    clearRanges();
    update();
}

void NavigationBarBase::set_current_user_action_frame(int userActionFrame) {
    if (userActionFrame < 0 || userActionFrame > get_total_no_user_action_frames())
        return;
    m_currentUserActionFrame = userActionFrame;
    emit signal_current_user_action_frame_is(userActionFrame - 1);
    if (userActionFrame != 0 && userActionFrame <= get_total_no_user_action_frames() &&
        m_currentFrame != m_uFrameDetails[userActionFrame - 1].frame)
        set_current_frame(m_uFrameDetails[userActionFrame - 1].frame);
    else
        update();
    emitUserActionButtonState(userActionFrame);
}

void NavigationBarBase::set_recorded(bool recorded) {
    m_recorded = recorded ? 1 : 0;
    if (recorded)
        emit signal_on_record_frames();
    update();
}

void NavigationBarBase::disableButtonsOnMakeAndOpen() {
    emit signal_change_button_state(ButtonsOnlyFrame);
}

void NavigationBarBase::enableButtonsAfterMakeAndOpen() {
    if (m_currentFrame >= 1)
        emitFrameButtonState(m_currentFrame);
}

// ------------------------------------------------------------- selection

void NavigationBarBase::slot_select_all_frames() {
    if (m_currentFrame == 0)
        return;
    m_frameRangeStart = 1;
    m_frameRangeEnd = get_total_no_frames();
    const int uaFrames = get_total_no_user_action_frames();
    m_uaRangeStart = uaFrames > 0 ? 1 : 0;
    m_uaRangeEnd = uaFrames;
    update();
}

void NavigationBarBase::slot_select_all_ua_frames() {
    const int uaFrames = get_total_no_user_action_frames();
    if (m_currentFrame == 0 || uaFrames == 0)
        return;
    m_uaRangeStart = 1;
    m_uaRangeEnd = uaFrames;
    m_frameRangeStart = m_uFrameDetails.first().frame;
    m_frameRangeEnd = m_uFrameDetails.last().frame;
    update();
}

void NavigationBarBase::slot_set_selected_frames_to_left() {
    if (m_currentFrame == 0)
        return;
    const bool hasRange = m_frameRangeStart != 0 && m_frameRangeEnd != 0;
    if (hasRange ? m_frameRangeEnd <= 1 : m_currentFrame == 1)
        return;
    const int end = (hasRange ? m_frameRangeEnd : m_currentFrame) - 1;
    m_frameRangeStart = m_currentFrame;
    m_frameRangeEnd = end;
    followFrameRange(m_currentFrame, end);
    update();
}

void NavigationBarBase::slot_set_selected_frames_to_right() {
    if (m_currentFrame == 0)
        return;
    const int frames = get_total_no_frames();
    const bool hasRange = m_frameRangeStart != 0 && m_frameRangeEnd != 0;
    if (hasRange ? m_frameRangeEnd >= frames : m_currentFrame >= frames)
        return;
    const int end = (hasRange ? m_frameRangeEnd : m_currentFrame) + 1;
    m_frameRangeStart = m_currentFrame;
    m_frameRangeEnd = end;
    followFrameRange(m_currentFrame, end);
    update();
}

// ------------------------------------------------------------------- menu

bool NavigationBarBase::selectionHasUnmarkedFrame() const {
    int a = m_frameRangeStart, b = m_frameRangeEnd;
    if (a == 0 || b == 0)
        a = b = m_currentFrame;
    ordered(a, b);
    for (int f = std::max(a, 1); f <= std::min(b, get_total_no_frames()); ++f)
        if (!m_frameDetails[f - 1].deleted)
            return true;
    return false;
}

bool NavigationBarBase::anyFrameMarkedDeleted() const {
    return std::any_of(m_frameDetails.begin(), m_frameDetails.end(),
                       [](const FrameDetails& fd) { return fd.deleted != 0; });
}

void NavigationBarBase::prepareMenu(bool inFrameBand) {
    if (m_currentFrame < 1 || m_currentFrame > get_total_no_frames())
        return;
    const bool unmarked = selectionHasUnmarkedFrame();
    QAction* const* a = m_menuActions;
    a[MenuUserAction]->setEnabled(false);
    a[MenuUserAction]->setChecked(false);
    const FrameDetails& current = m_frameDetails[m_currentFrame - 1];

    auto deletedStates = [&] {
        a[MenuCut]->setEnabled(unmarked);
        a[MenuCopy]->setEnabled(unmarked);
        a[MenuPaste]->setEnabled(m_clipboardFull != 0);
        a[MenuDeleteFrame]->setEnabled(false);
        a[MenuUndeleteFrame]->setEnabled(true);
        m_rightClickedFrame = m_currentFrame;
    };

    if (inFrameBand) {
        if (current.userAction) {
            a[MenuUserAction]->setEnabled(true);
            a[MenuUserAction]->setChecked(current.actionEnabled != 0);
        }
        if (current.deleted) {
            deletedStates();
        } else {
            a[MenuCut]->setEnabled(true);
            a[MenuCopy]->setEnabled(true);
            a[MenuDeleteFrame]->setEnabled(true);
            a[MenuPaste]->setEnabled(m_clipboardFull != 0);
            a[MenuUndeleteFrame]->setEnabled(false);
        }
    } else {
        const int ua = m_currentUserActionFrame;
        if (ua >= 1 && ua <= get_total_no_user_action_frames() && m_uFrameDetails[ua - 1].deleted) {
            deletedStates();
            a[MenuUserAction]->setEnabled(true);
            a[MenuUserAction]->setChecked(current.actionEnabled != 0);
        }
    }
}

void NavigationBarBase::slot_manage_menu(int id) {
    switch (id) {
    case MenuCut:
        cut_frames();
        break;
    case MenuCopy:
        copy_frames();
        break;
    case MenuPaste:
        paste_frames();
        break;
    case MenuDeleteFrame:
    case MenuUndeleteFrame:
        mark_frame_delete();
        break;
    case MenuUserAction:
        changeUserActionStatus();
        break;
    case MenuMouseMovement:
        toggleMouseMovement();
        break;
    default:
        break;
    }
}

void NavigationBarBase::toggleMouseMovement() {
    if (m_currentFrame == 0)
        return;
    if (m_frameRangeEnd != 0) {
        int a = m_frameRangeStart, b = m_frameRangeEnd;
        ordered(a, b);
        for (int f = std::max(a, 1); f <= std::min(b, get_total_no_frames()); ++f)
            m_frameDetails[f - 1].mouseMovement ^= 1;
        int ua = m_uaRangeStart, ub = m_uaRangeEnd;
        ordered(ua, ub);
        for (int n = std::max(ua, 1); n <= std::min(ub, get_total_no_user_action_frames()); ++n)
            m_uFrameDetails[n - 1].mouseMovement ^= 1;
    } else if (m_rightClickedFrame >= 1 && m_rightClickedFrame <= get_total_no_frames()) {
        m_frameDetails[m_rightClickedFrame - 1].mouseMovement ^= 1;
    }
    update();
}

// ---------------------------------------------------------- frame clipboard

void NavigationBarBase::slotCopyFrames() {
    copy_frames();
}
void NavigationBarBase::slotCutFrames() {
    cut_frames();
}
void NavigationBarBase::slotPasteFrames() {
    paste_frames();
}

void NavigationBarBase::copy_frames() {
    if (m_currentFrame == 0)
        return;
    if (m_frameRangeStart != 0 && m_frameRangeEnd != 0) {
        m_clipFirstFrame = m_frameRangeStart;
        m_clipLastFrame = m_frameRangeEnd;
    } else {
        m_clipFirstFrame = m_clipLastFrame = m_currentFrame;
    }
    if (m_uaRangeStart != 0) {
        m_clipFirstUserActionFrame = m_uaRangeStart;
        m_clipLastUserActionFrame = m_uaRangeEnd;
    } else if (m_currentFrame <= get_total_no_frames() && m_frameDetails[m_currentFrame - 1].userAction) {
        m_clipFirstUserActionFrame = m_clipLastUserActionFrame = m_currentUserActionFrame;
    } else {
        m_clipFirstUserActionFrame = m_clipLastUserActionFrame = 0;
    }
    ordered(m_clipFirstFrame, m_clipLastFrame);
    ordered(m_clipFirstUserActionFrame, m_clipLastUserActionFrame);
    m_clipFromCut = 0;
    m_clipboardFull = 1;
}

void NavigationBarBase::cut_frames() {
    if (m_currentFrame == 0)
        return;
    copy_frames();
    m_clipFromCut = 1;
}

// The clipboard keeps frame numbers across every change of the frame table;
// the frame table operations do not check their ranges, so a clip that no
// longer fits the project is never handed on.
bool NavigationBarBase::clipboardFits() const {
    const int frames = get_total_no_frames();
    return m_clipFirstFrame >= 1 && m_clipFirstFrame <= m_clipLastFrame && m_clipLastFrame <= frames &&
           m_currentFrame >= 1 && m_currentFrame <= frames;
}

void NavigationBarBase::paste_frames() {
    if (m_currentFrame == 0 || m_clipFirstFrame == 0)
        return;
    if (!clipboardFits())
        return;
    const int current = m_currentFrame - 1;
    const int first = m_clipFirstFrame - 1;
    const int last = m_clipLastFrame - 1;
    if (m_clipFromCut)
        emit signal_on_paste_after_cut(current, first, last);
    else
        emit signal_on_paste_frames(current, first, last);
    temp_end_frame = 0;
    m_clipboardFull = 0;
}

// ---------------------------------------------------------------- rebuilds

void NavigationBarBase::rebuildTables(int frames, const int* list, int count, bool actionFromRecords) {
    m_frameDetails = QVector<FrameDetails>(std::max(frames, 0));
    m_uFrameDetails.clear();
    std::vector<int> ua;
    if (list)
        for (int i = 0; i < count; ++i)
            if (list[i] >= 0 && list[i] < frames)
                ua.push_back(list[i]);
    std::sort(ua.begin(), ua.end());
    ua.erase(std::unique(ua.begin(), ua.end()), ua.end());
    for (size_t k = 0; k < ua.size(); ++k) {
        const int f = ua[k];
        bool enabled = true;
        if (actionFromRecords && m_host && m_host->hasFrameObjectRecord(f))
            enabled = m_host->frameUserAction(f) == 0;
        FrameDetails& fd = m_frameDetails[f];
        fd.userAction = 1;
        fd.userActionNumber = int(k) + 1;
        fd.actionEnabled = enabled ? 1 : 0;
        UFrameDetails cell;
        cell.frame = f + 1;
        cell.actionEnabled = enabled ? 1 : 0;
        m_uFrameDetails.append(cell);
    }
    m_frameCount = get_total_no_frames();
    m_userActionCount = get_total_no_user_action_frames();
    // Ranges from before the rebuild may point past the new tables.
    if (std::max(m_frameRangeStart, m_frameRangeEnd) > m_frameCount ||
        std::max(m_uaRangeStart, m_uaRangeEnd) > m_userActionCount)
        clearRanges();
}

void NavigationBarBase::reset_frame_details(int frames, int userActionFrames, const int* list) {
    if (frames <= 0) {
        m_frameCount = MIN_FRAMES();
        m_userActionCount = MIN_FRAMES();
        m_currentFrame = 0;
        m_currentUserActionFrame = 0;
        m_recorded = 0;
        clearRanges();
        m_frameDetails.clear();
        m_uFrameDetails.clear();
        // An emptied project has no frames to paste.
        m_clipFirstFrame = m_clipLastFrame = 0;
        m_clipFirstUserActionFrame = m_clipLastUserActionFrame = 0;
        m_clipboardFull = 0;
        applyStripSize();
        emit signal_current_user_action_frame_is(-2);
        emit signal_change_button_state(ButtonsStripEmpty);
    } else {
        int valid = 0;
        if (list)
            for (int i = 0; i < userActionFrames; ++i)
                valid += list[i] >= 0 && list[i] < frames;
        // Kept tables must still match the counts they describe.
        const bool rebuild = m_frameCount == 0 || !m_recorded || get_total_no_frames() != frames ||
                             get_total_no_user_action_frames() != valid;
        if (rebuild)
            rebuildTables(frames, list, userActionFrames, false);
        m_frameCount = get_total_no_frames();
        m_userActionCount = get_total_no_user_action_frames();
        m_recorded = 1;
        if (m_currentFrame < 1 || m_currentFrame > frames) {
            m_currentFrame = 0;
            m_currentUserActionFrame = 0;
            set_current_frame(1);
        }
        applyStripSize();
    }
    update();
    temp_end_frame = 0;
}

void NavigationBarBase::resetFrameDetailsOnFileOpen(int frames, int userActionFrames, const int* list) {
    if (frames <= 0) {
        reset_frame_details(0, 0, nullptr);
        return;
    }
    rebuildTables(frames, list, userActionFrames, true);
    m_recorded = 1;
    if (m_currentFrame < 1 || m_currentFrame > frames) {
        m_currentFrame = 0;
        m_currentUserActionFrame = 0;
        set_current_frame(1);
    }
    applyStripSize();
    update();
    temp_end_frame = 0;
}

void NavigationBarBase::resetFrameDetailsOnPasteFrame(int frames, int userActionFrames, const int* list,
                                                      bool toFirst) {
    if (frames <= 0) {
        reset_frame_details(0, 0, nullptr);
        return;
    }
    const int oldFrames = get_total_no_frames();
    rebuildTables(frames, list, userActionFrames, true);
    clearRanges();
    if (m_currentFrame < 1 || m_currentFrame > oldFrames || toFirst) {
        m_currentFrame = 0;
        m_currentUserActionFrame = 0;
        set_current_frame(1);
    } else {
        int target;
        if (frames != oldFrames)
            target = m_currentFrame + m_clipLastFrame - m_clipFirstFrame;
        else if (m_currentFrame > m_clipFirstFrame)
            target = m_currentFrame - 1;
        else
            target = m_currentFrame + m_clipLastFrame - m_clipFirstFrame;
        set_current_frame(std::clamp(target, 1, frames));
    }
    m_clipboardFull = 0;
    applyStripSize();
    update();
    temp_end_frame = 0;
}

void NavigationBarBase::resetFrameDetailsOnAppendFrame() {
    if (!m_recorded && m_currentFrame == 0) {
        m_currentFrame = 1;
        m_frameCount = 0;
        m_frameDetails.clear();
        m_uFrameDetails.clear();
    }
    m_frameDetails.append(FrameDetails{});
    m_frameCount = get_total_no_frames();
    m_userActionCount = get_total_no_user_action_frames();
    temp_end_frame = 0;
    applyStripSize();
    set_current_frame(m_frameCount);
}

void NavigationBarBase::resetFrameDetailsOnInsertFrame() {
    if (!m_recorded && m_currentFrame == 0) {
        m_currentFrame = 1;
        m_frameCount = 0;
        m_frameDetails.clear();
        m_uFrameDetails.clear();
    }
    const int position = std::clamp(m_currentFrame, 1, get_total_no_frames() + 1);
    m_frameDetails.insert(position - 1, FrameDetails{});
    for (UFrameDetails& cell : m_uFrameDetails)
        if (cell.frame >= position)
            ++cell.frame;
    m_frameCount = get_total_no_frames();
    m_userActionCount = get_total_no_user_action_frames();
    temp_end_frame = 0;
    applyStripSize();
    set_current_frame(position);
}

// ------------------------------------------------------------ delete marks

void NavigationBarBase::mark_frame_delete(int frame) {
    if (frame < 0 || frame >= get_total_no_frames())
        return;
    FrameDetails& fd = m_frameDetails[frame];
    fd.deleted = 1;
    if (fd.userAction && fd.userActionNumber >= 1 && fd.userActionNumber <= get_total_no_user_action_frames())
        m_uFrameDetails[fd.userActionNumber - 1].deleted = 1;
    update();
}

void NavigationBarBase::mark_frame_delete() {
    if (m_currentFrame < 1 || m_currentFrame > get_total_no_frames())
        return;
    ordered(m_frameRangeStart, m_frameRangeEnd);
    ordered(m_uaRangeStart, m_uaRangeEnd);
    const int current = m_currentFrame;

    if (m_frameRangeStart != 0) {
        // The main window toggles the playback records' flags before the emit returns.
        emit signal_on_delete_frame(m_frameRangeStart - 1, m_frameRangeEnd - 1);
        if (m_host)
            m_host->disableObjects();
        const int frames = get_total_no_frames();
        if (m_host) {
            const int n = std::min(m_host->playbackFrameCount(), frames);
            for (int i = 0; i < n; ++i)
                m_frameDetails[i].deleted = m_host->isPlaybackFrameDeleted(i) ? 1 : 0;
        } else {
            for (int f = std::max(m_frameRangeStart, 1); f <= std::min(m_frameRangeEnd, frames); ++f)
                m_frameDetails[f - 1].deleted ^= 1;
        }
        if (m_uaRangeStart != 0)
            for (int n = std::max(m_uaRangeStart, 1);
                 n <= std::min(m_uaRangeEnd, get_total_no_user_action_frames()); ++n)
                m_uFrameDetails[n - 1].deleted ^= 1;
    } else {
        FrameDetails& fd = m_frameDetails[current - 1];
        fd.deleted ^= 1;
        if (fd.userAction && fd.userActionNumber >= 1 &&
            fd.userActionNumber <= get_total_no_user_action_frames())
            m_uFrameDetails[fd.userActionNumber - 1].deleted ^= 1;
        const bool nowDeleted = fd.deleted != 0;
        emit signal_on_delete_frame(current - 1, current - 1);
        if (nowDeleted && m_host)
            m_host->disableObjects();
    }

    finishDeleteToggle(current);
}

void NavigationBarBase::toggleFrameDeletion(int first, int last) {
    if (m_currentFrame < 1 || m_currentFrame > get_total_no_frames())
        return;
    ordered(first, last);
    first = std::max(first, 0);
    last = std::min(last, get_total_no_frames() - 1);
    if (first > last)
        return;
    // The main window toggles the playback records' flags before the emit returns.
    emit signal_on_delete_frame(first, last);
    for (int i = first; i <= last; ++i) {
        FrameDetails& fd = m_frameDetails[i];
        if (m_host && i < m_host->playbackFrameCount())
            fd.deleted = m_host->isPlaybackFrameDeleted(i) ? 1 : 0;
        else
            fd.deleted ^= 1;
        if (fd.userAction && fd.userActionNumber >= 1 &&
            fd.userActionNumber <= get_total_no_user_action_frames())
            m_uFrameDetails[fd.userActionNumber - 1].deleted = fd.deleted;
    }
    if (m_frameDetails[m_currentFrame - 1].deleted && m_host)
        m_host->disableObjects();
    finishDeleteToggle(m_currentFrame);
}

void NavigationBarBase::finishDeleteToggle(int current) {
    if (current <= get_total_no_frames() && !m_frameDetails[current - 1].deleted) {
        if (m_host)
            m_host->enableObjects();
        emit signal_on_undelete_frame(current - 1);
    }
    if (m_host)
        m_host->changePurgeStatus(anyFrameMarkedDeleted());
    temp_end_frame = 0;
    update();
}

void NavigationBarBase::slot_purge_frames() {
    if (m_currentFrame > 1 && m_currentFrame <= get_total_no_frames() &&
        m_frameDetails[m_currentFrame - 1].deleted)
        set_current_frame(m_currentFrame - 1);
}

// ------------------------------------------------------------ user actions

void NavigationBarBase::setUserAction(int frame, bool enabled) {
    FrameDetails& fd = m_frameDetails[frame - 1];
    fd.actionEnabled = enabled ? 1 : 0;
    if (fd.userActionNumber >= 1 && fd.userActionNumber <= get_total_no_user_action_frames())
        m_uFrameDetails[fd.userActionNumber - 1].actionEnabled = fd.actionEnabled;
}

void NavigationBarBase::toggleUserAction(int frame) {
    bool enabled = m_frameDetails[frame - 1].actionEnabled == 0;
    if (m_host) {
        const int f = frame - 1;
        if (!m_host->hasFrameObjectRecord(f))
            m_host->addFrameStructureToList(f);
        const uint8_t value = m_host->frameUserAction(f) == 0 ? 1 : 0;
        m_host->setFrameUserAction(f, value);
        m_host->setActionDisabled(f, value);
        enabled = value == 0;
    }
    setUserAction(frame, enabled);
}

void NavigationBarBase::changeUserActionStatus() {
    if (m_currentFrame < 1 || m_currentFrame > get_total_no_frames())
        return;
    int a = m_currentFrame, b = m_currentFrame;
    if (m_frameRangeStart != 0 && m_frameRangeEnd != 0) {
        a = m_frameRangeStart;
        b = m_frameRangeEnd;
        ordered(a, b);
    }
    for (int f = std::max(a, 1); f <= std::min(b, get_total_no_frames()); ++f)
        if (m_frameDetails[f - 1].userAction)
            toggleUserAction(f);
    update();
}

void NavigationBarBase::setUserActionStatus(int first, int last, bool enabled) {
    ordered(first, last);
    const uint8_t value = enabled ? 0 : 1;
    for (int f = std::max(first, 0); f <= std::min(last, get_total_no_frames() - 1); ++f) {
        if (!m_frameDetails[f].userAction)
            continue;
        if (m_host) {
            if (!m_host->hasFrameObjectRecord(f))
                m_host->addFrameStructureToList(f);
            m_host->setFrameUserAction(f, value);
            m_host->setActionDisabled(f, value);
        }
        setUserAction(f + 1, enabled);
    }
    update();
}

bool NavigationBarBase::soundAddedOrRemovedInFrame(bool added) {
    if (m_currentFrame < 1 || m_currentFrame > get_total_no_frames())
        return true;
    const int current = m_currentFrame;
    FrameDetails& fd = m_frameDetails[current - 1];
    if (added) {
        if (!fd.userAction) {
            int k = 1;
            for (int f = current - 1; f >= 1; --f) {
                if (m_frameDetails[f - 1].userAction) {
                    k = m_frameDetails[f - 1].userActionNumber + 1;
                    break;
                }
            }
            UFrameDetails cell;
            cell.frame = current;
            m_uFrameDetails.insert(k - 1, cell);
            for (int f = current + 1; f <= get_total_no_frames(); ++f)
                if (m_frameDetails[f - 1].userAction)
                    ++m_frameDetails[f - 1].userActionNumber;
            fd.userAction = 1;
            fd.actionEnabled = 1;
            fd.userActionNumber = k;
            m_userActionCount = get_total_no_user_action_frames();
            m_currentUserActionFrame = k;
        }
    } else {
        const bool keepsAction =
            m_host && (m_host->hasRecordedAction(current - 1) || m_host->hasAudio(current - 1));
        const int k = fd.userActionNumber;
        if (fd.userAction && !keepsAction && k >= 1 && k <= get_total_no_user_action_frames()) {
            m_uFrameDetails.remove(k - 1);
            fd.userAction = 0;
            fd.actionEnabled = 0;
            fd.userActionNumber = -1;
            m_userActionCount = get_total_no_user_action_frames();
            m_currentUserActionFrame = std::max(m_currentUserActionFrame - 1, 0);
            for (int f = current + 1; f <= get_total_no_frames(); ++f)
                if (m_frameDetails[f - 1].userAction)
                    --m_frameDetails[f - 1].userActionNumber;
        }
    }
    update();
    emit signal_current_user_action_frame_is(m_currentUserActionFrame - 1);
    return true;
}

void NavigationBarBase::slotSoundDeletedFromFrame(int) {
    soundAddedOrRemovedInFrame(false);
}
