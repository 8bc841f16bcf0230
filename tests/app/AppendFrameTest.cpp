#include "ShellAppFixture.h"

#include "app/AppendFrame.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

using namespace testsupport;

namespace {

class AppendFrameTest : public ShellAppTest {};

TEST_F(AppendFrameTest, ChildrenInOrderWithTheirGeometry) {
    AppendFrame d(nullptr, "append");
    EXPECT_TRUE(d.isModal());
    EXPECT_EQ(d.size(), QSize(420, 320));
    EXPECT_EQ(d.minimumSize(), d.maximumSize());
    struct Expect {
        const char* name;
        QString text;
        QRect geometry;
    };
    const Expect expected[] = {
        {"NoName", "", QRect(20, 10, 220, 180)},
        {"NoName", "Prompt user for Frame Name", QRect(20, 240, 265, 30)},
        {"NoName", "", QRect(30, 20, 200, 160)},
        {"okButton", "OK", QRect(75, 280, 110, 30)},
        {"QCheckBox1", "Show Preview", QRect(260, 80, 140, 30)},
        {"NoName", "Duplicate Current Frame", QRect(20, 210, 265, 30)},
        {"cancelButton", "Cancel", QRect(255, 280, 110, 30)},
    };
    const QObjectList kids = d.children();
    std::vector<QWidget*> widgets;
    for (QObject* o : kids)
        if (auto* w = qobject_cast<QWidget*>(o))
            widgets.push_back(w);
    ASSERT_EQ(widgets.size(), std::size(expected));
    for (size_t i = 0; i < widgets.size(); ++i) {
        EXPECT_EQ(widgets[i]->objectName(), expected[i].name) << i;
        EXPECT_EQ(widgets[i]->geometry(), expected[i].geometry) << i;
        QString text;
        if (auto* b = qobject_cast<QAbstractButton*>(widgets[i]))
            text = b->text();
        if (auto* g = qobject_cast<QGroupBox*>(widgets[i]))
            text = g->title();
        EXPECT_EQ(text, expected[i].text) << i;
        if (auto* c = qobject_cast<QCheckBox*>(widgets[i])) {
            EXPECT_FALSE(c->isChecked()) << i;
        }
    }
    EXPECT_EQ(d.previewArea()->parentWidget(), &d);
}

TEST_F(AppendFrameTest, ButtonsDoNothing) {
    AppendFrame d(nullptr, "append");
    d.show();
    d.okButton()->click();
    d.cancelButton()->click();
    EXPECT_TRUE(d.isVisible());
}

} // namespace
