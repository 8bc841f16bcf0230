// What the frame object and the mouse-click target ask of the rest of the
// program: the main window's playback records and frame fill, the frame
// strip's user-action and sound operations, the image holder's selection,
// cursor, repaint and rubber band, and the property box's selected rows and
// object chooser.
//
// The program registers one implementation (HolderInteractiveHost over the
// image holder, completed by the main window) with setCurrent before it makes
// objects; objects take the registered host when they are made. Tests
// register a stand-in. Frames are 0-based here.
#pragma once

#include "canvas/records/ObjectRecords.h"
#include "store/DatRecords.h"

#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class DrawTools;
class QKeyEvent;
class QObject;
class QWidget;

class InteractiveHost {
  public:
    virtual ~InteractiveHost();

    static void setCurrent(InteractiveHost* host);
    static InteractiveHost* current();

    // ---- main window ----

    // The playback records, one per frame in frame order; may be null.
    virtual std::vector<SPlayBackFrameInfo>* playbackRecords() = 0;
    // Refills the current frame's image with the colour when the frame is a
    // blank (inserted or appended) frame; does nothing otherwise.
    virtual void changeFrameColor(const QColor& color) = 0;

    // ---- frame strip ----

    // Sets the user action of the current frame and of the strip's selected
    // range, when there is one, to the given state: for every user-action
    // frame among them the frame object's byte, the playback record's byte
    // and the strip's marks.
    virtual void setUserActionStatus(bool enabled) = 0;
    // A sound was given to or taken from the current frame.
    virtual void soundAddedOrRemovedInFrame(bool added) = 0;

    // ---- image holder ----

    virtual int currentFrame() const = 0;
    // The stored records of a frame, or null for a frame without any.
    virtual const StrAllObjects* frameRecords(unsigned long frame) const = 0;
    // The single selected live object, else the frame object.
    virtual DrawTools* selectedItem() = 0;
    // Makes the object the one the holder's mouse handlers work on.
    virtual void setCurrentObject(DrawTools* object) = 0;
    virtual void drawContents() = 0;
    // Refills the property box's chooser with the current frame's objects.
    virtual void resetCombo() = 0;
    virtual bool objectSelection() const = 0;
    virtual void setObjectSelection(bool on) = 0;
    virtual void setHolderCursor(Qt::CursorShape shape) = 0;
    // Draws the rectangle outline (x, y, width, height as XDrawRectangle
    // takes them) in XOR on the holder's window and flushes; drawing the
    // same rectangle again erases it.
    virtual void drawBand(const QRect& band) = 0;
    virtual QSize screenSize() const = 0;
    // True while the current frame's objects may not be edited.
    virtual bool checkFrameStatus() const = 0;
    // The widget the in-place editors are children of (the holder); null
    // when there is none.
    virtual QWidget* editorParent() const { return nullptr; }
    // The holder's own key handling (delete, nudge, F10) for a key an editor
    // passes on.
    virtual void holderKeyPress(QKeyEvent* event) { (void)event; }

    // ---- property box ----

    virtual bool propertyBoxVisible() const = 0;
    // Shows the property box, when the view has one.
    virtual void showPropertyBox() = 0;
    // 0 Properties, 1 Events, -1 when there is no box.
    virtual int propertyPageIndex() const = 0;
    virtual bool isPropertiesPage(QWidget* page) const = 0;
    virtual bool isEventsPage(QWidget* page) const = 0;
    // Column-0 text of the row selected in the Properties or Events list;
    // empty when none is selected.
    virtual QString selectedPropertyRow() const = 0;
    virtual QString selectedEventRow() const = 0;
    // Fills the chooser with the names and routes its activation to the
    // callback while the receiver lives, replacing any earlier route.
    virtual void setEventChooser(const QStringList& names, QObject* receiver,
                                 std::function<void(int)> activated) = 0;
    // Lists event `event` of the object on the Events page (the box calls the
    // object's addEventPropEntrys).
    virtual void refillEventList(DrawTools* object, int event) = 0;
    // Appends an object name at the end of the chooser.
    virtual void appendObjectName(const QString& name) = 0;
    // Lists click event `event` of a hyperlink on the Events page.
    virtual void refillHyperEventList(DrawTools* object, int event) { refillEventList(object, event); }

    // ---- the current frame's validation fields, by 1-based position ----

    virtual int validationFieldCount() const { return 0; }
    virtual QString validationFieldName(int position) const {
        (void)position;
        return QString();
    }
    // The field's ID; 0 when there is no field at the position.
    virtual int validationFieldId(int position) const {
        (void)position;
        return 0;
    }
    // The ID a new validation field takes: one more than the highest ID among
    // the frame's fields, live or waiting to come back through Undo.
    virtual int nextValidationId() const;
    // Lists the event rows of key `key` of string `string` of a validation
    // field on the Events page (the box calls addEventPropEntrys(string, key)).
    virtual void refillValidationEventList(DrawTools* object, int string, int key) {
        (void)object;
        (void)string;
        (void)key;
    }
    // Enables or disables the property box's Events page.
    virtual void setEventsPageEnabled(bool enabled) { (void)enabled; }
};
