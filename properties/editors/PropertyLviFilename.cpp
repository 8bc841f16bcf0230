#include "properties/editors/PropertyLviFilename.h"

#include "properties/EditPropertyEntry.h"
#include "properties/PropertyBoxClient.h"
#include "store/DrawingObjectType.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>

#include <utility>

namespace {
PropertyLviFilename::FileChooser& fileChooser() {
    static PropertyLviFilename::FileChooser chooser;
    return chooser;
}
} // namespace

PropertyLviFilename::PropertyLviFilename(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry,
                                         const char* name, int eventIndex)
    : PropertyLviExtEdit(parent, view, entry, name), eventIndex(eventIndex) {
    connect(button, &QPushButton::clicked, this, &PropertyLviFilename::btnPressed);
}

void PropertyLviFilename::setFileChooser(FileChooser chooser) {
    fileChooser() = std::move(chooser);
}

QString PropertyLviFilename::filterFor(const QString& data) {
    // The toolkit splits patterns at blanks and matches them with case.
    if (data == QLatin1String("VlmFile"))
        return QStringLiteral("VelmoraFiles(*.VLM *.vlm)");
    if (data == QLatin1String("ExtFile"))
        return QStringLiteral("ExecutableFiles(*.EXE *.COM *.BAT)");
    return QStringLiteral("All Files (*)");
}

void PropertyLviFilename::btnPressed() {
    const QString filter = filterFor(entry ? entry->data : QString());
    QPointer<PropertyLviFilename> self(this);
    const QString path = fileChooser() ? fileChooser()(this, filter)
                                       : QFileDialog::getOpenFileName(this, QString(), QString(), filter);
    if (!self || path.isEmpty())
        return;
    QObject* current = view ? view->currentObject() : nullptr;
    if (current && view->drawingObject(current) == TEXTFIELD) {
        // The text field keeps the path and loads the file's text.
        connectToObjectSlot(current, "signalTextFileName(QString)", "slotTextFileName(QString)");
        emit signalTextFileName(path);
        setLineText(QFileInfo(path).fileName());
    } else {
        setLineText(path);
    }
}

void PropertyLviFilename::commit() {
    if (onEventsPage()) {
        if (selectedKind() == HYPERLINK)
            applyEvent(eventIndex);
        return;
    }
    refreshItem();
}
