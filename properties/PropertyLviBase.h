// Base of the in-place editors of the property box's lists. An editor edits
// one entry of the selected object's property store, shows it in a control
// of its kind and hands each change to the object.
//
// The object is held through a guarded pointer: the canvas may delete it
// (undo of its creation, a cut, a frame change) while its rows are listed,
// and an edit must then touch neither the object nor its entry.
#pragma once

#include "store/CValidationData.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

class EditPropertyEntry;
class EditPropertyBox;
class PropertyBoxClient;

// A validation message or error being handed between the message editors and
// the hyperlink and validation field objects.
struct sValidMessageRecord {
    std::string text; // at most 259 bytes are kept by the objects
    uint32_t iconId = 0;
    std::string caption;
    int16_t captionLength() const { return int16_t(caption.size() > 32767 ? 32767 : caption.size()); }
    bool operator==(const sValidMessageRecord& o) const {
        return text == o.text && iconId == o.iconId && caption == o.caption;
    }
};

class PropertyLviBase : public QWidget {
    Q_OBJECT
  public:
    PropertyLviBase(QWidget* parent, PropertyBoxClient* view, EditPropertyEntry* entry, const char* name,
                    int unused);
    ~PropertyLviBase() override;

    // The text the control shows; the row copies it into its cell when it
    // hides the editor. The plain editor has none.
    virtual QString getText();
    // A text the row shows instead of getText() when not empty.
    virtual QString getDisplayedText();
    // Has the selected object apply this editor's row.
    virtual void refreshItem();

    EditPropertyEntry* getEntry() const { return entry; }
    QObject* getSelectedItem() const { return selectedItem.data(); }

    // Drops the object and the entry: no later edit reaches either. The box
    // calls it when the listed object is destroyed.
    void detachObject();
    // True while this editor is handing an edit to its object. An apply may
    // rebuild the lists; such an editor must then be deleted later, since
    // its control is still inside the handler that emitted the change.
    bool isCommitting() const;

    // Shared records of the validation editors and objects, and the bitmap
    // hold flag; one instance in the program.
    static std::vector<sMultiValidationString> VRmuValidStr;
    static uint8_t bNotFirstEntry;
    static sValidMessageRecord m_sValidError;
    static uint8_t bNotFirstError;
    static sValidMessageRecord m_sValidMessage;
    static uint8_t bNotFirstMessage;
    static uint8_t stretchFlag;
    // Puts every shared record back to its state at start (tests).
    static void resetSharedRecords();

    // While one lives, editors made are bound to `object` instead of the
    // holder's selection: the box binds the editors of a list to the object
    // whose store the list shows, so an edit never writes one object's entry
    // and applies it to another.
    class ListingScope {
      public:
        explicit ListingScope(QObject* object);
        ~ListingScope();
        ListingScope(const ListingScope&) = delete;
        ListingScope& operator=(const ListingScope&) = delete;

      private:
        QObject* m_previous;
    };

  public slots:
    virtual void slotSetLeft(int width);
    virtual void slotSetWidth(int left);
    virtual void slotSetTop(int height);
    virtual void slotSetHeight(int top);

  protected:
    void paintEvent(QPaintEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

    // Commit helpers shared by the typed editors.
    // True while the property box shows its Events page.
    bool onEventsPage() const;
    // Kind code of the selected object; -1 when it is gone.
    int selectedKind() const;
    // Stores the entries of an event (hyperlink, frame object) or of a
    // validation key through the object.
    void applyEvent(int event);
    void applyEvent(int string, int key);
    // Screen size for the geometry ranges.
    QSize screenSize() const;
    // Has the editor's list lay out its editors and cells again.
    void requestListUpdate();
    // Connects this editor's signal to the object's slot of the same
    // signature when the object declares that slot, once however often it
    // is asked; false when the object has no such slot.
    bool connectToObjectSlot(QObject* object, const char* signal, const char* slot);

    int32_t objLeft = 0;
    int32_t objTop = 0;
    int32_t objWidth = 0;
    int32_t objHeight = 0;
    EditPropertyEntry* entry = nullptr;
    PropertyBoxClient* view = nullptr;
    QPointer<QObject> selectedItem;
};
