// The gradient set-up window: a style list, a from and a to colour with a
// swatch and a "...." button each, a preview, and "Ok" and "Cancel". It is a
// layout only: nothing fills the list, the "...." buttons are not connected
// and nothing reads the widgets; "Ok" and "Cancel" only close it.
#pragma once

#include <QDialog>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QWidget;

class CGradientFillSetUp : public QDialog {
    Q_OBJECT

  public:
    // A non-modal dialog of fixed size with its widgets made.
    CGradientFillSetUp(QWidget* parent, const char* name);
    ~CGradientFillSetUp() override;

    static constexpr int WIDTH = 470;
    static constexpr int HEIGHT = 200;

  protected:
    void initDialog();

  private:
    QFrame* m_groupFrame = nullptr;
    QLabel* m_styleLabel = nullptr;
    QComboBox* m_styleList = nullptr;
    QLabel* m_fromLabel = nullptr;
    QLabel* m_fromSwatch = nullptr;
    QPushButton* m_fromButton = nullptr;
    QLabel* m_toLabel = nullptr;
    QLabel* m_toSwatch = nullptr;
    QPushButton* m_toButton = nullptr;
    QLabel* m_preview = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
