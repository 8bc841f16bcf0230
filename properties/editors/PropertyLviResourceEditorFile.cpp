#include "properties/editors/PropertyLviResourceEditorFile.h"

#include "properties/EditPropertyEntry.h"
#include "store/DrawingObjectType.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <utility>

namespace {
PropertyLviResourceEditorFile::ResourceDialog& resourceDialog() {
    static PropertyLviResourceEditorFile::ResourceDialog dialog;
    return dialog;
}
} // namespace

PropertyLviResourceEditorFile::PropertyLviResourceEditorFile(QWidget* parent, PropertyBoxClient* view,
                                                             EditPropertyEntry* entry, const char* name,
                                                             int stringIndex, int eventIndex)
    : PropertyLviExtEdit(parent, view, entry, name), eventIndex(eventIndex), stringIndex(stringIndex) {
    connect(button, &QPushButton::clicked, this, &PropertyLviResourceEditorFile::btnPressed);
}

void PropertyLviResourceEditorFile::setResourceDialog(ResourceDialog dialog) {
    resourceDialog() = std::move(dialog);
}

bool PropertyLviResourceEditorFile::hasResourceDialog() {
    return bool(resourceDialog());
}

void PropertyLviResourceEditorFile::btnPressed() {
    if (!resourceDialog() || !entry)
        return;
    // The dialog is modal: the lists may be rebuilt while it runs.
    QPointer<PropertyLviResourceEditorFile> self(this);
    const std::optional<Choice> choice =
        resourceDialog()(this, entry->data.toInt(), uint32_t(entry->valueId));
    if (self && choice)
        slotPrintPath(choice->path, choice->id);
}

void PropertyLviResourceEditorFile::slotPrintPath(QString path, unsigned long id) {
    if (!entry)
        return;
    entry->valueId = int32_t(uint32_t(id));
    const QString name = QFileInfo(path).fileName();
    if (lineEdit->text() == name) {
        // Another resource of the same file name, or the same one again:
        // the object must still take the identifier.
        lineEdit->setModified(false);
        entry->value = name;
        commit();
        return;
    }
    setLineText(name);
}

void PropertyLviResourceEditorFile::commit() {
    if (onEventsPage()) {
        if (selectedKind() == HYPERLINK)
            applyEvent(eventIndex);
        else if (selectedKind() == VALIDATIONFIELD)
            applyEvent(stringIndex, eventIndex);
        return;
    }
    refreshItem();
}
