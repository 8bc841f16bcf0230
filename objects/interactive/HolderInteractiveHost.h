// The part of InteractiveHost that the image holder, its view and the
// property box answer. The main window completes it with its playback
// records, the frame fill and the frame strip's operations, and registers it
// with InteractiveHost::setCurrent.
#pragma once

#include "objects/interactive/InteractiveHost.h"

#include <QMetaObject>
#include <QPointer>

class EditPropertyBox;
class VLImageHolder;

class HolderInteractiveHost : public InteractiveHost {
  public:
    explicit HolderInteractiveHost(VLImageHolder* holder);
    ~HolderInteractiveHost() override;

    VLImageHolder* holder() const { return m_holder; }

    int currentFrame() const override;
    const StrAllObjects* frameRecords(unsigned long frame) const override;
    DrawTools* selectedItem() override;
    void setCurrentObject(DrawTools* object) override;
    void drawContents() override;
    void resetCombo() override;
    bool objectSelection() const override;
    void setObjectSelection(bool on) override;
    void setHolderCursor(Qt::CursorShape shape) override;
    void drawBand(const QRect& band) override;
    QSize screenSize() const override;
    bool checkFrameStatus() const override;
    QWidget* editorParent() const override;
    void holderKeyPress(QKeyEvent* event) override;

    bool propertyBoxVisible() const override;
    void showPropertyBox() override;
    int propertyPageIndex() const override;
    bool isPropertiesPage(QWidget* page) const override;
    bool isEventsPage(QWidget* page) const override;
    QString selectedPropertyRow() const override;
    QString selectedEventRow() const override;
    void setEventChooser(const QStringList& names, QObject* receiver,
                         std::function<void(int)> activated) override;
    void refillEventList(DrawTools* object, int event) override;
    void refillHyperEventList(DrawTools* object, int event) override;
    int validationFieldCount() const override;
    QString validationFieldName(int position) const override;
    int validationFieldId(int position) const override;
    int nextValidationId() const override;
    void refillValidationEventList(DrawTools* object, int string, int key) override;
    void setEventsPageEnabled(bool enabled) override;
    void appendObjectName(const QString& name) override;

  private:
    EditPropertyBox* box() const;

    VLImageHolder* m_holder; // not owned
    QMetaObject::Connection m_chooserRoute;
    mutable QSize m_screen;
};
