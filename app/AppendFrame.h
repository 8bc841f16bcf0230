// The append-frame options dialog: name prompt, duplicate and preview options
// beside a preview area. It carries no behaviour; frames are appended by the
// main window's frame commands.
#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QPushButton;

class AppendFrame : public QDialog {
    Q_OBJECT
  public:
    AppendFrame(QWidget* parent, const char* name);

    QGroupBox* frameGroup() const { return m_frameGroup; }
    QCheckBox* namePromptOption() const { return m_namePrompt; }
    QWidget* previewArea() const { return m_preview; }
    QCheckBox* previewOption() const { return m_previewOption; }
    QCheckBox* duplicateOption() const { return m_duplicate; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

  private:
    void init();

    QGroupBox* m_frameGroup = nullptr;
    QCheckBox* m_namePrompt = nullptr;
    QWidget* m_preview = nullptr;
    QPushButton* m_ok = nullptr;
    QCheckBox* m_previewOption = nullptr;
    QCheckBox* m_duplicate = nullptr;
    QPushButton* m_cancel = nullptr;
};
