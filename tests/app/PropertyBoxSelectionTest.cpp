// The property box and the canvas show one object: the box's rows, its
// chooser, its title and the object an edit changes are the object selected
// on the canvas, whichever way it was chosen, and showing the box leaves the
// selection as it is.
#include "AuthorSessionFixture.h"
#include "CanvasOnScreen.h"
#include "HolderInMainWindow.h"
#include "MadeObjects.h"
#include "canvas/VelmoraView.h"
#include "canvas/records/sAllObjects.h"
#include "properties/EditPropertyBox.h"
#include "properties/PropertyListView.h"
#include "store/DrawingObjectType.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QTreeWidgetItem>

#include <csignal>
#include <functional>
#include <optional>

namespace {
// F10 pressed and released on the widget; here, as Xlib names its own key
// events like the toolkit's.
void pressKeyOn(QWidget* widget, int key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &up);
}
void pressF10On(QWidget* widget) {
    pressKeyOn(widget, Qt::Key_F10);
}
} // namespace

// Xlib after the toolkit headers.
#include "PropertyBoxOnScreen.h"
#include "ScreenPixels.h"

using namespace testsupport;

namespace {

// ---- through the program, as an author works ----

class PropertyBoxSelection : public CanvasAuthorSession {
  protected:
    void drawPalette(const std::string& letter) {
        focus(main);
        key("keydown alt key o keyup alt sleep 0.3 key d sleep 0.3 key " + letter + " sleep 0.3");
    }
    // The box's window once its title names `object`; empty when it does
    // not within the time (the box may be shown again as a new window).
    std::string boxNaming(const std::string& object) {
        std::string box;
        waitUntil(
            [&] {
                box = propertyBoxBeside(main, 500);
                return !box.empty() &&
                       trim(runCommand("xdotool getwindowname " + box)) == "Properties [" + object + "]";
            },
            8000);
        return box;
    }
};

const StoredShape* shapeNamed(const std::vector<sAllObjects>& objects, const std::string& name) {
    for (const sAllObjects& o : objects)
        if (const auto* s = std::get_if<StoredShape>(&o.payload))
            if (s->name == name)
                return s;
    return nullptr;
}

TEST_F(PropertyBoxSelection, RightClickAfterAChooserPickListsAndEditsTheClickedObject) {
    Process p;
    ASSERT_TRUE(startWithAFrame(p, main, canvas, newFrameShown))
        << p.err() << runCommand("xwininfo -tree -id " + main);

    // Two rectangles.
    drawPalette("r");
    dragOnCanvas({100, 100}, {300, 200});
    dragOnCanvas({400, 100}, {600, 200});
    drawPalette("s");

    // A right click on the first opens the box; the second is picked in
    // the box's chooser.
    key("mousemove " + at(200, 150) + " click 3 sleep 0.6");
    const std::string boxId = propertyBoxBeside(main);
    ASSERT_FALSE(boxId.empty()) << p.err();
    ASSERT_TRUE(
        listInPropertyBox(boxId, "Rectangle 2", "key Down sleep 0.2 key Return sleep 0.3").has_value())
        << runCommand("xdotool getwindowname " + boxId);

    // Escape over the box, a new object, the selection tool, and a right
    // click on the first rectangle.
    if (const auto place = placeOf(boxId))
        key("mousemove " + windowPoint(*place, 200, 300) + " sleep 0.2 key Escape sleep 0.5");
    drawPalette("e");
    dragOnCanvas({100, 300}, {300, 400});
    drawPalette("s");
    key("mousemove " + at(200, 150) + " click 3 sleep 0.6");

    const std::string shown = boxNaming("Rectangle 1");
    ASSERT_FALSE(shown.empty()) << runCommand("xwininfo -root -children");
    const auto place = placeOf(shown);
    ASSERT_TRUE(place.has_value());
    const auto rows = measurePropertyRows(*place);
    ASSERT_TRUE(rows.has_value());
    const std::vector<std::string> rowNames = {"Appearance", "Border Color", "Border Style", "Border Width",
                                               "Fill Color", "Fill Mode",    "Fill Pattern", "Geometry",
                                               "Left",       "Top",          "Width",        "Height",
                                               "General",    "Name"};
    const int leftRow = rows->middleOf(rowNames, "Left");
    key("mousemove " + windowPoint(rows->box, 180, leftRow) + " click 1 sleep 0.6 mousemove " +
        windowPoint(rows->box, 300, leftRow) +
        " click 1 sleep 0.4 key ctrl+a sleep 0.2 type --delay 40 '300'");
    key("sleep 0.2 key Return sleep 0.6");

    const std::string vlm = make(main);
    ASSERT_FALSE(vlm.empty()) << p.err();
    const std::vector<sAllObjects> objects = objectsOfFirstFrame(vlm);
    const StoredShape* first = shapeNamed(objects, "Rectangle 1");
    const StoredShape* second = shapeNamed(objects, "Rectangle 2");
    ASSERT_NE(nullptr, first) << p.err();
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(300, first->x) << "the clicked rectangle takes the edit";
    EXPECT_EQ(400, second->x) << "the rectangle picked earlier stays";
    EXPECT_EQ(200, first->width);
    quit(p, main);
}

// ---- the holder of the main window, the box shown by F10 ----

class PropertyBoxShowing : public mainwin::HolderInMainWindowTest {
  protected:
    void SetUp() override {
        HolderInMainWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        box = holder->getVelmoraView()->_get_editprop_box();
        ASSERT_NE(nullptr, box);
        drag(RECTANGLE, {100, 100}, {300, 200});
        drag(ELLIPSE, {400, 100}, {600, 200});
        ASSERT_EQ(3u, holder->liveObjects().size());
    }
    void TearDown() override {
        if (box)
            box->hide();
        HolderInMainWindowTest::TearDown();
    }
    void pressF10() { pressF10On(holder); }
    // The pointer brought to one point (the canvas's cursor follows what
    // lies under it), the left button pressed there, moved and released on
    // another.
    void band(QPoint from, QPoint to) {
        send(QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
        press(from);
        moveTo((from + to) / 2);
        moveTo(to);
        release(to);
    }
    // The value of the Properties row `name`, empty when it is not listed.
    QString row(const QString& name) const {
        PropertyListView* list = box->getListView();
        for (int g = 0; g < list->topLevelItemCount(); ++g)
            for (int r = 0; r < list->topLevelItem(g)->childCount(); ++r)
                if (list->topLevelItem(g)->child(r)->text(0) == name)
                    return list->topLevelItem(g)->child(r)->text(1);
        return {};
    }
    // The box shows live object `index`: its name in the title and the
    // chooser, its rows, and it is the object an edit reaches.
    void expectShows(int index) {
        const std::string name = holder->liveObjects()[size_t(index)]->getObjectName();
        EXPECT_EQ("Properties [" + name + "]", box->windowTitle().toStdString());
        EXPECT_EQ(index, box->objectChooser->currentIndex());
        EXPECT_EQ(name, box->objectChooser->currentText().toStdString());
        EXPECT_EQ(name, row("Name").toStdString());
        EXPECT_EQ(holder->liveObjects()[size_t(index)], holder->getSelectedItem());
    }

    EditPropertyBox* box = nullptr;
};

TEST_F(PropertyBoxShowing, F10KeepsTheSelectionAndListsTheObjectAnEditReaches) {
    struct Case {
        const char* what;
        std::function<void()> select;
        std::vector<int> selected;
        int shown;
    };
    const Case cases[] = {
        {"nothing selected",
         [&] {
             band({700, 400}, {710, 410});
         },
         {},
         0},
        {"one selected",
         [&] {
             band({450, 150}, {450, 150});
         },
         {2},
         2},
        {"both selected by a band",
         [&] {
             band({50, 50}, {650, 250});
         },
         {2, 1},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        box->hide();
        c.select();
        ASSERT_EQ(c.selected, holder->selectedIndexes());
        pressF10();
        ASSERT_TRUE(box->isVisible());
        EXPECT_EQ(c.selected, holder->selectedIndexes()) << "showing the box keeps the selection";
        expectShows(c.shown);
    }
}

TEST_F(PropertyBoxShowing, ChooserShowsTheListedObjectHoweverItIsPicked) {
    pressF10();
    ASSERT_TRUE(box->isVisible());
    expectShows(0);
    QComboBox* chooser = box->objectChooser;

    // Browsed in the open list: each entry passed is listed and named.
    emit chooser->highlighted(1);
    expectShows(1);
    EXPECT_EQ(std::vector<int>({1}), holder->selectedIndexes());
    emit chooser->highlighted(2);
    expectShows(2);

    // Picked on the closed chooser (arrow keys, wheel): no highlight, only
    // the pick.
    {
        const QSignalBlocker quiet(chooser);
        chooser->setCurrentIndex(1);
    }
    emit chooser->activated(1);
    expectShows(1);
    EXPECT_EQ(std::vector<int>({1}), holder->selectedIndexes());

    // A click on the other object on the canvas while the box shows.
    band({450, 150}, {450, 150});
    expectShows(2);
}

// Text typed into the chooser and confirmed adds no entry: the entries stay
// the frame's objects, so a pick still lists the object it names.
TEST_F(PropertyBoxShowing, TextTypedIntoTheChooserKeepsEntriesAndObjectsInStep) {
    pressF10();
    ASSERT_TRUE(box->isVisible());
    QComboBox* chooser = box->objectChooser;
    const int entries = chooser->count();
    ASSERT_NE(chooser->lineEdit(), nullptr);
    chooser->lineEdit()->setText("Typed");
    pressKeyOn(chooser->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(entries, chooser->count());
    emit chooser->highlighted(2);
    expectShows(2);
}

TEST_F(PropertyBoxShowing, RightClickOnAHyperlinkFromItsEventsPageKeepsTheChooserPicking) {
    drag(HYPERLINK, {100, 300}, {250, 340});
    ASSERT_EQ(4u, holder->liveObjects().size());
    const auto rightClick = [&](QPoint p) {
        send(QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton);
        send(QEvent::MouseButtonPress, p, Qt::RightButton, Qt::RightButton);
        send(QEvent::MouseButtonRelease, p, Qt::RightButton, Qt::NoButton);
    };
    rightClick({170, 320});
    ASSERT_TRUE(box->isVisible());
    expectShows(3);
    box->tabWidget->setCurrentIndex(1);
    ASSERT_EQ(1, box->tabWidget->currentIndex());

    // Back on its Properties page by a right click, then another object
    // picked in the chooser.
    rightClick({170, 320});
    ASSERT_EQ(0, box->tabWidget->currentIndex());
    expectShows(3);
    emit box->objectChooser->highlighted(1);
    expectShows(1);
}

} // namespace
