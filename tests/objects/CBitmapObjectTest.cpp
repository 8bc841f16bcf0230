// Bitmap objects with the test host: the constructors' values, the alignment
// table, Stretch, the property rows, showing images through the media
// library, the use counts of one bitmap's life, and the stored form.
#include "BitmapTestSupport.h"
#include "support/QtTestApp.h"

#include "canvas/records/StoredText.h"
#include "objects/interactive/BitmapRecord.h"
#include "objects/interactive/CBitmapObject.h"
#include "objects/interactive/CEditBitmapObject.h"
#include "properties/EditPropertyBase.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using bitmaptest::ImageLibrary;
using interactivetest::FakeHost;

class BitmapTest : public testsupport::OffscreenAppSuite {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.entered());
        parent = std::make_unique<QWidget>();
        parent->resize(1024, 768);
        host.editorWidget = parent.get();
        DrawTools::setMediaLibrary(&library);
        library.paths[7] = QString::fromStdString(folder.file("seven.png"));
        library.bytes[library.paths[7]] = bitmaptest::encoded(bitmaptest::testImage(), "PNG");
    }
    void TearDown() override {
        DrawTools::setMediaLibrary(nullptr);
        parent.reset();
    }

    // A bitmap as the creating drag leaves it.
    std::unique_ptr<CBitmapObject> newBitmap(QRect r = QRect(20, 30, 100, 80), int number = 1) {
        auto b = std::make_unique<CBitmapObject>(nullptr, nullptr, nullptr, number);
        b->restoreGeometry(r);
        return b;
    }
    static sBitmapObject& rec(CBitmapObject& b) { return b.editor()->bitmap(); }
    static QRect recRect(CBitmapObject& b) {
        const sBitmapObject& p = rec(b);
        return QRect(p.x, p.y, p.width, p.height);
    }
    static QString value(CBitmapObject& b, const char* row) {
        return b.getEditPropertyBase()->getPropValue(QString::fromLatin1(row));
    }
    // Writes the row as its editor does and lets the object apply it.
    void apply(CBitmapObject& b, const char* row, const QString& v, int valueId = 0) {
        EditPropertyBase* props = b.getEditPropertyBase();
        props->setProp_Value(QString::fromLatin1(row), v);
        props->getProp(QString::fromLatin1(row))->valueId = valueId;
        host.propertyRow = QString::fromLatin1(row);
        b.repaintItem();
    }

    bitmaptest::PlaceholderFolder folder;
    FakeHost host;
    ImageLibrary library;
    std::unique_ptr<QWidget> parent;
};

TEST_F(BitmapTest, NewBitmapShowsThePlaceholderWithoutImage) {
    auto b = newBitmap(QRect(20, 30, 100, 80), 1);
    EXPECT_EQ("Bitmap Object 1", rec(*b).name);
    EXPECT_EQ(1, rec(*b).stretch);
    EXPECT_EQ(0, rec(*b).align);
    EXPECT_EQ(0u, rec(*b).imageId);
    EXPECT_EQ("Bitmap Object 1", value(*b, "Name"));
    EXPECT_EQ("Yes", value(*b, "Stretch"));
    EXPECT_EQ("[None]", value(*b, "Align"));
    EXPECT_EQ("[None]", value(*b, "Image File"));
    EXPECT_EQ("", value(*b, "Left")) << "written by the first drag";
    EXPECT_EQ(QStringList{"Bitmap Object 1"}, host.appendedNames);
    EXPECT_EQ(BITMAP, b->drawingObject);
    EXPECT_TRUE(b->stretchFlag());
    const QImage shown = b->editor()->image().toImage();
    const QImage placeholder(QString::fromLatin1(CBitmapObject::PLACEHOLDER));
    ASSERT_FALSE(placeholder.isNull());
    EXPECT_EQ(placeholder.convertToFormat(QImage::Format_RGB32), shown.convertToFormat(QImage::Format_RGB32));
    const char* rows[] = {"Name", "Left", "Top", "Width", "Height", "Stretch", "Align", "Image File"};
    EditPropertyBase* props = b->getEditPropertyBase();
    ASSERT_EQ(int(std::size(rows)), props->getEntryCount());
    for (int i = 0; i < props->getEntryCount(); ++i)
        EXPECT_EQ(rows[i], props->getProp(i + 1)->name) << i;
    EXPECT_EQ("BITMAPOBJECT", props->getPropData("Width"));
    EXPECT_EQ("90", props->getPropData("Image File"));
}

TEST_F(BitmapTest, AlignmentPlacesTheLabelInTheHolder) {
    struct Row {
        const char* name;
        const char* align;
        const char* stretch; // applied after the alignment, or null
        uint8_t code;
        QRect placed;
    } rows[] = {
        {"bottom right", "Bottom Right", nullptr, 3, QRect(924, 688, 100, 80)},
        {"center puts the corner in the middle", "Center", nullptr, 1, QRect(512, 384, 100, 80)},
        {"top right", "Top Right", nullptr, 2, QRect(924, 0, 100, 80)},
        {"top left", "Top Left", nullptr, 4, QRect(0, 0, 100, 80)},
        {"bottom left, then 50 x 50", "Bottom Left", "No", 5, QRect(0, 718, 50, 50)},
        {"bottom right, then 50 x 50", "Bottom Right", "No", 3, QRect(974, 718, 50, 50)},
        {"none keeps the place", "[None]", nullptr, 0, QRect(20, 30, 100, 80)},
        {"no word changes nothing", "Sideways", nullptr, 0, QRect(20, 30, 100, 80)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto b = newBitmap();
        apply(*b, "Align", r.align);
        if (r.stretch)
            apply(*b, "Stretch", r.stretch);
        EXPECT_EQ(r.code, rec(*b).align);
        EXPECT_EQ(r.placed, recRect(*b));
        EXPECT_EQ(r.placed, b->editor()->geometry());
        if (!r.stretch) {
            EXPECT_EQ(QString::number(r.placed.x()), value(*b, "Left"));
            EXPECT_EQ(QString::number(r.placed.y()), value(*b, "Top"));
        }
    }
}

TEST_F(BitmapTest, AnAlignedBitmapIgnoresLeftAndTopAndDoesNotMove) {
    auto b = newBitmap();
    apply(*b, "Left", "300");
    EXPECT_EQ(300, rec(*b).x);
    apply(*b, "Align", "Top Left");
    apply(*b, "Left", "300");
    apply(*b, "Top", "200");
    EXPECT_EQ(QRect(0, 0, 100, 80), recRect(*b));
    EXPECT_FALSE(b->editor()->mayMove());
    EXPECT_TRUE(b->editor()->mayResize());
    apply(*b, "Stretch", "No");
    EXPECT_FALSE(b->editor()->mayResize());
    EXPECT_FALSE(b->stretchFlag());
    // "Yes" again keeps 50 x 50 until the author resizes.
    apply(*b, "Stretch", "Yes");
    EXPECT_EQ(QRect(0, 0, 50, 50), recRect(*b));
    EXPECT_TRUE(b->stretchFlag());
}

TEST_F(BitmapTest, UnstretchedLabelWritesFiftyAfterAnyResize) {
    parent->show();
    auto b = newBitmap();
    b->show();
    apply(*b, "Stretch", "No");
    apply(*b, "Width", "120");
    EXPECT_EQ(120, rec(*b).width) << "a Width the editor let through still resizes";
    EXPECT_EQ("50", value(*b, "Width"));
    EXPECT_EQ("50", value(*b, "Height"));
}

TEST_F(BitmapTest, NameRow) {
    struct Row {
        const char* name;
        QString entered;
        std::string applied;
    } rows[] = {
        {"thirty characters are taken", QString(30, 'n'), std::string(30, 'n')},
        {"thirty-one are refused", QString(31, 'x'), "Bitmap Object 2"},
        {"blanks give the construction name", QStringLiteral("   "), "Bitmap Object 2"},
        {"trimmed", QStringLiteral("  Logo "), "Logo"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto b = newBitmap(QRect(20, 30, 100, 80), 2);
        apply(*b, "Name", r.entered);
        EXPECT_EQ(r.applied, rec(*b).name);
        EXPECT_EQ(QString::fromStdString(r.applied), value(*b, "Name"));
    }
}

TEST_F(BitmapTest, ScaleFactorsStretchEachAxisOnItsOwn) {
    struct Row {
        const char* name;
        QSize image, label;
        std::optional<QPointF> factors;
    } rows[] = {
        {"five and five", {40, 20}, {200, 100}, QPointF(5, 5)},
        {"five and two and a half", {40, 20}, {200, 50}, QPointF(5, 2.5)},
        {"same size", {40, 20}, {40, 20}, QPointF(1, 1)},
        {"an empty image draws nothing", {0, 0}, {200, 100}, std::nullopt},
        {"no rows draws nothing", {40, 0}, {200, 100}, std::nullopt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(r.factors, CEditBitmapObject::scaleFactors(r.image, r.label));
    }
    // A label with an empty image paints without dividing by zero.
    auto b = newBitmap(QRect(0, 0, 200, 100));
    b->editor()->setImage(QPixmap());
    const QImage painted = b->editor()->grab().toImage();
    EXPECT_EQ(QSize(200, 100), painted.size());
}

TEST_F(BitmapTest, UseCountsOfOneBitmapsLife) {
    auto b = newBitmap();
    EXPECT_TRUE(library.deleted.empty()) << "a new bitmap reports nothing";
    EXPECT_TRUE(library.added.empty());

    // A new image over none drops 0; the row shows the full path.
    apply(*b, "Image File", "seven.png", 7);
    EXPECT_EQ(std::vector<unsigned long>({0}), library.deleted);
    EXPECT_EQ(7u, rec(*b).imageId);
    EXPECT_EQ(library.paths[7], value(*b, "Image File"));
    EXPECT_EQ(QSize(40, 20), b->editor()->image().size());

    // "[None]" drops the image and shows the placeholder.
    apply(*b, "Image File", "[None]");
    EXPECT_EQ(std::vector<unsigned long>({0, 7}), library.deleted);
    EXPECT_EQ(0u, rec(*b).imageId);
    EXPECT_EQ(QImage(QString::fromLatin1(CBitmapObject::PLACEHOLDER)).size(), b->editor()->image().size());

    apply(*b, "Image File", "seven.png", 7);
    EXPECT_EQ(std::vector<unsigned long>({0, 7, 0}), library.deleted);

    // Two pastes add two uses; a paste of a bitmap without image reports 0.
    NVAllObjects record;
    b->getAllObjectStructure(&record);
    CBitmapObject first(nullptr, record, 2, QPoint(10, 10));
    CBitmapObject second(nullptr, record, 3, QPoint(20, 20));
    EXPECT_EQ(std::vector<unsigned long>({7, 7}), library.added);
    record.get<sBitmapObject>()->imageId = 0;
    CBitmapObject none(nullptr, record, 4, QPoint(20, 20));
    EXPECT_EQ(std::vector<unsigned long>({7, 7, 0}), library.added);

    // Other rows drop nothing.
    const size_t before = library.deleted.size();
    for (const char* row : {"Width", "Left", "Align", "Stretch", "Name"})
        apply(*b, row, QString::number(60));
    EXPECT_EQ(before, library.deleted.size());
    EXPECT_EQ(7u, rec(*b).imageId);
}

TEST_F(BitmapTest, PastedBitmapIsMovedRenamedAndShowsItsImage) {
    auto b = newBitmap();
    apply(*b, "Image File", "seven.png", 7);
    apply(*b, "Stretch", "No");
    NVAllObjects record;
    record.objectID = "B1";
    b->getAllObjectStructure(&record);
    EXPECT_EQ("B1", record.objectID) << "the target keeps its object ID";
    record.objectID = "B9";
    host.appendedNames.clear();
    CBitmapObject pasted(nullptr, record, 5, QPoint(15, 25));
    const sBitmapObject& p = rec(pasted);
    EXPECT_EQ("Bitmap Object 5", p.name);
    EXPECT_EQ(QRect(35, 55, 50, 50), recRect(pasted));
    EXPECT_EQ(QRect(35, 55, 50, 50), pasted.editor()->geometry());
    EXPECT_EQ(5, pasted.getIndex());
    EXPECT_EQ("No", value(pasted, "Stretch"));
    EXPECT_EQ("seven.png", value(pasted, "Image File"));
    EXPECT_EQ(QSize(40, 20), pasted.editor()->image().size());
    EXPECT_EQ(QStringList{"Bitmap Object 5"}, host.appendedNames);
    NVAllObjects out;
    pasted.getAllObjectStructure(&out);
    EXPECT_TRUE(out.objectID.empty());
    EXPECT_EQ(BITMAP, out.drawingObject);
}

TEST_F(BitmapTest, CopyConstructorPlacesTheCopyAtThePosition) {
    auto b = newBitmap();
    apply(*b, "Image File", "seven.png", 7);
    apply(*b, "Align", "Bottom Right");
    CBitmapObject copy(nullptr, *b, 6, QPoint(70, 90));
    EXPECT_EQ("Bitmap Object 6", rec(copy).name);
    EXPECT_EQ(QRect(70, 90, 100, 80), copy.editor()->geometry());
    EXPECT_EQ("Bottom Right", value(copy, "Align"));
    EXPECT_EQ("seven.png", value(copy, "Image File"));
    EXPECT_EQ(QSize(40, 20), copy.editor()->image().size());
    EXPECT_EQ(6, copy.getIndex());
}

TEST_F(BitmapTest, LoadedBitmapReadsItsBytes) {
    struct Row {
        const char* name;
        uint8_t align, stretch;
        const char* alignWord;
        const char* stretchWord;
    } rows[] = {
        {"code 2 reloads as Top Right", 2, 1, "Top Right", "Yes"},
        {"code 5, unstretched", 5, 0, "Bottom Left", "No"},
        // A code without a word: the row stays empty, the byte is kept.
        {"code 9 has no word", 9, 0, "", "No"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        sBitmapObject s;
        s.name = "Logo";
        s.x = 30;
        s.y = 40;
        s.width = 50;
        s.height = 50;
        s.align = r.align;
        s.stretch = r.stretch;
        s.imageId = 7;
        host.appendedNames.clear();
        CBitmapObject b(nullptr, s);
        EXPECT_EQ(r.alignWord, value(b, "Align"));
        EXPECT_EQ(r.stretchWord, value(b, "Stretch"));
        EXPECT_EQ("seven.png", value(b, "Image File")) << "the file name after a load";
        EXPECT_EQ("30", value(b, "Left"));
        EXPECT_EQ("50", value(b, "Height"));
        EXPECT_EQ(QRect(30, 40, 50, 50), b.editor()->geometry());
        EXPECT_TRUE(host.appendedNames.isEmpty());
        // The Stretch signal re-places only by a known alignment.
        emit b.signalStretch();
        EXPECT_EQ(r.align, rec(b).align);
        if (r.align > 5)
            EXPECT_EQ(QRect(30, 40, 50, 50), b.editor()->geometry());
    }
}

TEST_F(BitmapTest, DisplayImageTakesTheLibrarysBytesOrTheSourceFile) {
    const QString bmp = QString::fromStdString(folder.file("picture.bmp"));
    ASSERT_TRUE(bitmaptest::testImage(8, 4).save(bmp, "BMP"));
    library.compressed[bmp] = 1234;
    const QString broken = QString::fromStdString(folder.file("broken.gif"));
    library.bytes[broken] = {'G', 'I', 'F', '8', '9', 'a', 0, 1};
    struct Row {
        const char* name;
        QString path;
        QSize shown; // the placeholder's size when the label keeps it
    } rows[] = {
        {"bytes of the image", library.paths[7], QSize(40, 20)},
        {"a compressed resource comes from its file", bmp, QSize(8, 4)},
        {"bytes that do not decode keep the label", broken, QSize()},
        {"an unknown path keeps the label", QStringLiteral("/nowhere.png"), QSize()},
    };
    const QSize placeholder = QImage(QString::fromLatin1(CBitmapObject::PLACEHOLDER)).size();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto b = newBitmap();
        b->DisplayImage(r.path);
        EXPECT_EQ(r.shown.isValid() ? r.shown : placeholder, b->editor()->image().size());
    }
}

TEST_F(BitmapTest, StoredFormKeepsEveryField) {
    NVAllObjects record;
    record.drawingObject = BITMAP;
    record.objectID = "B3";
    sBitmapObject p;
    p.name = "Logo";
    p.x = 924;
    p.y = -5;
    p.width = 100;
    p.height = 80;
    p.align = 3;
    p.stretch = 0;
    p.imageId = 0x01010007;
    record.payload = p;
    const sAllObjects stored = BitmapRecord::toStored(record);
    const auto bytes = stored.toBytes();
    EXPECT_EQ(0, bytes[StoredBitmap::STRETCH]);
    EXPECT_EQ(3, bytes[StoredBitmap::ALIGN]);
    EXPECT_EQ(0x07, bytes[StoredBitmap::IMAGE_ID]);
    EXPECT_EQ(0x01, bytes[StoredBitmap::IMAGE_ID + 3]);
    EXPECT_EQ(0x9C, bytes[StoredControl::X]); // 924 little-endian
    EXPECT_EQ(0x03, bytes[StoredControl::X + 1]);
    EXPECT_EQ('L', bytes[StoredControl::NAME]);
    size_t used = 0;
    std::vector<uint8_t> all;
    stored.appendTo(all);
    const auto read = sAllObjects::read(all.data(), all.size(), used);
    ASSERT_TRUE(read.has_value());
    const NVAllObjects back = BitmapRecord::fromStored(*read);
    ASSERT_NE(nullptr, back.get<sBitmapObject>());
    const sBitmapObject& q = *back.get<sBitmapObject>();
    EXPECT_EQ(p.name, q.name);
    EXPECT_EQ(QRect(p.x, p.y, p.width, p.height), QRect(q.x, q.y, q.width, q.height));
    EXPECT_EQ(p.align, q.align);
    EXPECT_EQ(p.stretch, q.stretch);
    EXPECT_EQ(p.imageId, q.imageId);
    EXPECT_EQ("B3", back.objectID);
    EXPECT_EQ(BITMAP, back.drawingObject);
}

TEST_F(BitmapTest, StoredNameFillingItsWholeFieldLoadsAsThirtyOneCharacters) {
    // A file may fill the 32-byte name field without a terminator.
    StoredBitmap s;
    s.control.name = std::string(32, 'n');
    const sBitmapObject p = BitmapRecord::fromStoredBitmap(s);
    EXPECT_EQ(std::string(31, 'n'), p.name);
}

} // namespace
