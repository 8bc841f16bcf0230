#include "media/CBackgroundSound.h"

#include "media/CResourceEditor.h"
#include "media/SoundEngineHost.h"
#include "store/Diagnostics.h"
#include "store/RecordIO.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>

#include <climits>

SBackgroundSoundBytes SBackgroundSoundSettings::toBytes() const {
    SBackgroundSoundBytes b{};
    rec::RecordWriter w(b);
    w.u32(RESOURCE_ID, resourceId);
    w.u8(LOOPING, looping);
    w.u8(LOOP_COUNT, loopCount);
    w.u8(LOOP_FOREVER, loopForever);
    w.u8(FADING, fading);
    w.u8(FADE_IN, fadeIn);
    w.u8(FADE_OUT, fadeOut);
    w.u8(SECONDS_FADE_IN, secondsFadeIn);
    w.u8(SECONDS_FADE_OUT, secondsFadeOut);
    w.i32(IN_FRAME, inFrame);
    w.i32(OUT_FRAME, outFrame);
    return b;
}

SBackgroundSoundSettings SBackgroundSoundSettings::fromBytes(const SBackgroundSoundBytes& b) {
    rec::RecordReader r(b);
    SBackgroundSoundSettings s;
    s.resourceId = r.u32(RESOURCE_ID);
    s.looping = r.u8(LOOPING);
    s.loopCount = r.u8(LOOP_COUNT);
    s.loopForever = r.u8(LOOP_FOREVER);
    s.fading = r.u8(FADING);
    s.fadeIn = r.u8(FADE_IN);
    s.fadeOut = r.u8(FADE_OUT);
    s.secondsFadeIn = r.u8(SECONDS_FADE_IN);
    s.secondsFadeOut = r.u8(SECONDS_FADE_OUT);
    s.inFrame = r.i32(IN_FRAME);
    s.outFrame = r.i32(OUT_FRAME);
    return s;
}

namespace {

template <class W> W* named(W* w, const char* name) {
    w->setObjectName(name);
    return w;
}

} // namespace

CBackgroundSound::CBackgroundSound(QWidget* parent, const char* name, bool modal) : QDialog(parent) {
    setObjectName(name);
    setModal(modal);
    setWindowTitle("Background Sound Settings");
    setFixedSize(400, 400);
    move(200, 200);

    m_mainBox = named(new QGroupBox(this), "MainGroupBox");
    m_mainBox->setGeometry(5, 5, 390, 390);

    m_fileLabel = named(new QLabel("Background Sound File", m_mainBox), "Background Sound File");
    m_fileLabel->setGeometry(10, 8, 240, 20);
    m_soundFileBox = named(new QLineEdit(m_mainBox), "SoundFileBox");
    m_soundFileBox->setReadOnly(true);
    m_soundFileBox->setGeometry(10, 28, 240, 20);
    m_browseButton = named(new QPushButton(m_mainBox), "Browse Button");
    m_browseButton->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    m_browseButton->setGeometry(256, 26, 30, 24);

    m_loopBox = named(new QGroupBox("Looping", m_mainBox), "Loop GroupBox");
    m_loopBox->setGeometry(7, 56, 376, 110);
    m_loopSound = named(new QCheckBox("Loop Sound", m_loopBox), "Loop Sound");
    m_loopSound->setGeometry(10, 22, 120, 20);
    m_durationBox = named(new QGroupBox("Duration", m_loopBox), "Duration");
    m_durationBox->setGeometry(10, 44, 356, 60);
    m_numberOfTimes = named(new QCheckBox("Number of Times", m_durationBox), "Number of Times");
    m_numberOfTimes->setGeometry(10, 20, 170, 20);
    m_forever = named(new QCheckBox("Forever", m_durationBox), "Forever");
    m_forever->setGeometry(10, 38, 170, 20);
    m_countBox = named(new QLineEdit(m_durationBox), "NoOfTimesCount");
    m_countBox->setGeometry(190, 20, 60, 20);

    m_fadingBox = named(new QGroupBox("Fading", m_mainBox), "Fading GroupBox");
    m_fadingBox->setGeometry(7, 170, 376, 110);
    m_userFading = named(new QCheckBox("User Fading", m_fadingBox), "User Fading");
    m_userFading->setGeometry(10, 22, 120, 20);
    m_fadeSettingsBox = named(new QGroupBox("Fade Settings", m_fadingBox), "Fade Settings");
    m_fadeSettingsBox->setGeometry(10, 44, 356, 60);
    m_fadeInBox = named(new QCheckBox("Fade In", m_fadeSettingsBox), "Fading In CheckBox");
    m_fadeInBox->setGeometry(10, 18, 100, 20);
    m_fadeOutBox = named(new QCheckBox("Fade Out", m_fadeSettingsBox), "Fade Out CheckBox");
    m_fadeOutBox->setGeometry(10, 38, 100, 20);
    m_secondsInLabel = named(new QLabel("Seconds to Fade In", m_fadeSettingsBox), "Seconds to Fade In");
    m_secondsInLabel->setGeometry(115, 18, 175, 20);
    m_secondsOutLabel = named(new QLabel("Seconds to Fade Out", m_fadeSettingsBox), "Seconds to Fade Out");
    m_secondsOutLabel->setGeometry(115, 38, 175, 20);
    m_secondsInBox = named(new QLineEdit(m_fadeSettingsBox), "SecondsToFadeIn");
    m_secondsInBox->setGeometry(290, 18, 56, 18);
    m_secondsOutBox = named(new QLineEdit(m_fadeSettingsBox), "SecondsToFadeOut");
    m_secondsOutBox->setGeometry(290, 38, 56, 18);

    m_voiceOverBox = named(new QGroupBox("Voice Over Frames", m_mainBox), "VoiceOverGroupBox");
    m_voiceOverBox->setGeometry(7, 284, 376, 55);
    m_inFrameLabel = named(new QLabel("In Frame", m_voiceOverBox), "InFrameLabel");
    m_inFrameLabel->setGeometry(10, 24, 80, 20);
    m_inFrameBox = named(new QLineEdit("0", m_voiceOverBox), "InFrameBox");
    m_inFrameBox->setGeometry(90, 24, 80, 20);
    m_outFrameLabel = named(new QLabel("Out Frame", m_voiceOverBox), "OutFrameLabel");
    m_outFrameLabel->setGeometry(190, 24, 90, 20);
    m_outFrameBox = named(new QLineEdit(m_voiceOverBox), "Out Frame");
    m_outFrameBox->setGeometry(280, 24, 80, 20);

    m_okButton = named(new QPushButton("&OK", m_mainBox), "Ok Button");
    m_okButton->setGeometry(210, 350, 76, 28);
    m_cancelButton = named(new QPushButton("&Cancel", m_mainBox), "Cancel Button");
    m_cancelButton->setGeometry(300, 350, 76, 28);

    // Only digits: the byte fields take 0 to 255, the frames 0 or more.
    for (QLineEdit* e : {m_countBox, m_secondsInBox, m_secondsOutBox})
        e->setMaxLength(3);
    for (QLineEdit* e : {m_countBox, m_secondsInBox, m_secondsOutBox, m_inFrameBox, m_outFrameBox})
        e->setValidator(new QIntValidator(0, INT_MAX, e));

    m_loopSound->setChecked(false);
    for (QWidget* w : {static_cast<QWidget*>(m_durationBox), static_cast<QWidget*>(m_numberOfTimes),
                       static_cast<QWidget*>(m_forever), static_cast<QWidget*>(m_countBox)})
        w->setEnabled(false);
    m_userFading->setChecked(false);
    for (QWidget* w : {static_cast<QWidget*>(m_fadeSettingsBox), static_cast<QWidget*>(m_secondsInLabel),
                       static_cast<QWidget*>(m_secondsOutLabel), static_cast<QWidget*>(m_secondsInBox),
                       static_cast<QWidget*>(m_secondsOutBox)})
        w->setEnabled(false);

    InitConnections();
}

void CBackgroundSound::InitConnections() {
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_okButton, &QPushButton::clicked, this, &CBackgroundSound::SlotOkButtonClicked);
    connect(m_loopSound, &QCheckBox::clicked, this, &CBackgroundSound::SlotEnableItemsInTheLoopingBox);
    connect(m_userFading, &QCheckBox::clicked, this, &CBackgroundSound::SlotEnableItemsInTheFadingBox);
    connect(m_fadeInBox, &QCheckBox::clicked, this, &CBackgroundSound::SlotFadeInClicked);
    connect(m_fadeOutBox, &QCheckBox::clicked, this, &CBackgroundSound::SlotFadeOutClicked);
    connect(m_numberOfTimes, &QCheckBox::clicked, this,
            &CBackgroundSound::SlotEnableItemsInTheDurationGrpBox);
    connect(m_forever, &QCheckBox::clicked, this, &CBackgroundSound::SlotEnableItemsInTheDurationGrpBox);
    connect(m_inFrameBox, &QLineEdit::textChanged, this, &CBackgroundSound::SlotProcessInFrameValue);
    connect(m_browseButton, &QPushButton::clicked, this, &CBackgroundSound::SlotBrowseButtonClicked);
}

void CBackgroundSound::SlotEnableItemsInTheLoopingBox() {
    m_looping = m_loopSound->isChecked() ? 1 : 0;
    for (QWidget* w : {static_cast<QWidget*>(m_durationBox), static_cast<QWidget*>(m_numberOfTimes),
                       static_cast<QWidget*>(m_forever)})
        w->setEnabled(m_looping != 0);
}

void CBackgroundSound::SlotEnableItemsInTheDurationGrpBox() {
    const bool times = m_numberOfTimes->isChecked();
    m_forever->setEnabled(!times);
    m_forever->setChecked(!times);
    m_countBox->setEnabled(times);
}

void CBackgroundSound::SlotEnableItemsInTheFadingBox() {
    const bool f = m_userFading->isChecked();
    m_fading = m_fadeIn = m_fadeOut = f ? 1 : 0;
    for (QWidget* w : {static_cast<QWidget*>(m_fadeSettingsBox), static_cast<QWidget*>(m_fadeInBox),
                       static_cast<QWidget*>(m_fadeOutBox), static_cast<QWidget*>(m_secondsInLabel),
                       static_cast<QWidget*>(m_secondsOutLabel)})
        w->setEnabled(f);
    // Each seconds field follows its own check box.
    m_secondsInBox->setEnabled(f && m_fadeInBox->isChecked());
    m_secondsOutBox->setEnabled(f && m_fadeOutBox->isChecked());
}

void CBackgroundSound::SlotFadeInClicked() {
    m_secondsInBox->setEnabled(m_fadeInBox->isChecked());
    m_secondsInBox->setText("0");
}

void CBackgroundSound::SlotFadeOutClicked() {
    m_secondsOutBox->setEnabled(m_fadeOutBox->isChecked());
    m_secondsOutBox->setText("0");
}

void CBackgroundSound::SlotProcessInFrameValue(const QString& text) {
    bool ok = false;
    if (text.toLong(&ok, 10) < 0 && ok)
        m_inFrameBox->setText("0");
}

void CBackgroundSound::SlotBrowseButtonClicked() {
    CResourceEditor* library = m_host ? m_host->backgroundSoundLibrary() : nullptr;
    if (!library)
        return;
    // The library answers this press only: later OKs in it belong to others.
    const QMetaObject::Connection answer =
        connect(library, &CResourceEditor::OkButtonSignal, this, &CBackgroundSound::SlotGetIDAndPath);
    library->ShowResourceEditor(91);
    disconnect(answer);
}

void CBackgroundSound::SlotGetIDAndPath(const QString& path, unsigned long id) {
    const std::string text = path.isEmpty() ? std::string(" ") : path.toStdString();
    if (m_host)
        m_host->setBackgroundSoundChoice(uint32_t(id), text);
    m_soundFileBox->setText(QString::fromStdString(text));
    diag::print("\n\t Background Sound File = %s", text.c_str());
}

bool CBackgroundSound::fieldValue(QLineEdit* edit, const QString& name, long low, long high, long& value) {
    const QString text = edit->text().trimmed();
    bool ok = true;
    value = text.isEmpty() ? 0 : text.toLong(&ok, 10);
    if (ok && value >= low && value <= high)
        return true;
    edit->setFocus();
    edit->selectAll();
    showRefusal(QStringLiteral("%1 cannot be %2: enter a whole number from %3 to %4.")
                    .arg(name, text, QString::number(low), QString::number(high)));
    return false;
}

void CBackgroundSound::showRefusal(const QString& text) {
    // Over the dialog, which stays open; OK returns at once.
    if (!m_refusal) {
        m_refusal = new QMessageBox(QMessageBox::Warning, QStringLiteral("Velmora 1.0"), QString(),
                                    QMessageBox::Ok, this);
        m_refusal->setWindowModality(Qt::WindowModal);
    }
    m_refusal->setText(text);
    m_refusal->open();
}

void CBackgroundSound::SlotOkButtonClicked() {
    const uint32_t chosen = m_host ? m_host->backgroundSoundId() : 0;
    const long n = m_host ? long(m_host->frameCountForSound()) : 0;
    SBackgroundSoundSettings s;
    s.resourceId = chosen;
    s.loopForever = 1;
    if (chosen != 0) {
        // A value the record cannot hold leaves the record and the dialog as they are.
        long in = 0, out = 0, count = 0, secondsIn = 0, secondsOut = 0;
        if (!fieldValue(m_inFrameBox, QStringLiteral("In Frame"), 0, INT32_MAX, in) ||
            !fieldValue(m_outFrameBox, QStringLiteral("Out Frame"), 0, INT32_MAX, out))
            return;
        const bool times = m_looping && m_numberOfTimes->isChecked();
        if (times && !fieldValue(m_countBox, QStringLiteral("Number of Times"), 0, 255, count))
            return;
        if (m_fading &&
            (!fieldValue(m_secondsInBox, QStringLiteral("Seconds to Fade In"), 0, 255, secondsIn) ||
             !fieldValue(m_secondsOutBox, QStringLiteral("Seconds to Fade Out"), 0, 255, secondsOut)))
            return;
        s.inFrame = int32_t(in > n ? 0 : in);
        s.outFrame = int32_t(out > n || out == 0 ? n : out);
        s.looping = m_looping;
        s.fading = m_fading;
        if (times) {
            s.loopForever = 0;
            s.loopCount = uint8_t(count);
        }
        if (m_fading) {
            s.fadeIn = m_fadeIn;
            s.fadeOut = m_fadeOut;
            s.secondsFadeIn = uint8_t(secondsIn);
            s.secondsFadeOut = uint8_t(secondsOut);
        }
    }
    if (m_host)
        m_host->setBackgroundSoundRecord(s.toBytes());
    hide();
    diag::print("\n\tBackground sound: id %u looping %d count %d forever %d fading %d in %d out %d"
                " seconds in %d seconds out %d in frame %d out frame %d\n",
                s.resourceId, s.looping, s.loopCount, s.loopForever, s.fading, s.fadeIn, s.fadeOut,
                s.secondsFadeIn, s.secondsFadeOut, s.inFrame, s.outFrame);
}

void CBackgroundSound::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_host)
        return;
    const SBackgroundSoundSettings s = SBackgroundSoundSettings::fromBytes(m_host->backgroundSoundRecord());
    const uint32_t chosen = m_host->backgroundSoundId();
    m_soundFileBox->setText(chosen != 0 ? QString::fromStdString(m_host->backgroundSoundFile()) : " ");
    m_outFrameBox->setText(
        QString::number(s.outFrame != 0 ? long(s.outFrame) : long(m_host->frameCountForSound())));
    m_inFrameBox->setText(QString::number(s.inFrame));

    m_looping = s.looping == 1 ? 1 : 0;
    if (m_looping) {
        m_loopSound->setChecked(true);
        m_loopBox->setEnabled(true);
        m_durationBox->setEnabled(true);
        const bool always = s.loopForever != 0;
        m_forever->setChecked(always);
        m_forever->setEnabled(always);
        m_numberOfTimes->setChecked(!always);
        m_numberOfTimes->setEnabled(true);
        m_countBox->setEnabled(!always);
        m_countBox->setText(always ? QString() : QString::number(s.loopCount));
    } else {
        m_loopSound->setChecked(false);
        m_durationBox->setEnabled(false);
        m_numberOfTimes->setEnabled(false);
        m_forever->setEnabled(false);
        m_countBox->setEnabled(false);
        m_countBox->clear();
    }

    const bool fadeIn = s.fadeIn == 1, fadeOut = s.fadeOut == 1;
    m_fading = m_fadeIn = m_fadeOut = 0;
    if (fadeIn || fadeOut) {
        m_fading = 1;
        m_fadeIn = fadeIn;
        m_fadeOut = fadeOut;
        m_fadingBox->setEnabled(true);
        m_userFading->setChecked(true);
        m_fadeSettingsBox->setEnabled(true);
        m_fadeInBox->setEnabled(true);
        m_fadeInBox->setChecked(fadeIn);
        m_secondsInBox->setEnabled(fadeIn);
        m_secondsInLabel->setEnabled(fadeIn);
        m_secondsInBox->setText(fadeIn ? QString::number(s.secondsFadeIn) : QString(" "));
        m_fadeOutBox->setEnabled(true);
        m_fadeOutBox->setChecked(fadeOut);
        m_secondsOutBox->setEnabled(fadeOut);
        m_secondsOutLabel->setEnabled(fadeOut);
        m_secondsOutBox->setText(fadeOut ? QString::number(s.secondsFadeOut) : QString(" "));
    } else {
        for (QCheckBox* c : {m_userFading, m_fadeInBox, m_fadeOutBox})
            c->setChecked(false);
        for (QWidget* w : {static_cast<QWidget*>(m_fadeSettingsBox), static_cast<QWidget*>(m_secondsInBox),
                           static_cast<QWidget*>(m_secondsOutBox), static_cast<QWidget*>(m_secondsInLabel),
                           static_cast<QWidget*>(m_secondsOutLabel)})
            w->setEnabled(false);
        m_secondsInBox->clear();
        m_secondsOutBox->clear();
    }
}
