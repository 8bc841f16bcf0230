// The main window's menus, tool bars and status bar.
#include "app/AppImages.h"
#include "app/MenuIds.h"
#include "app/StyleMenu.h"
#include "app/Velmora.h"
#include "objects/draw/CColorBar.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

using namespace menuid;

namespace {

// An image file from the working directory; a missing file gives a null
// pixmap, so its button or item shows no icon.
QPixmap imageFile(const char* name) {
    return QPixmap(QString::fromLatin1(name));
}

} // namespace

QMenu* Velmora::newPopup() {
    auto* popup = new QMenu(this);
    popup->setTearOffEnabled(true);
    // The help text of the item under the pointer, by its id.
    connect(popup, &QMenu::hovered, this, [this](QAction* a) { statusCallback(a->data().toInt()); });
    return popup;
}

QAction* Velmora::addItem(QMenu* menu, int id, const QString& text, const QPixmap& image,
                          const QKeySequence& keys) {
    QAction* a = menu->addAction(text);
    if (!image.isNull())
        a->setIcon(QIcon(image));
    if (!keys.isEmpty())
        a->setShortcut(keys);
    a->setData(id);
    m_menuItems.insert(id, a);
    return a;
}

void Velmora::addRecentFileItem(const QString& path) {
    const int id = m_nextToolkitId--;
    QString text = path;
    text.replace('&', "&&"); // the path as it is, not a mnemonic
    QAction* a = m_pFileMenu->addAction(text);
    a->setData(id);
    a->setProperty("recentPath", path);
    m_menuItems.insert(id, a);
}

void Velmora::initMenuBar() {
    m_pMenuBar = menuBar();

    // File
    m_pFileMenu = newPopup();
    connect(addItem(m_pFileMenu, FILE_NEW, "&New", QPixmap(filenew_xpm), QKeySequence(Qt::CTRL | Qt::Key_N)),
            &QAction::triggered, this, &Velmora::slotFileNew);
    connect(addItem(m_pFileMenu, FILE_OPEN, "&Open...", QPixmap(fileopen_xpm),
                    QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this, &Velmora::slotFileOpen);
    connect(addItem(m_pFileMenu, FILE_MAKE, "&Make", QPixmap(make_xpm), QKeySequence(Qt::CTRL | Qt::Key_M)),
            &QAction::triggered, this, &Velmora::slotFileMake);
    connect(addItem(m_pFileMenu, FILE_SAVE_AS, "Save &As...", QPixmap(filesave_xpm),
                    QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, &Velmora::slotFileSaveAs);
    m_pFileMenu->addSeparator();
    connect(addItem(m_pFileMenu, FILE_EXIT, "E&xit", QPixmap(), QKeySequence(Qt::CTRL | Qt::Key_Q)),
            &QAction::triggered, this, &Velmora::slotFileQuit);
    m_pFileMenu->addSeparator();
    for (const QString& path : m_recentFiles)
        addRecentFileItem(path);
    setItemEnabled(FILE_MAKE, false);
    setItemEnabled(FILE_SAVE_AS, false);

    // Edit
    m_pEditMenu = newPopup();
    connect(addItem(m_pEditMenu, EDIT_UNDO, "&Undo", QPixmap(undo_xpm), QKeySequence(Qt::CTRL | Qt::Key_Z)),
            &QAction::triggered, this, &Velmora::slotEditUndo);
    connect(addItem(m_pEditMenu, EDIT_CUT, "Cu&t", QPixmap(), QKeySequence(Qt::SHIFT | Qt::Key_Delete)),
            &QAction::triggered, this, &Velmora::slotEditCut);
    connect(addItem(m_pEditMenu, EDIT_COPY, "&Copy", QPixmap(), QKeySequence(Qt::CTRL | Qt::Key_Insert)),
            &QAction::triggered, this, &Velmora::slotEditCopy);
    connect(addItem(m_pEditMenu, EDIT_PASTE, "&Paste", QPixmap(), QKeySequence(Qt::SHIFT | Qt::Key_Insert)),
            &QAction::triggered, this, &Velmora::slotEditPaste);
    connect(addItem(m_pEditMenu, EDIT_DELETE, "&Delete", QPixmap(), QKeySequence(Qt::Key_Delete)),
            &QAction::triggered, this, &Velmora::slotEditDelete);
    connect(
        addItem(m_pEditMenu, EDIT_SELECT_ALL, "Se&lect All", QPixmap(), QKeySequence(Qt::CTRL | Qt::Key_A)),
        &QAction::triggered, this, &Velmora::slotEditSelectAll);
    m_pEditMenu->addSeparator();
    connect(addItem(m_pEditMenu, EDIT_APPEND_FRAME, "&Append Frame", QPixmap(append_xpm),
                    QKeySequence(Qt::Key_F5)),
            &QAction::triggered, this, &Velmora::slotEditAppendFrames);
    connect(addItem(m_pEditMenu, EDIT_INSERT_FRAME, "&Insert Frame", QPixmap(insert_xpm),
                    QKeySequence(Qt::Key_F6)),
            &QAction::triggered, this, &Velmora::slotEditInsertFrames);
    connect(addItem(m_pEditMenu, EDIT_DELETE_FRAME, "Delete &Frame", QPixmap(delete_xpm),
                    QKeySequence(Qt::Key_F7)),
            &QAction::triggered, this, &Velmora::slotEditDeleteFrames);
    m_pEditMenu->addSeparator();
    connect(addItem(m_pEditMenu, EDIT_PURGE_FRAMES, "&Purge Frames"), &QAction::triggered, this,
            &Velmora::slotEditPurgeFrames);
    connect(addItem(m_pEditMenu, EDIT_DELETE_SOUND, "&Delete Sound"), &QAction::triggered, this,
            &Velmora::slotEditDeleteSound);
    m_pEditMenu->addSeparator();
    // The keys after the tab are shown, not bound: the window's frame
    // accelerators own CTRL+ALT+A and CTRL+ALT+S.
    connect(addItem(m_pEditMenu, EDIT_SELECT_ALL_FRAMES, "Select All Frames\tCtrl+Alt+A"),
            &QAction::triggered, this, &Velmora::slotSelectAllFrames);
    connect(addItem(m_pEditMenu, EDIT_SELECT_UA_FRAMES, "Select All Sound or Action Frames\tCtrl+Alt+S"),
            &QAction::triggered, this, &Velmora::slotSelectAllUaFrames);
    for (int id :
         {EDIT_UNDO, EDIT_CUT, EDIT_COPY, EDIT_PASTE, EDIT_DELETE, EDIT_SELECT_ALL, EDIT_DELETE_FRAME,
          EDIT_PURGE_FRAMES, EDIT_DELETE_SOUND, EDIT_SELECT_ALL_FRAMES, EDIT_SELECT_UA_FRAMES})
        setItemEnabled(id, false);

    // View
    m_pViewMenu = newPopup();
    struct ViewItem {
        int id;
        const char* text;
        void (Velmora::*slot)();
        bool enabled, checked;
    };
    const ViewItem viewItems[] = {
        {VIEW_TOOL_BAR, "&Tool Bar", &Velmora::slotViewToolBar, true, true},
        {VIEW_STATUS_BAR, "&Status Bar", &Velmora::slotViewStatusBar, true, true},
        {VIEW_NAVIGATION_BAR, "&Navigation Bar", &Velmora::slotViewNavigationBar, true, true},
        {VIEW_RECORD_SOUND_CLIP, "&Record Sound Clip", &Velmora::slotViewRecordSoundClip, false, false},
        {VIEW_DRAW_PALETTE, "&Draw Palette", &Velmora::slotViewDrawTool, true, true},
        {VIEW_EDIT_PALETTE, "&Edit Palette", &Velmora::slotViewEditTool, true, true},
        {VIEW_COLOR_BAR, "&Color Bar", &Velmora::slotViewColorBar, true, false},
        {VIEW_FULL_SCREEN, "&Full Screen", &Velmora::slotViewFullScreen, true, false},
    };
    for (const ViewItem& v : viewItems) {
        QAction* a = addItem(m_pViewMenu, v.id, v.text);
        a->setCheckable(true);
        a->setChecked(v.checked);
        a->setEnabled(v.enabled);
        connect(a, &QAction::triggered, this, v.slot);
    }

    // Sound, a submenu of Record
    m_pSoundMenu = newPopup();
    struct PlainItem {
        int id;
        const char* text;
        QPixmap image;
        void (Velmora::*slot)();
    };
    const PlainItem soundItems[] = {
        {SOUND_RECORD, "&Record", imageFile("startButton.xpm"), &Velmora::slotSoundRecord},
        {SOUND_STOP, "&Stop", QPixmap(stop_xpm), &Velmora::slotSoundStopFromMenu},
        {SOUND_PLAY, "&Play", QPixmap(play_xpm), &Velmora::slotSoundPlayFromMenu},
        {SOUND_REWIND, "&Rewind", QPixmap(rewind_xpm), &Velmora::slotSoundRewindFromMenu},
        {SOUND_FORWARD, "&Forward", QPixmap(forward_xpm), &Velmora::slotSoundForwardFromMenu},
    };
    for (const PlainItem& s : soundItems) {
        QAction* a = addItem(m_pSoundMenu, s.id, s.text, s.image);
        a->setEnabled(false);
        connect(a, &QAction::triggered, this, s.slot);
    }

    // Record
    m_pRecordMenu = newPopup();
    connect(addItem(m_pRecordMenu, RECORD_START, "&Start Recording", QPixmap(record_xpm),
                    QKeySequence(Qt::ALT | Qt::Key_C)),
            &QAction::triggered, this, &Velmora::slotRecordStartRecord);
    m_pSoundMenu->setTitle("S&ound");
    QAction* soundEntry = m_pRecordMenu->addMenu(m_pSoundMenu);
    soundEntry->setData(RECORD_SOUND);
    m_menuItems.insert(RECORD_SOUND, soundEntry);
    soundEntry->setEnabled(false);

    // Preferences
    m_pPreferencesMenu = newPopup();
    connect(addItem(m_pPreferencesMenu, PREFERENCES_CAPTURE, "Capture &Settings..."), &QAction::triggered,
            this, &Velmora::slotPerferencesCapture);
    connect(
        addItem(m_pPreferencesMenu, PREFERENCES_AUDIO, "&Audio Specifications...", imageFile("audioset.xpm")),
        &QAction::triggered, this, &Velmora::slotPerferencesAudio);
    connect(addItem(m_pPreferencesMenu, PREFERENCES_BACKGROUND, "&Background Sound Settings..."),
            &QAction::triggered, this, &Velmora::slotPerferencesBackground);
    setItemEnabled(PREFERENCES_AUDIO, false);
    setItemEnabled(PREFERENCES_BACKGROUND, false);

    // Draw and Edit palettes, submenus of Objects
    m_pDrawPaletteMenu = newPopup();
    const PlainItem drawItems[] = {
        {DRAW_SELECT, "&Select", QPixmap(selection_xpm), &Velmora::slotDrawToolsSelect},
        {DRAW_LINE, "&Line", QPixmap(line_xpm), &Velmora::slotDrawToolsLine},
        {DRAW_RECTANGLE, "&Rectangle", QPixmap(rect_xpm), &Velmora::slotDrawToolsRectangle},
        {DRAW_ELLIPSE, "&Ellipse", QPixmap(ellipse_xpm), &Velmora::slotDrawToolsEllipse},
        {DRAW_ROUND_RECT, "R&ound Rectangle", QPixmap(round_rect), &Velmora::slotDrawToolsRound},
        {DRAW_POLYLINE, "&Polyline", QPixmap(polyline_xpm), &Velmora::slotDrawToolsPolyline},
    };
    for (const PlainItem& d : drawItems) {
        QAction* a = addItem(m_pDrawPaletteMenu, d.id, d.text, d.image);
        a->setEnabled(false);
        connect(a, &QAction::triggered, this, d.slot);
    }
    m_pEditPaletteMenu = newPopup();
    const PlainItem editItems[] = {
        {EDIT_BITMAP, "&Bitmap", QPixmap(bitmap_xpm), &Velmora::slotEditToolsBitmap},
        {EDIT_TEXT_FIELD, "&Text Field", QPixmap(textfield_xpm), &Velmora::slotEditToolsTextBox},
        {EDIT_INSTRUCTION, "&Instruction Box", QPixmap(instructionbox_xpm),
         &Velmora::slotEditToolsInstruction},
        {EDIT_VALIDATION, "&Validation Field", QPixmap(validationfield_xpm),
         &Velmora::slotEditToolsValidation},
        {EDIT_HYPERLINK, "&Hyperlink", QPixmap(hyperlink_xpm), &Velmora::slotEditToolsHyperlink},
    };
    for (const PlainItem& e : editItems) {
        QAction* a = addItem(m_pEditPaletteMenu, e.id, e.text, e.image);
        a->setEnabled(false);
        connect(a, &QAction::triggered, this, e.slot);
    }
    m_pObjectsMenu = newPopup();
    m_pDrawPaletteMenu->setTitle("&Draw Palette");
    m_pEditPaletteMenu->setTitle("&Edit Palette");
    QAction* drawEntry = m_pObjectsMenu->addMenu(m_pDrawPaletteMenu);
    drawEntry->setData(OBJECTS_DRAW_PALETTE);
    m_menuItems.insert(OBJECTS_DRAW_PALETTE, drawEntry);
    QAction* editEntry = m_pObjectsMenu->addMenu(m_pEditPaletteMenu);
    editEntry->setData(OBJECTS_EDIT_PALETTE);
    m_menuItems.insert(OBJECTS_EDIT_PALETTE, editEntry);

    // Help
    m_pHelpMenu = newPopup();
    connect(addItem(m_pHelpMenu, HELP_CONTENTS, "Contents...", QPixmap(), QKeySequence(Qt::Key_F1)),
            &QAction::triggered, this, &Velmora::slotHelp);
    connect(addItem(m_pHelpMenu, HELP_ABOUT, "About..."), &QAction::triggered, this, &Velmora::slotHelpAbout);

    // Password: built, inserted nowhere.
    m_pPasswordMenu = new QMenu(this);
    m_pPasswordMenu->setTearOffEnabled(true);
    connect(addItem(m_pPasswordMenu, PASSWORD_SET, "&Set Password"), &QAction::triggered, this,
            &Velmora::slotPasswordSet);
    connect(addItem(m_pPasswordMenu, PASSWORD_CHANGE, "&Change Password"), &QAction::triggered, this,
            &Velmora::slotPasswordChange);
    connect(addItem(m_pPasswordMenu, PASSWORD_CLEAR, "C&lear Password"), &QAction::triggered, this,
            &Velmora::slotPasswordClear);
    setItemEnabled(PASSWORD_CHANGE, false);
    setItemEnabled(PASSWORD_CLEAR, false);

    // Style: built, inserted nowhere, checkable and disabled.
    m_pStyles = new StyleMenu(this, QApplication::font(), this);
    m_pStyleMenu = m_pStyles->menu();
    for (int i = 0; i < StyleMenu::ITEM_COUNT; ++i)
        m_styleIds[i] = m_pStyles->id(StyleMenu::Item(i));

    m_pMenuBar->addMenu(m_pFileMenu)->setText("&File");
    m_pMenuBar->addMenu(m_pEditMenu)->setText("&Edit");
    m_pMenuBar->addMenu(m_pViewMenu)->setText("&View");
    m_pMenuBar->addMenu(m_pRecordMenu)->setText("&Record");
    m_pMenuBar->addMenu(m_pPreferencesMenu)->setText("Prefere&nces");
    m_pMenuBar->addMenu(m_pObjectsMenu)->setText("&Objects");
    m_pMenuBar->addSeparator();
    m_pMenuBar->addMenu(m_pHelpMenu)->setText("&Help");

    // Every item of the File popup, recent files included, reaches the
    // recent-file slot, which acts only on recent-file items.
    connect(m_pFileMenu, &QMenu::triggered, this,
            [this](QAction* a) { slotRecentFileSelected(a->data().toInt()); });
}

QToolButton* Velmora::addToolButton(QToolBar* bar, const QString& tip, const QString& statusText,
                                    const QPixmap& image, void (Velmora::*slot)(), bool toggle) {
    auto* button = new QToolButton(bar);
    button->setToolTip(tip);
    if (!statusText.isEmpty())
        button->setStatusTip(statusText);
    if (!image.isNull())
        button->setIcon(QIcon(image));
    button->setAutoRaise(true);
    button->setCheckable(toggle);
    bar->addWidget(button);
    connect(button, &QToolButton::clicked, this, slot);
    return button;
}

void Velmora::initToolBar() {
    m_pFileToolBar = new QToolBar("file operations", this);
    m_pFileToolBar->setObjectName("file operations");
    addToolBar(Qt::TopToolBarArea, m_pFileToolBar);
    QToolBar* bar = m_pFileToolBar;
    m_pNewButton =
        addToolButton(bar, "New", "Creates a new file.", QPixmap(filenew_xpm), &Velmora::slotFileNew, false);
    m_pOpenButton = addToolButton(bar, "Open", "Opens an existing file.", QPixmap(fileopen_xpm),
                                  &Velmora::slotFileOpen, false);
    m_pMakeButton = addToolButton(bar, "Make", "Makes an VLM file.", imageFile("making.xpm"),
                                  &Velmora::slotFileMake, false);
    m_pSaveAsButton = addToolButton(bar, "Save As...", "Saves the file under a new name.",
                                    imageFile("filesave.xpm"), &Velmora::slotFileSaveAs, false);
    auto* line = new QFrame(bar);
    line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    bar->addWidget(line);
    m_pRecordButton =
        addToolButton(bar, "Record", "Starts recording a live session of computer desktop activity.",
                      imageFile("recording.xpm"), &Velmora::slotRecordStartRecord, false);
    bar->addSeparator();
    m_pAppendButton =
        addToolButton(bar, "Append Frame", "Adds a blank frame to the end of the row of frames.\n        ",
                      QPixmap(append_xpm), &Velmora::slotEditAppendFrames, false);
    m_pInsertButton =
        addToolButton(bar, "Insert Frame", "Adds a blank frame to the left of the currently selected frame.",
                      QPixmap(insert_xpm), &Velmora::slotEditInsertFrames, false);
    m_pDeleteFrameButton = addToolButton(bar, "Delete Frame", "Marks the current frame as deleted.",
                                         QPixmap(delete_xpm), &Velmora::slotEditDeleteFrames, false);
    m_pUndoButton = addToolButton(bar, "Undo", "Undoes the previous action.", imageFile("undoing.xpm"),
                                  &Velmora::slotEditUndo, false);
    bar->addSeparator();
    m_pAudioSettingsButton = addToolButton(bar, "Audio Settings", "Allows you to configure audio settings.",
                                           imageFile("audioset.xpm"), &Velmora::slotShowAudioSettings, false);
    m_pFullScreenButton = addToolButton(bar, "Full Screen", "Enables/disables the Full Screen view.",
                                        imageFile("filefull.xpm"), &Velmora::slotViewFullScreen, false);
    bar->addSeparator();
    for (QToolButton* b :
         {m_pMakeButton, m_pSaveAsButton, m_pDeleteFrameButton, m_pUndoButton, m_pAudioSettingsButton})
        b->setEnabled(false);

    // The colour bar's dock, at the right edge, hidden until the View item shows it.
    m_pColorToolBar = new QToolBar("ColorBar", this);
    m_pColorToolBar->setObjectName("ColorBar");
    m_pColorToolBar->setOrientation(Qt::Vertical);
    m_pColorToolBar->setFixedWidth(168);
    addToolBar(Qt::RightToolBarArea, m_pColorToolBar);
    m_pColorToolBar->addWidget(new QLabel("              Color Bar", m_pColorToolBar));
    m_pColorBar = new CColorBar(m_pColorToolBar, "colorbar");
    m_pColorBar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    m_pColorToolBar->addWidget(m_pColorBar);
    m_pColorToolBar->hide();
}

void Velmora::initDrawToolBar() {
    // No tool bar of the main window moves.
    m_pFileToolBar->setMovable(false);
    m_pColorToolBar->setMovable(false);

    m_pDrawToolBar = new QToolBar("draw tools", this);
    m_pDrawToolBar->setObjectName("draw tools");
    m_pDrawToolBar->setMovable(false);
    addToolBar(Qt::LeftToolBarArea, m_pDrawToolBar);
    auto* label = new QLabel("Draw", m_pDrawToolBar);
    label->setFrameStyle(QFrame::NoFrame);
    m_pDrawToolBar->addWidget(label);
    QToolBar* bar = m_pDrawToolBar;
    m_pSelectButton =
        addToolButton(bar, "Selection Tool", {}, QPixmap(selection_xpm), &Velmora::slotDrawToolsSelect, true);
    m_pLineButton = addToolButton(bar, "Line", {}, QPixmap(line_xpm), &Velmora::slotDrawToolsLine, true);
    m_pRectangleButton =
        addToolButton(bar, "Rectangle", {}, QPixmap(rect_xpm), &Velmora::slotDrawToolsRectangle, true);
    m_pEllipseButton =
        addToolButton(bar, "Ellipse", {}, QPixmap(ellipse_xpm), &Velmora::slotDrawToolsEllipse, true);
    m_pRoundRectButton =
        addToolButton(bar, "Round Rectangle", {}, QPixmap(round_rect), &Velmora::slotDrawToolsRound, true);
    m_pPolylineButton =
        addToolButton(bar, "Polyline", {}, QPixmap(polyline_xpm), &Velmora::slotDrawToolsPolyline, true);
    bar->addSeparator();
    for (QToolButton* b : {m_pSelectButton, m_pLineButton, m_pRectangleButton, m_pEllipseButton,
                           m_pRoundRectButton, m_pPolylineButton})
        b->setEnabled(false);
}

void Velmora::initNavigationBar() {
    // The navigation bar and its dock ("NavigationBar", top, on a line of its
    // own) come with the frame strip.
}

void Velmora::initStatusBar() {
    m_pStatusBar = new QStatusBar(this);
    m_pStatusBar->setObjectName("vl_status");
    setStatusBar(m_pStatusBar);
    m_pStatusBar->showMessage("Ready.", 2000);

    // The panes are at least 18 high and as high as a line of the status
    // bar's font; the pointer pane holds the widest position it shows.
    const QFontMetrics metrics(m_pStatusBar->font());
    const int paneHeight = std::max(18, metrics.height());
    const int pointerWidth = std::max(60, metrics.horizontalAdvance(QStringLiteral(" 9999,9999")) + 2);
    m_pActionLabel = new QLabel(m_pStatusBar);
    m_pActionLabel->setFixedHeight(paneHeight);
    m_pPointerLabel = new QLabel(" ", m_pStatusBar);
    m_pPointerLabel->setFixedSize(pointerWidth, paneHeight);
    m_pFrameLabel = new QLabel(m_pStatusBar);
    m_pFrameLabel->setFixedHeight(paneHeight);
    m_pProgressBar = new QProgressBar(m_pStatusBar);
    m_pProgressBar->setRange(0, 100);
    m_pProgressBar->setFixedSize(150, paneHeight);
    m_pProgressBar->reset();
    m_pActionIconLabel = new QLabel(m_pStatusBar);
    m_pActionIconLabel->setFixedSize(15, paneHeight);

    m_pStatusBar->addPermanentWidget(m_pProgressBar, 0);
    m_pStatusBar->addPermanentWidget(m_pActionLabel, 0);
    m_pStatusBar->addPermanentWidget(m_pActionIconLabel, 0);
    m_pStatusBar->addPermanentWidget(m_pFrameLabel, 0);
    m_pStatusBar->setSizeGripEnabled(false);
    m_pStatusBar->addPermanentWidget(m_pPointerLabel, 0);
}

void Velmora::initEditToolBar() {
    m_pEditToolBar = new QToolBar("edit tools", this);
    m_pEditToolBar->setObjectName("edit tools");
    m_pEditToolBar->setMovable(false);
    addToolBar(Qt::LeftToolBarArea, m_pEditToolBar);
    auto* label = new QLabel("Edit", m_pEditToolBar);
    label->setFrameStyle(QFrame::NoFrame);
    m_pEditToolBar->addWidget(label);
    QToolBar* bar = m_pEditToolBar;
    m_pBitmapButton =
        addToolButton(bar, "Bitmap", {}, QPixmap(bitmap_xpm), &Velmora::slotEditToolsBitmap, true);
    m_pTextFieldButton =
        addToolButton(bar, "Text Field", {}, QPixmap(textfield_xpm), &Velmora::slotEditToolsTextBox, true);
    m_pInstructionBoxButton = addToolButton(bar, "Instruction Box", {}, QPixmap(instructionbox_xpm),
                                            &Velmora::slotEditToolsInstruction, true);
    m_pValidationButton = addToolButton(bar, "Validation Field", {}, QPixmap(validationfield_xpm),
                                        &Velmora::slotEditToolsValidation, true);
    m_pHyperlinkButton =
        addToolButton(bar, "Hyperlink", {}, QPixmap(hyperlink_xpm), &Velmora::slotEditToolsHyperlink, true);
    for (QToolButton* b : {m_pBitmapButton, m_pTextFieldButton, m_pInstructionBoxButton, m_pValidationButton,
                           m_pHyperlinkButton})
        b->setEnabled(false);
}
