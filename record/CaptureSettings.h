// The modal "Capture Settings" dialog: frame rate and which user actions
// a recording captures.
#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

class CaptureSettings : public QDialog {
    Q_OBJECT
  public:
    // Results of slotOKButtonClicked.
    enum CaptureMode { CAPTURE_ALL = 0, CAPTURE_USER_ACTIONS_ONLY = 3, CAPTURE_NO_ACTIONS = 4 };

    explicit CaptureSettings(QWidget* parent = nullptr, const char* name = nullptr);

    // Shows the rate (held to 1..10) in the spin box.
    void setFrameRate(int rate);
    // The rate taken by the last slotOKButtonClicked.
    int frameRate() const { return m_chosenFrameRate; }
    // The recording locks the controls while a project is recorded and
    // edited; enabling them again restores the rules of slotCaptureValidation.
    void setCaptureControlsEnabled(bool enabled);

    QCheckBox* validationCheckBox() const { return m_validation; }
    QCheckBox* userActionsOnlyCheckBox() const { return m_userActionsOnly; }
    QSpinBox* frameRateSpinBox() const { return m_frameRateBox; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

  public slots:
    // Takes the spin box value as the frame rate, accepts the dialog and
    // returns CAPTURE_NO_ACTIONS, CAPTURE_ALL or CAPTURE_USER_ACTIONS_ONLY.
    int slotOKButtonClicked();
    void slotCaptureValidation();

  private:
    int m_frameRate = 2;       // shown
    int m_chosenFrameRate = 2; // taken on OK
    QGroupBox* m_group;
    QCheckBox* m_validation;
    QCheckBox* m_userActionsOnly;
    QLabel* m_frameRateLabel;
    QSpinBox* m_frameRateBox;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
