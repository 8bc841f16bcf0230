// Stand-ins for the frame object and click target tests: a host that records
// what the objects ask of the main window, the strip, the holder and the
// property box, and a media library that records use reports.
#pragma once

#include "canvas/DrawTools.h"
#include "media/MediaLibraryInterface.h"
#include "objects/interactive/InteractiveHost.h"
#include "support/TestFonts.h"

#include <QApplication>
#include <QKeyEvent>

#include <map>
#include <vector>

namespace interactivetest {

inline QApplication& app() {
    static int argc = 1;
    static char arg0[] = "objects_tests";
    static char* argv[] = {arg0, nullptr};
    if (!QApplication::instance()) {
        testsupport::useTestFonts();
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Native editors clip the holder's drawing without making their siblings native.
        QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
        static QApplication* instance = new QApplication(argc, argv);
        (void)instance;
    }
    return *static_cast<QApplication*>(QApplication::instance());
}

class SpyMediaLibrary : public MediaLibraryInterface {
  public:
    std::map<uint32_t, QString> paths;
    std::vector<unsigned long> deleted;
    std::vector<unsigned long> added;

    std::optional<ResourceChildNode> FindTheChildNodeFromID(uint32_t) override { return std::nullopt; }
    uint32_t Read(const ResourceChildNode&, uint8_t*, size_t) override { return 0; }
    uint32_t FindTheIDFromPath(const QString&) override { return 0; }
    int ReadDefaultResourceData(uint32_t, uint8_t*, size_t, unsigned long& length) override {
        length = 0;
        return 0;
    }
    bool WriteFromVLM(const ResourceChildNode&, const uint8_t*, size_t) override { return false; }
    QString GetTheFileNameFromID(uint32_t id) override {
        auto it = paths.find(id);
        return it == paths.end() ? QString() : it->second;
    }
    void SlotDeleteIDFromUseArray(unsigned long id) override { deleted.push_back(id); }
    void slotAddIDOnCopy(unsigned long id) override { added.push_back(id); }
    void slotReduceIDOnDelete(unsigned long) override {}
};

class FakeHost : public InteractiveHost {
  public:
    std::vector<SPlayBackFrameInfo> playback;
    std::map<unsigned long, StrAllObjects> records;
    int current = 0;
    std::vector<QColor> refills;
    std::vector<bool> userActionCalls;
    std::vector<bool> soundCalls;
    int drawCount = 0;
    int resetComboCount = 0;
    DrawTools* selected = nullptr;
    DrawTools* currentObject = nullptr;
    bool selection = false;
    std::vector<Qt::CursorShape> cursors;
    std::vector<QRect> bands;
    QSize screen{1024, 768};
    bool frameLocked = false;
    int boxShown = 0;
    bool boxVisible = true;
    int page = 0;
    QWidget* propertiesPage = reinterpret_cast<QWidget*>(0x10);
    QWidget* eventsPage = reinterpret_cast<QWidget*>(0x20);
    QString propertyRow;
    QString eventRow;
    QStringList chooser;
    std::function<void(int)> chooserRoute;
    std::vector<std::pair<DrawTools*, int>> eventLists;
    QStringList appendedNames;
    // The editors' parent, set by a test; the keys passed to the holder.
    QWidget* editorWidget = nullptr;
    std::vector<int> heldKeys;

    explicit FakeHost(int frames = 0) {
        for (int i = 0; i < frames; ++i) {
            SPlayBackFrameInfo p;
            p.setName("Frame " + std::to_string(i + 1));
            playback.push_back(p);
        }
        setCurrent(this);
    }

    std::vector<SPlayBackFrameInfo>* playbackRecords() override { return &playback; }
    void changeFrameColor(const QColor& c) override { refills.push_back(c); }
    void setUserActionStatus(bool enabled) override { userActionCalls.push_back(enabled); }
    void soundAddedOrRemovedInFrame(bool added) override { soundCalls.push_back(added); }
    int currentFrame() const override { return current; }
    const StrAllObjects* frameRecords(unsigned long frame) const override {
        auto it = records.find(frame);
        return it == records.end() ? nullptr : &it->second;
    }
    DrawTools* selectedItem() override { return selected; }
    void setCurrentObject(DrawTools* o) override { currentObject = o; }
    void drawContents() override { ++drawCount; }
    void resetCombo() override { ++resetComboCount; }
    bool objectSelection() const override { return selection; }
    void setObjectSelection(bool on) override { selection = on; }
    void setHolderCursor(Qt::CursorShape s) override { cursors.push_back(s); }
    void drawBand(const QRect& r) override { bands.push_back(r); }
    QSize screenSize() const override { return screen; }
    bool checkFrameStatus() const override { return frameLocked; }
    QWidget* editorParent() const override { return editorWidget; }
    void holderKeyPress(QKeyEvent* e) override { heldKeys.push_back(e ? e->key() : 0); }
    bool propertyBoxVisible() const override { return boxVisible; }
    void showPropertyBox() override { ++boxShown; }
    int propertyPageIndex() const override { return page; }
    bool isPropertiesPage(QWidget* p) const override { return p == propertiesPage; }
    bool isEventsPage(QWidget* p) const override { return p == eventsPage; }
    QString selectedPropertyRow() const override { return propertyRow; }
    QString selectedEventRow() const override { return eventRow; }
    void setEventChooser(const QStringList& names, QObject*, std::function<void(int)> route) override {
        chooser = names;
        chooserRoute = std::move(route);
    }
    void refillEventList(DrawTools* o, int e) override {
        eventLists.emplace_back(o, e);
        o->addEventPropEntrys(e);
    }
    void appendObjectName(const QString& name) override { appendedNames << name; }
    // A validation key's rows and the Events page's state, as asked.
    std::vector<std::pair<int, int>> keyEventLists;
    std::vector<bool> eventsPageStates;
    void refillValidationEventList(DrawTools* o, int string, int key) override {
        keyEventLists.emplace_back(string, key);
        o->addEventPropEntrys(string, key);
    }
    void setEventsPageEnabled(bool on) override { eventsPageStates.push_back(on); }
};

} // namespace interactivetest
