// Stand-ins for the property box tests: a frame object with a property
// store and the four geometry signals, the canvas side of the box, and the
// property lists each object kind registers.
#pragma once

#include "properties/EditPropertyBase.h"
#include "properties/PropertyBoxClient.h"

#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace proptest {

// One registered property: what an object class adds to its store.
struct Registration {
    QString name;
    QString category;
    int editorType;
    QString data;
    QString value;
};

// A frame object as the property box sees it.
class FakeObject : public QObject {
    Q_OBJECT
  public:
    explicit FakeObject(int kind, const std::vector<Registration>& props = {});

    int kind;
    EditPropertyBase store{false};
    bool hasRect = true;
    int left = 100, top = 50, width = 300, height = 200;
    bool userActionDisabled = false;
    // Builds event sets on request, as the objects' addEventPropEntrys do.
    std::function<void(EditPropertyBase&, int event)> buildEvent;
    std::function<void(EditPropertyBase&, int string, int key)> buildKey;

    void emitGeometry() {
        emit signalSetLeft(left);
        emit signalSetTop(top);
        emit signalSetWidth(width);
        emit signalSetHeight(height);
    }

  signals:
    void signalSetLeft(int);
    void signalSetWidth(int);
    void signalSetTop(int);
    void signalSetHeight(int);
};

// One call the box or an editor made on an object.
struct Call {
    std::string what; // "repaint", "event", "key"
    QObject* object;
    QString name; // the row applied (repaint)
    int first = 0;
    int second = 0;
};

class FakeClient : public PropertyBoxClient {
  public:
    EditPropertyBox* box = nullptr;
    QObject* selected = nullptr;
    QObject* current = nullptr;
    QStringList frameNames;
    QStringList validationNames;
    QSize screen{1024, 768};
    int resetComboCalls = 0;
    std::vector<Call> calls;
    // Runs inside repaintItem, after the call is recorded.
    std::function<void(FakeObject*, const QString&)> onRepaint;
    int repaintDepth = 0;
    int maxRepaintDepth = 0;

    EditPropertyBox* _get_editprop_box() override { return box; }
    QObject* getSelectedItem() override { return selected; }
    QObject* currentObject() override { return current; }
    void slotResetCombo() override;
    int getTotalFrames() override { return int(frameNames.size()); }
    QString getFrameObjName(int frame) override { return frameNames.value(frame); }
    int getNumValidationFields() override { return int(validationNames.size()); }
    QString getValidationObjName(int n) override { return validationNames.value(n - 1); }
    QSize getScreenResolution() override { return screen; }

    int drawingObject(QObject* item) override;
    EditPropertyBase* getEditPropertyBase(QObject* item) override;
    void setGeometryEntrys(QObject* item, int* left, int* top, int* width, int* height) override;
    void repaintItem(QObject* item, const QString& propertyName) override;
    void setEventProperty(QObject* item, int event) override;
    void setEventProperty(QObject* item, int string, int key) override;
    void addEventPropEntrys(QObject* item, int event) override;
    void addEventPropEntrys(QObject* item, int string, int key) override;
    bool isUserActionDisabled(QObject* item) override;

    // Calls of one kind, in order.
    std::vector<Call> callsOf(const std::string& what) const;
};

// The properties each kind registers, in the order its class adds them.
std::vector<Registration> registrationsOf(int kind);
// Kind key (data of "Name") of a kind.
QString kindKeyOf(int kind);
// Every kind that lists properties.
std::vector<int> allKinds();

// Event rows the objects add: a hyperlink's click and pointer events, a
// frame event and one validation key.
void addHyperlinkClickEvent(EditPropertyBase& store, int event);
void addHyperlinkPointerEvent(EditPropertyBase& store, int event);
void addFrameEvent(EditPropertyBase& store, int event);
void addValidationKey(EditPropertyBase& store, int string, int key);

// Lets queued work (editor placement) run.
void settle();

} // namespace proptest

#include "properties/EditPropertyBox.h"
#include "properties/PropertyLviBase.h"

#include <gtest/gtest.h>

namespace proptest {

// A box over a stand-in canvas; shared records reset for every test.
class BoxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        PropertyLviBase::resetSharedRecords();
        box = std::make_unique<EditPropertyBox>(&client, nullptr, "Edit", false, 0);
        client.box = box.get();
    }
    void TearDown() override {
        box.reset();
        client.box = nullptr;
        PropertyLviBase::resetSharedRecords();
    }
    // Makes an object of a kind with its registered properties, selected.
    std::unique_ptr<FakeObject> makeSelected(int kind) {
        auto o = std::make_unique<FakeObject>(kind, registrationsOf(kind));
        client.selected = o.get();
        return o;
    }

    FakeClient client;
    std::unique_ptr<EditPropertyBox> box;
};

} // namespace proptest
