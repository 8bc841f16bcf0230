#include "properties/editors/PropertyEditorFactory.h"

#include "properties/PropertyEditorType.h"
#include "properties/editors/PropertyLviAlign.h"
#include "properties/editors/PropertyLviArrow.h"
#include "properties/editors/PropertyLviAttribute.h"
#include "properties/editors/PropertyLviBool.h"
#include "properties/editors/PropertyLviBorderStyle.h"
#include "properties/editors/PropertyLviButtonStyle.h"
#include "properties/editors/PropertyLviCGradientFillSetUp.h"
#include "properties/editors/PropertyLviColorEdit.h"
#include "properties/editors/PropertyLviFilename.h"
#include "properties/editors/PropertyLviFillMode.h"
#include "properties/editors/PropertyLviFillPattern.h"
#include "properties/editors/PropertyLviFont.h"
#include "properties/editors/PropertyLviHeight.h"
#include "properties/editors/PropertyLviLeft.h"
#include "properties/editors/PropertyLviMousePointer.h"
#include "properties/editors/PropertyLviResourceEditorFile.h"
#include "properties/editors/PropertyLviString.h"
#include "properties/editors/PropertyLviTop.h"
#include "properties/editors/PropertyLviTransitionEffect.h"
#include "properties/editors/PropertyLviTransitionSpeed.h"
#include "properties/editors/PropertyLviUInt.h"
#include "properties/editors/PropertyLviValidateTarget.h"
#include "properties/editors/PropertyLviValidationError.h"
#include "properties/editors/PropertyLviValidationFrame.h"
#include "properties/editors/PropertyLviValidationMessage.h"
#include "properties/editors/PropertyLviValidationString.h"
#include "properties/editors/PropertyLviWidth.h"

namespace {

PropertyLviBase* forProperties(int type, QWidget* p, PropertyBoxClient* v, EditPropertyEntry* e) {
    switch (type) {
    case PE_STRING:
        return new PropertyLviString(p, v, e, nullptr, 0);
    case PE_BOOL:
        return new PropertyLviBool(p, v, e, nullptr, 0);
    case PE_FILENAME:
        return new PropertyLviFilename(p, v, e, nullptr, 0);
    case PE_COLOR:
        return new PropertyLviColorEdit(p, v, e, nullptr);
    case PE_FONT:
        return new PropertyLviFont(p, v, e, nullptr);
    case PE_GRADIENT_FILL:
        return new PropertyLviCGradientFillSetUp(p, v, e, nullptr);
    case PE_RESOURCE_FILE:
        return new PropertyLviResourceEditorFile(p, v, e, nullptr, 0, 0);
    case PE_ARROW:
        return new PropertyLviArrow(p, v, e, nullptr);
    case PE_ATTRIBUTE:
        return new PropertyLviAttribute(p, v, e, nullptr);
    case PE_UINT:
        return new PropertyLviUInt(p, v, e, nullptr);
    case PE_ALIGN:
        return new PropertyLviAlign(p, v, e, nullptr);
    case PE_BORDER_STYLE:
        return new PropertyLviBorderStyle(p, v, e, nullptr);
    case PE_FILL_PATTERN:
        return new PropertyLviFillPattern(p, v, e, nullptr);
    case PE_FILL_MODE:
        return new PropertyLviFillMode(p, v, e, nullptr);
    case PE_BUTTON_STYLE:
        return new PropertyLviButtonStyle(p, v, e, nullptr);
    case PE_LEFT:
        return new PropertyLviLeft(p, v, e, nullptr);
    case PE_TOP:
        return new PropertyLviTop(p, v, e, nullptr);
    case PE_WIDTH:
        return new PropertyLviWidth(p, v, e, nullptr);
    case PE_HEIGHT:
        return new PropertyLviHeight(p, v, e, nullptr);
    case PE_VALIDATION_STRING:
        return new PropertyLviValidationString(p, v, e, nullptr);
    case PE_VALIDATION_ERROR:
        return new PropertyLviValidationError(p, v, e, nullptr, 0);
    default:
        // Types without an editing class of their own: a plain cell.
        return new PropertyLviBase(p, v, e, nullptr, 0);
    }
}

PropertyLviBase* forLongSet(int type, QWidget* p, PropertyBoxClient* v, EditPropertyEntry* e, int event) {
    switch (type) {
    case PE_STRING:
        return new PropertyLviString(p, v, e, nullptr, event);
    case PE_BOOL:
        return new PropertyLviBool(p, v, e, nullptr, event);
    case PE_FILENAME:
        return new PropertyLviFilename(p, v, e, nullptr, event);
    case PE_RESOURCE_FILE:
        return new PropertyLviResourceEditorFile(p, v, e, nullptr, 0, event);
    case PE_VALIDATE_TARGET:
        return new PropertyLviValidateTarget(p, v, e, nullptr, event);
    case PE_TRANSITION_EFFECT:
        return new PropertyLviTransitionEffect(p, v, e, nullptr, event);
    case PE_TRANSITION_SPEED:
        return new PropertyLviTransitionSpeed(p, v, e, nullptr, event);
    case PE_VALIDATION_FRAME:
        return new PropertyLviValidationFrame(p, v, e, nullptr, 0, event);
    case PE_VALIDATION_ERROR:
        return new PropertyLviValidationError(p, v, e, nullptr, event);
    case PE_VALIDATION_MESSAGE:
        return new PropertyLviValidationMessage(p, v, e, nullptr, 0, event);
    default:
        return nullptr;
    }
}

PropertyLviBase* forShortSet(int type, QWidget* p, PropertyBoxClient* v, EditPropertyEntry* e, int event) {
    switch (type) {
    case PE_STRING:
        return new PropertyLviString(p, v, e, nullptr, event);
    case PE_BOOL:
        return new PropertyLviBool(p, v, e, nullptr, event);
    case PE_TRANSITION_EFFECT:
        return new PropertyLviTransitionEffect(p, v, e, nullptr, event);
    case PE_TRANSITION_SPEED:
        return new PropertyLviTransitionSpeed(p, v, e, nullptr, event);
    case PE_MOUSE_POINTER:
        return new PropertyLviMousePointer(p, v, e, nullptr, event);
    case PE_RESOURCE_FILE:
        return new PropertyLviResourceEditorFile(p, v, e, nullptr, 0, event);
    default:
        return nullptr;
    }
}

PropertyLviBase* forValidationSet(int type, QWidget* p, PropertyBoxClient* v, EditPropertyEntry* e,
                                  int string, int key) {
    switch (type) {
    case PE_RESOURCE_FILE:
        return new PropertyLviResourceEditorFile(p, v, e, nullptr, string, key);
    case PE_VALIDATION_FRAME:
        return new PropertyLviValidationFrame(p, v, e, nullptr, string, key);
    case PE_VALIDATION_MESSAGE:
        return new PropertyLviValidationMessage(p, v, e, nullptr, string, key);
    default:
        return nullptr;
    }
}

} // namespace

void PropertyEditorFactory::install() {
    PropertyRowEditors::install(&PropertyEditorFactory::create);
}

PropertyLviBase* PropertyEditorFactory::create(ListKind list, int editorType, QWidget* parent,
                                               PropertyBoxClient* view, EditPropertyEntry* entry, int first,
                                               int second) {
    PropertyLviBase* editor = nullptr;
    switch (list) {
    case PropertyRowEditors::PROPERTIES:
        editor = forProperties(editorType, parent, view, entry);
        break;
    case PropertyRowEditors::LONG_SET:
        editor = forLongSet(editorType, parent, view, entry, second);
        break;
    case PropertyRowEditors::SHORT_SET:
        editor = forShortSet(editorType, parent, view, entry, second);
        break;
    case PropertyRowEditors::VALIDATION_SET:
        editor = forValidationSet(editorType, parent, view, entry, first, second);
        break;
    }
    // Hidden until its row is selected; otherwise a child made before its
    // list is shown would appear with the list.
    if (editor)
        editor->hide();
    return editor;
}
