// What the property box and its in-place editors need of the canvas: the
// view's property box, the image holder's selection, chooser and frame
// queries, the screen size, and the operations of a frame object.
//
// The view implements it (the box is made as EditPropertyBox(view, view,
// "Edit", false, 0)); tests use a stand-in. Frame objects are passed as
// QObject pointers so that the property editor does not depend on the object
// classes: the canvas casts them back to its object base class.
//
// Every object handed to the box must declare the four geometry signals
//     signalSetLeft(int), signalSetWidth(int), signalSetTop(int), signalSetHeight(int)
// which the geometry editors connect to by name.
#pragma once

#include <QSize>
#include <QString>

class QObject;
class EditPropertyBase;
class EditPropertyBox;

class PropertyBoxClient {
  public:
    virtual ~PropertyBoxClient();

    // ---- view and image holder ----

    // The view's property box; may be null while the view is being built.
    virtual EditPropertyBox* _get_editprop_box() = 0;
    // The only selected object of the current frame, or its frame object when
    // none or several are selected; null when no frame is shown.
    virtual QObject* getSelectedItem() = 0;
    // The object the image holder last created, loaded, pasted or pressed
    // on; null when there is none (and for clients without a holder).
    virtual QObject* currentObject();
    // Refills the box's object chooser with the current frame's objects;
    // while the box is visible, connects the chooser's picks and lists the
    // selected object (getSelectedItem) without changing the selection.
    virtual void slotResetCombo() = 0;
    // Number of frames of the project.
    virtual int getTotalFrames() = 0;
    // Frame name of frame i (from 0).
    virtual QString getFrameObjName(int frame) = 0;
    // Number of validation fields of the current frame.
    virtual int getNumValidationFields() = 0;
    // Name of the n-th validation field of the current frame (from 1).
    virtual QString getValidationObjName(int n) = 0;
    // Screen width and height for the geometry editors' ranges.
    virtual QSize getScreenResolution() = 0;

    // ---- operations of a frame object (the object base class's virtuals) ----

    // Kind code of the object (DrawingObjectType).
    virtual int drawingObject(QObject* item) = 0;
    // The object's own property store; never null for a live object.
    virtual EditPropertyBase* getEditPropertyBase(QObject* item) = 0;
    // Writes the object's left, top, width and height; objects that keep no
    // rectangle write nothing.
    virtual void setGeometryEntrys(QObject* item, int* left, int* top, int* width, int* height) = 0;
    // Applies the property row named propertyName (the row that was edited,
    // not whichever row happens to be selected), emits the four geometry
    // signals and redraws.
    virtual void repaintItem(QObject* item, const QString& propertyName) = 0;
    // Stores the edited entries of event `event` (hyperlink, frame object).
    virtual void setEventProperty(QObject* item, int event) = 0;
    // Stores the edited entries of key `key` of validation string `string`.
    virtual void setEventProperty(QObject* item, int string, int key) = 0;
    // Rebuilds event set `event` in the object's store from its records.
    virtual void addEventPropEntrys(QObject* item, int event) = 0;
    // Rebuilds the validation set (string, key) in the object's store.
    virtual void addEventPropEntrys(QObject* item, int string, int key) = 0;
    // True when user action is disabled for the object: a frame object's
    // user-action byte is 1, or a mouse-click target's own disabled flag is
    // set. Other kinds answer false.
    virtual bool isUserActionDisabled(QObject* item) = 0;

    // ---- a validation field's strings (other kinds do nothing) ----

    // Key `key` of string `string` was deleted in the validation string dialog.
    virtual void removedKey(QObject* item, int string, int key);
    // String `string` was deleted in the validation string dialog.
    virtual void resizeMultiStringVector(QObject* item, int string);
    // Puts the field's strings into PropertyLviBase::VRmuValidStr (empty
    // when it has none), as a press on the field does.
    virtual void loadValidationStrings(QObject* item);
};
