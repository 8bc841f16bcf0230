// The frame editing surface: shows the current frame's image with its
// objects drawn over it and keeps every frame's object records, the live
// objects, the selection, the object clipboard and the undo stacks.
//
// All drawing goes through the holder's own X connection, not through Qt's
// painter: the frame image and the objects are drawn into a screen-sized
// server pixmap, and the widget's window is refreshed from that pixmap. The
// widget is a native window that Qt never paints (paint-on-screen with no
// paint engine), so nothing Qt does overwrites the drawing; the holder also
// listens for Expose on its own connection and copies the exposed area back.
// Objects draw rubber bands straight onto the window with the XOR context.
//
// Xlib stays out of this header: X types appear as Xlib's own struct tags.
#pragma once

#include "canvas/records/ObjectRecords.h"
#include "canvas/records/sAllObjects.h"
#include "store/FrameTable.h"

#include <QColor>
#include <QFrame>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QRegion>
#include <QSize>

#include <memory>
#include <stack>
#include <utility>
#include <vector>

struct _XDisplay;
struct _XGC;
struct _XImage;
class CValidationData;
class EditPropertyBox;
class DrawTools;
struct SPlayBackFrameInfo;
class QPixmap;
class QSocketNotifier;
class VelmoraView;

// One frame's copy of the ten object-name counters.
struct sLastObjectNumber {
    int32_t numLines = 0;
    int32_t numRects = 0;
    int32_t numRoundRects = 0;
    int32_t numEllipses = 0;
    int32_t numHyperlinks = 0;
    int32_t numPolylines = 0;
    int32_t numValidationFields = 0;
    int32_t numInstructionBoxes = 0;
    int32_t numTextFields = 0;
    int32_t numBitmapObjects = 0;
};

// Clipboard modes of slotCutCopyObjects.
constexpr int COPY = 0;
constexpr int CUT = 1;

// Undo codes of the holder's undo stacks.
enum UndoCode : int {
    UNDO_CREATION = 0,
    UNDO_DELETION = 1,
    UNDO_GEOMETRY = 2,
    UNDO_CUT = 3,
    UNDO_PASTE = 4,
    UNDO_FRAME_DELETION = 5,
};

// A stored record of a kind the canvas cannot make a live object of: kept
// byte for byte beside the frame's records and written back unchanged, at
// its place among them.
struct KeptStoredRecord {
    size_t position = 0; // index in the frame's stored order
    sAllObjects stored;
};

class VLImageHolder : public QFrame, public FrameTableListener {
    Q_OBJECT

  public:
    using XDrawable = unsigned long; // Window and Pixmap ids of Xlib

    // The X resources objects draw with, all on the holder's own connection.
    struct DrawTarget {
        _XDisplay* display = nullptr;
        XDrawable window = 0;  // the widget's window; 0 before it has one
        XDrawable pixmap = 0;  // the screen-sized off-screen image
        _XGC* xorGC = nullptr; // rubber bands on the window; made by initGC
        _XGC* pixmapGC = nullptr;
    };

    VLImageHolder(VelmoraView* view, QWidget* parent);
    ~VLImageHolder() override;

    // Makes the XOR graphics context on the holder's window once; objects
    // call it before they take the draw target.
    void initGC();
    DrawTarget drawTarget() const;

    // Takes the frame image (not owned: its owner keeps it alive while it is
    // shown and hands over a new one before freeing it). Mode 0 only stores
    // it; mode 1 also puts it into the pixmap and schedules a repaint; any
    // other mode puts it and redraws everything.
    void set_image_pixmap(const QPixmap& pixmap, _XImage* image, short mode);
    // As mode 1, for an image that is pixel 0 outside `painted`: the pixmap is
    // filled with pixel 0 and only that part of the image is put.
    void setBlankImage(_XImage* image, const QRect& painted);
    // Resizes the holder to 0 x 0 and does nothing else.
    void set_image_pixmap(const QPixmap& pixmap);
    // The frame image last handed over; null before the first and once forgotten.
    _XImage* shownImage() const { return frameImage; }
    // The image's owner is about to free it: the holder stops pointing at it
    // if it is the one handed over. Nothing is redrawn.
    void forgetFrameImage(const _XImage* image);

    // Redraws the whole pixmap (image, objects, selection handles) and
    // repaints the widget from it at once.
    void drawContents();

    // The X window of the widget, created on first use; 0 before the widget
    // can have one.
    XDrawable ensureHolderWindow();
    // Copies the rectangle from the pixmap to the window and waits until the
    // server has done it.
    void copyToWindow(const QRect& r);
    // Handles the events queued on the holder's connection (Expose).
    void processHolderEvents();

    int getCurrentFrame() const { return current_frame; }
    int getTotalFrames() const { return total_frames; }
    bool checkFrameStatus() const { return editDisabled; }
    void setObjectSelection(bool on) { objectSelection = on; }
    bool checkObjectSelection() const { return objectSelection; }
    VelmoraView* getVelmoraView() const { return view; }

    // The XOR pixel: pixel of xorColor XOR pixel of black (0 where the
    // colour cannot be had).
    unsigned long xorForeground() const { return m_xorForeground; }

    QPaintEngine* paintEngine() const override { return nullptr; }

    // The rectangle outline (x, y, width, height as XDrawRectangle takes
    // them) in XOR on the window, flushed; drawing it again erases it.
    void drawXorBand(const QRect& band);
    QSize screenSize() const { return QSize(m_screenWidth, m_screenHeight); }

    // ---- live objects of the current frame and the selection ----
    // Element 0 is the frame object; index-aligned with the frame's records.
    const std::vector<DrawTools*>& liveObjects() const { return vObjectList; }
    // Indexes into liveObjects() of the selected objects, in selection order.
    const std::vector<int>& selectedIndexes() const { return vSelectedObjectIndex; }
    // The single selected object, else the frame object; null without objects.
    DrawTools* getSelectedItem() const;
    // The object being created, edited or hit-tested; objects make
    // themselves or the selection current.
    DrawTools* currentObject() const { return draw_tool; }
    void setCurrentObject(DrawTools* object) { draw_tool = object; }
    // Whether an object is the creation in progress that a release commits.
    bool mouseIsPressed() const { return mousePressed; }

    // ---- the main window's playback records ----
    // Set once by the main window; frames without a record read as blank.
    void setPlaybackRecords(std::vector<SPlayBackFrameInfo>* records) { m_playback = records; }
    std::vector<SPlayBackFrameInfo>* playbackRecords() const;
    const SPlayBackFrameInfo* playbackRecord(int frame) const;

    // ---- per-frame object records (FrameTableListener) ----
    // One record list per frame.
    const std::vector<StrAllObjects>& allObjects() const { return vAllObjects; }
    // The frame object's record of a frame (its first record); null when the
    // frame has no records.
    NVFrame* frameRecord(int frame);
    const NVFrame* frameRecord(int frame) const;
    void get_no_frames(int frames);
    void addFrameObject(bool insert) override;
    void addObjectsOnPaste(uint32_t source, uint32_t target) override;
    void changeObjectsOnCutPaste(uint32_t source, uint32_t target) override;
    void deleteObjectsOnPurge(uint32_t frame) override;
    bool frameHasAudioResource(uint32_t frame) override;
    void getMouseActionFrames(std::vector<SPlayBackFrameInfo>& playback);
    void addFrameStructureToList(int frame);
    int getNumValidationFields() const;
    QString getValidationObjName(int n) const;
    QString getFrameObjName(int frame) const;
    static bool isaControl(int kind);
    // Lines and polylines keep their undo geometry as points (getArrayPoints,
    // restorePoly); a bounding rectangle would lose a line's diagonal.
    static bool keepsGeometryAsPoints(int kind) { return kind == LINE || kind == POLYLINE; }
    void getNumSingleFrameObjects(int count);
    int getObjectIdStrcture(int value, char*) const { return value; }
    // Kinds the canvas makes live objects of; records of other kinds are
    // kept in their stored form.
    static bool hasObjectClass(int kind);
    // The stored records of kinds without a live object, per frame.
    const std::vector<KeptStoredRecord>& keptRecords(int frame) const;

    // ---- frame change and object creation ----
    void createObjects(int frame);
    void copyObjects(const StrAllObjects& source, StrAllObjects& destination, int destinationFrame);
    void changeValidationData(sValidationField& destination, const NVAllObjects* source);
    int getValidationID(int n) const;
    // One more than the highest ID among the frame's validation fields, live
    // or removed and waiting on the undo records.
    int nextValidationID() const;
    // The ten name counters of the current frame.
    static sLastObjectNumber currentCounters();
    static void setCurrentCounters(const sLastObjectNumber& counters);

    // ---- record conversion ----
    bool getVectorRef(std::vector<sAllObjects>& records, int frame);
    bool setVectorRef(std::vector<sAllObjects>& records, int frame);
    void convertIntoSAllObject(std::vector<sAllObjects>& records, int frame);
    void convertFromSAllObject(std::vector<sAllObjects>& records, int frame);
    void getNoFramesOnFileOpen(int frames);
    void updateObjects();
    // The number in an object ID: its decimal digits among the first ten
    // characters, read as one number (clamped; 0 when there are none).
    static int objectIdNumber(const std::string& objectID);

    // ---- keys, deletion, clipboard and undo ----
    void deleteObjectOnKeyPress();
    void changedForeColor(QColor& color);
    void changedBackColor(QColor& color);
    // The media-library resources an object record uses, in report order:
    // a hyperlink's images and its events' image, sound and video; a
    // validation field's dialog icons and its key events' images and icons;
    // a bitmap's image. Zero IDs are left out.
    static std::vector<uint32_t> resourceIdsOf(const NVAllObjects& record);

  public slots:
    void slot_get_current_frame(int frame);
    void assignIDValue(unsigned long id);
    int slot_select_draw_object(int tool);
    void slotCheckFrameStatus(bool disabled);
    void slotResetCombo();
    void slot_selected_edit_object(DrawTools* object);
    void slotItemSelectedFromProperty(int index);
    void slotMovedEditObject(QRect rect);
    // A frame range was marked deleted or undeleted in the strip; the range
    // is what Undo toggles back.
    void slotPushFrameDeletion(int first, int last);
    void slotPushFrameDeletion();
    void slotPushFrameUnDeletion(int frame);
    void slotSelectAllObjects();
    void slotCutCopyObjects(int mode);
    void slotPasteObjects();
    void slotUndoAction();

  signals:
    void signal_select_region();
    void signalEnableUndo();
    void signalDisableUndo();
    void signalEnableCutCopy();
    void signalDisableCutCopy();
    void signalEnableSelectAll();
    void signalDisableSelectAll();
    void signalEnablePaste();
    void signalDisablePaste();
    void signalUnDeleteFrame(int);
    // Undo of a frame deletion: the frames whose mark goes back.
    void signalUnDeleteFrames(int first, int last);
    void signalDeleteFrame(int);
    void signalMouseMovePositions(QPoint);
    void signalReduceIDOnDelete(unsigned long);
    void signalAddIDOnCopy(unsigned long);
    void GetFileNameSignal(unsigned long, char*&);
    void signalGetValidationImageId();

  public:
    // The holder's key handling for a key an in-place editor passes on.
    void keyPressFromEditor(QKeyEvent* event) { keyPressEvent(event); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // Tests set up and inspect undo, selection and drawing states through it.
    friend class VLImageHolderTestAccess;

    // Puts the frame image on the pixmap; with `painted`, an image that is
    // pixel 0 outside it: the pixmap is filled and only that part is put.
    void putFrameImage(const QRect* painted = nullptr);
    void showImage(_XImage* image, short mode, const QRect* painted);
    // Writes every live object back into the current frame's records,
    // destroys it and drops the frame's click-target record.
    void storeLiveObjects();
    // Destroys every live object without storing it.
    void destroyLiveObjects();
    // Makes the current frame's live objects, its click target, the chooser
    // list and the drawing, as entering the frame does.
    void enterCurrentFrame(bool withClickTarget);
    void addClickTarget(int frame);
    void clearUndo();
    void refillChooser();
    void connectObject(DrawTools* object);
    // The selected and moved signals of the widget kinds, even without a
    // property box.
    void connectEditObject(DrawTools* object);
    void releaseRecordResources(const NVAllObjects& record, const NVAllObjects& frameRecord);
    void releaseKeptResources(const sAllObjects& stored);
    void announceKeptResources(const sAllObjects& stored);
    void ensureKeptSize();
    // Mouse and property-box helpers.
    DrawTools* makeToolObject();
    void forwardMouse(DrawTools* object, QMouseEvent* event);
    int hitTest(QPoint point, bool skipClickTargets);
    EditPropertyBox* propertyBox() const;
    bool eventsPageCurrent() const;
    void showPropertiesPage();
    void setChooserCurrent(int index);
    void removeChooserEntry(int index);
    void insertChooserEntry(int index, const QString& name);
    // Appends the live object and its record as a commit does, with an undo record.
    void commitNewObject(DrawTools* object, int kind);
    // Takes back a creation: object, record, chooser entry, undo record and number.
    void discardCreatedObject(int index);
    void dropCreationRecord(int index);
    void pushGeometry(int index);
    void takeNumberBack(int kind);
    void reconnectFramePage(DrawTools* object);
    // A rubber band made by a press: not a live object, owned by the holder until the release.
    bool isLooseBand(DrawTools* object) const;
    // Undo steps.
    void destroyObject();
    void undoDeletion();
    void undoCut();
    void undoPaste();
    void restoreGeometry();
    void undoRemoval(bool clearSelectionFlag);
    // The object's current record, as the clipboard and the use counts take it.
    NVAllObjects currentRecordOf(DrawTools* object, int index);
    void releaseUses(const NVAllObjects& record);
    void takeUsesAgain(const NVAllObjects& record);
    // Takes the live object at index out of the frame (not destroyed), for Delete and Cut.
    DrawTools* takeOut(int index);
    DrawTools* makePastedObject(const NVAllObjects& record);
    NVAllObjects frameStructure(int frame) const;

    // The current counter of a kind (nullptr for kinds without one).
    static int* counterOfKind(int kind);
    // The saved counter of a kind in one frame's copy (nullptr for kinds without one).
    static int32_t* savedCounterOfKind(sLastObjectNumber& counters, int kind);

    // Members in the order the other canvas parts know them.
    bool gcCreated = false;
    DrawTools* draw_tool = nullptr;
    bool multiMove = false;
    bool moveUndoSaved = false;
    _XImage* frameImage = nullptr; // not owned
    _XDisplay* holderDisplay = nullptr;
    int holderScreen = 0;
    _XGC* xorGC = nullptr;
    XDrawable holderWindow = 0;
    XDrawable offscreenPixmap = 0;
    _XGC* pixmapGC = nullptr;
    CValidationData* validationData = nullptr; // owned
    int currentTool = SELECTION;
    std::vector<DrawTools*> vObjectList; // owned
    std::vector<StrAllObjects> vAllObjects;
    bool editDisabled = false;
    QColor xorColor;
    QPoint pressPoint{0, 0};
    QPoint lastPoint{0, 0};
    std::vector<sLastObjectNumber> vLastObjectNumber;
    std::unique_ptr<QRegion> screenRegion;
    char newObjectID[12] = {};
    std::vector<sAllObjects> vStoredObjects;
    std::vector<int> vSelectedObjectIndex;
    std::stack<DrawTools*> stRemovedObjects;
    std::stack<int> stActionCounts;
    std::stack<int> stGeometryCounts;
    std::stack<int> stObjectIndexes;
    std::stack<int> stUndoCodes;
    std::stack<QRect> stRects;
    std::stack<QPolygon> stPointArrays;
    std::stack<NVAllObjects> stObjectClipboard;
    // The frames a frame-deletion undo record toggles back (first, last).
    std::stack<std::pair<int, int>> stFrameRanges;
    VelmoraView* view = nullptr;
    bool polylineClosed = true;
    bool doubleClicked = false;
    bool polylineStored = false;
    unsigned long validationImageID = 0;
    bool objectSelection = false;
    bool mousePressed = false;
    int total_frames = 0;
    int current_frame = -1;

    // The name counters of the current frame.
    static int numLines;
    static int numRects;
    static int numRoundRects;
    static int numEllipses;
    static int numPolylines;
    static int numBitmapObjects;
    static int numTextFields;
    static int numInstructionBoxes;
    static int numValidationFields;
    static int numHyperlinks;
    // Pastes since the last Cut or Copy, and the offset of the paste in progress.
    static int snCountPaste;
    static QPoint sqpPos;

    std::vector<SPlayBackFrameInfo>* m_playback = nullptr; // not owned
    QMetaObject::Connection m_chooserConnection;
    int m_pressButton = 0;
    std::vector<std::vector<KeptStoredRecord>> m_kept; // per frame, beside vAllObjects
    QSocketNotifier* m_notifier = nullptr;
    unsigned long m_xorForeground = 0;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    int m_pixmapDepth = 0;
    bool m_windowDepthChecked = false;
};
