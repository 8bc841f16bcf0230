#include "record/CaptureSettings.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

CaptureSettings::CaptureSettings(QWidget* parent, const char* name) : QDialog(parent) {
    if (name)
        setObjectName(QString::fromLatin1(name));
    setModal(true);
    setWindowTitle(QStringLiteral("Capture Settings"));
    setFixedSize(320, 180);

    m_group = new QGroupBox(QStringLiteral("Frame Options"), this);
    m_group->setGeometry(10, 10, 290, 120);
    m_validation = new QCheckBox(QStringLiteral("Capture &Validation"), m_group);
    m_validation->setGeometry(10, 20, 240, 30);
    m_validation->setChecked(true);
    m_userActionsOnly = new QCheckBox(QStringLiteral("Capture &User Actions Only"), m_group);
    m_userActionsOnly->setGeometry(10, 50, 260, 30);
    m_userActionsOnly->setChecked(false);
    m_frameRateLabel = new QLabel(QStringLiteral("&Frame Rate "), m_group);
    m_frameRateLabel->setGeometry(10, 82, 105, 20);
    m_frameRateBox = new QSpinBox(m_group);
    m_frameRateBox->setGeometry(120, 82, 70, 20);
    m_frameRateBox->setRange(1, 10);
    m_frameRateBox->setValue(m_frameRate);
    m_frameRateLabel->setBuddy(m_frameRateBox);

    m_ok = new QPushButton(QStringLiteral("&OK"), this);
    m_ok->setGeometry(120, 140, 70, 30);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cancel->setGeometry(210, 140, 70, 30);

    connect(m_ok, &QPushButton::clicked, this, &CaptureSettings::slotOKButtonClicked);
    // The caller takes the dialog's state as the user left it, whichever button closed it.
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_validation, &QCheckBox::clicked, this, &CaptureSettings::slotCaptureValidation);
    connect(m_userActionsOnly, &QCheckBox::clicked, this, &CaptureSettings::slotCaptureValidation);
}

void CaptureSettings::setFrameRate(int rate) {
    m_frameRate = std::clamp(rate, 1, 10);
    m_frameRateBox->setValue(m_frameRate);
}

int CaptureSettings::slotOKButtonClicked() {
    m_chosenFrameRate = m_frameRateBox->value();
    accept();
    if (!m_validation->isChecked())
        return CAPTURE_NO_ACTIONS;
    return m_userActionsOnly->isChecked() ? CAPTURE_USER_ACTIONS_ONLY : CAPTURE_ALL;
}

void CaptureSettings::slotCaptureValidation() {
    if (!m_validation->isChecked()) {
        m_userActionsOnly->setEnabled(false);
        m_frameRateBox->setEnabled(true);
    } else {
        m_userActionsOnly->setEnabled(true);
        m_frameRateBox->setEnabled(!m_userActionsOnly->isChecked());
    }
}

void CaptureSettings::setCaptureControlsEnabled(bool enabled) {
    m_validation->setEnabled(enabled);
    if (enabled) {
        slotCaptureValidation();
    } else {
        m_userActionsOnly->setEnabled(false);
        m_frameRateBox->setEnabled(false);
    }
}
