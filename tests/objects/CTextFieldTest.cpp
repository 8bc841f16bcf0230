// Text fields with the test host: the constructors' values, the property
// rows as a table, text files, typing and key routing in the entry, the
// scroll-bar words, and the record's stored form.
#include "EditorOwnerFixture.h"

#include "canvas/records/RtfText.h"
#include "canvas/records/StoredText.h"
#include "objects/interactive/CEditTextField.h"
#include "objects/interactive/CEditTextFieldTextField.h"
#include "objects/interactive/CTextField.h"
#include "objects/interactive/TextFieldRecord.h"
#include "properties/EditPropertyBase.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

class TextFieldTest : public interactivetest::EditorOwnerTest {
  protected:
    // A field as the creating drag leaves it.
    std::unique_ptr<CTextField> newField(int number = 1) {
        auto f = std::make_unique<CTextField>(nullptr, nullptr, nullptr, number);
        f->restoreGeometry(QRect(20, 30, 200, 100));
        return f;
    }
    static sTextField& rec(CTextField& f) { return f.editor()->field(); }
    static QString value(CTextField& f, const char* row) {
        return f.getEditPropertyBase()->getPropValue(QString::fromLatin1(row));
    }
    void apply(CTextField& f, const char* row, const QString& v) {
        f.getEditPropertyBase()->setProp_Value(QString::fromLatin1(row), v);
        host.propertyRow = QString::fromLatin1(row);
        f.repaintItem();
    }
    QString writeFile(const QByteArray& bytes) {
        const QString path = dir.filePath(QStringLiteral("text%1.txt").arg(++files));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }

    QTemporaryDir dir;
    int files = 0;
};

TEST_F(TextFieldTest, NewFieldDefaults) {
    auto f = newField(4);
    const sTextField& p = rec(*f);
    EXPECT_EQ("Text Field 4", p.name);
    EXPECT_EQ(1, p.attribute);
    EXPECT_EQ(QFrame::Panel | QFrame::Plain, f->editor()->frameStyle());
    EXPECT_EQ(2, f->editor()->lineWidth());
    EXPECT_EQ(1, p.scrolling);
    EXPECT_EQ(0, p.transparent);
    EXPECT_EQ((NVColor{255, 255, 255}), p.backColor);
    EXPECT_EQ((NVColor{0, 0, 0}), p.foreColor);
    ASSERT_TRUE(p.font.has_value());
    EXPECT_EQ((NVFont{}), *p.font);
    EXPECT_TRUE(p.text.empty());
    EXPECT_TRUE(p.fileName.empty());
    EXPECT_EQ("", value(*f, "Font"));
    EXPECT_EQ("Rectangle", value(*f, "Attribute"));
    EXPECT_EQ("#ffffff", value(*f, "Back Color"));
    EXPECT_EQ("Yes", value(*f, "Scrolling"));
    EXPECT_EQ(QStringList{"Text Field 4"}, host.appendedNames);
    EXPECT_EQ(TEXTFIELD, f->drawingObject);
}

TEST_F(TextFieldTest, PastedFieldsTakeTheirBorderANewNameAndTheOffset) {
    struct Row {
        uint8_t attribute;
        int style;
        int width;
    } rows[] = {{1, QFrame::Panel | QFrame::Plain, 1},
                {3, QFrame::Box | QFrame::Sunken, 3},
                {0, QFrame::NoFrame, -1}};
    for (const Row& r : rows) {
        NVAllObjects copied;
        copied.drawingObject = TEXTFIELD;
        sTextField s;
        s.name = "Text Field 1";
        s.attribute = r.attribute;
        s.x = 10;
        s.y = 20;
        s.width = 100;
        s.height = 40;
        s.text = "kept";
        s.scrolling = 0;
        copied.payload = s;
        CTextField f(nullptr, copied, 7, QPoint(15, 25));
        SCOPED_TRACE(int(r.attribute));
        EXPECT_EQ(r.style, f.editor()->frameStyle());
        if (r.width > 0) {
            EXPECT_EQ(r.width, f.editor()->lineWidth());
        }
        EXPECT_EQ("Text Field 7", rec(f).name);
        EXPECT_EQ(25, rec(f).x);
        EXPECT_EQ(45, rec(f).y);
        EXPECT_EQ("kept", f.getWrittenText());
        EXPECT_EQ("No", value(f, "Scrolling"));
        EXPECT_EQ(Qt::ScrollBarAlwaysOff, f.editor()->entry()->verticalScrollBarPolicy());
        // The paste form of the font text.
        EXPECT_EQ(29, value(f, "Font").size());
    }
}

TEST_F(TextFieldTest, RecreatedFieldHasNoFrameStyle) {
    for (uint8_t attribute : {uint8_t(0), uint8_t(1), uint8_t(3)}) {
        sTextField s;
        s.name = "Text Field 2";
        s.attribute = attribute;
        s.x = 5;
        s.y = 6;
        s.width = 70;
        s.height = 30;
        s.text = "again";
        CTextField f(nullptr, s);
        EXPECT_EQ(QFrame::NoFrame, f.editor()->frameStyle());
        EXPECT_EQ(attribute == 0 ? 0 : 1, f.editor()->boxLayout()->contentsMargins().left());
        EXPECT_EQ("again", f.getWrittenText());
        EXPECT_EQ("70", value(f, "Width"));
        EXPECT_EQ(18, value(f, "Font").size());
        EXPECT_TRUE(host.appendedNames.isEmpty());
    }
}

TEST_F(TextFieldTest, SelectionIsRelayedOnceAndNotWhileLocked) {
    auto f = newField();
    QSignalSpy selected(f.get(), &InPlaceEditorOwner::signalSelectedEditObject);
    f->editor()->emitSelected();
    EXPECT_EQ(1, selected.count());
    host.frameLocked = true;
    f->editor()->emitSelected();
    EXPECT_EQ(1, selected.count());
}

TEST_F(TextFieldTest, AppliedRows) {
    struct Row {
        const char* name;
        QString value;
        std::function<void(CTextField&)> check;
    };
    const QString thirty(30, QLatin1Char('n'));
    const std::vector<Row> rows = {
        {"Attribute", "None",
         [](CTextField& f) {
             EXPECT_EQ(0, rec(f).attribute);
             EXPECT_EQ(QFrame::NoFrame, f.editor()->frameStyle());
             EXPECT_EQ(0, f.editor()->boxLayout()->contentsMargins().left());
         }},
        {"Attribute", "Rectangle",
         [](CTextField& f) {
             EXPECT_EQ(1, rec(f).attribute);
             EXPECT_EQ(QFrame::NoFrame, f.editor()->frameStyle());
             EXPECT_EQ(0, f.editor()->boxLayout()->contentsMargins().left());
         }},
        {"Scrolling", "No",
         [](CTextField& f) {
             EXPECT_EQ(0, rec(f).scrolling);
             EXPECT_EQ(Qt::ScrollBarAlwaysOff, f.editor()->entry()->horizontalScrollBarPolicy());
         }},
        {"Scrolling", "Yes",
         [](CTextField& f) {
             EXPECT_EQ(1, rec(f).scrolling);
             EXPECT_EQ(Qt::ScrollBarAsNeeded, f.editor()->entry()->verticalScrollBarPolicy());
         }},
        {"Text File", "[None]",
         [](CTextField& f) {
             EXPECT_TRUE(f.getWrittenText().isEmpty());
             EXPECT_TRUE(rec(f).text.empty());
             EXPECT_TRUE(rec(f).fileName.empty());
             EXPECT_EQ(f.editor()->entry(), QApplication::focusWidget());
         }},
        {"Name", thirty, [thirty](CTextField& f) { EXPECT_EQ(thirty.toStdString(), rec(f).name); }},
        {"Name", QString(29, QLatin1Char('m')) + "  ",
         [thirty](CTextField& f) { EXPECT_EQ(thirty.toStdString(), rec(f).name); }},
        {"Name", "   ", [](CTextField& f) { EXPECT_EQ("Text Field 1", rec(f).name); }},
        {"Back Color", "#ff0000",
         [](CTextField& f) {
             EXPECT_EQ((NVColor{255, 0, 0}), rec(f).backColor);
             EXPECT_EQ(QColor(255, 0, 0), f.editor()->palette().color(QPalette::Base));
         }},
        {"Back Color", "not a colour",
         [](CTextField& f) {
             EXPECT_EQ((NVColor{255, 0, 0}), rec(f).backColor);
             EXPECT_EQ(QColor(255, 0, 0), f.editor()->palette().color(QPalette::Base));
         }},
        {"Left", "x1", [](CTextField& f) { EXPECT_EQ(0, rec(f).x); }},
        {"Transparent", "Yes", [](CTextField& f) { EXPECT_EQ(1, rec(f).transparent); }},
    };
    auto f = newField();
    showParent();
    f->show();
    f->editor()->entry()->setPlainText("some text");
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.name) + " " + r.value.toStdString());
        expectAppliedOnce(*f, [&] {
            apply(*f, r.name, r.value);
            r.check(*f);
        });
    }
}

TEST_F(TextFieldTest, TypingFollowsIntoTheRecord) {
    auto f = newField();
    showParent();
    f->show();
    CEditTextFieldTextField* entry = f->editor()->entry();
    entry->setFocus();
    QTest::keyClick(entry, Qt::Key_A);
    EXPECT_EQ("a", rec(*f).text);
    NVAllObjects before;
    f->getAllObjectStructure(&before);
    QTest::keyClick(entry, Qt::Key_Return);
    EXPECT_EQ("a\n", rec(*f).text);
    EXPECT_EQ(2u, rec(*f).text.size());
    EXPECT_EQ("a", before.get<sTextField>()->text);
}

TEST_F(TextFieldTest, FieldWithAFileIgnoresTyping) {
    auto f = newField();
    showParent();
    f->show();
    f->slotTextFileName(writeFile("from file"));
    CEditTextFieldTextField* entry = f->editor()->entry();
    entry->setFocus();
    QTest::keyClick(entry, Qt::Key_B);
    EXPECT_EQ("from file", f->getWrittenText());
    EXPECT_EQ("from file", rec(*f).text);
}

TEST_F(TextFieldTest, LockedFrameMakesTheEntryReadOnlyUntilADoubleClick) {
    auto f = newField();
    showParent();
    f->show();
    CEditTextFieldTextField* entry = f->editor()->entry();
    entry->setFocus();
    host.frameLocked = true;
    QTest::keyClick(entry, Qt::Key_C);
    EXPECT_TRUE(entry->isReadOnly());
    EXPECT_TRUE(f->getWrittenText().isEmpty());
    host.frameLocked = false;
    QTest::mouseDClick(entry->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_FALSE(entry->isReadOnly());
}

TEST_F(TextFieldTest, KeyAtTheFrameGoesToTheHolderOnly) {
    auto f = newField();
    showParent();
    f->show();
    f->editor()->entry()->setPlainText("whole");
    f->editor()->entry()->clearFocus();
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(f->editor(), &del);
    EXPECT_EQ(std::vector<int>{Qt::Key_Delete}, host.heldKeys);
    EXPECT_EQ("whole", f->getWrittenText());
    // A key at the focused entry stays in the entry.
    f->editor()->entry()->setFocus();
    QTest::keyClick(f->editor()->entry(), Qt::Key_End);
    QTest::keyClick(f->editor()->entry(), Qt::Key_Backspace);
    EXPECT_EQ("whol", f->getWrittenText());
    EXPECT_EQ(1u, host.heldKeys.size());
}

TEST_F(TextFieldTest, TextFilesShowTheirTextOnce) {
    const QString path = writeFile("caf\xe9 au lait");
    auto f = newField();
    f->editor()->entry()->setPlainText("typed");
    f->slotTextFileName(path);
    EXPECT_EQ(QString::fromUtf8("café au lait"), f->getWrittenText());
    f->slotTextFileName(path);
    EXPECT_EQ(QString::fromUtf8("café au lait"), f->getWrittenText());

    NVAllObjects copied;
    f->getAllObjectStructure(&copied);
    CTextField pasted(nullptr, copied, 2, QPoint(10, 10));
    EXPECT_EQ(QString::fromUtf8("café au lait"), pasted.getWrittenText());
    CTextField recreated(nullptr, *copied.get<sTextField>());
    EXPECT_EQ(QString::fromUtf8("café au lait"), recreated.getWrittenText());
    const NVAllObjects imported = TextFieldRecord::fromStored(TextFieldRecord::toStored(copied));
    CTextField fromFile(nullptr, *imported.get<sTextField>());
    EXPECT_EQ(QString::fromUtf8("café au lait"), fromFile.getWrittenText());

    const QString missing = dir.filePath("missing.txt");
    f->slotTextFileName(missing);
    EXPECT_TRUE(f->getWrittenText().isEmpty());
    EXPECT_EQ(QFile::encodeName(missing).toStdString(), rec(*f).fileName);
}

TEST_F(TextFieldTest, ScrollWords) {
    struct Row {
        const char* word;
        Qt::ScrollBarPolicy after;
    } rows[] = {{"yes", Qt::ScrollBarAsNeeded},
                {"NO", Qt::ScrollBarAlwaysOff},
                {"YES", Qt::ScrollBarAsNeeded},
                {"no", Qt::ScrollBarAlwaysOff},
                {"On", Qt::ScrollBarAlwaysOff}};
    CEditTextFieldTextField* entry = newField()->editor()->entry();
    (void)entry;
    auto f = newField();
    for (const Row& r : rows) {
        f->editor()->entry()->slotSetScrollBar(QString::fromLatin1(r.word));
        EXPECT_EQ(r.after, f->editor()->entry()->verticalScrollBarPolicy()) << r.word;
        EXPECT_EQ(r.after, f->editor()->entry()->horizontalScrollBarPolicy()) << r.word;
    }
}

TEST_F(TextFieldTest, InstructionBoxEntryReleasesOnlyWithoutTitleBar) {
    QWidget editor(parent.get());
    CEditInstructionBoxTextField entry(&host, &editor, "multiline");
    int titleBar = 1;
    entry.setTitleBarSource([&titleBar] { return titleBar; });
    QSignalSpy released(&entry, &CEditInstructionBoxTextField::signalLabelReleased);
    parent->show();
    editor.show();
    QTest::mouseRelease(entry.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(0, released.count());
    titleBar = 0;
    QTest::mouseRelease(entry.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(1, released.count());
    host.frameLocked = true;
    QTest::mouseRelease(entry.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(1, released.count());
}

// ---- stored form ----

TEST_F(TextFieldTest, StoredTextTravelsAsRtfOnlyWithoutAFile) {
    NVAllObjects r;
    r.drawingObject = TEXTFIELD;
    r.objectID = "F3";
    sTextField s;
    s.name = "Text Field 3";
    s.attribute = 3;
    s.x = 11;
    s.y = 12;
    s.width = 130;
    s.height = 40;
    s.font = NVFont{};
    s.font->pointSize = 10;
    s.foreColor = NVColor{1, 2, 3};
    s.backColor = NVColor{200, 201, 202};
    s.scrolling = 1;
    s.transparent = 1;
    s.text = toStoredText(QString::fromUtf8("Hello {world} \\ é"));
    r.payload = s;

    const sAllObjects stored = TextFieldRecord::toStored(r);
    const auto bytes = stored.toBytes();
    auto i32 = [&](size_t at) {
        return int32_t(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t(bytes[at + 3]) << 24);
    };
    EXPECT_EQ(10, i32(StoredTextField::FONT));
    EXPECT_EQ(10, i32(StoredTextField::FONT + 4));
    EXPECT_EQ(1, bytes[StoredTextField::TRANSPARENT]);
    EXPECT_EQ(1, bytes[StoredTextField::SCROLLING]);
    const StoredTextField* st = stored.get<StoredTextField>();
    ASSERT_NE(nullptr, st);
    EXPECT_EQ(int32_t(st->rtf.size()), i32(StoredTextField::RTF_LENGTH));
    EXPECT_NE(0u, st->rtf.size());
    const NVAllObjects back = TextFieldRecord::fromStored(stored);
    const sTextField* b = back.get<sTextField>();
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(s.text, b->text);
    EXPECT_EQ(s.name, b->name);
    EXPECT_EQ(10, b->font->pointSize);
    EXPECT_EQ(s.foreColor, b->foreColor);
    EXPECT_EQ(s.backColor, b->backColor);
    EXPECT_EQ(11, b->x);
    EXPECT_EQ(40, b->height);
    EXPECT_EQ(3, b->attribute);

    s.fileName = "/tmp/some.txt";
    r.payload = s;
    const sAllObjects withFile = TextFieldRecord::toStored(r);
    EXPECT_TRUE(withFile.get<StoredTextField>()->rtf.empty());
    const NVAllObjects back2 = TextFieldRecord::fromStored(withFile);
    EXPECT_EQ("/tmp/some.txt", back2.get<sTextField>()->fileName);
    EXPECT_TRUE(back2.get<sTextField>()->text.empty());
}

} // namespace
