// A bitmap object (kind 20): one image of the media library on a frame. The
// object is never shown itself; its label (CEditBitmapObject), a child of the
// image holder, draws the image and keeps the record. The object applies the
// property rows, places the label by its alignment, shows the chosen image
// and reports the image uses it drops and, when pasted, adds.
#pragma once

#include "canvas/HolderObjectFactory.h"
#include "objects/interactive/CEditBitmapObject.h"
#include "objects/interactive/InPlaceControl.h"

#include <QPixmap>
#include <QPointer>
#include <QSize>
#include <QString>

class QPaintDevice;
class VLImageHolder;

class CBitmapObject : public InPlaceControl<CEditBitmapObject, sBitmapObject> {
    Q_OBJECT

  public:
    static constexpr int NAME_LIMIT = 30;
    static constexpr int UNSTRETCHED_SIZE = 50;
    // Shown while no image is chosen; loaded by this name from the folder
    // the program runs in.
    static constexpr const char* PLACEHOLDER = "bitmap1.xpm";

    // A new bitmap made by the tool, with its number.
    CBitmapObject(VLImageHolder* holder, QWidget* parent, QPaintDevice* device, int number);
    // A copy of another bitmap placed at position.
    CBitmapObject(VLImageHolder* holder, CBitmapObject& source, int number, QPoint position);
    // A pasted record, with a new number and the paste offset.
    CBitmapObject(VLImageHolder* holder, const NVAllObjects& record, int number, QPoint offset);
    // Re-created from a frame's stored record.
    CBitmapObject(VLImageHolder* holder, sBitmapObject stored);

    static HolderKindMakers holderKindMakers();

    // The Align row's word of a code, null for a code without one, and the
    // code of a word, -1 for none.
    static QString alignWord(int code);
    static int alignCode(const QString& word);
    // Where an alignment places a label of the given size in the holder;
    // false for no alignment and for codes without one.
    static bool alignedPosition(int code, QSize holder, QSize label, QPoint& position);

    // Applies one property row by name.
    void applyProperty(const QString& row) override;
    int PropValueId(const QString& name);
    // Shows the image the media library keeps for the full source path.
    void DisplayImage(const QString& path);
    VLImageHolder* getVLImageHolder() const { return m_holder; }
    bool stretchFlag() const;

  signals:
    void signal_selected_edit_object(DrawTools* object);
    void signalStretch();
    void signalDeleteIDFromUseArray(unsigned long id);
    void signalAddIDOnCopy(unsigned long id);

  public slots:
    void slot_selected_bitmap_object(DrawTools* object);
    void slotMovedBitmapObject(QRect before);
    void slotObjectName();

  protected:
    void emitSelectedEditObject() override;

  private:
    void begin(VLImageHolder* holder, QWidget* parent);
    void addMyPropEntrys();
    void setProp(const QString& name, const QString& value);
    void nameFromNumber(int number);
    void setChoiceRows();
    void setGeometryRows();
    void placeLabel();
    // The image of the record's identifier, or the placeholder for none.
    void showImageOf(uint32_t id);
    QSize holderSize() const;
    sBitmapObject& bitmap();
    const sBitmapObject& bitmap() const;

    VLImageHolder* m_holder = nullptr; // not owned
    QString m_constructionName;
};
