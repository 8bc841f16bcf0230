#include "PropertyTestSupport.h"

#include "properties/EditPropertyBox.h"
#include "properties/PropertyEditorType.h"
#include "properties/editors/PropertyEditorFactory.h"
#include "store/DrawingObjectType.h"
#include "support/XvfbServer.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

// One private X server and one QApplication for the whole test binary.
class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        m_server = std::make_unique<testsupport::XvfbServer>();
        ASSERT_TRUE(m_server->running());
        qputenv("QT_QPA_PLATFORM", "xcb");
        // The private server has no session bus; without this Qt's attempt
        // to reach one leaves a connection buffer of libdbus behind.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
        static int argc = 1;
        static char arg0[] = "properties_tests";
        static char* argv[] = {arg0, nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
        PropertyEditorFactory::install();
    }
    void TearDown() override {
        m_app.reset();
        m_server.reset();
    }

  private:
    std::unique_ptr<testsupport::XvfbServer> m_server;
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

proptest::FakeObject* fake(QObject* o) {
    return qobject_cast<proptest::FakeObject*>(o);
}

} // namespace

namespace proptest {

FakeObject::FakeObject(int kind, const std::vector<Registration>& props) : kind(kind) {
    for (const Registration& r : props)
        store.addProp(r.name, r.value, r.category, r.editorType, r.data, 0);
}

void FakeClient::slotResetCombo() {
    ++resetComboCalls;
    if (box) {
        box->objectChooser->clear();
        box->objectChooser->addItem(QStringLiteral("Frame"));
    }
}

int FakeClient::drawingObject(QObject* item) {
    return fake(item) ? fake(item)->kind : -1;
}

EditPropertyBase* FakeClient::getEditPropertyBase(QObject* item) {
    return fake(item) ? &fake(item)->store : nullptr;
}

void FakeClient::setGeometryEntrys(QObject* item, int* left, int* top, int* width, int* height) {
    FakeObject* o = fake(item);
    if (!o || !o->hasRect)
        return;
    *left = o->left;
    *top = o->top;
    *width = o->width;
    *height = o->height;
}

void FakeClient::repaintItem(QObject* item, const QString& propertyName) {
    calls.push_back({"repaint", item, propertyName});
    ++repaintDepth;
    maxRepaintDepth = std::max(maxRepaintDepth, repaintDepth);
    if (onRepaint)
        onRepaint(fake(item), propertyName);
    --repaintDepth;
}

void FakeClient::setEventProperty(QObject* item, int event) {
    calls.push_back({"event", item, {}, event});
}

void FakeClient::setEventProperty(QObject* item, int string, int key) {
    calls.push_back({"key", item, {}, string, key});
}

void FakeClient::addEventPropEntrys(QObject* item, int event) {
    if (FakeObject* o = fake(item); o && o->buildEvent)
        o->buildEvent(o->store, event);
}

void FakeClient::addEventPropEntrys(QObject* item, int string, int key) {
    if (FakeObject* o = fake(item); o && o->buildKey)
        o->buildKey(o->store, string, key);
}

bool FakeClient::isUserActionDisabled(QObject* item) {
    return fake(item) && fake(item)->userActionDisabled;
}

std::vector<Call> FakeClient::callsOf(const std::string& what) const {
    std::vector<Call> v;
    for (const Call& c : calls)
        if (c.what == what)
            v.push_back(c);
    return v;
}

QString kindKeyOf(int kind) {
    switch (kind) {
    case LINE:
        return "Line";
    case RECTANGLE:
        return "Rectangle";
    case ROUNDRECT:
        return "Round Rectangle";
    case ELLIPSE:
        return "Ellipse";
    case VALIDATIONFIELD:
        return "ValidationField";
    case FRAMEOBJECT:
        return "FrameObject";
    case INSTRUCTIONBOX:
        return "InstructionBox";
    case HYPERLINK:
        return "Hyperlink";
    case TEXTFIELD:
        return "TextField";
    case BITMAP:
        return "BitmapObject";
    case MOUSECLICK:
        return "Mouse Click";
    case POLYLINE:
        return "PolyLine";
    default:
        return QString();
    }
}

std::vector<int> allKinds() {
    return {LINE,           RECTANGLE, ROUNDRECT, ELLIPSE, VALIDATIONFIELD, FRAMEOBJECT,
            INSTRUCTIONBOX, HYPERLINK, TEXTFIELD, BITMAP,  MOUSECLICK,      POLYLINE};
}

namespace {

std::vector<Registration> geometry() {
    return {{"Left", "Geometry", PE_LEFT, "", "100"},
            {"Top", "Geometry", PE_TOP, "", "50"},
            {"Width", "Geometry", PE_WIDTH, "", "300"},
            {"Height", "Geometry", PE_HEIGHT, "", "200"}};
}

std::vector<Registration> joined(std::vector<Registration> a, const std::vector<Registration>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

std::vector<Registration> registrationsOf(int kind) {
    const Registration name{"Name", "General", PE_STRING, kindKeyOf(kind), "Object 1"};
    switch (kind) {
    case LINE:
        return {name,
                {"X1", "Geometry", PE_UINT, "", "10"},
                {"Y1", "Geometry", PE_UINT, "", "20"},
                {"X2", "Geometry", PE_UINT, "", "30"},
                {"Y2", "Geometry", PE_UINT, "", "40"},
                {"Line Width", "Appearance", PE_UINT, "", "1"},
                {"Line Style", "Appearance", PE_BORDER_STYLE, "", "Solid"},
                {"Line Color", "Appearance", PE_COLOR, "", "#000000"},
                {"Arrow", "Appearance", PE_ARROW, "", "None"}};
    case RECTANGLE:
    case ROUNDRECT:
    case ELLIPSE:
        return joined(joined({name}, geometry()),
                      {{"Border Style", "Appearance", PE_BORDER_STYLE, "", "Solid"},
                       {"Border Width", "Appearance", PE_UINT, "", "1"},
                       {"Border Color", "Appearance", PE_COLOR, "", "#000000"},
                       {"Fill Color", "Appearance", PE_COLOR, "", "#ffffff"},
                       {"Fill Pattern", "Appearance", PE_FILL_PATTERN, "", "Cross"},
                       {"Fill Mode", "Appearance", PE_FILL_MODE, "", "Opaque"}});
    case VALIDATIONFIELD:
        return joined(joined({name}, geometry()),
                      {{"Attribute", "Appearance", PE_ATTRIBUTE, "", "3D"},
                       {"Back Color", "Appearance", PE_COLOR, "", "#ffffff"},
                       {"Fore Color", "Appearance", PE_COLOR, "", "#000000"},
                       {"Font", "Appearance", PE_FONT, "", "\"Sans\"10\"50\"No\"No"},
                       {"Align Text", "Appearance", PE_ALIGN, "VALIDATIONFIELD", "Right"},
                       {"Case Sensitive", "Appearance", PE_BOOL, "On/Off", "On"},
                       {"Dynamic Grow", "Appearance", PE_BOOL, "On/Off", "Off"},
                       {"Password Field", "Appearance", PE_BOOL, "", "No"},
                       {"Validation String", "General", PE_VALIDATION_STRING, "", "abc"},
                       {"Validation Error Message", "General", PE_VALIDATION_ERROR, "", ""}});
    case FRAMEOBJECT:
        return {name,
                {"Fore Color", "Appearance", PE_COLOR, "ForeColor", "[None]"},
                {"Back Color", "Appearance", PE_COLOR, "", "#c0c0c0"},
                {"User Action", "General", PE_BOOL, "Enable/Disable", "Enable"},
                {"Sound Clip Name", "General", PE_STRING, "", "clip"},
                {"Audio File Name", "General", PE_RESOURCE_FILE, "91", "[None]"},
                {"Sound Notes", "General", PE_STRING, "", "notes"},
                {"Mouse Delay", "General", PE_UINT, "MouseDelay", "5"}};
    case INSTRUCTIONBOX:
        return joined(joined({name}, geometry()), {{"Caption", "General", PE_STRING, "", "Steps"},
                                                   {"Title Bar", "General", PE_BOOL, "On/Off", "On"},
                                                   {"Back Color", "Appearance", PE_COLOR, "", "#ffffff"},
                                                   {"Fore Color", "Appearance", PE_COLOR, "", "#000000"},
                                                   {"Scrolling", "Appearance", PE_BOOL, "", "Yes"},
                                                   {"Font", "Appearance", PE_FONT, "", "\"Sans\"10"}});
    case HYPERLINK:
        return joined(joined({name}, geometry()),
                      {{"Clicked Image", "General", PE_RESOURCE_FILE, "90", "[None]"},
                       {"Mouse Over Image", "General", PE_RESOURCE_FILE, "90", "[None]"},
                       {"Tooltip", "General", PE_STRING, "", "tip"},
                       {"Attribute", "Appearance", PE_ATTRIBUTE, "HYPERLINK", "Rounded"},
                       {"Align Text", "Appearance", PE_ALIGN, "", "Left"},
                       {"Button Style", "Appearance", PE_BUTTON_STYLE, "", "Radio"},
                       {"Caption", "Appearance", PE_STRING, "", "Go"},
                       {"Font", "Appearance", PE_FONT, "", "\"Sans\"10"},
                       {"Fore Color", "Appearance", PE_COLOR, "", "#000000"},
                       {"Back Color", "Appearance", PE_COLOR, "", "#c7c3c7"},
                       {"Transparent", "Appearance", PE_BOOL, "HYPERLINK", "No"}});
    case TEXTFIELD:
        return joined(joined({name}, geometry()), {{"Attribute", "Appearance", PE_ATTRIBUTE, "", "Rectangle"},
                                                   {"Back Color", "Appearance", PE_COLOR, "", "#ffffff"},
                                                   {"Fore Color", "Appearance", PE_COLOR, "", "#000000"},
                                                   {"Transparent", "Appearance", PE_BOOL, "TEXTFIELD", "Yes"},
                                                   {"Text File", "General", PE_FILENAME, "", "[None]"},
                                                   {"Scrolling", "Appearance", PE_BOOL, "", "No"},
                                                   {"Font", "Appearance", PE_FONT, "", "\"Sans\"10"}});
    case BITMAP:
        return {name,
                {"Left", "Geometry", PE_LEFT, "", "100"},
                {"Top", "Geometry", PE_TOP, "", "50"},
                {"Width", "Geometry", PE_WIDTH, "BITMAPOBJECT", "300"},
                {"Height", "Geometry", PE_HEIGHT, "BITMAPOBJECT", "200"},
                {"Stretch", "Appearance", PE_BOOL, "", "Yes"},
                {"Align", "Appearance", PE_ALIGN, "BITMAPOBJECT", "Center"},
                {"Image File", "Appearance", PE_RESOURCE_FILE, "90", "[None]"}};
    case MOUSECLICK:
        return joined({name,
                       {"Target", "General", PE_BOOL, "Enable/Disable", "Enable"},
                       {"Image", "Appearance", PE_RESOURCE_FILE, "93", "[None]"}},
                      geometry());
    case POLYLINE:
        return {name,
                {"Color", "Appearance", PE_COLOR, "", "#ff0000"},
                {"Thickness", "Geometry", PE_UINT, "", "2"}};
    default:
        return {};
    }
}

void addHyperlinkClickEvent(EditPropertyBase& s, int e) {
    const QString ev = QStringLiteral("Events");
    s.addProperties(e, "Play VLM File", "[None]", ev, PE_FILENAME, "VlmFile", 0);
    s.addProperties(e, "Run External File", "[None]", ev, PE_FILENAME, "", 0);
    s.addProperties(e, "Open URL", "", ev, PE_STRING, "", 0);
    s.addProperties(e, "Validation Image", "[None]", ev, PE_RESOURCE_FILE, "90", 0);
    s.addProperties(e, "Validation Sound", "[None]", ev, PE_RESOURCE_FILE, "91", 0);
    s.addProperties(e, "Validation Video", "[None]", ev, PE_RESOURCE_FILE, "92", 0);
    s.addProperties(e, "Validation Frame (Go To)", "0", ev, PE_VALIDATION_FRAME, "", 0);
    s.addProperties(e, "Validation Error Message", "", ev, PE_VALIDATION_ERROR, "", 0);
    s.addProperties(e, "Validation Message", "", ev, PE_VALIDATION_MESSAGE, "", 0);
    s.addProperties(e, "Validation Target", "[None]", ev, PE_VALIDATE_TARGET, "", 0);
    s.addProperties(e, "Exit Play", "Off", ev, PE_BOOL, "On/Off", 0);
}

void addHyperlinkPointerEvent(EditPropertyBase& s, int e) {
    const QString ev = QStringLiteral("Events");
    s.addEventProperties(e, "Audio File Name", "[None]", ev, PE_RESOURCE_FILE, "91", 0);
    s.addEventProperties(e, "Mouse Pointer", "Arrow", ev, PE_MOUSE_POINTER, "", 0);
    s.addEventProperties(e, "Exit Play", "Off", ev, PE_BOOL, "On/Off", 0);
}

void addFrameEvent(EditPropertyBase& s, int e) {
    const QString ev = QStringLiteral("Events");
    s.addEventProperties(e, "Transition Effect", "Wipe left", ev, PE_TRANSITION_EFFECT, "", 0);
    s.addEventProperties(e, "Transition Speed", "Fast", ev, PE_TRANSITION_SPEED, "", 0);
    s.addEventProperties(e, "Exit Play", "On", ev, PE_BOOL, "On/Off", 0);
}

void addValidationKey(EditPropertyBase& s, int string, int key) {
    const QString ev = QStringLiteral("Events");
    s.addValProperties(string, key, "Validation Message", "", ev, PE_VALIDATION_MESSAGE, "", 0);
    s.addValProperties(string, key, "Validation Image", "[None]", ev, PE_RESOURCE_FILE, "90", 0);
    s.addValProperties(string, key, "Validation Frame (Go To)", "Next", ev, PE_VALIDATION_FRAME, "", 0);
}

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

} // namespace proptest
