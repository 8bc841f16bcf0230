#include "ShellAppFixture.h"

#include "app/StyleMenu.h"
#include "app/TaggedStyle.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>

using namespace testsupport;

namespace {

class StyleMenuTest : public ShellAppTest {
  protected:
    void SetUp() override {
        ShellAppTest::SetUp();
        if (HasFatalFailure())
            return;
        font = QFont("helvetica", 12, QFont::Normal, false);
        QApplication::setFont(font);
        window = std::make_unique<QMainWindow>();
        child = new QPushButton("child", window.get());
        menu = std::make_unique<StyleMenu>(window.get(), font);
    }
    void TearDown() override {
        menu.reset();
        window.reset();
        ShellAppTest::TearDown();
    }
    std::vector<StyleMenu::Item> checkedItems() const {
        std::vector<StyleMenu::Item> out;
        for (int i = 0; i < StyleMenu::ITEM_COUNT; ++i)
            if (menu->action(StyleMenu::Item(i))->isChecked())
                out.push_back(StyleMenu::Item(i));
        return out;
    }

    QFont font;
    std::unique_ptr<QMainWindow> window;
    QPushButton* child = nullptr;
    std::unique_ptr<StyleMenu> menu;
};

TEST_F(StyleMenuTest, BuiltDisabledCheckableWithWindowsChecked) {
    QMenu* m = menu->menu();
    EXPECT_FALSE(m->isEnabled());
    EXPECT_TRUE(m->isTearOffEnabled());
    QStringList texts;
    for (QAction* a : m->actions()) {
        texts << a->text();
        EXPECT_TRUE(a->isCheckable());
    }
    EXPECT_EQ(texts, QStringList({"&Platinum", "&Windows", "&CDE", "M&otif", "Motif P&lus", "&Norvane",
                                  "&SGI", "&Custom"}));
    EXPECT_EQ(checkedItems(), std::vector<StyleMenu::Item>{StyleMenu::Windows});
}

struct LookCase {
    const char* name;
    void (StyleMenu::*slot)();
    StyleMenu::Item item;
    const char* windowTag;
    const char* appTag;
    QColor button;
};

TEST_F(StyleMenuTest, EachChoiceSetsStylePaletteFontAndOneCheckMark) {
    const LookCase cases[] = {
        {"platinum", &StyleMenu::stylePlatinum, StyleMenu::Platinum, "platinum", "platinum",
         QColor(219, 219, 219)},
        {"windows", &StyleMenu::styleWindows, StyleMenu::Windows, "windows", "windows",
         QColor(199, 199, 199)},
        {"cde", &StyleMenu::styleCDE, StyleMenu::CDE, "cde", "cde", QColor(75, 123, 130)},
        {"motif", &StyleMenu::styleMotif, StyleMenu::Motif, "motif", "motif", QColor(192, 192, 192)},
        {"motif plus", &StyleMenu::styleMotifPlus, StyleMenu::MotifPlus, "motifplus", "motifplus",
         QColor(192, 192, 192)},
        {"norvane", &StyleMenu::styleNorvane, StyleMenu::Norvane, "windows", "sgi", QColor(239, 121, 56)},
        {"sgi", &StyleMenu::styleSgi, StyleMenu::Sgi, "sgi", "sgi", QColor(192, 192, 192)},
    };
    for (const auto& c : cases) {
        (menu.get()->*c.slot)();
        EXPECT_EQ(TaggedStyle::tagOf(window->style()), c.windowTag) << c.name;
        EXPECT_EQ(TaggedStyle::tagOf(QApplication::style()), c.appTag) << c.name;
        EXPECT_EQ(TaggedStyle::tagOf(child->style()), c.appTag)
            << c.name << ": other windows take the app style";
        EXPECT_EQ(window->palette().color(QPalette::Button), c.button) << c.name;
        EXPECT_EQ(QApplication::palette().color(QPalette::Button), c.button) << c.name;
        EXPECT_EQ(child->palette().color(QPalette::Button), c.button) << c.name;
        const QString family = c.item == StyleMenu::CDE ? "times" : "helvetica";
        EXPECT_EQ(window->font().family(), family) << c.name;
        EXPECT_EQ(QApplication::font().family(), family) << c.name;
        EXPECT_EQ(QApplication::font().pointSize(), 12) << c.name;
        EXPECT_EQ(checkedItems(), std::vector<StyleMenu::Item>{c.item}) << c.name;
    }
}

TEST_F(StyleMenuTest, CdeRoleColours) {
    menu->styleCDE();
    const QPalette p = QApplication::palette();
    for (auto g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        EXPECT_EQ(p.color(g, QPalette::Base), QColor(55, 77, 78));
        EXPECT_EQ(p.color(g, QPalette::Highlight), QColor(Qt::white));
        EXPECT_EQ(p.color(g, QPalette::HighlightedText), QColor(55, 77, 78));
        const QColor fg = g == QPalette::Disabled ? QColor(Qt::lightGray) : QColor(Qt::white);
        EXPECT_EQ(p.color(g, QPalette::WindowText), fg);
        EXPECT_EQ(p.color(g, QPalette::Text), fg);
        EXPECT_EQ(p.color(g, QPalette::ButtonText), fg);
    }
    EXPECT_FALSE(QApplication::font().italic());
    EXPECT_EQ(QApplication::font().weight(), QFont::Normal);
}

TEST_F(StyleMenuTest, SelectByIdLeavesExactlyOneCheckMark) {
    menu->selectStyleMenu(menu->id(StyleMenu::CDE));
    EXPECT_EQ(checkedItems(), std::vector<StyleMenu::Item>{StyleMenu::CDE});
}

TEST_F(StyleMenuTest, CustomAfterMotifLeavesBothChecked) {
    menu->styleMotif();
    menu->chooseColor = [](QWidget*) { return QColor(10, 200, 30); };
    menu->styleCustom();
    EXPECT_EQ(checkedItems(), (std::vector<StyleMenu::Item>{StyleMenu::Motif, StyleMenu::Custom}));
    EXPECT_EQ(QApplication::palette().color(QPalette::Button), QColor(10, 200, 30));
    EXPECT_EQ(TaggedStyle::tagOf(QApplication::style()), "motif") << "style unchanged";
}

TEST_F(StyleMenuTest, CancelledCustomChangesNothing) {
    const QColor before = QApplication::palette().color(QPalette::Button);
    menu->chooseColor = [](QWidget*) { return QColor(); };
    menu->styleCustom();
    EXPECT_EQ(checkedItems(), std::vector<StyleMenu::Item>{StyleMenu::Windows});
    EXPECT_EQ(QApplication::palette().color(QPalette::Button), before);
}

} // namespace
