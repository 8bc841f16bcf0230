// The Style popup: eight looks, each switching the style, palette and font of
// the main window and of the whole application. The popup is checkable and
// disabled; the main window builds it but inserts it into no menu.
#pragma once

#include <QFont>
#include <QObject>

#include <array>
#include <functional>

class QAction;
class QMenu;
class QWidget;

class StyleMenu : public QObject {
    Q_OBJECT
  public:
    // The order of m_styleIds.
    enum Item { Platinum, Windows, CDE, Motif, MotifPlus, Norvane, Custom, Sgi, ITEM_COUNT };

    // `mainWindow` gets the look of each choice; `font` is the application
    // font the main window took at construction.
    StyleMenu(QWidget* mainWindow, const QFont& font, QObject* parent = nullptr);
    ~StyleMenu() override;

    QMenu* menu() const { return m_pStyleMenu; }
    // The item id the menu gave each choice.
    int id(Item item) const { return m_styleIds[item]; }
    QAction* action(int id) const;
    QAction* action(Item item) const { return action(id(item)); }

    // Removes the check mark from all eight items and sets it on `id`.
    void selectStyleMenu(int id);

    // Asks for the Custom colour; an invalid colour means cancelled.
    std::function<QColor(QWidget* parent)> chooseColor;

  public slots:
    void stylePlatinum();
    void styleWindows();
    void styleCDE();
    void styleMotif();
    void styleMotifPlus();
    void styleNorvane();
    void styleSgi();
    void styleCustom();

  private:
    void applyLook(const char* windowTag, const char* appTag, const QPalette& palette, const QFont& font);

    QWidget* m_mainWindow;
    QFont m_font;
    QMenu* m_pStyleMenu;
    std::array<int, ITEM_COUNT> m_styleIds{};
    std::array<QAction*, ITEM_COUNT> m_actions{};
};
