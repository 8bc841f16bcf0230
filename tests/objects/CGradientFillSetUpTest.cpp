// The gradient set-up dialog, offscreen: a fixed-size layout whose Ok and
// Cancel only close it.
#include "objects/draw/CGradientFillSetUp.h"

#include "support/QtTestApp.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class GradientDialogTest : public testsupport::OffscreenAppSuite {};

QPushButton* button(QDialog& d, const QString& text) {
    for (QPushButton* b : d.findChildren<QPushButton*>())
        if (b->text() == text)
            return b;
    return nullptr;
}

TEST_F(GradientDialogTest, FixedLayoutWithAnEmptyStyleList) {
    QWidget parent;
    CGradientFillSetUp d(&parent, nullptr);
    EXPECT_EQ(&parent, d.parentWidget());
    EXPECT_FALSE(d.isModal());
    EXPECT_TRUE(d.isWindow());
    EXPECT_EQ("SetUpGradientFill", d.windowTitle());
    EXPECT_EQ(QSize(470, 200), d.size());
    EXPECT_EQ(QSize(470, 200), d.minimumSize());
    EXPECT_EQ(QSize(470, 200), d.maximumSize()) << "cannot be resized";

    const auto lists = d.findChildren<QComboBox*>();
    ASSERT_EQ(1, lists.size());
    EXPECT_EQ(0, lists[0]->count());
    EXPECT_EQ(QRect(140, 10, 160, 30), lists[0]->geometry());
    // The group frame with its nine widgets, Ok and Cancel.
    QList<QWidget*> made = d.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    const QList<QWidget*> top = made;
    for (QWidget* w : top)
        if (w->inherits("QFrame") && !w->inherits("QLabel"))
            made += w->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    EXPECT_EQ(12, made.size());
    for (QWidget* w : made)
        EXPECT_EQ("NoName", w->objectName()) << w->metaObject()->className();
    int framed = 0;
    for (QFrame* f : d.findChildren<QFrame*>())
        if (f->frameStyle() == (QFrame::Panel | QFrame::Plain))
            ++framed;
    EXPECT_EQ(4, framed) << "the group frame, the two swatches and the preview";
    ASSERT_NE(nullptr, button(d, "Ok"));
    ASSERT_NE(nullptr, button(d, "Cancel"));
}

TEST_F(GradientDialogTest, OkAndCancelBothHideIt) {
    struct Case {
        const char* text;
        int result;
    };
    for (const Case& c : {Case{"Ok", QDialog::Accepted}, Case{"Cancel", QDialog::Rejected}}) {
        CGradientFillSetUp d(nullptr, "gradient");
        d.show();
        ASSERT_TRUE(d.isVisible());
        button(d, c.text)->click();
        EXPECT_FALSE(d.isVisible()) << c.text;
        EXPECT_EQ(c.result, d.result()) << c.text;
        d.show();
        EXPECT_TRUE(d.isVisible()) << "shown again after " << c.text;
    }
}

} // namespace
