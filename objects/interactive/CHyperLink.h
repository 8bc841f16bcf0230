// The hyperlink of a frame (kind 17): a captioned button with six mouse
// events that carry the player's actions. Like the shapes it is a widget that
// is never shown; it paints into the holder's pixmap and edits its geometry
// through the holder's forwarded mouse events.
#pragma once

#include "canvas/DrawTools.h"
#include "canvas/records/ObjectRecords.h"
#include "objects/draw/BoxDrag.h"
#include "objects/draw/SelectionHandles.h"

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class InteractiveHost;
class QPaintDevice;
class VLImageHolder;
struct HolderKindMakers;

class CHyperLink : public DrawTools {
    Q_OBJECT

  public:
    static constexpr int NAME_LIMIT = 30;
    static constexpr int NAME_FIELD = 32;
    static constexpr int TOOLTIP_LENGTH = 20;
    static constexpr int CAPTION_LIMIT = 254;
    static constexpr int EVENT_COUNT = sHyperLink::EVENT_COUNT;
    static constexpr const char* KIND_WORD = "Hyperlink";

    // A new hyperlink at a tool press; number is the kind's raised counter.
    CHyperLink(VLImageHolder* holder, QPaintDevice* device, int number);
    // A pasted hyperlink: the record moved by offset, with a new name.
    CHyperLink(VLImageHolder* holder, const NVAllObjects& record, int number, QPoint offset);
    // The hyperlink of a stored record; keeps the stored name.
    CHyperLink(VLImageHolder* holder, sHyperLink payload);
    ~CHyperLink() override;

    // The resource uses a paste reports, in order.
    static std::vector<uint32_t> pasteUses(const sHyperLink& link);

    // The holder's row for kind 17.
    static HolderKindMakers holderKindMakers();

    void draw(_XDisplay* display, _XGC* gc, unsigned long& drawable) override;
    bool select(QPoint point) override;
    void select() override;
    void select(_XDisplay* display, _XGC* gc, unsigned long& drawable) override;
    QRegion getRegion() override;
    void updatePosition(int dx, int dy) override;
    int getIndex() const override;
    void setPastingPosition() override;
    QPoint getPastingPosition() const override;
    const char* getObjectName() const override;
    void restoreGeometry(QRect rect) override;
    void* getObjectStructure() override;
    bool getAllObjectStructure(NVAllObjects* target) override;
    int getORResult(const NVAllObjects& record) override;
    void repaintItem() override;
    void setGeometryEntrys(int* x, int* y, int* width, int* height) override;
    // False while the hyperlink has no area: a creation drag released in
    // its start row or column made nothing to keep.
    bool keepWithinVLI() override;

    virtual void addMyPropEntrys();

    // ---- events ----
    // Longest texts an event keeps, in characters.
    static constexpr int PATH_LIMIT = 259;
    static constexpr int ERROR_LIMIT = 255;
    static constexpr int MESSAGE_LIMIT = 257;
    static const QStringList& eventNames();
    void addEventPropEntrys(int event) override;
    void setEventProperty(int event) override;
    // Stores the named row of event `event`; what setEventProperty does for
    // the row selected in the Events list.
    Q_INVOKABLE void applyEventProperty(int event, const QString& row);
    // Row lookups of click events and of pointer events: value text (empty
    // when absent) and value identifier (0).
    QString PropHypEventStr(int event, const QString& name);
    int PropHypEventValueId(int event, const QString& name);
    QString PropEventStr(int event, const QString& name);
    int PropEventValueId(int event, const QString& name);

    // Applies the named row; what repaintItem does for the selected row.
    Q_INVOKABLE void applyProperty(const QString& row);

    VLImageHolder* getVLImageHolder() const { return m_pImageHolder; }
    static void makeRect(QPoint a, QPoint b, QRect& rect);
    QString Prop2Str(const QString& name);
    const NVAllObjects& record() const { return m_record; }
    const sHyperLink& payload() const { return *m_record.get<sHyperLink>(); }
    sHyperLink& payload() { return *m_record.get<sHyperLink>(); }

    // Display words by code.
    static const QStringList& attributeWords();
    static const QStringList& alignWords(); // code 1 written "Centre"
    static const QStringList& buttonStyleWords();
    // The "Font" row's text of a font.
    static QString fontText(const NVFont& font);
    // The X font name pattern of a font.
    static QString getFontString(const NVFont& font);

    // Paints a payload into a drawable as draw() does.
    static void paint(_XDisplay* display, _XGC* gc, unsigned long drawable, const sHyperLink& link);

  signals:
    void signalEventNo(int);
    void signalDeleteIDFromUseArray(unsigned long);
    void signalAddIDOnCopy(unsigned long);
    void signalResetCombo();

  public slots:
    void slotFontSelected(QFont& font) override;
    void slotForEvents(int event);
    void slotEnterEventItems(QWidget* page) override;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    void common();
    void takeHolderContext();
    unsigned long bandWindow() const;
    void setName(const QString& name);
    void appendToChooser(const QString& name);
    void setRows();
    void setGeometryRows();
    void emitGeometry();
    QRect area() const;
    bool editingDisabled() const;
    BoxDrag::Edges edges();
    BoxDrag::Surface bandSurface() const;
    QString resourceName(uint32_t id);
    QString gotoWord(int32_t code) const;
    void storeDialog(sHyperLinkEvent& e, bool error);
    void loadMessageRecords(const sHyperLinkEvent& e);

    NVAllObjects m_record;
    BoxDrag m_drag;
    QPaintDevice* m_pPaintDevice = nullptr; // not owned
    QPoint m_ptPasting;
    int m_nIndex = 0;
    std::array<int, 4> m_rcOutline{};
    int m_nOutlineCount = 0;
    VLImageHolder* m_pImageHolder = nullptr; // not owned
    InteractiveHost* m_host = nullptr;       // not owned
    _XDisplay* m_pDisplay = nullptr;
    _XGC* m_gcXor = nullptr;
    unsigned long m_window = 0;
    QString m_strNewName;
    QString m_strOriginalName;

    static int x_point;
    static int y_point;
    static int r_width;
    static int r_height;
};
