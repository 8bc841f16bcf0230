#include "app/StyleMenu.h"

#include "app/TaggedStyle.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QMenu>
#include <QPalette>

StyleMenu::StyleMenu(QWidget* mainWindow, const QFont& font, QObject* parent)
    : QObject(parent), m_mainWindow(mainWindow), m_font(font), m_pStyleMenu(new QMenu) {
    m_pStyleMenu->setTearOffEnabled(true);
    struct Entry {
        const char* text;
        Item item;
        void (StyleMenu::*slot)();
    };
    // Menu order; the ids follow the order of insertion.
    const Entry entries[] = {
        {"&Platinum", Platinum, &StyleMenu::stylePlatinum},
        {"&Windows", Windows, &StyleMenu::styleWindows},
        {"&CDE", CDE, &StyleMenu::styleCDE},
        {"M&otif", Motif, &StyleMenu::styleMotif},
        {"Motif P&lus", MotifPlus, &StyleMenu::styleMotifPlus},
        {"&Norvane", Norvane, &StyleMenu::styleNorvane},
        {"&SGI", Sgi, &StyleMenu::styleSgi},
        {"&Custom", Custom, &StyleMenu::styleCustom},
    };
    int nextId = 0;
    for (const Entry& e : entries) {
        QAction* a = m_pStyleMenu->addAction(tr(e.text));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, e.slot);
        m_styleIds[e.item] = nextId++;
        m_actions[e.item] = a;
    }
    m_actions[Windows]->setChecked(true);
    m_pStyleMenu->setEnabled(false);

    chooseColor = [](QWidget* parent) {
        return QColorDialog::getColor(QColor(199, 199, 199), parent, "Choose Theme Color",
                                      QColorDialog::DontUseNativeDialog);
    };
}

StyleMenu::~StyleMenu() {
    delete m_pStyleMenu;
}

QAction* StyleMenu::action(int id) const {
    for (int i = 0; i < ITEM_COUNT; ++i)
        if (m_styleIds[i] == id)
            return m_actions[i];
    return nullptr;
}

void StyleMenu::selectStyleMenu(int id) {
    for (QAction* a : m_actions)
        a->setChecked(false);
    if (QAction* a = action(id))
        a->setChecked(true);
}

void StyleMenu::applyLook(const char* windowTag, const char* appTag, const QPalette& palette,
                          const QFont& font) {
    // QWidget::setStyle does not take ownership; the window's style lives as
    // long as this menu.
    auto* windowStyle = new TaggedStyle(windowTag);
    windowStyle->setParent(this);
    m_mainWindow->setStyle(windowStyle);
    QApplication::setStyle(new TaggedStyle(appTag));
    m_mainWindow->setPalette(palette);
    QApplication::setPalette(palette);
    m_mainWindow->setFont(font);
    QApplication::setFont(font);
}

void StyleMenu::stylePlatinum() {
    applyLook("platinum", "platinum", QPalette(QColor(219, 219, 219)), m_font);
    selectStyleMenu(m_styleIds[Platinum]);
}

void StyleMenu::styleWindows() {
    applyLook("windows", "windows", QPalette(QColor(199, 199, 199)), m_font);
    selectStyleMenu(m_styleIds[Windows]);
}

void StyleMenu::styleCDE() {
    selectStyleMenu(m_styleIds[CDE]);
    QPalette p(QColor(75, 123, 130));
    const QColor base(55, 77, 78);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, base);
        p.setColor(group, QPalette::Highlight, Qt::white);
        p.setColor(group, QPalette::HighlightedText, base);
        const QColor fg = group == QPalette::Disabled ? QColor(Qt::lightGray) : QColor(Qt::white);
        p.setColor(group, QPalette::WindowText, fg);
        p.setColor(group, QPalette::Text, fg);
        p.setColor(group, QPalette::ButtonText, fg);
    }
    applyLook("cde", "cde", p, QFont("times", m_font.pointSize(), QFont::Normal, false));
}

void StyleMenu::styleMotif() {
    applyLook("motif", "motif", QPalette(QColor(192, 192, 192)), m_font);
    selectStyleMenu(m_styleIds[Motif]);
}

void StyleMenu::styleMotifPlus() {
    applyLook("motifplus", "motifplus", QPalette(QColor(192, 192, 192)), m_font);
    selectStyleMenu(m_styleIds[MotifPlus]);
}

void StyleMenu::styleNorvane() {
    applyLook("windows", "sgi", QPalette(QColor(239, 121, 56)), m_font);
    selectStyleMenu(m_styleIds[Norvane]);
}

void StyleMenu::styleSgi() {
    applyLook("sgi", "sgi", QPalette(QColor(192, 192, 192)), m_font);
    selectStyleMenu(m_styleIds[Sgi]);
}

void StyleMenu::styleCustom() {
    const QColor c = chooseColor ? chooseColor(m_mainWindow) : QColor();
    if (!c.isValid())
        return;
    const QPalette p(c);
    m_mainWindow->setPalette(p);
    QApplication::setPalette(p);
    m_actions[Custom]->setChecked(true);
}
