// The modal "Validation String Dialog": the strings a validation field
// accepts and, for each, the key strokes the end user must press while typing
// it. The dialog edits its own copy of the strings; only deletions go at once
// to the field it is bound to. Key strokes are captured on press with
// exactly one modifier held and on release with none (HotKeyCapture), and
// stored as validation key words (WindowsKeyCodes).
//
// The validation string editor makes one for its lifetime, fills it before
// each showing and takes the strings back when it is closed with Close.
#pragma once

#include "properties/HotKeyCapture.h"
#include "store/CValidationData.h"

#include <QDialog>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <vector>

class PropertyBoxClient;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class HotKeyCtrl : public QDialog {
    Q_OBJECT
  public:
    HotKeyCtrl(QWidget* parent, const char* name);

    static constexpr int STRING_LIMIT = 255;

    // The field deletions are passed to, reached through the client; a field
    // that is gone, or an object that is no validation field, is not told.
    void setField(PropertyBoxClient* client, QObject* field);

    // While the string line has the focus: false when its text is a row of
    // the strings list; otherwise false when the key label's text is a row of
    // the keys list. Exact and case-sensitive.
    bool checkForSameKeys();
    // The current string row's text.
    QString getText();

    // The Yes/No question of a deletion, asked over the dialog; true for Yes.
    using Confirm = std::function<bool(QWidget* parent, const QString& text)>;
    // Replaces the question of every dialog; an empty one puts the message box back.
    static void setConfirm(Confirm confirm);

    // Entry i belongs to row i of the strings list.
    std::vector<sMultiValidationString> strings;
    // The key word of the last capture.
    uint32_t keyWord = 0;
    bool captureArmed = false;
    int currentStringRow = -1;

    QGroupBox* stringGroup;
    QLineEdit* stringLine;
    QListWidget* stringsList;
    QGroupBox* keyGroup;
    QLabel* keyLabel;
    QListWidget* keysList;
    QPushButton* addButton;
    QPushButton* removeButton;
    QPushButton* closeButton;
    QLabel* selectedLabel;
    QLineEdit* selectedStringLine;

  public slots:
    void slotInsertInList();
    void slotlist();
    void slotRemoveFromList();
    void slotShowKeysForAString();

  signals:
    void signalHotKeyClicked();

  protected:
    // Replace the dialog's own key handling: Escape and Return never close it.
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void initDialog();
    // Appends the string line's text as a string; the caller has checked it.
    void insertTypedString();
    bool rowSelected(int row) const;
    // "None" while the string line has the focus with its cursor at the start.
    void noneAtLineStart();
    // Shows and keeps what the stroke captures, the keyboard grabbed meanwhile.
    void take(const HotKeyCapture::Stroke& stroke);
    bool confirm(const QString& text);
    // Tells the bound field; false when it is not told.
    bool boundField() const;
    void tellRemovedKey(int string, int key);
    void tellRemovedString(int string);

    // The key of the last press and whether a modifier was held with it.
    bool releasesChordKey(const QKeyEvent& e, const HotKeyCapture::Stroke& stroke) const;
    bool m_chordHeld = false;
    uint32_t m_chordKey = 0;
    quint32 m_chordScanCode = 0;

    PropertyBoxClient* m_client = nullptr;
    QPointer<QObject> m_field;
};
