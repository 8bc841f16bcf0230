// CDrawLine without a canvas: construction, paste and load, the property rows
// and their application, the points the holder's undo keeps, and its debug
// output.
#include "objects/draw/CDrawLine.h"

#include "canvas/DrawTools.h"
#include "properties/EditPropertyBase.h"

#include <QLoggingCategory>

#include "ObjectTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CDrawLineLogic : public objecttest::OffscreenAppTest {
  protected:
    void SetUp() override { DrawTools::currentlySelectedObject = LINE; }
    void TearDown() override { DrawTools::currentlySelectedObject = SELECTION; }

    static QString row(CDrawLine& l, const char* name) { return l.getEditPropertyBase()->getPropValue(name); }
    static void setRow(CDrawLine& l, const char* name, const QString& v) {
        l.getEditPropertyBase()->setProp_Value(name, v);
    }
    static sDrawLine stored() {
        sDrawLine p;
        p.name = "Stored";
        p.x1 = 10;
        p.y1 = 20;
        p.x2 = 110;
        p.y2 = 70;
        p.lineWidth = 3;
        p.lineStyle = 2;
        p.red = 0x12;
        p.green = 0x34;
        p.blue = 0x56;
        p.arrow = 2;
        return p;
    }
};

TEST_F(CDrawLineLogic, NewLineTakesItsNumberAndStartingRows) {
    CDrawLine l(nullptr, nullptr, 3);
    EXPECT_EQ(LINE, l.record().drawingObject);
    EXPECT_EQ(1024, l.record().recordSize);
    EXPECT_STREQ("Line 3", l.getObjectName());
    EXPECT_STREQ("L3", l.getObjectIDText());
    EXPECT_EQ(1, l.payload().lineWidth);
    EXPECT_EQ(0, l.payload().lineStyle);
    EXPECT_EQ(0, l.payload().arrow);
    const std::vector<std::pair<const char*, const char*>> rows = {
        {"Name", "Line 3"},
        {"Arrow", "None"},
        {"Line Style", "Solid"},
        {"Line Width", "1"},
        {"Line Color", "#ffffff"}, // the colour bar's starting fore colour
        {"X1", ""},
        {"Y2", ""}, // until the release that finishes it
    };
    for (const auto& [name, value] : rows)
        EXPECT_EQ(value, row(l, name)) << name;
}

TEST_F(CDrawLineLogic, RowsAreAddedInOrderWithTheirEditors) {
    CDrawLine l(nullptr, nullptr, 1);
    EditPropertyBase* p = l.getEditPropertyBase();
    const struct {
        const char* name;
        const char* category;
        int editor;
    } rows[] = {
        {"Name", "General", 1},           {"X1", "Geometry", 13},          {"Y1", "Geometry", 13},
        {"X2", "Geometry", 13},           {"Y2", "Geometry", 13},          {"Line Width", "Appearance", 13},
        {"Line Style", "Appearance", 16}, {"Line Color", "Appearance", 5}, {"Arrow", "Appearance", 7}};
    ASSERT_EQ(9, p->getEntryCount());
    for (int i = 0; i < 9; ++i) {
        const EditPropertyEntry* e = p->getProp(i + 1);
        ASSERT_NE(nullptr, e);
        EXPECT_EQ(rows[i].name, e->name);
        EXPECT_EQ(rows[i].category, e->category) << rows[i].name;
        EXPECT_EQ(rows[i].editor, e->editorType) << rows[i].name;
    }
    EXPECT_EQ("Line", p->getPropData("Name"));
}

TEST_F(CDrawLineLogic, PasteMovesTheCopyAndRenamesIt) {
    NVAllObjects rec;
    rec.drawingObject = LINE;
    rec.objectID = "L2";
    rec.payload = stored();
    CDrawLine l(nullptr, rec, 4, QPoint(5, 5));
    EXPECT_STREQ("Line 4", l.getObjectName());
    EXPECT_STREQ("L4", l.getObjectIDText());
    EXPECT_EQ(LINE, l.drawingObject);
    EXPECT_EQ(QPolygon({QPoint(15, 25), QPoint(115, 75)}), l.getArrayPoints());
    const std::vector<std::pair<const char*, const char*>> rows = {
        {"X1", "15"},
        {"Y1", "25"},
        {"X2", "115"},
        {"Y2", "75"},
        {"Line Width", "3"},
        {"Line Style", "Dot"},
        {"Line Color", "#123456"},
        {"Arrow", "Start"},
    };
    for (const auto& [name, value] : rows)
        EXPECT_EQ(value, row(l, name)) << name;
}

TEST_F(CDrawLineLogic, LoadKeepsTheStoredNameAndTakesNoObjectId) {
    CDrawLine l(nullptr, stored());
    EXPECT_STREQ("Stored", l.getObjectName());
    EXPECT_EQ("Stored", row(l, "Name"));
    EXPECT_STREQ("", l.getObjectIDText());
    EXPECT_EQ(LINE, l.drawingObject);
    EXPECT_EQ("110", row(l, "X2"));
    // An empty name row gives the stored name back.
    setRow(l, "Name", "   ");
    l.repaintItem();
    EXPECT_STREQ("Stored", l.getObjectName());

    NVAllObjects target;
    target.objectID = "L9";
    ASSERT_TRUE(l.getAllObjectStructure(&target));
    EXPECT_EQ("L9", target.objectID);
    ASSERT_TRUE(target.get<sDrawLine>());
    EXPECT_EQ(2, target.get<sDrawLine>()->arrow);
}

TEST_F(CDrawLineLogic, RowsApplyToTheLine) {
    struct Case {
        const char* row;
        QString value;
        // What the payload holds afterwards, as its rows show it.
        const char* check;
        const char* want;
    };
    const QString thirty(30, 'n');
    const Case cases[] = {
        {"Name", "  Main  ", "Name", "Main"},
        {"Name", thirty, "Name", "nnnnnnnnnnnnnnnnnnnnnnnnnnnnnn"},
        {"X1", "42", "X1", "42"},
        {"Y2", "abc", "Y2", "0"}, // a text that is not a number gives 0
        {"Line Width", "4", "Line Width", "4"},
        {"Line Style", "Dash Dot Dot", "Line Style", "Dash Dot Dot"},
        {"Line Style", "Wavy", "Line Style", "Solid"}, // other words change nothing
        {"Arrow", "End", "Arrow", "End"},
        {"Arrow", "Sideways", "Arrow", "None"},
        {"Line Color", "#a0b0c0", "Line Color", "#a0b0c0"},
        {"Line Color", "not a colour", "Line Color", "#ffffff"},
    };
    for (const Case& c : cases) {
        CDrawLine l(nullptr, nullptr, 1);
        setRow(l, c.row, c.value);
        l.repaintItem();
        CDrawLine shown(nullptr, *static_cast<sDrawLine*>(l.getObjectStructure()));
        EXPECT_EQ(c.want, row(shown, c.check)) << c.row << "=" << c.value.toStdString();
    }
    // A name over 30 characters leaves the old one.
    CDrawLine l(nullptr, nullptr, 1);
    setRow(l, "Name", QString(31, 'n'));
    l.repaintItem();
    EXPECT_STREQ("Line 1", l.getObjectName());
    // The arrow codes of the words.
    for (const auto& [word, code] :
         std::vector<std::pair<QString, int>>{{"None", 0}, {"End", 1}, {"Start", 2}, {"Both", 3}}) {
        setRow(l, "Arrow", word);
        l.repaintItem();
        EXPECT_EQ(code, l.payload().arrow) << word.toStdString();
    }
}

TEST_F(CDrawLineLogic, PointsForUndoAndColourFromTheBar) {
    CDrawLine l(nullptr, stored());
    EXPECT_EQ(QPolygon({QPoint(10, 20), QPoint(110, 70)}), l.getArrayPoints());
    l.restorePoly(QPolygon({QPoint(300, 200), QPoint(5, 6)}));
    EXPECT_EQ(QPolygon({QPoint(300, 200), QPoint(5, 6)}), l.getArrayPoints());
    l.restorePoly(QPolygon({QPoint(1, 1)})); // too few points: nothing
    EXPECT_EQ(QPolygon({QPoint(300, 200), QPoint(5, 6)}), l.getArrayPoints());
    l.updatePosition(3, -4);
    EXPECT_EQ(QPolygon({QPoint(303, 196), QPoint(8, 2)}), l.getArrayPoints());

    QColor c(1, 2, 3);
    l.changeForeColor(c);
    EXPECT_EQ(1, l.payload().red);
    EXPECT_EQ(3, l.payload().blue);
    EXPECT_EQ("#010203", row(l, "Line Color"));
}

TEST_F(CDrawLineLogic, HitTestsWriteTheirDifferenceOnlyWhenAskedTo) {
    static std::vector<std::string> messages;
    messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& m) { messages.push_back(m.toStdString()); });
    sDrawLine p = stored();
    p.x1 = 100;
    p.y1 = 100;
    p.x2 = 200;
    p.y2 = 100;
    CDrawLine l(nullptr, p);
    EXPECT_TRUE(l.select(QPoint(150, 106)));
    EXPECT_FALSE(l.select(QPoint(150, 108)));
    EXPECT_TRUE(messages.empty());
    QLoggingCategory::setFilterRules("velmora.objects.line.debug=true");
    l.select(QPoint(150, 100));
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    ASSERT_EQ(1u, messages.size());
    EXPECT_EQ(" difference =100", messages.front());
}

} // namespace
