// The main window's central widget: it owns the canvas and the property box,
// and answers the property box's questions about the canvas and its objects.
#pragma once

#include "properties/PropertyBoxClient.h"

#include <QWidget>

class EditPropertyBox;
class VLCanvas;
class VelmoraDoc;

class VelmoraView : public QWidget, public PropertyBoxClient {
    Q_OBJECT

  public:
    VelmoraView(QWidget* parent, VelmoraDoc* doc);
    ~VelmoraView() override;

    VLCanvas* _get_vlCanvas() const { return m_canvas; }

    // ---- PropertyBoxClient ----
    EditPropertyBox* _get_editprop_box() override;
    QObject* getSelectedItem() override;
    QObject* currentObject() override;
    void slotResetCombo() override;
    int getTotalFrames() override;
    QString getFrameObjName(int frame) override;
    int getNumValidationFields() override;
    QString getValidationObjName(int n) override;
    // The image holder's screen; the screen Qt shows the view on when the
    // holder has no connection.
    QSize getScreenResolution() override;
    int drawingObject(QObject* item) override;
    EditPropertyBase* getEditPropertyBase(QObject* item) override;
    void setGeometryEntrys(QObject* item, int* left, int* top, int* width, int* height) override;
    void repaintItem(QObject* item, const QString& propertyName) override;
    void setEventProperty(QObject* item, int event) override;
    void setEventProperty(QObject* item, int string, int key) override;
    void addEventPropEntrys(QObject* item, int event) override;
    void addEventPropEntrys(QObject* item, int string, int key) override;
    bool isUserActionDisabled(QObject* item) override;
    void removedKey(QObject* item, int string, int key) override;
    void resizeMultiStringVector(QObject* item, int string) override;
    void loadValidationStrings(QObject* item) override;

  public slots:
    void slotDocumentChanged();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    VLCanvas* m_canvas = nullptr;             // owned
    EditPropertyBox* m_editPropBox = nullptr; // owned
};
