#include "media/CRecordSoundClip.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QStyle>

#include <sys/stat.h>

namespace {

// The black strip with a blue line across its middle.
class DisplayStrip : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setPen(Qt::blue);
        p.drawLine(0, height() / 2, x() + width(), height() / 2);
    }
};

} // namespace

CRecordSoundClip::CRecordSoundClip(QWidget* parent, const char* name) : QDialog(parent) {
    setObjectName(name);
    setModal(false);
    BuildTheInterface();
    InitConnections();
}

void CRecordSoundClip::BuildTheInterface() {
    setWindowTitle("RecordSoundClip");
    setFixedSize(220, 150);
    m_mainBox = new QGroupBox(this);
    m_mainBox->setObjectName("MainGroupBox");
    m_mainBox->setGeometry(0, 0, 220, 150);
    auto label = [this](const char* name, const QString& text, int x, int y) {
        auto* l = new QLabel(text, m_mainBox);
        l->setObjectName(name);
        l->setGeometry(x, y, 70, 20);
        return l;
    };
    m_position = label("PositionLabel", "Position", 40, 10);
    m_time = label("CTimeLabel", "Time", 140, 10);
    m_total = label("TotalTime", "", 140, 30);
    m_elapsed = label("Elapsed Time", "", 40, 30);

    m_display = new DisplayStrip(m_mainBox);
    m_display->setObjectName("Display Widget");
    m_display->setGeometry(40, 50, 150, 30);
    m_display->setAutoFillBackground(true);
    QPalette black = m_display->palette();
    black.setColor(QPalette::Window, Qt::black);
    m_display->setPalette(black);

    m_slider = new QSlider(Qt::Horizontal, m_mainBox);
    m_slider->setObjectName("RecordSlider");
    m_slider->setGeometry(40, 90, 150, 10);
    m_slider->setRange(0, 100);
    m_slider->setTracking(true);
    m_slider->setTickPosition(QSlider::TicksBelow);

    // A box holds the buttons; the group gives each its id.
    auto* buttonBox = new QGroupBox(m_mainBox);
    buttonBox->setObjectName("ButtonGroup");
    buttonBox->setGeometry(30, 110, 175, 25);
    buttonBox->setFlat(true);
    m_group = new QButtonGroup(this);
    m_group->setObjectName("ButtonGroup");
    const char* tips[5] = {"Record Sound", "Stop", "Play Sound", "Forward", "End"};
    const QStyle::StandardPixmap icons[5] = {QStyle::SP_DialogYesButton, QStyle::SP_MediaStop,
                                             QStyle::SP_MediaPlay, QStyle::SP_MediaSeekForward,
                                             QStyle::SP_MediaSkipForward};
    for (int id = 0; id < 5; ++id) {
        auto* b = new QPushButton(m_mainBox);
        b->setObjectName("Buttons");
        b->setGeometry(m_nextX, 112, 35, 25);
        m_nextX += 35;
        b->setToolTip(tips[id]);
        b->setIcon(style()->standardIcon(icons[id]));
        b->setEnabled(false);
        m_group->addButton(b, id);
        m_buttons[id] = b;
    }
    m_buttons[RECORD]->setEnabled(true);
}

void CRecordSoundClip::InitConnections() {
    connect(m_group, &QButtonGroup::idClicked, this, &CRecordSoundClip::SlotIdentifyButtonClicked);
}

void CRecordSoundClip::SlotIdentifyButtonClicked(int id) {
    m_lastButton = id;
    m_byteFlag = 0;
    switch (id) {
    case RECORD:
        m_buttons[RECORD]->setEnabled(false);
        m_buttons[STOP]->setEnabled(true);
        emit StartRecordingSignal();
        break;
    case STOP:
        m_buttons[RECORD]->setEnabled(false);
        m_buttons[STOP]->setEnabled(false);
        m_buttons[PLAY]->setEnabled(true);
        emit StopSignal();
        break;
    case PLAY:
        m_slider->setValue(0);
        m_counter = 0;
        m_buttons[STOP]->setEnabled(false);
        for (int b : {PLAY, FORWARD, END})
            m_buttons[b]->setEnabled(true);
        emit StartPlayingSignal();
        break;
    case FORWARD:
        m_slider->setValue(100);
        break;
    case END:
        m_slider->setValue(0);
        break;
    default:
        break;
    }
}

void CRecordSoundClip::SlotQuitDialog() {
    reject();
    deleteLater();
}

int CRecordSoundClip::ProbeForSoundCardType() {
    struct stat st {};
    if (stat("/dev/sndstat", &st) == 0)
        return OSSCARD;
    if (stat("/proc/asound/sndstat", &st) == 0)
        return ALSACARD;
    if (m_messageBox) {
        m_messageBox("RecordError", "No SoundCard or IncompatibeDriver");
    } else {
        QMessageBox box(QMessageBox::Critical, "RecordError", "No SoundCard or IncompatibeDriver");
        box.exec();
    }
    done(0);
    return NOCARD;
}

void CRecordSoundClip::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_slider->setValue(0);
    m_counter = 0;
    for (QPushButton* b : m_buttons)
        b->setEnabled(false);
    m_buttons[RECORD]->setEnabled(true);
    emit EnableButtons();
}

void CRecordSoundClip::closeEvent(QCloseEvent* event) {
    emit signalCloseCRecordSoundClip();
    QDialog::closeEvent(event);
}
