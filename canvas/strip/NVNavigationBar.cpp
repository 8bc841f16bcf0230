#include "canvas/strip/NVNavigationBar.h"

#include "canvas/strip/NavigationBarBase.h"
#include "canvas/strip/ScrollNavigationBar.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

QPointer<QWidget> NVNavigationBar::s_focusTarget;

namespace {
QPushButton* makeButton(const char* name, const QPixmap& pixmap, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    // A missing image file leaves the button without an icon.
    if (!pixmap.isNull())
        button->setIcon(QIcon(pixmap));
    button->setFlat(true);
    button->setMaximumSize(30, 30);
    return button;
}

QLineEdit* makeGoToField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QStringLiteral("GoTo"));
    field->setMaxLength(4);
    field->setMinimumSize(field->minimumSizeHint());
    // Room for the four digits in the field's font, within the style's frame
    // and the field's own margins (2 a side) and the cursor.
    const int frame = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, field);
    const int digits = field->fontMetrics().horizontalAdvance(QStringLiteral("9999"));
    field->setMaximumWidth(std::max(39, digits + 2 * frame + 4 + 1));
    field->setMinimumWidth(field->maximumWidth());
    return field;
}
} // namespace

NVNavigationBar::NVNavigationBar(QWidget* parent, int frames, int userActionFrames, bool recorded,
                                 unsigned int)
    : QWidget(parent) {
    m_grid = new QGridLayout(this);
    m_grid->setObjectName(QStringLiteral("my_grid"));
    m_grid->setContentsMargins(0, 0, 0, 0);

    m_scrollBar = new ScrollNavigationBar(frames, userActionFrames, recorded, this, "Scroll");
    m_scrollBar->setMinimumSize(400, 70);
    m_scrollBar->setMinimumHeight(70);
    m_scrollBar->setMaximumHeight(70);

    const QPixmap pre(QStringLiteral("pre.xpm"));
    const QPixmap next(QStringLiteral("next.xpm"));

    auto* fieldBox = new QVBoxLayout;
    auto* preBox = new QVBoxLayout;
    auto* nextBox = new QVBoxLayout;
    auto* labelBox = new QVBoxLayout;

    m_preFrame = makeButton("pb1", pre, this);
    m_preUserAction = makeButton("pb2", pre, this);
    m_nextFrame = makeButton("pb3", next, this);
    m_nextUserAction = makeButton("pb4", next, this);

    m_frameField = makeGoToField(this);
    m_userActionField = makeGoToField(this);

    m_frameField->setEnabled(false);
    m_userActionField->setEnabled(false);
    for (QPushButton* b : {m_preFrame, m_preUserAction, m_nextFrame, m_nextUserAction})
        b->setEnabled(false);

    auto* frameLabel = new QLabel(QStringLiteral("Go To"), this);
    frameLabel->setObjectName(QStringLiteral("goto"));
    auto* uaLabel = new QLabel(QStringLiteral("Go To"), this);
    uaLabel->setObjectName(QStringLiteral("goto"));

    fieldBox->addWidget(m_frameField, 0, Qt::AlignCenter);
    fieldBox->addWidget(m_userActionField, 0, Qt::AlignCenter);
    preBox->addWidget(m_preFrame, 0, Qt::AlignLeft | Qt::AlignTop);
    preBox->addWidget(m_preUserAction, 0, Qt::AlignLeft | Qt::AlignBottom);
    nextBox->addWidget(m_nextFrame, 0, Qt::AlignTop);
    nextBox->addWidget(m_nextUserAction, 0, Qt::AlignBottom);
    labelBox->addWidget(frameLabel);
    labelBox->addWidget(uaLabel);

    m_grid->addLayout(preBox, 0, 0);
    m_grid->addWidget(m_scrollBar, 0, 1);
    m_grid->addLayout(nextBox, 0, 2);
    m_grid->addLayout(labelBox, 0, 3);
    m_grid->addLayout(fieldBox, 0, 4);
    for (int column = 0; column < 5; ++column)
        m_grid->setColumnStretch(column, column == 1 ? 1 : 0);
    m_grid->activate();

    connect(m_frameField, &QLineEdit::returnPressed, this,
            &NVNavigationBar::slot_start_change_frame_selection);
    connect(m_userActionField, &QLineEdit::returnPressed, this,
            &NVNavigationBar::slot_start_change_ua_frame_selection);
    connect(this, &NVNavigationBar::signal_change_frame_selection, m_scrollBar,
            &ScrollNavigationBar::slot_goto_frame);
    connect(this, &NVNavigationBar::signal_change_ua_frame_selection, m_scrollBar,
            &ScrollNavigationBar::slot_goto_ua_frame);
    connect(m_preFrame, &QPushButton::clicked, m_scrollBar,
            &ScrollNavigationBar::slot_clicked_on_pre_frame_button);
    connect(m_preUserAction, &QPushButton::clicked, m_scrollBar,
            &ScrollNavigationBar::slot_clicked_on_pre_key_frame_button);
    connect(m_nextFrame, &QPushButton::clicked, m_scrollBar,
            &ScrollNavigationBar::slot_clicked_on_next_frame_button);
    connect(m_nextUserAction, &QPushButton::clicked, m_scrollBar,
            &ScrollNavigationBar::slot_clicked_on_next_key_frame_button);

    NavigationBarBase* strip = m_scrollBar->get_navbase();
    connect(strip, &NavigationBarBase::signal_current_frame_is, this, &NVNavigationBar::slot_make_goto_frame);
    connect(strip, &NavigationBarBase::signal_current_user_action_frame_is, this,
            &NVNavigationBar::slot_make_goto_ua_frame);
    connect(strip, &NavigationBarBase::signal_on_record_frames, this,
            &NVNavigationBar::slot_enable_edit_texts);
    connect(strip, &NavigationBarBase::signal_change_button_state, this,
            &NVNavigationBar::slot_change_button_state);
}

// Children and layouts belong to the bar.
NVNavigationBar::~NVNavigationBar() = default;

void NVNavigationBar::setFocusTarget(QWidget* widget) {
    s_focusTarget = widget;
}

void NVNavigationBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_grid->setGeometry(QRect(QPoint(0, 0), event->size()));
    m_grid->setColumnMinimumWidth(0, 35);
    m_grid->setColumnMinimumWidth(1, std::max(event->size().width() - 380, 0));
    m_grid->setColumnMinimumWidth(2, 35);
    m_grid->setColumnMinimumWidth(3, 35);
    m_grid->setColumnMinimumWidth(4, 39);
}

void NVNavigationBar::mousePressEvent(QMouseEvent*) {}

void NVNavigationBar::giveFocusAway() {
    QWidget* target = s_focusTarget ? s_focusTarget.data() : window();
    if (target)
        target->setFocus();
}

void NVNavigationBar::slot_start_change_frame_selection() {
    const int frame = m_frameField->text().toInt();
    giveFocusAway();
    emit signal_change_frame_selection(frame);
}

void NVNavigationBar::slot_start_change_ua_frame_selection() {
    const int userActionFrame = m_userActionField->text().toInt();
    giveFocusAway();
    emit signal_change_ua_frame_selection(userActionFrame);
}

void NVNavigationBar::slot_make_goto_frame(int frame) {
    m_frameField->setText(frame == -1 ? QString() : QString::number(frame + 1));
}

void NVNavigationBar::slot_make_goto_ua_frame(int userActionFrame) {
    if (userActionFrame == -2) {
        m_frameField->clear();
        m_userActionField->clear();
        return;
    }
    m_userActionField->setText(userActionFrame == -1 ? QString() : QString::number(userActionFrame + 1));
}

void NVNavigationBar::slot_enable_edit_texts() {
    m_frameField->setEnabled(true);
    m_userActionField->setEnabled(true);
}

void NVNavigationBar::slot_change_button_state(int state) {
    auto set = [](QPushButton* b, int on) {
        if (on >= 0)
            b->setEnabled(on != 0);
    };
    // Per NavigationBarBase::ButtonState code: previous frame, next frame,
    // previous user action, next user action; -1 keeps the state.
    static const int table[NavigationBarBase::ButtonsStripEmpty + 1][4] = {
        {0, 1, -1, -1}, // ButtonsFirstFrame
        {0, 0, 0, 0},   // ButtonsOnlyFrame
        {-1, -1, 0, 1}, // ButtonsFirstUserAction
        {-1, -1, 0, 0}, // ButtonsOnlyUserAction
        {1, 1, -1, -1}, // ButtonsMiddleFrame
        {-1, -1, 1, 1}, // ButtonsMiddleUserAction
        {1, 0, -1, -1}, // ButtonsLastFrame
        {-1, -1, 1, 0}, // ButtonsLastUserAction
        {0, 0, 0, 0},   // ButtonsStripEmpty
    };
    if (state < NavigationBarBase::ButtonsFirstFrame || state > NavigationBarBase::ButtonsStripEmpty)
        return;
    set(m_preFrame, table[state][0]);
    set(m_nextFrame, table[state][1]);
    set(m_preUserAction, table[state][2]);
    set(m_nextUserAction, table[state][3]);
    if (state == NavigationBarBase::ButtonsStripEmpty) {
        m_frameField->setEnabled(false);
        m_userActionField->setEnabled(false);
    }
}
