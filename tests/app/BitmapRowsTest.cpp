// A bitmap in the main window, its rows edited through the property box's
// own editors: a commit of another row while "Image File" is selected applies
// that row and drops no use of the image, and the 50 hold follows the
// bitmap's own Stretch, not a "No" chosen for another object.
#include "HolderInMainWindow.h"

#include "canvas/DrawTools.h"
#include "canvas/VLImageHolder.h"
#include "canvas/VelmoraView.h"
#include "media/InMemoryMediaLibrary.h"
#include "objects/interactive/CBitmapObject.h"
#include "properties/EditPropertyBase.h"
#include "properties/EditPropertyBox.h"
#include "properties/PropertyEditorType.h"
#include "properties/PropertyListView.h"
#include "properties/editors/PropertyLviBool.h"
#include "properties/editors/PropertyLviWidth.h"
#include "store/DrawingObjectType.h"

#include <QComboBox>
#include <QMouseEvent>
#include <QSpinBox>

using mainwin::HolderInMainWindowTest;

namespace {

// Answers no image and records the uses objects drop.
class UseSpy : public InMemoryMediaLibrary {
  public:
    std::vector<unsigned long> dropped;
    void SlotDeleteIDFromUseArray(unsigned long id) override { dropped.push_back(id); }
};

class BitmapRows : public HolderInMainWindowTest {
  protected:
    std::string workingDirectory() const override { return mainwin::imagesFolder(); }
    void SetUp() override {
        HolderInMainWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        DrawTools::setMediaLibrary(&spy);
    }
    void TearDown() override {
        DrawTools::setMediaLibrary(nullptr);
        HolderInMainWindowTest::TearDown();
    }
    QString currentRow() const {
        QTreeWidgetItem* item = box()->getListView()->currentItem();
        return item ? item->text(0) : QString();
    }
    EditPropertyBox* box() const { return w->getView()->_get_editprop_box(); }
    static void choose(PropertyLviBool& editor, const QString& word) {
        QComboBox* c = editor.comboBox();
        const int i = c->findText(word);
        ASSERT_GE(i, 0) << word.toStdString();
        c->setCurrentIndex(i);
        emit c->textActivated(word);
    }

    UseSpy spy;
};

TEST_F(BitmapRows, OtherRowsApplyWhileImageFileIsSelectedAndTheHoldIsTheBitmapsOwn) {
    drag(TEXTFIELD, {400, 300}, {600, 400});
    DrawTools* field = holder->liveObjects().back();
    drag(BITMAP, {100, 100}, {300, 220});
    auto* bitmap = dynamic_cast<CBitmapObject*>(holder->liveObjects().back());
    ASSERT_NE(nullptr, bitmap) << "the Bitmap tool makes bitmaps";
    EditPropertyBase* store = bitmap->getEditPropertyBase();
    box()->refillList(bitmap);
    const auto rows = box()->getListView()->findItems("Image File", Qt::MatchExactly | Qt::MatchRecursive, 0);
    ASSERT_EQ(1, rows.size());
    box()->getListView()->setCurrentItem(rows.first());

    // The image chosen in the library dialog: its identifier in the row.
    store->setProp_Value("Image File", "/pictures/logo.gif");
    store->setProp_ValueId("Image File", 7);
    w->getView()->repaintItem(bitmap, "Image File");
    ASSERT_EQ(std::vector<unsigned long>({0}), spy.dropped);
    const sBitmapObject* b = static_cast<const sBitmapObject*>(bitmap->getObjectStructure());
    ASSERT_EQ(7u, b->imageId);

    {
        // "No" for the text field's Transparent row.
        PropertyLviBase::ListingScope listing(field);
        PropertyLviBool elsewhere(nullptr, w->getView(), field->getEditPropertyBase()->getProp("Transparent"),
                                  nullptr, 0);
        choose(elsewhere, "No");
        ASSERT_EQ(0, PropertyLviBase::stretchFlag);
    }
    PropertyLviBase::ListingScope listing(bitmap);

    PropertyLviWidth width(nullptr, w->getView(), store->getProp("Width"), nullptr);
    width.spinBox()->setValue(120);
    EXPECT_EQ(120, b->width) << "a stretched bitmap is not held";
    EXPECT_EQ("120", store->getPropValue("Width"));
    EXPECT_EQ(std::vector<unsigned long>({0}), spy.dropped) << "the Width commit drops no image use";
    EXPECT_EQ(7u, b->imageId);
    EXPECT_EQ("Image File", currentRow()) << "the selection is given back";

    PropertyLviBool stretch(nullptr, w->getView(), store->getProp("Stretch"), nullptr, 0);
    choose(stretch, "No");
    EXPECT_EQ(QRect(100, 100, 50, 50), QRect(b->x, b->y, b->width, b->height));
    width.spinBox()->setValue(90);
    EXPECT_EQ("50", store->getPropValue("Width"));
    EXPECT_EQ(50, b->width);
    EXPECT_EQ(std::vector<unsigned long>({0}), spy.dropped);
}

} // namespace
