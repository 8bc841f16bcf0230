// DrawRect without a canvas: construction, paste and load, the property rows
// and their application, geometry, records and the creation drag.
#include "objects/draw/DrawRect.h"

#include "canvas/DrawTools.h"
#include "canvas/MouseButtonState.h"
#include "objects/draw/DrawingColors.h"
#include "objects/draw/LineStyles.h"
#include "properties/EditPropertyBase.h"

#include <QMouseEvent>
#include <QSignalSpy>

#include "ObjectTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class DrawRectLogic : public objecttest::OffscreenAppTest {
  protected:
    void SetUp() override { DrawTools::currentlySelectedObject = RECTANGLE; }
    void TearDown() override { DrawTools::currentlySelectedObject = SELECTION; }

    static QString row(DrawRect& r, const char* name) { return r.getEditPropertyBase()->getPropValue(name); }
    static void setRow(DrawRect& r, const char* name, const QString& v) {
        r.getEditPropertyBase()->setProp_Value(name, v);
    }
    static sDrawRect payload(int l, int t, int r, int b, int shape = DrawRect::SHAPE_RECTANGLE) {
        sDrawRect p;
        p.left = l;
        p.top = t;
        p.right = r;
        p.bottom = b;
        p.shape = shape;
        p.name = "Stored";
        return p;
    }
    static void mouse(DrawRect& r, QEvent::Type type, QPoint p, Qt::MouseButton button,
                      Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(p), QPointF(p), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&r, &e);
    }
};

TEST_F(DrawRectLogic, NewObjectsTakeTheirKindNameAndStartingValues) {
    struct Row {
        int shape;
        int32_t kind;
        const char* name;
        int16_t radius;
    };
    for (const Row& c : {Row{1, RECTANGLE, "Rectangle 3", 0}, Row{2, ROUNDRECT, "Round Rectangle 3", 7},
                         Row{3, ELLIPSE, "Ellipse 3", 0}}) {
        DrawRect r(nullptr, nullptr, c.shape, 3);
        EXPECT_EQ(c.kind, r.drawingObject);
        EXPECT_EQ(c.kind, r.record().drawingObject);
        EXPECT_EQ(1024, r.record().recordSize);
        EXPECT_STREQ(c.name, r.getObjectName());
        EXPECT_EQ(c.radius, r.payload().cornerRadius);
        EXPECT_EQ(2, r.payload().borderWidth);
        EXPECT_EQ(c.name, row(r, "Name"));
        EXPECT_EQ("2", row(r, "Border Width"));
        EXPECT_EQ("Solid", row(r, "Border Style"));
        EXPECT_EQ("Solid", row(r, "Fill Pattern"));
        EXPECT_EQ("Opaque", row(r, "Fill Mode"));
        // The colour bar's starting colours: white border on steel blue.
        EXPECT_EQ("#ffffff", row(r, "Border Color"));
        EXPECT_EQ("#b0c4de", row(r, "Fill Color"));
        // The geometry rows wait for the end of the creation drag.
        EXPECT_EQ("", row(r, "Width"));
    }
}

TEST_F(DrawRectLogic, RowsAreAddedInOrderWithTheirEditors) {
    DrawRect r(nullptr, nullptr, DrawRect::SHAPE_ROUNDRECT, 1);
    EditPropertyBase* p = r.getEditPropertyBase();
    const struct {
        const char* name;
        const char* category;
        int editor;
    } rows[] = {{"Name", "General", 1},
                {"Left", "Geometry", 27},
                {"Top", "Geometry", 28},
                {"Width", "Geometry", 29},
                {"Height", "Geometry", 30},
                {"Border Style", "Appearance", 16},
                {"Border Width", "Appearance", 13},
                {"Border Color", "Appearance", 5},
                {"Fill Color", "Appearance", 5},
                {"Fill Pattern", "Appearance", 17},
                {"Fill Mode", "Appearance", 18}};
    ASSERT_EQ(11, p->getEntryCount());
    for (int i = 0; i < 11; ++i) {
        EditPropertyEntry* e = p->getProp(i + 1);
        ASSERT_NE(nullptr, e);
        EXPECT_EQ(rows[i].name, e->name);
        EXPECT_EQ(rows[i].category, e->category);
        EXPECT_EQ(rows[i].editor, e->editorType);
    }
    EXPECT_EQ("Round Rectangle", p->getPropData("Name"));
}

TEST_F(DrawRectLogic, PasteMovesByTheOffsetKeepsTheSizeAndTakesANewName) {
    NVAllObjects rec;
    sDrawRect p = payload(70, 40, 20, 10, DrawRect::SHAPE_ELLIPSE); // edges the wrong way round
    p.fillPattern = 3;
    p.borderStyle = 2;
    p.fillMode = 1;
    p.borderWidth = 4;
    p.borderRed = 1;
    p.fillBlue = 200;
    rec.payload = p;
    rec.drawingObject = ELLIPSE;
    DrawRect r(nullptr, rec, 9, QPoint(10, 10));
    const sDrawRect& s = r.payload();
    EXPECT_EQ(80, s.left);
    EXPECT_EQ(50, s.top);
    EXPECT_EQ(130, s.right);
    EXPECT_EQ(80, s.bottom);
    EXPECT_STREQ("Ellipse 9", r.getObjectName());
    EXPECT_EQ(9, r.getIndex());
    EXPECT_EQ(ELLIPSE, r.drawingObject);
    EXPECT_EQ("80", row(r, "Left"));
    EXPECT_EQ("50", row(r, "Width"));
    EXPECT_EQ("30", row(r, "Height"));
    EXPECT_EQ("Dot", row(r, "Border Style"));
    EXPECT_EQ("Diagonal Cross", row(r, "Fill Pattern"));
    EXPECT_EQ("Transparent", row(r, "Fill Mode"));
    EXPECT_EQ("4", row(r, "Border Width"));
    EXPECT_EQ("#0000c8", row(r, "Fill Color"));
    EXPECT_EQ("#010000", row(r, "Border Color"));
}

TEST_F(DrawRectLogic, LoadKeepsTheStoredRecordAndName) {
    sDrawRect p = payload(20, 30, 70, 90, DrawRect::SHAPE_ROUNDRECT);
    p.cornerRadius = 9;
    p.borderStyle = 9; // unknown codes leave their rows empty
    p.fillPattern = 7;
    DrawRect r(nullptr, p);
    EXPECT_STREQ("Stored", r.getObjectName());
    EXPECT_EQ("Stored", row(r, "Name"));
    EXPECT_EQ(ROUNDRECT, r.drawingObject);
    EXPECT_EQ(9, r.payload().cornerRadius);
    EXPECT_EQ("50", row(r, "Width"));
    EXPECT_EQ("60", row(r, "Height"));
    EXPECT_EQ("", row(r, "Border Style"));
    EXPECT_EQ("", row(r, "Fill Pattern"));
    EXPECT_EQ("Opaque", row(r, "Fill Mode"));
    // An emptied name falls back to the kind word.
    setRow(r, "Name", "   ");
    r.repaintItem();
    EXPECT_STREQ("Round Rectangle", r.getObjectName());
}

TEST_F(DrawRectLogic, ZeroSizedStoredRecordsLoadUnchanged) {
    DrawRect r(nullptr, payload(40, 40, 40, 90));
    EXPECT_EQ(40, r.payload().left);
    EXPECT_EQ(40, r.payload().right);
    EXPECT_EQ("0", row(r, "Width"));
    EXPECT_FALSE(r.keepWithinVLI());
}

TEST_F(DrawRectLogic, ALoadedNameLongerThanItsFieldIsCut) {
    sDrawRect p = payload(0, 0, 10, 10);
    p.name = std::string(40, 'x');
    DrawRect r(nullptr, p);
    EXPECT_EQ(31u, std::string(r.getObjectName()).size());
}

TEST_F(DrawRectLogic, CopyTakesThePositionItselfAndTheSourceKind) {
    DrawRect source(nullptr, payload(10, 10, 40, 30, DrawRect::SHAPE_ELLIPSE));
    source.drawingObject = ELLIPSE;
    DrawRect copy(nullptr, source, 4, QPoint(100, 200));
    EXPECT_EQ(100, copy.payload().left);
    EXPECT_EQ(130, copy.payload().right);
    EXPECT_EQ(220, copy.payload().bottom);
    EXPECT_STREQ("Ellipse 4", copy.getObjectName());
}

TEST_F(DrawRectLogic, NameRowsAreAppliedAsTheBoxWouldTypeThem) {
    struct Case {
        QString typed;
        const char* name;
        const char* rowAfter;
    };
    const QString thirty(30, 'a');
    const QString thirtyOne(31, 'b');
    const Case cases[] = {
        {thirty, "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"},
        {thirtyOne, "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb"},
        {"   ", "Rectangle 5", "Rectangle 5"},
        {"", "Rectangle 5", "Rectangle 5"},
        {"  Box  ", "Box", "Box"},
    };
    DrawRect r(nullptr, nullptr, DrawRect::SHAPE_RECTANGLE, 5);
    for (const Case& c : cases) {
        setRow(r, "Name", c.typed);
        r.repaintItem();
        EXPECT_STREQ(c.name, r.getObjectName()) << c.typed.toStdString();
        EXPECT_EQ(c.rowAfter, row(r, "Name")) << c.typed.toStdString();
    }
}

TEST_F(DrawRectLogic, NamesOutsideLatin1AreStoredAsQuestionMarks) {
    DrawRect r(nullptr, nullptr, DrawRect::SHAPE_RECTANGLE, 1);
    setRow(r, "Name", QString::fromUtf8("\xe2\x82\xac-Box"));
    r.repaintItem();
    EXPECT_STREQ("?-Box", r.getObjectName());
}

TEST_F(DrawRectLogic, GeometryRowsKeepOrRefuse) {
    struct Case {
        const char* row;
        QString value;
        int left, top, right, bottom;
        const char* rowAfter;
    };
    const Case cases[] = {
        {"Left", "100", 100, 30, 150, 60, "100"}, {"Top", "5", 20, 5, 70, 35, "5"},
        {"Width", "10", 20, 30, 30, 60, "10"},    {"Width", "9", 20, 30, 70, 60, "50"},
        {"Height", "10", 20, 30, 70, 40, "10"},   {"Height", "-3", 20, 30, 70, 60, "30"},
        {"Left", "abc", 0, 30, 50, 60, "abc"},
    };
    for (const Case& c : cases) {
        DrawRect r(nullptr, payload(20, 30, 70, 60));
        setRow(r, c.row, c.value);
        r.repaintItem();
        const sDrawRect& s = r.payload();
        EXPECT_EQ(c.left, s.left) << c.row << "=" << c.value.toStdString();
        EXPECT_EQ(c.top, s.top) << c.row << "=" << c.value.toStdString();
        EXPECT_EQ(c.right, s.right) << c.row << "=" << c.value.toStdString();
        EXPECT_EQ(c.bottom, s.bottom) << c.row << "=" << c.value.toStdString();
        EXPECT_EQ(c.rowAfter, row(r, c.row)) << c.row << "=" << c.value.toStdString();
    }
}

TEST_F(DrawRectLogic, StyleRowsBecomeCodes) {
    DrawRect r(nullptr, nullptr, DrawRect::SHAPE_RECTANGLE, 1);
    const QStringList styles = LineStyles::words();
    for (int i = 0; i < styles.size(); ++i) {
        setRow(r, "Border Style", styles[i]);
        r.repaintItem();
        EXPECT_EQ(i, r.payload().borderStyle);
    }
    setRow(r, "Border Style", "Wavy");
    r.repaintItem();
    EXPECT_EQ(5, r.payload().borderStyle);

    const QStringList patterns = DrawRect::fillPatternWords();
    for (int i = patterns.size() - 1; i >= 0; --i) {
        setRow(r, "Fill Pattern", patterns[i]);
        r.repaintItem();
        EXPECT_EQ(i, r.payload().fillPattern);
    }
    setRow(r, "Border Width", "7");
    setRow(r, "Fill Color", "#102030");
    setRow(r, "Border Color", "#a0b0c0");
    r.repaintItem();
    EXPECT_EQ(7, r.payload().borderWidth);
    EXPECT_EQ(0x10, r.payload().fillRed);
    EXPECT_EQ(0x30, r.payload().fillBlue);
    EXPECT_EQ(0xa0, r.payload().borderRed);
    EXPECT_EQ(0xc0, r.payload().borderBlue);
    // Text that names no colour keeps the colour.
    setRow(r, "Fill Color", "#zz");
    r.repaintItem();
    EXPECT_EQ(0x10, r.payload().fillRed);
}

TEST_F(DrawRectLogic, SolidPatternWaitsForAnOpaqueMode) {
    DrawRect r(nullptr, nullptr, DrawRect::SHAPE_RECTANGLE, 1);
    setRow(r, "Fill Pattern", "Cross");
    r.repaintItem();
    ASSERT_EQ(2, r.payload().fillPattern);
    setRow(r, "Fill Mode", "Transparent");
    setRow(r, "Fill Pattern", "Solid");
    r.repaintItem();
    EXPECT_EQ(1, r.payload().fillMode);
    EXPECT_EQ(2, r.payload().fillPattern);
    setRow(r, "Fill Mode", "Opaque");
    r.repaintItem();
    EXPECT_EQ(0, r.payload().fillMode);
    EXPECT_EQ(0, r.payload().fillPattern);
}

TEST_F(DrawRectLogic, ApplyingEmitsTheGeometryInItsOrder) {
    DrawRect r(nullptr, payload(20, 30, 70, 90));
    std::vector<std::pair<char, int>> seen;
    QObject::connect(&r, &DrawTools::signalSetLeft, [&](int v) { seen.push_back({'L', v}); });
    QObject::connect(&r, &DrawTools::signalSetWidth, [&](int v) { seen.push_back({'W', v}); });
    QObject::connect(&r, &DrawTools::signalSetTop, [&](int v) { seen.push_back({'T', v}); });
    QObject::connect(&r, &DrawTools::signalSetHeight, [&](int v) { seen.push_back({'H', v}); });
    r.repaintItem();
    const std::vector<std::pair<char, int>> expected{{'L', 20}, {'W', 50}, {'T', 30}, {'H', 60}};
    EXPECT_EQ(expected, seen);
}

TEST_F(DrawRectLogic, HitTestIsTheBoundingRectangleWithoutItsFarEdges) {
    DrawRect ellipse(nullptr, payload(10, 20, 50, 60, DrawRect::SHAPE_ELLIPSE));
    EXPECT_TRUE(ellipse.select(QPoint(10, 20)));
    EXPECT_TRUE(ellipse.select(QPoint(49, 59)));
    EXPECT_FALSE(ellipse.select(QPoint(50, 40)));
    EXPECT_FALSE(ellipse.select(QPoint(30, 60)));
    EXPECT_FALSE(ellipse.select(QPoint(9, 30)));
    EXPECT_EQ(QRect(10, 20, 40, 40), ellipse.getRegion().boundingRect());
}

TEST_F(DrawRectLogic, AReversedStoredRecordIsStillHitAndHasARegion) {
    DrawRect r(nullptr, payload(50, 60, 10, 20));
    EXPECT_TRUE(r.select(QPoint(10, 20)));
    EXPECT_FALSE(r.select(QPoint(50, 60)));
    EXPECT_EQ(QRect(10, 20, 40, 40), r.getRegion().boundingRect());
}

TEST_F(DrawRectLogic, ToolsMapToShapes) {
    EXPECT_EQ(DrawRect::SHAPE_RECTANGLE, DrawRect::shapeOfKind(RECTANGLE));
    EXPECT_EQ(DrawRect::SHAPE_ROUNDRECT, DrawRect::shapeOfKind(ROUNDRECT));
    EXPECT_EQ(DrawRect::SHAPE_ELLIPSE, DrawRect::shapeOfKind(ELLIPSE));
    EXPECT_EQ(0, DrawRect::shapeOfKind(LINE));
    for (int32_t kind : {RECTANGLE, ROUNDRECT, ELLIPSE})
        EXPECT_EQ(kind, DrawRect::kindOfShape(DrawRect::shapeOfKind(kind)));
}

TEST_F(DrawRectLogic, UndoGeometryComesBackTheSameSize) {
    DrawRect r(nullptr, payload(20, 30, 70, 90));
    const QRect before = r.getRegion().boundingRect();
    r.restoreGeometry(QRect(0, 0, 5, 5));
    r.restoreGeometry(before);
    EXPECT_EQ(20, r.payload().left);
    EXPECT_EQ(30, r.payload().top);
    EXPECT_EQ(70, r.payload().right);
    EXPECT_EQ(90, r.payload().bottom);
    // Ten undo round trips do not shrink it.
    for (int i = 0; i < 10; ++i)
        r.restoreGeometry(r.getRegion().boundingRect());
    EXPECT_EQ(QRect(20, 30, 50, 60), r.getRegion().boundingRect());
}

TEST_F(DrawRectLogic, RecordCopyKeepsTheTargetsIdentifier) {
    DrawRect r(nullptr, payload(1, 2, 3, 4));
    NVAllObjects target;
    target.objectID = "R12";
    target.frameIndex = 3;
    ASSERT_TRUE(r.getAllObjectStructure(&target));
    EXPECT_EQ("R12", target.objectID);
    ASSERT_NE(nullptr, target.get<sDrawRect>());
    EXPECT_EQ(3, target.get<sDrawRect>()->right);
    EXPECT_EQ(RECTANGLE, target.drawingObject);
    EXPECT_FALSE(r.getAllObjectStructure(nullptr));
}

TEST_F(DrawRectLogic, GeometryEntriesAreAbsolute) {
    DrawRect r(nullptr, nullptr, DrawRect::SHAPE_RECTANGLE, 1);
    r.restoreGeometry(QRect(50, 60, -20, -10));
    int x = 0, y = 0, w = 0, h = 0;
    r.setGeometryEntrys(&x, &y, &w, &h);
    EXPECT_EQ(50, x);
    EXPECT_EQ(60, y);
    EXPECT_EQ(20, w);
    EXPECT_EQ(10, h);
}

TEST_F(DrawRectLogic, ColourBarColoursGoToBorderAndFill) {
    DrawRect r(nullptr, nullptr, DrawRect::SHAPE_RECTANGLE, 1);
    QColor fore(1, 2, 3), back(200, 100, 50);
    r.changeForeColor(fore);
    r.changeBackColor(back);
    EXPECT_EQ(1, r.payload().borderRed);
    EXPECT_EQ(3, r.payload().borderBlue);
    EXPECT_EQ(200, r.payload().fillRed);
    EXPECT_EQ("#010203", row(r, "Border Color"));
    EXPECT_EQ("#c86432", row(r, "Fill Color"));
}

TEST_F(DrawRectLogic, PastingPositionIsTheTopLeftCorner) {
    DrawRect r(nullptr, payload(33, 44, 60, 60));
    r.setPastingPosition();
    EXPECT_EQ(QPoint(33, 44), r.getPastingPosition());
}

struct DragCase {
    const char* name;
    QPoint press;
    std::vector<QPoint> moves;
    QPoint release;
    QRect expected; // left, top, width, height
    bool kept;
};

class CreationDrag : public DrawRectLogic, public ::testing::WithParamInterface<DragCase> {};

TEST_P(CreationDrag, OrdersTheEdgesAtTheRelease) {
    const DragCase& c = GetParam();
    DrawRect r(nullptr, nullptr, DrawRect::SHAPE_RECTANGLE, 1);
    mouse(r, QEvent::MouseButtonPress, c.press, Qt::LeftButton, Qt::LeftButton);
    for (QPoint m : c.moves)
        mouse(r, QEvent::MouseMove, m, Qt::NoButton, Qt::LeftButton);
    mouse(r, QEvent::MouseButtonRelease, c.release, Qt::LeftButton, Qt::NoButton);
    const sDrawRect& s = r.payload();
    EXPECT_EQ(c.expected, QRect(s.left, s.top, s.right - s.left, s.bottom - s.top));
    EXPECT_EQ(c.kept, r.keepWithinVLI());
    EXPECT_EQ(QString::number(c.expected.width()), row(r, "Width"));
}

INSTANTIATE_TEST_SUITE_P(
    Drags, CreationDrag,
    ::testing::Values(
        DragCase{"DownRight", {10, 20}, {{30, 40}, {60, 80}}, {60, 80}, QRect(10, 20, 50, 60), true},
        DragCase{"UpLeft", {60, 80}, {{30, 40}}, {10, 20}, QRect(10, 20, 50, 60), true},
        DragCase{"ReleaseWithoutMotion", {60, 80}, {}, {10, 20}, QRect(10, 20, 50, 60), true},
        // Released in the start column: no width, nothing to keep.
        DragCase{"StartColumn", {40, 20}, {{40, 60}}, {40, 60}, QRect(40, 20, 0, 40), false},
        DragCase{"StartRow", {40, 20}, {{90, 20}}, {90, 20}, QRect(40, 20, 50, 0), false},
        DragCase{"Click", {40, 20}, {}, {40, 20}, QRect(40, 20, 0, 0), false}),
    [](const ::testing::TestParamInfo<DragCase>& info) { return std::string(info.param.name); });

TEST_F(DrawRectLogic, OtherButtonsDoNotDrawTheShape) {
    DrawRect r(nullptr, nullptr, DrawRect::SHAPE_RECTANGLE, 1);
    mouse(r, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton, Qt::LeftButton);
    // Left and right held: not a drag of the left button only.
    mouse(r, QEvent::MouseMove, {50, 50}, Qt::NoButton, Qt::LeftButton | Qt::RightButton);
    EXPECT_EQ(10, r.payload().right);
    QMouseEvent shifted(QEvent::MouseMove, QPointF(60, 60), QPointF(60, 60), Qt::NoButton, Qt::LeftButton,
                        Qt::ShiftModifier);
    QCoreApplication::sendEvent(&r, &shifted);
    EXPECT_EQ(10, r.payload().right);
    mouse(r, QEvent::MouseMove, {70, 30}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(70, r.payload().right);
    EXPECT_EQ(30, r.payload().bottom);
}

TEST_F(DrawRectLogic, ButtonTestsTellTheCasesApart) {
    auto ev = [](QEvent::Type t, Qt::MouseButton b, Qt::MouseButtons bs,
                 Qt::KeyboardModifiers m = Qt::NoModifier) {
        return QMouseEvent(t, QPointF(1, 1), QPointF(1, 1), b, bs, m);
    };
    using M = MouseButtonState;
    const auto leftPress = ev(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    const auto leftWithRightHeld =
        ev(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton | Qt::RightButton);
    const auto leftDrag = ev(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
    const auto shiftDrag = ev(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::ShiftModifier);
    const auto twoButtonDrag = ev(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton | Qt::MiddleButton);
    const auto hover = ev(QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
    const auto leftRelease = ev(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    const auto leftReleaseRightHeld = ev(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::RightButton);
    const auto controlRelease =
        ev(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::ControlModifier);

    EXPECT_TRUE(M::isLeftOnlyPress(&leftPress));
    EXPECT_FALSE(M::isLeftOnlyPress(&leftWithRightHeld));
    EXPECT_TRUE(M::isLeftOnlyDrag(&leftDrag));
    EXPECT_FALSE(M::isLeftOnlyDrag(&shiftDrag));
    EXPECT_FALSE(M::isLeftOnlyDrag(&twoButtonDrag));
    EXPECT_FALSE(M::isLeftOnlyDrag(&hover));
    EXPECT_FALSE(M::isLeftOnlyDrag(&leftPress));
    EXPECT_TRUE(M::isLeftOnlyRelease(&leftRelease));
    EXPECT_FALSE(M::isLeftOnlyRelease(&leftReleaseRightHeld));
    EXPECT_FALSE(M::isLeftOnlyRelease(&controlRelease));
    // The old toolkit's state: before a press nothing, at its release the button.
    EXPECT_EQ(Qt::MouseButtons(Qt::NoButton), M::buttonsBefore(&leftPress));
    EXPECT_EQ(Qt::MouseButtons(Qt::LeftButton), M::buttonsBefore(&leftRelease));
    EXPECT_EQ(Qt::MouseButtons(Qt::LeftButton | Qt::RightButton), M::buttonsBefore(&leftReleaseRightHeld));
    EXPECT_EQ(Qt::MouseButtons(Qt::LeftButton), M::buttonsBefore(&leftDrag));
}

} // namespace
