// Instruction boxes with the test host: the four constructors, the property
// rows as a table, the title bar's drag and the entry's releases, typing, the
// font, and the record's stored form.
#include "EditorOwnerFixture.h"

#include "canvas/records/StoredText.h"
#include "objects/interactive/CEditInstructionBox.h"
#include "objects/interactive/CEditInstructionBoxLabel.h"
#include "objects/interactive/CEditTextFieldTextField.h"
#include "objects/interactive/CInstructionBox.h"
#include "objects/interactive/InstructionBoxRecord.h"
#include "properties/EditPropertyBase.h"

#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

class InstructionBoxTest : public interactivetest::EditorOwnerTest {
  protected:
    // A box as the creating drag leaves it, with the rows its release writes.
    std::unique_ptr<CInstructionBox> newBox(int number = 1) {
        auto b = std::make_unique<CInstructionBox>(nullptr, nullptr, nullptr, number);
        b->restoreGeometry(QRect(20, 30, 240, 120));
        const std::pair<const char*, int> rows[] = {
            {"Left", 20}, {"Top", 30}, {"Width", 240}, {"Height", 120}};
        for (const auto& [row, v] : rows)
            b->getEditPropertyBase()->setProp_Value(QString::fromLatin1(row), QString::number(v));
        return b;
    }
    static sInstructionBox& rec(CInstructionBox& b) { return b.editor()->box(); }
    static QString value(CInstructionBox& b, const char* row) {
        return b.getEditPropertyBase()->getPropValue(QString::fromLatin1(row));
    }
    static void apply(CInstructionBox& b, const char* row, const QString& v) {
        b.getEditPropertyBase()->setProp_Value(QString::fromLatin1(row), v);
        b.repaintItem();
    }
    // Mouse events at a widget, with the global position the frame maps from.
    static void send(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                     Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
    static sInstructionBox filled() {
        sInstructionBox s;
        s.name = "Instruction Box 2";
        s.caption = "Read me";
        s.x = 10;
        s.y = 20;
        s.width = 200;
        s.height = 90;
        s.backColor = NVColor{1, 2, 3};
        s.foreColor = NVColor{250, 251, 252};
        s.font = NVFont{"courier", 14, NVFont::WEIGHT_BOLD, true};
        s.text = "Click Next";
        s.scrolling = 0;
        s.titleBar = 1;
        return s;
    }
};

TEST_F(InstructionBoxTest, NewBoxDefaults) {
    auto b = newBox(4);
    const sInstructionBox& p = rec(*b);
    EXPECT_EQ("Instruction Box 4", p.name);
    EXPECT_EQ("Instruction Box 4", p.caption);
    EXPECT_EQ("Instruction Box 4", b->editor()->label()->text());
    EXPECT_EQ(1, p.titleBar);
    EXPECT_FALSE(b->editor()->label()->isHidden());
    EXPECT_EQ(1, p.scrolling);
    EXPECT_EQ((NVColor{255, 255, 255}), p.backColor);
    EXPECT_EQ((NVColor{0, 0, 0}), p.foreColor);
    ASSERT_TRUE(p.font.has_value());
    EXPECT_EQ((NVFont{}), *p.font);
    EXPECT_TRUE(p.text.empty());
    EXPECT_EQ("Instruction Box 4", value(*b, "Name"));
    EXPECT_EQ("Instruction Box 4", value(*b, "Caption"));
    EXPECT_EQ("On", value(*b, "Title Bar"));
    EXPECT_EQ("Yes", value(*b, "Scrolling"));
    EXPECT_EQ("#ffffff", value(*b, "Back Color"));
    EXPECT_EQ("#000000", value(*b, "Fore Color"));
    EXPECT_EQ("", value(*b, "Font"));
    EXPECT_EQ(QStringList{"Instruction Box 4"}, host.appendedNames);
    EXPECT_EQ(INSTRUCTIONBOX, b->drawingObject);
    EXPECT_EQ(INSTRUCTIONBOX, b->editor()->record().drawingObject);
    EXPECT_EQ(QFrame::Panel | QFrame::Plain, b->editor()->frameStyle());
    EXPECT_EQ(QFrame::NoFrame, b->editor()->entry()->frameStyle());
    EXPECT_EQ(2, b->editor()->boxLayout()->contentsMargins().top());
    EXPECT_EQ(QStringList({"Back Color", "Caption", "Font", "Fore Color", "Height", "Left", "Name",
                           "Scrolling", "Title Bar", "Top", "Width"}),
              [&] {
                  QStringList names;
                  for (const char* n : {"Back Color", "Caption", "Font", "Fore Color", "Height", "Left",
                                        "Name", "Scrolling", "Title Bar", "Top", "Width"})
                      if (b->getEditPropertyBase()->getProp(QString::fromLatin1(n)))
                          names << n;
                  return names;
              }());
}

TEST_F(InstructionBoxTest, AppliedRows) {
    struct Row {
        const char* name;
        QString value;
        std::function<void(CInstructionBox&)> check;
    };
    const QString thirty(30, QLatin1Char('n'));
    const std::vector<Row> rows = {
        {"Name", QString(31, QLatin1Char('x')),
         [](CInstructionBox& b) {
             EXPECT_EQ("Instruction Box 1", rec(b).name) << "31 characters are refused";
         }},
        {"Name", thirty, [thirty](CInstructionBox& b) { EXPECT_EQ(thirty.toStdString(), rec(b).name); }},
        {"Name", "   ",
         [](CInstructionBox& b) {
             EXPECT_EQ("Instruction Box 1", rec(b).name);
             EXPECT_EQ("Instruction Box 1", value(b, "Name"));
         }},
        {"Title Bar", "Off",
         [](CInstructionBox& b) {
             EXPECT_EQ(0, rec(b).titleBar);
             EXPECT_TRUE(b.editor()->label()->isHidden());
         }},
        {"Title Bar", "Maybe",
         [](CInstructionBox& b) {
             EXPECT_EQ(0, rec(b).titleBar);
             EXPECT_TRUE(b.editor()->label()->isHidden());
         }},
        {"Title Bar", "On",
         [](CInstructionBox& b) {
             EXPECT_EQ(1, rec(b).titleBar);
             EXPECT_FALSE(b.editor()->label()->isHidden());
         }},
        {"Scrolling", "No",
         [](CInstructionBox& b) {
             EXPECT_EQ(0, rec(b).scrolling);
             EXPECT_EQ(Qt::ScrollBarAlwaysOff, b.editor()->entry()->verticalScrollBarPolicy());
         }},
        {"Scrolling", "Yes",
         [](CInstructionBox& b) {
             EXPECT_EQ(1, rec(b).scrolling);
             EXPECT_EQ(Qt::ScrollBarAsNeeded, b.editor()->entry()->horizontalScrollBarPolicy());
         }},
        {"Scrolling", "Maybe",
         [](CInstructionBox& b) {
             EXPECT_EQ(1, rec(b).scrolling);
             EXPECT_EQ(Qt::ScrollBarAsNeeded, b.editor()->entry()->verticalScrollBarPolicy());
         }},
        {"Caption", QString(300, QLatin1Char('c')),
         [](CInstructionBox& b) {
             EXPECT_EQ(std::string(255, 'c'), rec(b).caption);
             EXPECT_EQ(QString(255, QLatin1Char('c')), b.editor()->label()->text());
             EXPECT_EQ(QString(255, QLatin1Char('c')), value(b, "Caption")) << "the row shows what is kept";
         }},
        {"Caption", QString::fromUtf8("Step \u20ac1"),
         [](CInstructionBox& b) {
             EXPECT_EQ("Step ?1", rec(b).caption);
             EXPECT_EQ("Step ?1", value(b, "Caption"));
         }},
        {"Caption", "Step 1",
         [](CInstructionBox& b) {
             EXPECT_EQ("Step 1", rec(b).caption);
             EXPECT_EQ("Step 1", b.editor()->label()->text());
         }},
        {"Back Color", "#ff0000",
         [](CInstructionBox& b) {
             EXPECT_EQ((NVColor{255, 0, 0}), rec(b).backColor);
             EXPECT_EQ(QColor(255, 0, 0), b.editor()->entry()->palette().color(QPalette::Base));
         }},
        {"Fore Color", "not a colour",
         [](CInstructionBox& b) {
             EXPECT_EQ((NVColor{0, 0, 0}), rec(b).foreColor);
             EXPECT_EQ("#000000", value(b, "Fore Color"));
         }},
        {"Left", "55",
         [](CInstructionBox& b) {
             EXPECT_EQ(55, rec(b).x);
             EXPECT_EQ(55, b.editor()->x());
         }},
        {"Height", "70",
         [](CInstructionBox& b) {
             EXPECT_EQ(70, rec(b).height);
             EXPECT_EQ(70, b.editor()->height());
         }},
    };
    auto b = newBox();
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.name) + " " + r.value.left(20).toStdString());
        expectAppliedOnce(*b, [&] {
            apply(*b, r.name, r.value);
            r.check(*b);
        });
    }
}

TEST_F(InstructionBoxTest, EveryRowIsAppliedAtOnce) {
    auto b = newBox();
    EditPropertyBase* props = b->getEditPropertyBase();
    props->setProp_Value("Caption", "Step 1");
    props->setProp_Value("Title Bar", "Off");
    props->setProp_Value("Width", "300");
    host.propertyRow = "Name";
    b->repaintItem();
    EXPECT_EQ("Step 1", rec(*b).caption);
    EXPECT_EQ(0, rec(*b).titleBar);
    EXPECT_EQ(300, rec(*b).width);
}

TEST_F(InstructionBoxTest, PastedBoxKeepsAllButItsNameAndPlace) {
    NVAllObjects copied;
    copied.drawingObject = INSTRUCTIONBOX;
    copied.payload = filled();
    CInstructionBox b(nullptr, copied, 7, QPoint(15, 25));
    const sInstructionBox& p = rec(b);
    EXPECT_EQ("Instruction Box 7", p.name);
    EXPECT_EQ(25, p.x);
    EXPECT_EQ(45, p.y);
    EXPECT_EQ(QRect(25, 45, 200, 90), b.editor()->geometry());
    EXPECT_EQ("Read me", p.caption);
    EXPECT_EQ("Read me", value(b, "Caption"));
    EXPECT_EQ("Read me", b.editor()->label()->text());
    EXPECT_EQ((NVColor{1, 2, 3}), p.backColor);
    EXPECT_EQ(QColor(250, 251, 252), b.editor()->entry()->palette().color(QPalette::Text));
    EXPECT_EQ("#010203", value(b, "Back Color"));
    EXPECT_EQ((NVFont{"courier", 14, NVFont::WEIGHT_BOLD, true}), *p.font);
    EXPECT_EQ("courier", b.editor()->entry()->font().family());
    EXPECT_EQ("Click Next", p.text);
    EXPECT_EQ("Click Next", b.getWrittenText());
    EXPECT_EQ("No", value(b, "Scrolling"));
    EXPECT_EQ(Qt::ScrollBarAlwaysOff, b.editor()->entry()->verticalScrollBarPolicy());
    EXPECT_EQ("On", value(b, "Title Bar"));
    EXPECT_EQ(7, b.getIndex());
    EXPECT_EQ(QStringList{"Instruction Box 7"}, host.appendedNames);
}

TEST_F(InstructionBoxTest, LoadedBoxWithoutTitleBarAndItsReturn) {
    sInstructionBox s = filled();
    s.titleBar = 0;
    CInstructionBox b(nullptr, s);
    EXPECT_EQ("Off", value(b, "Title Bar"));
    EXPECT_TRUE(b.editor()->label()->isHidden());
    EXPECT_EQ("Instruction Box 2", value(b, "Name"));
    EXPECT_EQ("10", value(b, "Left"));
    EXPECT_EQ("90", value(b, "Height"));
    EXPECT_EQ("Read me", value(b, "Caption"));
    EXPECT_EQ("Click Next", b.getWrittenText());
    EXPECT_EQ(QStringList{"Instruction Box 2"}, host.appendedNames) << "the holder refills the chooser after";
    apply(b, "Title Bar", "On");
    EXPECT_FALSE(b.editor()->label()->isHidden());
    EXPECT_EQ(1, rec(b).titleBar);
    // A text of length 0 leaves the entry empty; an unknown byte writes no word.
    s.text.clear();
    s.titleBar = 7;
    s.scrolling = 9;
    CInstructionBox odd(nullptr, s);
    EXPECT_TRUE(odd.getWrittenText().isEmpty());
    EXPECT_EQ("", value(odd, "Title Bar"));
    EXPECT_EQ("", value(odd, "Scrolling"));
}

TEST_F(InstructionBoxTest, CopyConstructorTakesThePositionAndANewCaption) {
    NVAllObjects copied;
    copied.drawingObject = INSTRUCTIONBOX;
    copied.payload = filled();
    CInstructionBox source(nullptr, copied, 3, QPoint(0, 0));
    CInstructionBox copy(nullptr, source, 9, QPoint(100, 120));
    const sInstructionBox& p = rec(copy);
    EXPECT_EQ("Instruction Box 9", p.name);
    EXPECT_EQ("Instruction Box 9", p.caption);
    EXPECT_EQ("Instruction Box 9", copy.editor()->label()->text());
    EXPECT_EQ("", value(copy, "Caption")) << "the copy writes no Caption row";
    EXPECT_EQ(QRect(100, 120, 200, 90), copy.editor()->geometry());
    EXPECT_EQ("Click Next", copy.getWrittenText());
    EXPECT_EQ("#fafbfc", value(copy, "Fore Color"));
    EXPECT_EQ(9, copy.getIndex());
    EXPECT_EQ(INSTRUCTIONBOX, copy.drawingObject);
}

TEST_F(InstructionBoxTest, TypingFollowsIntoTheRecordAtOnce) {
    auto b = newBox();
    showParent();
    b->show();
    CEditInstructionBoxTextField* entry = b->editor()->entry();
    entry->setFocus();
    QTest::keyClicks(entry, "Click");
    EXPECT_EQ("Click", rec(*b).text);
    NVAllObjects held;
    b->getAllObjectStructure(&held);
    EXPECT_EQ("Click", held.get<sInstructionBox>()->text);
    QTest::keyClick(entry, Qt::Key_Return);
    EXPECT_EQ("Click\n", rec(*b).text);
    // A key at the frame copies the text too and goes nowhere else.
    entry->setPlainText("typed");
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(b->editor(), &del);
    EXPECT_EQ("typed", rec(*b).text);
    EXPECT_TRUE(host.heldKeys.empty());
}

TEST_F(InstructionBoxTest, TitleBarDragMovesTheBoxAndReportsItsOldGeometry) {
    auto b = newBox();
    showParent();
    b->show();
    QSignalSpy moved(b.get(), &InPlaceEditorOwner::signalMovedEditObject);
    QSignalSpy selected(b.get(), &InPlaceEditorOwner::signalSelectedEditObject);
    b->getEditPropertyBase()->setProp_Value("Caption", "stale");
    QWidget* label = b->editor()->label();
    send(label, QEvent::MouseButtonPress, QPoint(20, 5), Qt::LeftButton, Qt::LeftButton);
    send(label, QEvent::MouseMove, QPoint(40, 15), Qt::NoButton, Qt::LeftButton);
    send(label, QEvent::MouseMove, QPoint(60, 25), Qt::NoButton, Qt::LeftButton);
    send(label, QEvent::MouseButtonRelease, QPoint(60, 25), Qt::LeftButton, Qt::NoButton);
    ASSERT_EQ(1, moved.count());
    EXPECT_EQ(QRect(20, 30, 240, 120), moved.at(0).at(0).toRect());
    EXPECT_EQ(2, selected.count()) << "the selection is connected twice";
    EXPECT_EQ(60, rec(*b).x);
    EXPECT_EQ(50, rec(*b).y);
    EXPECT_EQ(QRect(60, 50, 240, 120), b->editor()->geometry());
    EXPECT_EQ("60", value(*b, "Left"));
    EXPECT_EQ("50", value(*b, "Top"));
    EXPECT_EQ("Instruction Box 1", value(*b, "Caption")) << "written from the title bar";
}

TEST_F(InstructionBoxTest, LeftReleaseInTheTextReachesTheEditorOnlyWithoutTitleBarARightClickAlways) {
    auto b = newBox();
    showParent();
    b->show();
    QSignalSpy selected(b.get(), &InPlaceEditorOwner::signalSelectedEditObject);
    QWidget* text = b->editor()->entry()->viewport();
    send(text, QEvent::MouseButtonRelease, QPoint(30, 30), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(0, selected.count());
    EXPECT_EQ(0, host.boxShown);
    // A right click selects the box and shows the property box all the same.
    send(text, QEvent::MouseButtonRelease, QPoint(30, 30), Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(2, selected.count());
    EXPECT_EQ(1, host.boxShown);
    apply(*b, "Title Bar", "Off");
    send(text, QEvent::MouseButtonRelease, QPoint(30, 30), Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(4, selected.count());
    EXPECT_EQ(2, host.boxShown);
    // Locked: nothing.
    host.frameLocked = true;
    send(text, QEvent::MouseButtonRelease, QPoint(30, 30), Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(4, selected.count());
}

TEST_F(InstructionBoxTest, LockedFrameTitleBarDragChangesNothing) {
    auto b = newBox();
    showParent();
    b->show();
    host.frameLocked = true;
    QSignalSpy selected(b.get(), &InPlaceEditorOwner::signalSelectedEditObject);
    b->getEditPropertyBase()->setProp_Value("Caption", "stale");
    QWidget* label = b->editor()->label();
    send(label, QEvent::MouseButtonPress, QPoint(20, 5), Qt::LeftButton, Qt::LeftButton);
    send(label, QEvent::MouseMove, QPoint(60, 25), Qt::NoButton, Qt::LeftButton);
    send(label, QEvent::MouseButtonRelease, QPoint(60, 25), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(0, selected.count());
    EXPECT_EQ(QRect(20, 30, 240, 120), b->editor()->geometry());
    EXPECT_EQ("20", value(*b, "Left"));
    EXPECT_EQ("stale", value(*b, "Caption"));
    EXPECT_TRUE(host.bands.empty());
}

TEST_F(InstructionBoxTest, FontSelectedGoesToTheRecordAndTheText) {
    auto b = newBox();
    QFont f("courier", 20);
    b->slotFontSelected(f);
    ASSERT_TRUE(rec(*b).font.has_value());
    EXPECT_EQ("courier", rec(*b).font->family);
    EXPECT_EQ(20, rec(*b).font->pointSize);
    EXPECT_EQ(20, b->editor()->entry()->font().pointSize());
    EXPECT_EQ("", value(*b, "Font")) << "the box never writes its Font row";
}

TEST_F(InstructionBoxTest, RecordsAreCopiesOfTheirOwn) {
    auto b = newBox();
    NVAllObjects held;
    b->getAllObjectStructure(&held);
    apply(*b, "Caption", "changed");
    b->editor()->entry()->setPlainText("later");
    EXPECT_EQ("Instruction Box 1", held.get<sInstructionBox>()->caption);
    EXPECT_TRUE(held.get<sInstructionBox>()->text.empty());
    b.reset();
    EXPECT_EQ("Instruction Box 1", held.get<sInstructionBox>()->caption) << "the record outlives the box";
}

// ---- stored form ----

TEST_F(InstructionBoxTest, StoredFormPutsEveryFieldAtItsOffset) {
    NVAllObjects r;
    r.drawingObject = INSTRUCTIONBOX;
    r.objectID = "I3";
    sInstructionBox s = filled();
    s.caption = std::string(300, 'k');
    s.titleBar = 0;
    s.scrolling = 1;
    s.text = toStoredText(QString::fromUtf8("Click {Next} \\ é"));
    r.payload = s;

    const sAllObjects stored = InstructionBoxRecord::toStored(r);
    const auto bytes = stored.toBytes();
    auto i32 = [&](size_t at) {
        return int32_t(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t(bytes[at + 3]) << 24);
    };
    auto i16 = [&](size_t at) { return int16_t(bytes[at] | bytes[at + 1] << 8); };
    EXPECT_EQ(INSTRUCTIONBOX, i32(sAllObjects::KIND));
    EXPECT_EQ('I', bytes[56]);
    EXPECT_EQ(0xfcfbfa, i32(StoredControl::FORE_COLOR));
    EXPECT_EQ(0x030201, i32(StoredControl::BACK_COLOR));
    EXPECT_EQ(10, i16(StoredControl::X));
    EXPECT_EQ(20, i16(StoredControl::Y));
    EXPECT_EQ(90, i16(StoredControl::HEIGHT));
    EXPECT_EQ(200, i16(StoredControl::WIDTH));
    EXPECT_EQ('k', bytes[StoredInstructionBox::CAPTION + 254]);
    EXPECT_EQ(0, bytes[StoredInstructionBox::CAPTION + 255]) << "255 characters and the terminator";
    EXPECT_EQ(1, bytes[StoredInstructionBox::SCROLLING]);
    EXPECT_EQ(14, i32(StoredInstructionBox::FONT));
    EXPECT_EQ(14, i32(StoredInstructionBox::FONT + 4));
    EXPECT_EQ(NVFont::WEIGHT_BOLD, i32(StoredInstructionBox::FONT + 16));
    EXPECT_EQ(1, bytes[StoredInstructionBox::FONT + 20]);
    EXPECT_EQ('c', bytes[StoredInstructionBox::FONT + 28]);
    EXPECT_EQ(1, i32(StoredInstructionBox::RTF_REF));
    const StoredInstructionBox* sb = stored.get<StoredInstructionBox>();
    ASSERT_NE(nullptr, sb);
    EXPECT_EQ(int32_t(sb->rtf.size()), i32(StoredInstructionBox::RTF_LENGTH));
    EXPECT_NE(std::string::npos, sb->rtf.find("Click \\{Next\\}"));
    EXPECT_EQ(0, bytes[StoredInstructionBox::TITLE_BAR]);

    const NVAllObjects back = InstructionBoxRecord::fromStored(stored);
    const sInstructionBox* b = back.get<sInstructionBox>();
    ASSERT_NE(nullptr, b);
    EXPECT_EQ("I3", back.objectID);
    EXPECT_EQ(s.text, b->text);
    EXPECT_EQ(std::string(255, 'k'), b->caption);
    EXPECT_EQ(*s.font, *b->font);
    EXPECT_EQ(s.foreColor, b->foreColor);
    EXPECT_EQ(s.backColor, b->backColor);
    EXPECT_EQ(0, b->titleBar);
    EXPECT_EQ(1, b->scrolling);
    EXPECT_EQ(QRect(10, 20, 200, 90), QRect(b->x, b->y, b->width, b->height));

    // No text: no reference and no tail.
    s.text.clear();
    r.payload = s;
    const sAllObjects empty = InstructionBoxRecord::toStored(r);
    EXPECT_EQ(0u, empty.tailLength());
    EXPECT_EQ(0, empty.toBytes()[StoredInstructionBox::RTF_REF]);
    EXPECT_TRUE(InstructionBoxRecord::fromStored(empty).get<sInstructionBox>()->text.empty());
}

} // namespace
