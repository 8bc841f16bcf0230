#include "app/Velmora.h"
#include "store/Diagnostics.h"

#include "app/AppImages.h"
#include "app/HelpWindow.h"
#include "app/SessionFiles.h"
#include "app/VelmoraHosts.h"
#include "app/aboutVl.h"
#include "canvas/FrameImage.h"
#include "canvas/FrameLoader.h"
#include "canvas/VelmoraDoc.h"
#include "media/AudioSettingsDialog.h"
#include "media/MediaLibraryInterface.h"
#include "media/SoundClipStore.h"
#include "media/SoundWorkingFile.h"
#include "objects/draw/CColorBar.h"
#include "record/CaptureSettings.h"
#include "record/KeyTables.h"
#include "record/NVBufferManager.h"
#include "record/NVUtil.h"
#include "record/machineprofile.h"
#include "store/DatRecords.h"
#include "store/FrameTable.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

Velmora::Velmora(QWidget* parent) : QMainWindow(parent) {
    setObjectName("VL 1.0-1 for Linux");
    setAttribute(Qt::WA_DeleteOnClose);

    // HOME first: the recent-file list below lives under it.
    auto home = homeDirectory();
    if (!home)
        exitForMissingHome();
    m_homeDir = *home;
    m_vlmFileName = datfile::untitledPath(m_homeDir);
    m_recentFiles = SessionFiles::readRecentFileList(datfile::dataDirectory(m_homeDir));

    m_iconPixmap = QPixmap(velmora_icon_xpm);
    setWindowIcon(m_iconPixmap);

    initScreen();

    m_pMachineProfile = std::make_unique<machineprofile>();
    m_pAboutDialog = new aboutVl(this, "about");

    m_soundWorkingFile = std::make_unique<SoundWorkingFile>(datfile::dataDirectory(m_homeDir));
    m_captureRect = {0, 0, m_screenWidth, m_screenHeight};
    m_frameRect = {0, 0, m_screenWidth - 1, m_screenHeight - 1};

    m_pNoUserActionPixmap = std::make_unique<QPixmap>(no_user_action_xpm);
    m_pKeyClickPixmap = std::make_unique<QPixmap>(key_click_xpm);
    m_pRightClickPixmap = std::make_unique<QPixmap>(right_click_xpm);
    m_pLeftClickPixmap = std::make_unique<QPixmap>(left_click_xpm);
    m_font = QApplication::font();

    initMenuBar();
    initToolBar();
    initDrawToolBar();
    initNavigationBar();
    initStatusBar();
    initEditToolBar();

    // The capture settings dialog; the view and its event filter come with the canvas.
    m_pCaptureSettings = new CaptureSettings(this, "Dialog");
    m_pCaptureSettings->setFrameRate(m_frameRate);

    setBuilderCaption();
    // The sound clip window first: the saved settings show or hide it.
    initSound();
    loadSettings();

    // Opening any popup drops the current tool back to the selection tool.
    for (QMenu* popup :
         {m_pFileMenu, m_pEditMenu, m_pViewMenu, m_pSoundMenu, m_pRecordMenu, m_pPasswordMenu,
          m_pPreferencesMenu, m_pDrawPaletteMenu, m_pEditPaletteMenu, m_pObjectsMenu, m_pHelpMenu})
        connect(popup, &QMenu::aboutToShow, this, &Velmora::slotDrawToolsSelect);
    connect(this, &Velmora::signalFrameStatus, this, &Velmora::slotDisableAudioMenuItems);

    createAccelerators();

    m_pBufferManager = std::make_unique<NVBufferManager>();
    m_pRecordTimer = new QTimer();
    connect(m_pRecordTimer, &QTimer::timeout, this, &Velmora::slotTimerTick);
    m_project.m_dwFrameCount = 0;
    m_nCurrentPalette = -1;

    setAcceptDrops(true);
    initProject();
}

Velmora::~Velmora() {
    if (m_bRecording)
        m_recording->stop();
    InteractiveHost::setCurrent(nullptr);
    delete m_pRecordTimer;
    delete m_pRecordBar; // owns the Stop and Pause buttons
    if (m_display) {
        if (m_screenPixmap)
            XFreePixmap(m_display, m_screenPixmap);
    }
}

void Velmora::initScreen() {
    auto [width, height] = NVUtil::getScreenResolution();
    m_screenWidth = width;
    m_screenHeight = height;

    if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
        m_display = x11->display();
    if (!m_display)
        return; // not on X: the screen fields stay empty

    m_screen = DefaultScreen(m_display);
    m_rootWindow = RootWindow(m_display, m_screen);
    m_depth = DefaultDepth(m_display, m_screen);
    if (m_screenWidth <= 0 || m_screenHeight <= 0) {
        m_screenWidth = DisplayWidth(m_display, m_screen);
        m_screenHeight = DisplayHeight(m_display, m_screen);
    }

    // The server's own image format tells how many bytes a pixel takes; one
    // row laid out as a read-back of the root window shows it.
    if (const FrameImage row = FrameImage::blank(m_display, m_screenWidth, 1, m_depth))
        m_screenBytesPerPixel = row.bytesPerLine() / m_screenWidth;
    m_screenRowBytes = m_screenBytesPerPixel * m_screenWidth;

    m_screenPixmap = XCreatePixmap(m_display, m_rootWindow, unsigned(DisplayWidth(m_display, m_screen)),
                                   unsigned(DisplayHeight(m_display, m_screen)), unsigned(m_depth));
    if (m_depth == 16) {
        m_redMask = 0xF800;
        m_greenMask = 0x07E0;
        m_blueMask = 0x001F;
    } else if (m_depth == 24) {
        m_redMask = 0xFF0000;
        m_greenMask = 0x00FF00;
        m_blueMask = 0x0000FF;
    }
}

void Velmora::createAccelerators() {
    // One binding per key, always active; the Edit items only show the keys
    // of the two select commands, since a key bound twice fires neither. The
    // targets are slots of the navigation bar, connected when it is built.
    const QKeySequence keys[] = {
        QKeySequence(Qt::CTRL | Qt::Key_Left),        QKeySequence(Qt::CTRL | Qt::Key_Right),
        QKeySequence(Qt::ALT | Qt::Key_Right),        QKeySequence(Qt::ALT | Qt::Key_Left),
        QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_A), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S),
        QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_X),
        QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_V),
    };
    for (const QKeySequence& k : keys) {
        auto* shortcut = new QShortcut(k, this);
        shortcut->setContext(Qt::WindowShortcut);
        m_frameAccelerators.push_back(shortcut);
    }
}

std::optional<std::string> Velmora::homeDirectory() {
    const char* home = getenv("HOME");
    if (!home || !*home)
        return std::nullopt;
    return std::string(home);
}

void Velmora::exitForMissingHome() {
    diag::print("$HOME not set, please set it to appropriate directory\n");
    exit(1);
}

int Velmora::setBuilderCaption() {
    QString text = QStringLiteral("Velmora 1.0 - ") + QString::fromLocal8Bit(m_vlmFileName.c_str());
    text.chop(4);
    m_caption = text;
    setWindowTitle(m_caption);
    return 0;
}

void Velmora::VL_ErrMessage(const QString& text) {
    QMessageBox box(QMessageBox::Information, "Velmora 1.0", text, QMessageBox::NoButton,
                    qobject_cast<QWidget*>(qApp ? QApplication::activeWindow() : nullptr));
    box.setDefaultButton(box.addButton("OK", QMessageBox::AcceptRole));
    box.exec();
}

bool Velmora::queryExit() {
    QMessageBox box(QMessageBox::Information, "Quit...", "Do your really want to Quit?",
                    QMessageBox::NoButton, this);
    QPushButton* ok = box.addButton("Ok", QMessageBox::AcceptRole);
    box.addButton("Cancel", QMessageBox::RejectRole);
    box.exec();
    return box.clickedButton() == ok;
}

QString Velmora::GetFilter() {
    return QStringLiteral("Dat Files(*.dat);;Vlm Files(*.vlm)");
}

bool Velmora::getCurrentPath(std::string& path) const {
    std::string buf(256, '\0');
    while (!getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE)
            return false;
        buf.resize(buf.size() * 2);
    }
    path = std::string(buf.c_str()) + "/";
    return true;
}

unsigned long Velmora::asciiToKeySym(unsigned long virtualKey) {
    return keys::asciiToKeySym(virtualKey);
}

unsigned long Velmora::keySymToAscii(unsigned long pcKeyCode) {
    return keys::keySymToAscii(pcKeyCode);
}

void Velmora::setItemEnabled(int id, bool on) {
    // A transfer keeps its locked items off; they take the last state asked for after it.
    if (m_bTransferLock && m_lockedItems.contains(id)) {
        m_lockedItems[id] = on;
        return;
    }
    if (QAction* a = actionById(id))
        a->setEnabled(on);
}

void Velmora::setItemChecked(int id, bool on) {
    if (QAction* a = actionById(id))
        a->setChecked(on);
}

bool Velmora::isItemEnabled(int id) const {
    QAction* a = actionById(id);
    return a && a->isEnabled();
}

bool Velmora::isItemChecked(int id) const {
    QAction* a = actionById(id);
    return a && a->isChecked();
}

std::array<QToolButton*, 11> Velmora::toolButtons() const {
    return {m_pSelectButton,         m_pLineButton,       m_pRectangleButton, m_pEllipseButton,
            m_pRoundRectButton,      m_pPolylineButton,   m_pBitmapButton,    m_pTextFieldButton,
            m_pInstructionBoxButton, m_pValidationButton, m_pHyperlinkButton};
}

Velmora::ScreenInfo Velmora::screenInfo() const {
    return {m_display,        m_screenWidth,  m_screenHeight, m_depth,     m_screenBytesPerPixel,
            m_screenRowBytes, m_screenPixmap, m_redMask,      m_greenMask, m_blueMask,
            m_captureRect,    m_frameRect};
}

Velmora::Session Velmora::session() const {
    return {m_soundWorkingFile->path(), m_recentFiles, m_frameRate,   m_blockSize,
            m_nCurrentPalette,          m_bRecording,  m_bFullScreen, m_pBufferManager.get(),
            m_pMachineProfile.get()};
}

Velmora::Widgets Velmora::widgets() const {
    return {m_pFileMenu,
            m_pEditMenu,
            m_pViewMenu,
            m_pRecordMenu,
            m_pSoundMenu,
            m_pPreferencesMenu,
            m_pObjectsMenu,
            m_pDrawPaletteMenu,
            m_pEditPaletteMenu,
            m_pHelpMenu,
            m_pPasswordMenu,
            m_pStyleMenu,
            m_pFileToolBar,
            m_pDrawToolBar,
            m_pEditToolBar,
            m_pColorToolBar,
            m_pNewButton,
            m_pOpenButton,
            m_pMakeButton,
            m_pSaveAsButton,
            m_pRecordButton,
            m_pAppendButton,
            m_pInsertButton,
            m_pDeleteFrameButton,
            m_pUndoButton,
            m_pAudioSettingsButton,
            m_pFullScreenButton,
            m_pStatusBar,
            m_pProgressBar,
            m_pFrameLabel,
            m_pPointerLabel,
            m_pActionLabel,
            m_pActionIconLabel,
            m_pNoUserActionPixmap.get(),
            m_pKeyClickPixmap.get(),
            m_pRightClickPixmap.get(),
            m_pLeftClickPixmap.get(),
            m_pAboutDialog,
            m_pHelpWindow.data(),
            m_pRecordBar,
            m_pCaptureSettings};
}
