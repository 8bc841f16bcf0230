// The base of every frame object. The canvas and the property editor drive
// all objects through these virtual operations without knowing their class;
// each default here is what an object that does not override it answers.
//
// Xlib stays out of this header: the drawing operations take the display and
// graphics context as opaque pointers (Xlib's own struct tags) and the
// drawable by reference.
#pragma once

#include "canvas/records/ObjectRecords.h"
#include "store/DrawingObjectType.h"

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

struct _XDisplay;
struct _XGC;
class EditPropertyBase;
class MediaLibraryInterface;

class DrawTools : public QWidget {
    Q_OBJECT

  public:
    static constexpr size_t OBJECT_ID_LENGTH = 12;

    DrawTools(QWidget* parent, const char* name);
    ~DrawTools() override;

    // The media library, which every object takes at construction. Set once
    // by the main window before it makes objects. Objects reach the main
    // window itself through InteractiveHost.
    static void setMediaLibrary(MediaLibraryInterface* mediaLibrary);

    // The current tool code; only the canvas's tool selection changes it.
    static int32_t currentlySelectedObject;
    // Returns its first argument; kept for callers of the old interface.
    static int get_no_frames(int frames, bool);

    // The object's ID: at most 11 characters.
    void setObjectID(const std::string& id);
    const char* getObjectIDText() const { return objectID; }

    virtual bool keepWithinVLI();
    virtual void draw();
    virtual void draw(_XDisplay* display, _XGC* gc, unsigned long& drawable);
    virtual bool select(QPoint point);
    virtual void select();
    virtual void select(_XDisplay* display, _XGC* gc, unsigned long& drawable);
    virtual QRegion getRegion();
    virtual QPolygon getArrayPoints();
    virtual void updatePosition(int dx, int dy);
    virtual int getIndex() const;
    virtual void setPastingPosition();
    virtual QPoint getPastingPosition() const;
    virtual const char* getObjectName() const;
    virtual void restoreGeometry(QRect rect);
    virtual void* getObjectStructure();
    virtual NVFrame* getFrameObjectStructure();
    // A mouse-click target's own disabled flag; false for every other kind.
    virtual bool targetDisabled() const;
    virtual void selectValidationFromCombo();
    virtual void restorePoly(QPolygon points);
    virtual bool isInvalidDoubleClick();
    virtual QString getWrittenText() const;
    virtual void GetFileData(char* buffer, short& length);
    virtual EditPropertyBase* getEditPropertyBase();
    virtual MediaLibraryInterface* getResourceEditor();
    virtual void addEventPropEntrys(int event);
    virtual void addEventPropEntrys(int string, int key);
    virtual void setEventProperty(int event);
    virtual void setEventProperty(int string, int key);
    // A validation field's strings, edited in the validation string dialog;
    // other kinds do nothing.
    virtual void removedKey(int string, int key);
    virtual void resizeMultiStringVector(int string);
    virtual void loadValidationStrings();
    virtual int getORResult(const NVAllObjects& record);
    virtual int getFrameFillColor(unsigned long frame);
    // Copies the object's current record into target; the base copies nothing.
    virtual bool getAllObjectStructure(NVAllObjects* target);
    virtual void repaintItem();
    virtual void setGeometryEntrys(int* x, int* y, int* width, int* height);
    virtual void changeForeColor(QColor& color);
    virtual void changeBackColor(QColor& color);
    virtual int getObjectID();

    int32_t drawingObject = SELECTION;
    bool hasEvents = false;

  signals:
    void signalSetLeft(int);
    void signalSetWidth(int);
    void signalSetTop(int);
    void signalSetHeight(int);

  public slots:
    virtual void slotFontSelected(QFont& font);
    virtual void slotEnterEventItems(QWidget* page);

  protected:
    void mousePressEvent(QMouseEvent*) override {}
    void mouseReleaseEvent(QMouseEvent*) override {}
    void mouseDoubleClickEvent(QMouseEvent*) override {}
    void mouseMoveEvent(QMouseEvent*) override {}
    void paintEvent(QPaintEvent*) override {}

    char objectID[OBJECT_ID_LENGTH] = {};

  private:
    std::unique_ptr<EditPropertyBase> m_properties;
    MediaLibraryInterface* m_mediaLibrary = nullptr; // not owned

    static MediaLibraryInterface* s_mediaLibrary;
};
