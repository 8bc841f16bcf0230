// The validation message dialog: the message text of a validation event, the
// caption of the message box that shows it and its icon, chosen from the
// media library's default icons. The message and error editors each keep one
// for their lifetime; the dialog's caption decides whether the text is kept
// as a message ("Validation Message", up to 257 characters) or as an error
// (up to 256, a longer one cut to 255).
//
// It lives beside its two openers: the interactive objects, where the
// subsystem places it, link the property editor, not the other way round.
#pragma once

#include <QDialog>

#include <cstdint>
#include <string>

struct sValidMessageRecord;
class CResourceEditor;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class ValidationError : public QDialog {
    Q_OBJECT
  public:
    ValidationError(QWidget* parent, const char* name);

    static constexpr int TEXT_BOX_LIMIT = 259;
    static constexpr int MESSAGE_LIMIT = 257;
    static constexpr int ERROR_LIMIT = 256;
    static constexpr int ERROR_CUT = 255;
    static constexpr int DEFAULT_ICONS = 95;

    // The dialog's own media library, named "InError"; made on first use, so
    // that a rebuilt property list does not open the store once per row.
    CResourceEditor* library();
    // The main window's media library, through which the openers show a
    // stored icon's path; installed at start-up. Without one the dialog's
    // own library answers (both read the same store).
    static void setSharedLibrary(CResourceEditor* library);
    // The path the shared library gives for an icon's identifier.
    QString iconPath(uint32_t id);

    // Stored by OK (Latin-1, as object texts are stored); kept until the next OK.
    std::string messageText;
    std::string errorText;
    std::string captionText;
    int16_t captionLength = 0;
    uint32_t iconId = 0;
    // The identifier the library delivered with the last chosen icon.
    uint32_t deliveredId = 0;

    QLineEdit* upperFrame;
    QPlainTextEdit* textBox;
    QLabel* promptLabel;
    QLineEdit* lowerFrame;
    QLineEdit* captionLine;
    QLineEdit* iconLine;
    QPushButton* iconButton;
    QPushButton* okButton;
    QPushButton* cancelButton;

    // The openers' round: sets caption and prompt, fills the dialog from the
    // record when the flag is 1 (then clears the flag), runs the dialog and
    // takes its answer into the record: on OK the flag becomes 1 and the
    // record holds the error text (`error`) or the message text, caption and
    // icon; otherwise the flag and record are cleared and so is the dialog.
    // True when the author pressed OK.
    bool editRecord(sValidMessageRecord& record, uint8_t& flag, const QString& caption, const QString& prompt,
                    bool error);

  public slots:
    void slotGetResource();
    void slotStoreMessage(const QString& path, unsigned long id);
    void slotStoreValuesInStruct();

  private:
    void initDialog();
    // Holds the text box to its limit.
    void limitText();

    CResourceEditor* m_library = nullptr;
};
