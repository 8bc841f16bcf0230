// The program's one main window: project state, menus, tool bars, status bar
// and the hub of the connections between the subsystems.
#pragma once

#include "app/SWindowSettings.h"
#include "capture/NVCap.h"
#include "media/SoundEngineHost.h"
#include "media/SoundRecords.h"
#include "record/RecordingSession.h"
#include "store/DatRecords.h"
#include "store/ProjectTables.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QKeySequence>
#include <QMainWindow>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class CAudioSpec;
class CBackgroundSound;
class CRecordSoundClip;
class CResourceEditor;
class COSSSound;
class CSoundClip;
class SoundClipStore;
class CColorBar;
class HelpWindow;
class SoundWorkingFile;
class aboutVl;
class CaptureSettings;
class NVBufferManager;
class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QProgressBar;
class QShortcut;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class StyleMenu;
class machineprofile;
class FrameLoader;
class FrameStripHost;
class FrameTable;
class InteractiveHost;
class MediaLibraryInterface;
class NVNavigationBar;
class NavigationBarBase;
class QCloseEvent;
class VLImageHolder;
class VelmoraDoc;
class VelmoraView;
struct _XDisplay;
struct _XImage;

class Velmora : public QMainWindow, public SoundEngineHost {
    Q_OBJECT
  public:
    explicit Velmora(QWidget* parent = nullptr);
    ~Velmora() override;

    // HOME, or nothing when it is not set (or empty).
    static std::optional<std::string> homeDirectory();
    // Prints the message for a missing HOME and ends the process with status 1.
    [[noreturn]] static void exitForMissingHome();

    int setBuilderCaption();
    static void VL_ErrMessage(const QString& text);
    bool getCurrentPath(std::string& path) const;
    bool queryExit();
    static QString GetFilter();

    // Windows virtual-key code to X key symbol, for showing a recorded key.
    static unsigned long asciiToKeySym(unsigned long virtualKey);
    // PC key code to Windows virtual-key code.
    static unsigned long keySymToAscii(unsigned long pcKeyCode);

    const std::string& workingFileName() const { return m_vlmFileName; }
    uint32_t getFrameCount() const { return m_project.m_dwFrameCount; }
    std::vector<SPlayBackFrameInfo>* getPlayBackFrameInfo() { return &m_project.m_vPlayBackFrameInfo; }

    // The project's frame tables and counters.
    ProjectTables& project() { return m_project; }
    const ProjectTables& project() const { return m_project; }
    RecordingSession& recording() { return *m_recording; }
    FrameLoader* frameLoader() const { return m_frameLoader.get(); }
    NVNavigationBar* navigationBar() const { return m_pNavigationBar; }
    CColorBar* colorBar() const { return m_pColorBar; }
    // The sound working file and the audio settings dialog.
    SoundWorkingFile& soundWorkingFile() const { return *m_soundWorkingFile; }
    CAudioSpec* audioSettings() const { return m_pAudioSpec; }

    // The screen as the window found it at the start, and the rectangles taken from it.
    struct ScreenInfo {
        _XDisplay* display;
        int width, height, depth;
        int bytesPerPixel, rowBytes; // as grabbed
        unsigned long pixmap;        // the screen-sized server pixmap
        uint32_t redMask, greenMask, blueMask;
        SRect captureRect, frameRect;
    };
    ScreenInfo screenInfo() const;

    // Files, settings and flags of the session.
    struct Session {
        std::string soundFile; // the sound working file
        QStringList recentFiles;
        int frameRate, blockSize, currentPalette;
        bool recording, fullScreen;
        const NVBufferManager* bufferManager;
        const machineprofile* machineProfile;
    };
    Session session() const;

    // The window's menus, bars, buttons and status fields, and the windows it opens.
    struct Widgets {
        QMenu *fileMenu, *editMenu, *viewMenu, *recordMenu, *soundMenu, *preferencesMenu, *objectsMenu,
            *drawPaletteMenu, *editPaletteMenu, *helpMenu, *passwordMenu, *styleMenu;
        QToolBar *fileToolBar, *drawToolBar, *editToolBar, *colorToolBar;
        // The file tool bar's buttons; the tool buttons are toolButtons().
        QToolButton *newButton, *openButton, *makeButton, *saveAsButton, *recordButton, *appendButton,
            *insertButton, *deleteFrameButton, *undoButton, *audioSettingsButton, *fullScreenButton;
        QStatusBar* statusBar;
        QProgressBar* progressBar;
        QLabel *frameLabel, *pointerLabel, *actionLabel, *actionIconLabel;
        // The action icons the action icon label shows.
        const QPixmap *noUserActionIcon, *keyClickIcon, *rightClickIcon, *leftClickIcon;
        aboutVl* aboutDialog;
        HelpWindow* helpWindow;
        QWidget* recordBar;
        CaptureSettings* captureSettings;
    };
    Widgets widgets() const;

    // Menu items by their fixed ids (and the ids given to recent-file items).
    QAction* actionById(int id) const { return m_menuItems.value(id, nullptr); }
    QList<int> menuItemIds() const { return m_menuItems.keys(); }
    void setItemEnabled(int id, bool on);
    void setItemChecked(int id, bool on);
    bool isItemEnabled(int id) const;
    bool isItemChecked(int id) const;

    // The cursor shape the current tool gives the canvas.
    Qt::CursorShape toolCursor() const { return m_toolCursor; }
    // The main window's frame accelerators, in table order.
    const std::vector<QShortcut*>& frameAccelerators() const { return m_frameAccelerators; }

    VelmoraView* getView() const { return m_view; }
    VLImageHolder* imageHolder() const;
    NavigationBarBase* frameStrip() const;
    int initEditingFrames();
    int setBuilderSplash();
    // Paints the current frame's image in the pixel; with `gradient`, a
    // gradient from `from` to `to` of the frame's gradient type (0 linear,
    // 1 rectangular, 2 radial) at `angle` over it.
    void fillFrameColor(unsigned long pixel, QColor from, QColor to, int type, int angle, bool gradient);
    void addFrameName();
    // The make and the import; on failure `cause` gets why, on one line.
    int makeBuilderVLM(const std::string& path, std::string* cause = nullptr);
    int makeBuilderScratch(const std::string& path, std::string* cause = nullptr);
    void openFromArgv(const char* path);

    // The eleven tool toggle buttons, draw palette first.
    std::array<QToolButton*, 11> toolButtons() const;

    // Notes a clip of `length` bytes in `spec`'s format in the frame's playback
    // record and tells the frame strip that the current frame has sound.
    void SetUpPlayBackFrameInfoAudio(int frame, long length, sAudioSpecStruct spec);
    // The format of the frame's clip, to play it in.
    sAudioSpecStruct getPlayBackFrameInfoAudio(int frame);
    // 401 ALSA, 400 OSS or 402 no sound card, by the files the drivers make.
    int detect_soundcard_type();
    // Hides the sound windows that are shown.
    void hideSoundItems();

    // The sound engine and the sound clip window.
    COSSSound* soundEngine() const { return m_pOSSSound; }
    CSoundClip* soundClip() const { return m_pSoundClip; }
    // The sound operations of the window and the Sound menu. Record and play
    // return when the transfer has ended; meanwhile the commands that change
    // the project, the frame table or the sound files are disabled.
    void record_audio();
    void play_audio();
    void stop_audio();
    void forward_audio();
    void rewind_audio();
    bool isSoundBusy() const { return m_bSoundBusy; }
    bool isRecordingAudio() const { return m_bRecordingAudio; }
    // Whether the 0-based frame has a clip (a non-zero audio size).
    bool frameHasClip(int frame) const;
    // The "file operations" tool bar on or off; kept off while a transfer runs.
    void setFileToolBarEnabled(bool on);

    // The engine's host: the settings, the current frame, a clip's format and the boxes.
    sAudioSpecStruct recordingSettings() override;
    int currentFrame() override;
    sAudioSpecStruct clipFormat(int frame) override;
    void showSoundError(int code, const std::string& text) override;
    // The host's background sound and second recorders' part.
    SBackgroundSoundBytes backgroundSoundRecord() override { return m_backgroundSound; }
    void setBackgroundSoundRecord(const SBackgroundSoundBytes& record) override {
        m_backgroundSound = record;
    }
    uint32_t backgroundSoundId() override { return m_backgroundSoundId; }
    std::string backgroundSoundFile() override { return m_backgroundSoundFile; }
    void setBackgroundSoundChoice(uint32_t id, const std::string& path) override;
    uint32_t frameCountForSound() override { return m_project.m_dwFrameCount; }
    CResourceEditor* backgroundSoundLibrary() override;
    SoundWorkingFile* soundWorkingFileForClips() override { return m_soundWorkingFile.get(); }
    ProjectTables* projectTablesForSound() override { return &m_project; }
    void notePlaybackAudio(int frame, long length, const sAudioSpecStruct& spec) override {
        SetUpPlayBackFrameInfoAudio(frame, length, spec);
    }
    void disableSoundMenuItems() override { disableMenuItemsForSound(); }
    CRecordSoundClip* recordSoundClipDialog() override { return m_pRecordSoundClip; }
    std::string soundDataDirectory() override;

    // The background sound dialog, and New's clearing of the background sound.
    CBackgroundSound* backgroundSoundDialog() const { return m_pBackgroundSound; }
    void CleanUpAudio();
    // An imported record, naming the background sound by the identifier the import settled.
    void restoreBackgroundSound(const SBackgroundSoundBytes& record, uint32_t id);
    // The sound menu's entries off (no usable sound card).
    void disableMenuItemsForSound();
    // Kept for the card recorder's clips: the frame's playback record stays as it is.
    void SetPlayBackFrameInfoForAudio(int frame, unsigned long length, int a, int b, int rate, int channels,
                                      int bits);
    // The record sound clip dialog the card recorder updates; nothing sets it.
    void setRecordSoundClipDialog(CRecordSoundClip* dialog) { m_pRecordSoundClip = dialog; }

  signals:
    void NewFrameSignal(int);
    void signal_draw_object(int);
    void signalUndoDeletion();
    void signalCutCopyObjects(int);
    void signalPasteObjects();
    void signalFrameStatus(bool);
    void signalSelectAllObjects();
    void signalHook(void*);
    void CurrentFrameNumberSignal(int);
    void SoundFrameDeleteSignal(int);

  public slots:
    // File commands.
    void slotFileNew();
    void slotFileOpen();
    void slotFileMake();
    void slotFileSaveAs();
    void slotFileQuit();
    void slotRecentFileSelected(int id);

    // Edit commands.
    void slotEditUndo();
    void slotEnableUndo();
    void slotDisableUndo();
    void slotEditCut();
    void slotEditCopy();
    void slotEditPaste();
    void slotEditDelete();
    void slotEditSelectAll();
    void slotEditAppendFrames();
    void slotEditInsertFrames();
    void slotEditDeleteFrames();
    void slotEditPurgeFrames();
    void slotEditDeleteSound();
    void slotSelectAllFrames();
    void slotSelectAllUaFrames();

    // View commands.
    void slotViewToolBar();
    void slotViewStatusBar();
    void slotViewNavigationBar();
    void slotViewRecordSoundClip();
    void slotViewDrawTool();
    void slotViewEditTool();
    void slotViewColorBar();
    void slotViewFullScreen();

    // Recording and sound.
    void slotRecordStartRecord();
    void slotTimerTick();
    void slotSoundRecord();
    void slotSoundStopFromMenu();
    void slotSoundPlayFromMenu();
    void slotSoundRewindFromMenu();
    void slotSoundForwardFromMenu();
    void slotDisableAudioMenuItems(bool disable);

    // Preferences.
    void slotPerferencesCapture();
    void slotPerferencesAudio();
    void slotPerferencesBackground();
    void slotShowAudioSettings();

    // Help and the unreachable Password menu.
    void slotHelp();
    void slotHelpAbout();
    void slotPasswordSet();
    void slotPasswordChange();
    void slotPasswordClear();

    // Status texts.
    void slotStatusHelpMsg(const QString& text);
    void statusCallback(int id);
    void slotLoadFrame(int frame);
    void slotMouseMovePositions(QPoint position);

    // Command state.
    void slotEnableMenu();
    void slotDisableMenu();
    void slotEnableTool();
    void slotDisableTools();
    void enableObjects();
    void disableObjects();
    void slotCheckCurrentFrameStatus(bool deleted);
    void changePurgeStatus(bool enable);
    void slotEnableCutCopy();
    void slotDisableCutCopy();
    void slotEnablePaste();
    void slotDisablePaste();
    void slotEnableSelectAll();
    void slotDisableSelectAll();

    // Tools.
    void slotDrawToolsSelect();
    void slotDrawToolsLine();
    void slotDrawToolsRectangle();
    void slotDrawToolsRound();
    void slotDrawToolsEllipse();
    void slotDrawToolsPolyline();
    void slotEditToolsValidation();
    void slotEditToolsInstruction();
    void slotEditToolsHyperlink();
    void slotEditToolsTextBox();
    void slotEditToolsBitmap();
    void slotDrawToolsPencil();
    void slotDrawToolsAirBrush();
    void slotDrawToolsPaintBrush();

    // Declared commands that do nothing.
    void slotDoNothing() {}
    void slotDrawToolsFill() {}
    void slotDrawToolsSelector() {}
    void slotDrawToolsPolygon() {}
    void slotDrawToolsZoom() {}
    void slotEditToolsVideoStage() {}
    void slotEditToolsMouseplot() {}
    void slotLayoutAlign() {}
    void slotAlignLeft() {}
    void slotAlignRight() {}
    void slotAlignTop() {}
    void slotAlignBotttom() {}
    void slotSpaceAcross() {}
    void slotSpaceDown() {}
    void slotForeColorChanged(QColor& color);

    // Recording control and the frame strip's requests.
    void slotWait();
    int slotBackToNormal();
    void slotHook(void* action);
    void slotDeleteFrame(int first, int last);
    void slotPasteFrames(int current, int first, int last);
    void slotPasteAfterCut(int current, int first, int last);

  public:
    virtual void paletteChange(QPalette& palette);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void initProject();
    void initDoc();
    void initView();
    void createNavigationBar();
    // The dock that holds the navigation bar; none before it is built.
    QWidget* navigationDock() const;
    void rebuildStrip(bool fromOpen);
    void rebuildStripAfterMove(bool toFirst);
    void resetProject(bool keepPath);
    void openCompletion();
    void openPath(const QString& path, bool fromCommandLine);
    // Tells the author and returns true when the working frame file at `path`
    // is there but is no regular file (a FIFO would block the program).
    bool refuseIrregularWorkingFile(const std::string& path);
    // The Save Frames prompt: 0 Yes, 1 No, 2 Cancel.
    int saveFramesPrompt();
    bool makeForPrompt();
    // The window's size and the bars shown, for the next start.
    void saveUserSettings();
    // Exit's and close's common sequence; false when the program goes on.
    bool finishSession();
    void initializeForFrameAddition();
    void createRecordBar();
    void initSound();
    // During a sound transfer or a make: the project's commands off, and back
    // as they were (or as asked for meanwhile) after.
    void lockForTransfer();
    void unlockAfterTransfer();
    // The steps every transfer ends with, then an Exit or close asked for during it.
    void afterTransfer();
    // Exit or close during a transfer or a make: stop the transfer, and go on
    // when it has ended.
    bool deferUntilTransferEnds(bool quit);
    void exitIfAskedMeanwhile();

    void initMenuBar();
    void initToolBar();
    void initDrawToolBar();
    void initNavigationBar();
    void initStatusBar();
    void initEditToolBar();
    void initScreen();
    void loadSettings();
    void restoreUserSettings(SWindowSettings& settings);
    void createAccelerators();

    QAction* addItem(QMenu* menu, int id, const QString& text, const QPixmap& image = QPixmap(),
                     const QKeySequence& keys = QKeySequence());
    QMenu* newPopup();
    void addRecentFileItem(const QString& path);
    QToolButton* addToolButton(QToolBar* bar, const QString& tip, const QString& statusText,
                               const QPixmap& image, void (Velmora::*slot)(), bool toggle);
    void chooseTool(QToolButton* on, Qt::CursorShape cursor, int kind);
    void showProgress(const QString& text);
    void showReady();

    // Display and screen.
    _XDisplay* m_display = nullptr;
    int m_screen = 0;
    unsigned long m_rootWindow = 0;
    int m_depth = 0;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    int m_screenBytesPerPixel = 0;
    int m_screenRowBytes = 0;
    unsigned long m_screenPixmap = 0;
    uint32_t m_redMask = 0, m_greenMask = 0, m_blueMask = 0;
    _XImage* m_pFrameImage = nullptr;

    // Files.
    std::string m_homeDir;
    std::string m_vlmFileName;     // the working frame file
    std::string m_madeWorkingFile; // the working frame file this run made, removed at the end
    QString m_caption;
    QStringList m_recentFiles;

    // Frame tables and counters.
    ProjectTables m_project;
    int m_nCurrentPalette = -1;
    bool m_bFramesReady = false;
    SRect m_frameRect{0, 0, 0, 0};

    // Output file.
    int m_blockSize = 8;
    std::vector<uint32_t> m_vWrittenResources;

    // Recording. The hook status, the timer's busy flag, the modifier word and
    // the pointer live in the recording session, shared with the action thread.
    std::unique_ptr<RecordingSession> m_recording;
    bool m_bRecording = false, m_bNoRecordExtension = false, m_bUserActionsOnly = false,
         m_bActionCaptureSuspended = false;
    int m_frameRate = 2;
    SRect m_captureRect{0, 0, 0, 0};
    std::unique_ptr<machineprofile> m_pMachineProfile;
    CaptureSettings* m_pCaptureSettings = nullptr;
    std::unique_ptr<NVBufferManager> m_pBufferManager;
    QTimer* m_pRecordTimer = nullptr;
    QPixmap m_pausePixmap, m_resumePixmap;
    QWidget* m_pRecordBar = nullptr;
    QWidget* m_pStopButton = nullptr;
    QWidget* m_pPauseButton = nullptr;

    // Status display: the recorded action's icons.
    std::unique_ptr<QPixmap> m_pNoUserActionPixmap, m_pKeyClickPixmap, m_pRightClickPixmap,
        m_pLeftClickPixmap;

    // Sound.
    uint32_t m_backgroundSoundId = 0;
    std::string m_backgroundSoundFile;
    SBackgroundSoundBytes m_backgroundSound{};
    CBackgroundSound* m_pBackgroundSound = nullptr;
    CRecordSoundClip* m_pRecordSoundClip = nullptr;
    std::unique_ptr<SoundWorkingFile> m_soundWorkingFile;
    CAudioSpec* m_pAudioSpec = nullptr;
    COSSSound* m_pOSSSound = nullptr;
    CSoundClip* m_pSoundClip = nullptr;
    std::unique_ptr<SoundClipStore> m_soundClipStore;
    bool m_bRecordingAudio = false, m_bSoundBusy = false;
    bool m_bQuitAfterTransfer = false, m_bCloseAfterTransfer = false;
    bool m_bMaking = false; // a make runs, letting events through
    // While a transfer runs: the locked items with the states they return to.
    bool m_bTransferLock = false;
    QHash<int, bool> m_lockedItems;
    bool m_bToolBarAfterTransfer = true;
    std::vector<std::pair<QWidget*, bool>> m_lockedWidgets;
    std::vector<std::pair<QShortcut*, bool>> m_lockedShortcuts;

    // Shell.
    bool m_bFullScreen = false;
    bool m_bSessionFinished = false; // Exit or close has ended the session
    QPointer<HelpWindow> m_pHelpWindow;
    aboutVl* m_pAboutDialog = nullptr;
    QFont m_font;
    QPixmap m_iconPixmap;

    // Menus.
    QMenuBar* m_pMenuBar = nullptr;
    QMenu *m_pFileMenu = nullptr, *m_pEditMenu = nullptr, *m_pViewMenu = nullptr, *m_pRecordMenu = nullptr,
          *m_pSoundMenu = nullptr, *m_pPreferencesMenu = nullptr, *m_pObjectsMenu = nullptr,
          *m_pDrawPaletteMenu = nullptr, *m_pEditPaletteMenu = nullptr, *m_pHelpMenu = nullptr,
          *m_pPasswordMenu = nullptr, *m_pStyleMenu = nullptr;
    StyleMenu* m_pStyles = nullptr;
    std::array<int, 8> m_styleIds{};

    // Tool bars and their buttons.
    QToolBar *m_pFileToolBar = nullptr, *m_pDrawToolBar = nullptr, *m_pEditToolBar = nullptr,
             *m_pColorToolBar = nullptr;
    QToolButton *m_pNewButton = nullptr, *m_pOpenButton = nullptr, *m_pMakeButton = nullptr,
                *m_pSaveAsButton = nullptr, *m_pRecordButton = nullptr, *m_pAppendButton = nullptr,
                *m_pInsertButton = nullptr, *m_pDeleteFrameButton = nullptr, *m_pUndoButton = nullptr,
                *m_pAudioSettingsButton = nullptr, *m_pFullScreenButton = nullptr;
    QToolButton *m_pSelectButton = nullptr, *m_pLineButton = nullptr, *m_pRectangleButton = nullptr,
                *m_pEllipseButton = nullptr, *m_pRoundRectButton = nullptr, *m_pPolylineButton = nullptr;
    QToolButton *m_pBitmapButton = nullptr, *m_pTextFieldButton = nullptr, *m_pInstructionBoxButton = nullptr,
                *m_pValidationButton = nullptr, *m_pHyperlinkButton = nullptr;
    CColorBar* m_pColorBar = nullptr;

    // Status bar.
    QStatusBar* m_pStatusBar = nullptr;
    QProgressBar* m_pProgressBar = nullptr;
    QLabel *m_pFrameLabel = nullptr, *m_pPointerLabel = nullptr, *m_pActionLabel = nullptr,
           *m_pActionIconLabel = nullptr;

    // Project: view and canvas, frame loading, the navigation bar, the media
    // library, the frame table and the output file.
    VelmoraDoc* m_doc = nullptr;
    VelmoraView* m_view = nullptr;
    std::unique_ptr<FrameLoader> m_frameLoader;
    NVNavigationBar* m_pNavigationBar = nullptr;
    std::unique_ptr<MediaLibraryInterface> m_pResourceEditor;
    std::unique_ptr<FrameTable> m_frameTable;
    std::unique_ptr<FrameStripHost> m_stripHost;
    std::unique_ptr<InteractiveHost> m_interactiveHost;

    QHash<int, QAction*> m_menuItems;
    int m_nextToolkitId = -2; // ids of items inserted without one, as the toolkit numbered them
    Qt::CursorShape m_toolCursor = Qt::ArrowCursor;
    std::vector<QShortcut*> m_frameAccelerators;
};
