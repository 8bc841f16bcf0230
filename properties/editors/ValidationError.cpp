#include "properties/editors/ValidationError.h"

#include "canvas/records/StoredText.h"
#include "media/CResourceEditor.h"
#include "properties/PropertyLviBase.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextCursor>

namespace {
// Guarded: the main window that installs it may go first.
QPointer<CResourceEditor> sharedLibrary;

const char* const kMessageCaption = "Validation Message";

template <class W> W* place(W* w, const char* name, int x, int y, int width, int height) {
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(x, y, width, height);
    return w;
}
} // namespace

ValidationError::ValidationError(QWidget* parent, const char* name) : QDialog(parent) {
    if (name)
        setObjectName(QString::fromLatin1(name));
    setModal(true);
    initDialog();
    connect(iconButton, &QPushButton::clicked, this, &ValidationError::slotGetResource);
    connect(okButton, &QPushButton::clicked, this, &ValidationError::slotStoreValuesInStruct);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(textBox, &QPlainTextEdit::textChanged, this, &ValidationError::limitText);
}

void ValidationError::initDialog() {
    setFixedSize(420, 370);
    // Made in this order, so the two frames lie beneath what is placed over them.
    upperFrame = place(new QLineEdit(this), "QLineEdit1", 10, 20, 300, 220);
    upperFrame->setEnabled(false);
    upperFrame->setReadOnly(true);
    textBox = place(new QPlainTextEdit(this), "QMultiLineEdit1", 40, 60, 240, 150);
    promptLabel = place(new QLabel(this), "QLabel1", 20, 30, 285, 20);
    lowerFrame = place(new QLineEdit(this), "QLineEdit2", 10, 260, 400, 90);
    lowerFrame->setEnabled(false);
    place(new QLabel(QStringLiteral("Message Dialog Caption"), this), "QLabel2", 20, 270, 205, 30);
    place(new QLabel(QStringLiteral("Message Dialog Icon"), this), "QLabel3", 20, 310, 205, 30);
    captionLine = place(new QLineEdit(this), "QLineEdit3", 230, 270, 170, 30);
    iconLine = place(new QLineEdit(this), "QLineEdit4", 230, 310, 130, 30);
    iconLine->setReadOnly(true);
    iconButton = place(new QPushButton(QStringLiteral("..."), this), "QPushButton1", 370, 310, 30, 30);
    okButton = place(new QPushButton(QStringLiteral("OK"), this), "NoName", 320, 40, 80, 30);
    cancelButton = place(new QPushButton(QStringLiteral("Cancel"), this), "NoName", 320, 90, 80, 30);
}

void ValidationError::limitText() {
    const QString text = textBox->toPlainText();
    if (text.size() <= TEXT_BOX_LIMIT)
        return;
    const QSignalBlocker block(textBox);
    textBox->setPlainText(text.left(TEXT_BOX_LIMIT));
    textBox->moveCursor(QTextCursor::End);
}

CResourceEditor* ValidationError::library() {
    if (!m_library)
        m_library = new CResourceEditor(this, "InError", true);
    return m_library;
}

void ValidationError::setSharedLibrary(CResourceEditor* library) {
    sharedLibrary = library;
}

QString ValidationError::iconPath(uint32_t id) {
    MediaLibraryInterface* from = sharedLibrary ? sharedLibrary.data() : library();
    return from->GetTheFileNameFromID(id);
}

void ValidationError::slotGetResource() {
    CResourceEditor* lib = library();
    connect(lib, &CResourceEditor::OkButtonSignal, this, &ValidationError::slotStoreMessage,
            Qt::UniqueConnection);
    lib->ShowResourceEditor(DEFAULT_ICONS);
}

void ValidationError::slotStoreMessage(const QString& path, unsigned long id) {
    iconLine->setText(path);
    deliveredId = uint32_t(id);
}

void ValidationError::slotStoreValuesInStruct() {
    messageText.clear();
    errorText.clear();
    captionText.clear();
    captionLength = 0;
    iconId = 0;
    deliveredId = 0;

    QString text = textBox->toPlainText();
    if (!text.isEmpty()) {
        if (windowTitle() == QLatin1String(kMessageCaption)) {
            if (text.size() > MESSAGE_LIMIT)
                text.truncate(MESSAGE_LIMIT);
            messageText = toStoredText(text);
        } else {
            // A text over the limit loses one character more.
            if (text.size() > ERROR_LIMIT)
                text.truncate(ERROR_CUT);
            errorText = toStoredText(text);
        }
    }
    const QString caption = captionLine->text();
    captionText = toStoredText(caption);
    captionLength = int16_t(captionText.size() > 32767 ? 32767 : captionText.size());
    if (!iconLine->text().isEmpty())
        deliveredId = library()->GetTheIDFromFileName(iconLine->text());
    iconId = deliveredId;
    accept();
}

bool ValidationError::editRecord(sValidMessageRecord& record, uint8_t& flag, const QString& caption,
                                 const QString& prompt, bool error) {
    setWindowTitle(caption);
    promptLabel->setText(prompt);
    if (flag == 1) {
        if (!record.text.empty() || record.captionLength() != 0 || record.iconId != 0) {
            if (!record.text.empty()) {
                textBox->clear();
                textBox->setPlainText(fromStoredText(record.text));
            }
            if (!record.caption.empty())
                captionLine->setText(fromStoredText(record.caption));
            if (record.iconId != 0)
                iconLine->setText(iconPath(record.iconId));
        }
        flag = 0;
    }
    // The opener's list may be rebuilt while the dialog runs, and take the
    // dialog with its editor.
    const QPointer<ValidationError> self(this);
    const int result = exec();
    if (!self)
        return false;
    if (result == QDialog::Accepted) {
        flag = 1;
        record.text = error ? errorText : messageText;
        record.iconId = iconId;
        record.caption = captionText;
        return true;
    }
    flag = 0;
    record = sValidMessageRecord();
    textBox->clear();
    captionLine->clear();
    iconLine->clear();
    textBox->setFocus();
    return false;
}
