#include "app/HelpWindow.h"

#include "app/ShellMessage.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>

#include <QLoggingCategory>
#include <cstdlib>

Q_LOGGING_CATEGORY(lcHelp, "velmora.app.help", QtWarningMsg)

HelpWindow::HelpWindow(QString& home, QWidget* parent, const char* name)
    : QMainWindow(parent), m_browser(new QTextBrowser(this)) {
    setObjectName(name ? name : "");

    // Links between the pages resolve in the start page's folder.
    m_browser->setSearchPaths({QFileInfo(home).absolutePath()});
    m_browser->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    connect(m_browser, &QTextBrowser::textChanged, this, &HelpWindow::slotTextChanged);
    m_browser->setSource(QUrl::fromLocalFile(QFileInfo(home).absoluteFilePath()));
    qCDebug(lcHelp, "path %s", qPrintable(home));
    setCentralWidget(m_browser);

    // Icons come from the current directory; a missing file gives a plain item.
    const QIcon backIcon("back.png"), forwardIcon("forward.png"), homeIcon("home.png");

    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O), this, &HelpWindow::slotOpenFile);
    file->addAction(tr("&Print..."), QKeySequence(Qt::CTRL | Qt::Key_P), this, &HelpWindow::slotPrintFile);
    file->addSeparator();
    file->addAction(tr("&Quit..."), QKeySequence(Qt::CTRL | Qt::Key_Q), this, &HelpWindow::slotClose);

    QMenu* go = menuBar()->addMenu(tr("&Go"));
    m_back = go->addAction(backIcon, tr("&Back"), QKeySequence(Qt::ALT | Qt::Key_Left), m_browser,
                           &QTextBrowser::backward);
    m_front = go->addAction(forwardIcon, tr("&Front"), QKeySequence(Qt::ALT | Qt::Key_Right), m_browser,
                            &QTextBrowser::forward);
    m_home = go->addAction(homeIcon, tr("Ho&me"), QKeySequence(Qt::ALT | Qt::Key_M), m_browser,
                           &QTextBrowser::home);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("About..."), this, &HelpWindow::slotHelpAbout);

    // Built but placed in no menu.
    auto* bookmarks = new QMenu(this);
    bookmarks->addAction(tr("Add Bookmark"), this, &HelpWindow::slotAddBookmark);
    bookmarks->addSeparator();

    connect(m_browser, &QTextBrowser::backwardAvailable, this, &HelpWindow::setBackwardAvailable);
    connect(m_browser, &QTextBrowser::forwardAvailable, this, &HelpWindow::setForwardAvailable);

    QToolBar* bar = addToolBar("toolBar");
    bar->setObjectName("toolBar");
    auto button = [&](const QIcon& icon, const char* text, void (QTextBrowser::*slot)()) {
        auto* b = new QToolButton(bar);
        b->setIcon(icon);
        b->setText(text);
        b->setToolTip(text);
        connect(b, &QToolButton::clicked, m_browser, slot);
        bar->addWidget(b);
        return b;
    };
    m_backwardButton = button(backIcon, "Backward", &QTextBrowser::backward);
    m_forwardButton = button(forwardIcon, "Forward", &QTextBrowser::forward);
    m_homeButton = button(homeIcon, "Home", &QTextBrowser::home);
    bar->addSeparator();
    m_backwardButton->setEnabled(m_browser->isBackwardAvailable());
    m_forwardButton->setEnabled(m_browser->isForwardAvailable());
    connect(m_browser, &QTextBrowser::backwardAvailable, m_backwardButton, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forwardButton, &QWidget::setEnabled);
    setBackwardAvailable(m_browser->isBackwardAvailable());
    setForwardAvailable(m_browser->isForwardAvailable());
}

QString HelpWindow::startPagePath() {
    const char* dir = std::getenv("ZEDARO");
    if (!dir)
        return {};
    return QString::fromLocal8Bit(dir) + "/help/vuduziv.htm";
}

HelpWindow* HelpWindow::showHelp(HelpWindow* existing, QWidget* messageParent, int screenWidth,
                                 int screenHeight) {
    if (existing) {
        existing->show();
        existing->raise();
        return existing;
    }
    QString path = startPagePath();
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        ShellMessage::show(ShellMessage::Kind::Information, "Velmora 1.0",
                           "Unable to find User documentation files\n"
                           "Please set $ZEDARO to the Installation directory,\n"
                           "Eg: If you are using bash shell\n"
                           "`export ZEDARO=/your/velmora/dir'\n"
                           "and restart Velmora",
                           messageParent);
        return nullptr;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto* window = new HelpWindow(path, nullptr, nullptr);
    window->setWindowTitle("Velmora 1.0 Help Viewer");
    window->resize(screenWidth * 3 / 4, screenHeight * 3 / 4);
    window->show();
    QApplication::restoreOverrideCursor();
    return window;
}

void HelpWindow::setBackwardAvailable(bool available) {
    m_back->setEnabled(available);
}

void HelpWindow::setForwardAvailable(bool available) {
    m_front->setEnabled(available);
}

void HelpWindow::slotTextChanged() {}

void HelpWindow::slotAddBookmark() {}

void HelpWindow::slotOpenFile() {
    const QString name = QFileDialog::getOpenFileName(this, QString(), QString(), QString(), nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    if (!name.isEmpty())
        m_browser->setSource(QUrl::fromLocalFile(name));
}

void HelpWindow::slotPrintFile() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    printDocument(printer);
}

int HelpWindow::printDocument(QPrinter& printer) const {
    QPainter p;
    if (!p.begin(&printer))
        return 0;
    const int dpix = printer.logicalDpiX();
    const int dpiy = printer.logicalDpiY();
    const QRect body(dpix, dpiy, printer.width() - 2 * dpix, printer.height() - 2 * dpiy);
    // A page with no room inside the margins would never advance.
    if (body.width() <= 0 || body.height() <= 0) {
        p.end();
        return 0;
    }

    const QFont font("times", 10, QFont::Normal);
    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&printer);
    doc.setDefaultFont(font);
    doc.setDefaultStyleSheet(m_browser->document()->defaultStyleSheet());
    doc.setBaseUrl(m_browser->source());
    doc.setHtml(m_browser->toHtml());
    doc.setTextWidth(body.width());
    const qreal textHeight = doc.size().height();

    const QFontMetrics metrics(font, &printer);
    p.setFont(font);
    int page = 1;
    qreal viewTop = 0; // the view's top in document coordinates
    for (;;) {
        p.save();
        p.setClipRect(body);
        p.translate(body.left(), body.top() - viewTop);
        doc.drawContents(&p, QRectF(0, viewTop, body.width(), body.height()));
        p.restore();
        const QString number = QString::number(page);
        p.drawText(body.right() - metrics.horizontalAdvance(number), body.bottom() + 5 + metrics.ascent(),
                   number);
        viewTop += body.height();
        if (viewTop >= textHeight)
            break;
        printer.newPage();
        ++page;
    }
    p.end();
    return page;
}

void HelpWindow::slotHelpAbout() {
    QMessageBox::about(this, "Velmora 1.0", "Velmora 1.0 Help viewer");
}

void HelpWindow::slotClose() {
    hide();
}

void HelpWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}
