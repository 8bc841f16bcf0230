// The help viewer: a top-level window with a rich-text browser on the user
// documentation, back, forward and home navigation, and printing. Closing it
// only hides it, so the page and history survive until the next Help.
#pragma once

#include <QMainWindow>
#include <QString>

class QAction;
class QPrinter;
class QTextBrowser;
class QToolButton;

class HelpWindow : public QMainWindow {
    Q_OBJECT
  public:
    // `home`: the start page's path.
    HelpWindow(QString& home, QWidget* parent, const char* name);

    // ZEDARO + "/help/vuduziv.htm", or empty when ZEDARO is not set.
    static QString startPagePath();
    // The Help command: shows and raises `existing` when there is one; else
    // opens the start page in a new window of three quarters of the screen,
    // or, when there is no start page, tells the author how to set ZEDARO and
    // returns null.
    static HelpWindow* showHelp(HelpWindow* existing, QWidget* messageParent, int screenWidth,
                                int screenHeight);

    QTextBrowser* browser() const { return m_browser; }
    QAction* backItem() const { return m_back; }
    QAction* frontItem() const { return m_front; }
    QAction* homeItem() const { return m_home; }
    QToolButton* backwardButton() const { return m_backwardButton; }
    QToolButton* forwardButton() const { return m_forwardButton; }
    QToolButton* homeButton() const { return m_homeButton; }

    // Prints the browser's whole document, one inch of margin on each side
    // and the page number below the text. Returns the pages printed (0 when
    // the printer cannot be painted on or has no room inside the margins).
    int printDocument(QPrinter& printer) const;

  public slots:
    void slotOpenFile();
    void slotPrintFile();
    void slotHelpAbout();
    void slotClose();
    void setBackwardAvailable(bool available);
    void setForwardAvailable(bool available);
    void slotTextChanged();
    void slotAddBookmark();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    QTextBrowser* m_browser;
    QAction* m_back = nullptr;
    QAction* m_front = nullptr;
    QAction* m_home = nullptr;
    QToolButton* m_backwardButton = nullptr;
    QToolButton* m_forwardButton = nullptr;
    QToolButton* m_homeButton = nullptr;
};
