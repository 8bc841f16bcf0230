// The main window's project: view and canvas, frame loading, the navigation
// bar, recording, the frame table and the file commands.
#include "app/Velmora.h"
#include "store/Diagnostics.h"

#include "app/AppImages.h"
#include "app/CSoundClip.h"
#include "app/FrameGradientStep.h"
#include "app/HolderObjectKinds.h"
#include "app/MenuIds.h"
#include "app/OutputFileServices.h"
#include "app/ProgressPacer.h"
#include "app/SessionFiles.h"
#include "app/VelmoraHosts.h"
#include "canvas/DrawTools.h"
#include "canvas/FrameLoader.h"
#include "canvas/VLCanvas.h"
#include "canvas/VLImageHolder.h"
#include "canvas/VelmoraDoc.h"
#include "canvas/VelmoraView.h"
#include "canvas/strip/FrameDetails.h"
#include "canvas/strip/NVNavigationBar.h"
#include "canvas/strip/NavigationBarBase.h"
#include "canvas/strip/ScrollNavigationBar.h"
#include "capture/NVCap.h"
#include "media/CResourceEditor.h"
#include "media/ResourceUseTable.h"
#include "media/SoundWorkingFile.h"
#include "objects/draw/CColorBar.h"
#include "objects/draw/CGradientFillSetUp.h"
#include "objects/interactive/CFrameObject.h"
#include "properties/EditPropertyBox.h"
#include "properties/GradientDialogMaker.h"
#include "properties/editors/PropertyLviResourceEditorFile.h"
#include "properties/editors/ValidationError.h"
#include "record/CaptureSettings.h"
#include "record/NVBufferManager.h"
#include "record/NVEventFilter.h"
#include "record/machineprofile.h"
#include "store/FrameTable.h"
#include "store/RegularFile.h"
#include "store/ScratchFile.h"
#include "store/VlmFile.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <QLoggingCategory>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcProject, "velmora.app.project", QtWarningMsg)

using namespace menuid;

namespace {

// One progress step of a long command: every value reaches the bar (and its
// valueChanged), but the bar repaints and events pass only at the pacer's pace.
void pacedStep(QProgressBar* bar, ProgressPacer& pacer, int value) {
    const ProgressPacer::Step step = pacer.step(value, ProgressPacer::Clock::now());
    if (!step.setValue)
        bar->setUpdatesEnabled(false); // no repaint within setValue
    bar->setValue(value);
    if (!step.setValue)
        bar->setUpdatesEnabled(true); // repainted at the next event pass
    if (step.letEvents)
        QApplication::processEvents();
    pacer.done(step, ProgressPacer::Clock::now());
}

ProgressPacer progressPacer(uint32_t steps) {
    return ProgressPacer(int(steps), std::chrono::milliseconds(30), std::chrono::milliseconds(10));
}

// A message box's own text, and the cause of the failure on a second line.
QString withCause(const QString& text, const std::string& cause) {
    return cause.empty() ? text : text + "\n" + QString::fromLocal8Bit(cause.c_str());
}

} // namespace

// ---- Construction -----------------------------------------------------------

VLImageHolder* Velmora::imageHolder() const {
    return m_view && m_view->_get_vlCanvas() ? m_view->_get_vlCanvas()->get_image_holder() : nullptr;
}

NavigationBarBase* Velmora::frameStrip() const {
    return m_pNavigationBar ? m_pNavigationBar->getScrollNavigationBar()->get_navbase() : nullptr;
}

void Velmora::initDoc() {
    m_doc = new VelmoraDoc();
}

void Velmora::initView() {
    m_view = new VelmoraView(this, m_doc);
    setCentralWidget(m_view);
    // It only logs; the view owns it.
    auto* filter = new NVEventFilter();
    filter->setParent(m_view);
    m_view->installEventFilter(filter);
    m_frameLoader = std::make_unique<FrameLoader>(m_view->_get_vlCanvas());
}

void Velmora::initProject() {
    installHolderObjectKinds();
    GradientDialogMaker::install(
        [](QWidget* parent) -> QDialog* { return new CGradientFillSetUp(parent, nullptr); });
    m_pResourceEditor = std::make_unique<CResourceEditor>(this, "ResourceEditor", true);
    // A resource row's "..." runs a library dialog of its own, made only then.
    PropertyLviResourceEditorFile::setResourceDialog(
        [](QWidget* parent, int category, uint32_t) -> std::optional<PropertyLviResourceEditorFile::Choice> {
            CResourceEditor dialog(parent ? parent->window() : nullptr, "ResourceEditor", true);
            std::optional<PropertyLviResourceEditorFile::Choice> choice;
            QObject::connect(&dialog, &CResourceEditor::OkButtonSignal,
                             [&choice](const QString& path, unsigned long id) {
                                 choice = PropertyLviResourceEditorFile::Choice{path, uint32_t(id)};
                             });
            dialog.ShowResourceEditor(category);
            return choice;
        });
    DrawTools::setMediaLibrary(m_pResourceEditor.get());
    ValidationError::setSharedLibrary(dynamic_cast<CResourceEditor*>(m_pResourceEditor.get()));
    initDoc();
    initView();
    VLImageHolder* holder = imageHolder();
    holder->setPlaybackRecords(&m_project.m_vPlayBackFrameInfo);
    m_interactiveHost = std::make_unique<VelmoraInteractiveHost>(this, holder);
    InteractiveHost::setCurrent(m_interactiveHost.get());
    m_frameTable = std::make_unique<FrameTable>(m_project, m_frameLoader->store(), m_frameRect, holder);
    m_recording = std::make_unique<RecordingSession>(m_project);
    // The hook runs on the action thread, as the signal's direct connection says.
    connect(this, &Velmora::signalHook, this, &Velmora::slotHook, Qt::DirectConnection);
    m_recording->onAction = [this](SActionType* action) { emit signalHook(action); };

    setMinFramesFromScreenWidth(m_screenWidth);
    createNavigationBar();

    connect(holder, &VLImageHolder::signalMouseMovePositions, this, &Velmora::slotMouseMovePositions);
    connect(holder, &VLImageHolder::signalEnableCutCopy, this, &Velmora::slotEnableCutCopy);
    connect(holder, &VLImageHolder::signalDisableCutCopy, this, &Velmora::slotDisableCutCopy);
    connect(holder, &VLImageHolder::signalEnablePaste, this, &Velmora::slotEnablePaste);
    connect(holder, &VLImageHolder::signalDisablePaste, this, &Velmora::slotDisablePaste);
    connect(holder, &VLImageHolder::signalEnableSelectAll, this, &Velmora::slotEnableSelectAll);
    connect(holder, &VLImageHolder::signalDisableSelectAll, this, &Velmora::slotDisableSelectAll);
    connect(this, &Velmora::signal_draw_object, holder, &VLImageHolder::slot_select_draw_object);
    connect(this, &Velmora::signalFrameStatus, holder, &VLImageHolder::slotCheckFrameStatus);
    connect(this, &Velmora::signalSelectAllObjects, holder, &VLImageHolder::slotSelectAllObjects);
    connect(this, &Velmora::signalCutCopyObjects, holder, &VLImageHolder::slotCutCopyObjects);
    connect(this, &Velmora::signalPasteObjects, holder, &VLImageHolder::slotPasteObjects);
    connect(this, &Velmora::signalUndoDeletion, holder, &VLImageHolder::slotUndoAction);
    MediaLibraryInterface* media = m_pResourceEditor.get();
    // A deleted object's resource loses its use, and is free once none is left.
    connect(holder, &VLImageHolder::signalReduceIDOnDelete, this,
            [media](unsigned long id) { media->SlotDeleteIDFromUseArray(id); });
    connect(holder, &VLImageHolder::signalAddIDOnCopy, this,
            [media](unsigned long id) { media->slotAddIDOnCopy(id); });
    // The undo of a deletion toggles the frames it marked, strip and table together.
    connect(holder, &VLImageHolder::signalUnDeleteFrames, this,
            [this](int first, int last) { frameStrip()->toggleFrameDeletion(first, last); });
    connect(holder, &VLImageHolder::signalEnableUndo, this, &Velmora::slotEnableUndo);
    // The holder hands the author back the selection tool.
    connect(holder, &VLImageHolder::signal_select_region, this, &Velmora::slotDrawToolsSelect);
    connect(holder, &VLImageHolder::signalDisableUndo, this, &Velmora::slotDisableUndo);
    if (m_pColorBar) {
        connect(m_pColorBar, &CColorBar::foreColorChanged, holder, [holder](const QColor& c) {
            QColor color = c;
            holder->changedForeColor(color);
        });
        connect(m_pColorBar, &CColorBar::backColorChanged, holder, [holder](const QColor& c) {
            QColor color = c;
            holder->changedBackColor(color);
        });
    }

    setBuilderSplash();
}

QWidget* Velmora::navigationDock() const {
    return m_pNavigationBar ? m_pNavigationBar->parentWidget() : nullptr;
}

void Velmora::createNavigationBar() {
    VLImageHolder* holder = imageHolder();
    m_pNavigationBar = new NVNavigationBar(this, 0, 0, false, 0);
    m_pNavigationBar->setMinimumSize(500, 70);
    m_pNavigationBar->setMaximumHeight(70);
    NVNavigationBar::setFocusTarget(this);
    auto* dock = new QDockWidget(this);
    dock->setObjectName("NavigationBar");
    dock->setWidget(m_pNavigationBar);
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    addDockWidget(Qt::TopDockWidgetArea, dock);
    // The window settings, read before the bar was built, may have hidden it.
    dock->setVisible(isItemChecked(VIEW_NAVIGATION_BAR));

    NavigationBarBase* strip = frameStrip();
    ScrollNavigationBar* scroll = m_pNavigationBar->getScrollNavigationBar();
    m_stripHost = std::make_unique<VelmoraStripHost>(this);
    strip->setHost(m_stripHost.get());

    // Frame display first, then the holder's frame change.
    connect(strip, &NavigationBarBase::signal_current_frame_is, this, &Velmora::slotLoadFrame);
    connect(strip, &NavigationBarBase::signal_current_frame_is, holder,
            &VLImageHolder::slot_get_current_frame);
    connect(strip, &NavigationBarBase::signalCurrentFrameStatus, this, &Velmora::slotCheckCurrentFrameStatus);
    connect(strip, &NavigationBarBase::signal_on_delete_frame, this, &Velmora::slotDeleteFrame);
    connect(strip, &NavigationBarBase::signal_on_delete_frame, holder,
            qOverload<int, int>(&VLImageHolder::slotPushFrameDeletion));
    connect(strip, &NavigationBarBase::signal_on_undelete_frame, holder,
            &VLImageHolder::slotPushFrameUnDeletion);
    connect(strip, &NavigationBarBase::signal_on_paste_frames, this, &Velmora::slotPasteFrames);
    connect(strip, &NavigationBarBase::signal_on_paste_after_cut, this, &Velmora::slotPasteAfterCut);
    connect(strip, &NavigationBarBase::signal_on_append_frame, this, &Velmora::slotEditAppendFrames);
    connect(strip, &NavigationBarBase::signal_on_insert_frame, this, [this](int) { slotEditInsertFrames(); });
    connect(holder, &VLImageHolder::signalDeleteFrame, strip, &NavigationBarBase::slot_manage_menu);
    connect(holder, &VLImageHolder::signalUnDeleteFrame, strip, &NavigationBarBase::slot_manage_menu);
    connect(this, &Velmora::SoundFrameDeleteSignal, strip, &NavigationBarBase::slotSoundDeletedFromFrame);
    connect(strip, &NavigationBarBase::signal_current_frame_is, m_pSoundClip, &CSoundClip::slotcurrentframe);

    // The frame accelerators, in table order.
    using Target = std::function<void()>;
    const Target targets[] = {
        [scroll] { scroll->slot_clicked_on_pre_frame_button(); },
        [scroll] { scroll->slot_clicked_on_next_frame_button(); },
        [strip] { strip->slot_set_selected_frames_to_right(); },
        [strip] { strip->slot_set_selected_frames_to_left(); },
        [strip] { strip->slot_select_all_frames(); },
        [strip] { strip->slot_select_all_ua_frames(); },
        [strip] { strip->slotCopyFrames(); },
        [strip] { strip->slotCutFrames(); },
        [strip] { strip->slotPasteFrames(); },
    };
    for (size_t i = 0; i < m_frameAccelerators.size() && i < std::size(targets); ++i)
        connect(m_frameAccelerators[i], &QShortcut::activated, this, targets[i]);
}

// ---- Frame loading ------------------------------------------------------------

int Velmora::setBuilderSplash() {
    return m_frameLoader ? m_frameLoader->setBuilderSplash(m_screenWidth, m_screenHeight, m_depth) : 0;
}

void Velmora::fillFrameColor(unsigned long pixel, QColor from, QColor to, int type, int angle,
                             bool gradient) {
    if (!m_frameLoader)
        return;
    if (gradient)
        m_frameLoader->fillFrameColor(pixel, frameGradientStep(from, to, type, angle));
    else
        m_frameLoader->fillFrameColor(pixel);
}

bool Velmora::refuseIrregularWorkingFile(const std::string& path) {
    if (!regularfile::existsButNotRegular(path))
        return false;
    VL_ErrMessage("The working frame file is not a regular file:\n" + QString::fromLocal8Bit(path.c_str()));
    showReady();
    return true;
}

int Velmora::initEditingFrames() {
    FrameGeometry g{uint32_t(m_screenWidth), uint32_t(m_screenHeight), uint32_t(m_screenBytesPerPixel), 0};
    if (!m_frameLoader->initEditingFrames(m_vlmFileName, g)) {
        VL_ErrMessage(QString::fromStdString(m_frameLoader->lastError()));
        return 1;
    }
    return 0;
}

void Velmora::rebuildStrip(bool fromOpen) {
    NavigationBarBase* strip = frameStrip();
    std::vector<int> list(m_project.m_vUserActionFrames.begin(), m_project.m_vUserActionFrames.end());
    strip->reset_frame_details(0, 0, nullptr);
    m_pNavigationBar->getScrollNavigationBar()->scrollToStart();
    if (fromOpen)
        strip->resetFrameDetailsOnFileOpen(int(m_project.m_dwFrameCount), int(list.size()), list.data());
    else
        strip->reset_frame_details(int(m_project.m_dwFrameCount), int(list.size()), list.data());
    m_pNavigationBar->getScrollNavigationBar()->resetResize(int(m_project.m_dwFrameCount), true);
}

void Velmora::addFrameName() {
    m_frameTable->addFrameName();
}

// ---- Recording ------------------------------------------------------------------

void Velmora::createRecordBar() {
    delete m_pRecordBar;
    m_pRecordBar = new QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::FramelessWindowHint);
    m_pRecordBar->setFocusPolicy(Qt::StrongFocus);
    auto* stop = new QPushButton(m_pRecordBar);
    stop->setGeometry(0, 1, 20, 20);
    stop->setToolTip("Stop");
    stop->setIcon(QPixmap("startButton.xpm"));
    auto* pause = new QPushButton(m_pRecordBar);
    pause->setGeometry(21, 1, 20, 20);
    pause->setToolTip("Pause");
    m_pausePixmap = QPixmap(resum_xpm);
    m_resumePixmap = QPixmap("pauseButton.xpm");
    pause->setIcon(m_pausePixmap);
    m_pStopButton = stop;
    m_pPauseButton = pause;
    m_pRecordBar->setGeometry(m_screenWidth - 40, m_screenHeight - 60, 40, 20);
    connect(stop, &QPushButton::clicked, this, &Velmora::slotBackToNormal);
    connect(pause, &QPushButton::clicked, this, &Velmora::slotWait);
    m_pRecordBar->show();
    m_pRecordBar->setFocus();
}

void Velmora::slotRecordStartRecord() {
    if (m_bRecording)
        return;
    if (refuseIrregularWorkingFile(datfile::untitledPath(m_homeDir)))
        return;
    const int64_t free = m_pMachineProfile->getFreeDiskSpace(m_homeDir.c_str());
    if (free <= 24) {
        VL_ErrMessage(
            "Not enough free space to start Recording\nPlease make sure you have minimum 25 MB free");
        return;
    }
    diag::print("------------%ld\n", long(free));
    showProgress("Starts Recording  a live session of computer desktop activity...");
    m_bNoRecordExtension = !ActionRecorder::extensionPresent();
    if (m_bNoRecordExtension) {
        QMessageBox box(
            QMessageBox::Critical, "Velmora 1.0",
            "Record Extension not present. Validation will not be Captured.\nx Please edit "
            "/etc/X11/XF86Config and add the line Load \"record\" below the line Section \"Module\"",
            QMessageBox::Ok, this);
        box.exec();
    }
    hide();
    createRecordBar();

    m_vlmFileName = datfile::untitledPath(m_homeDir);
    setBuilderCaption();
    m_recording->state().m_bUserActionsOnly = m_bUserActionsOnly;
    m_recording->state().m_bActionCaptureSuspended = m_bActionCaptureSuspended;
    const auto started = m_recording->start(m_vlmFileName, !m_bNoRecordExtension);
    if (started != RecordingSession::START_OK) {
        if (started == RecordingSession::START_NO_MEMORY) {
            diag::print("exiting...\n");
            exit(1);
        }
        delete m_pRecordBar;
        m_pRecordBar = nullptr;
        show();
        const std::string cause = m_recording->writerError();
        VL_ErrMessage(started == RecordingSession::START_FILE_FAILED
                          ? withCause("The working frame file cannot be created:",
                                      cause.empty() ? m_vlmFileName : cause)
                          : QString("The screen cannot be captured."));
        showReady();
        return;
    }
    m_bRecording = true;
    m_madeWorkingFile = m_vlmFileName;
    m_screenBytesPerPixel = m_recording->bytesPerPixel();
    m_screenRowBytes = m_recording->rowBytes();
    m_captureRect = SRect{0, 0, m_screenWidth - 1, m_screenHeight - 1};
    m_pRecordTimer->start(1000 / std::max(1, m_frameRate));
    m_pCaptureSettings->setCaptureControlsEnabled(false);
    showReady();
}

void Velmora::slotTimerTick() {
    if (!m_bRecording)
        return;
    switch (m_recording->tick()) {
    case RecordingSession::TICK_STOP:
        slotBackToNormal();
        return;
    default:
        break;
    }
    if (auto* pause = qobject_cast<QPushButton*>(m_pPauseButton))
        pause->setIcon(m_recording->paused() ? m_resumePixmap : m_pausePixmap);
}

void Velmora::slotWait() {
    if (!m_bRecording)
        return;
    m_recording->togglePause();
    if (auto* pause = qobject_cast<QPushButton*>(m_pPauseButton))
        pause->setIcon(m_recording->paused() ? m_resumePixmap : m_pausePixmap);
}

void Velmora::slotHook(void* action) {
    m_recording->slotHook(static_cast<SActionType*>(action));
}

int Velmora::slotBackToNormal() {
    if (!m_bRecording || m_recording->paused())
        return 0;
    m_bRecording = false;
    m_pRecordTimer->stop();
    const int written = m_recording->stop();
    const RecordingSession::Failure failure = m_recording->failure();

    initEditingFrames();
    slotEnableTool();
    enableObjects();
    slotEnableMenu();
    if (m_pRecordBar)
        m_pRecordBar->hide();

    VLImageHolder* holder = imageHolder();
    holder->get_no_frames(int(m_project.m_dwFrameCount));
    rebuildStrip(false);
    if (m_project.m_vUserActionFrames.empty())
        setItemEnabled(EDIT_SELECT_UA_FRAMES, false);
    diag::print("m_dwUserActionFrame == %u\n", m_project.m_dwUserActionFrame);
    diag::print("m_dwFrameCount == %u\n", m_project.m_dwFrameCount);
    diag::print("dwFrameCount == %u\n", m_recording->captureCount());
    holder->getMouseActionFrames(m_project.m_vPlayBackFrameInfo);
    addFrameName();
    if (m_bFullScreen)
        showFullScreen();
    else
        showNormal();
    show();
    if (m_project.m_dwFrameCount > 0)
        frameStrip()->set_current_frame(1);

    if (failure == RecordingSession::FAIL_LIMIT)
        VL_ErrMessage(
            "The recording has reached its size limit and was stopped.\nEvery frame recorded until then "
            "is kept.");
    else if (failure == RecordingSession::FAIL_CAPTURE)
        VL_ErrMessage("The screen could no longer be captured: the recording was stopped.");
    else if (failure == RecordingSession::FAIL_WRITE || written != 0)
        VL_ErrMessage(
            withCause("The working frame file could not be written completely.", m_recording->writerError()));
    return 0;
}

// ---- Frame table -------------------------------------------------------------------

void Velmora::initializeForFrameAddition() {
    NVCapInit init{SRect{0, 0, m_screenWidth - 1, m_screenHeight - 1}, 0, 0};
    if (NV_CapInit(&init) == NVCAP_OK && m_screenWidth > 0) {
        m_screenBytesPerPixel = init.bytesPerLine / m_screenWidth;
        m_screenRowBytes = m_screenBytesPerPixel * m_screenWidth;
    }
    NV_CleanUpCapture();
    if (refuseIrregularWorkingFile(datfile::untitledPath(m_homeDir)))
        return;
    m_vlmFileName = datfile::untitledPath(m_homeDir);
    setBuilderCaption();
    if (m_pBufferManager->startBufferManager(m_vlmFileName.c_str(), DAT_FILE_SIZE_LIMIT,
                                             SRect{0, 0, m_screenWidth, m_screenHeight}) != 0)
        return;
    m_madeWorkingFile = m_vlmFileName;
    m_bFramesReady = true;
    initEditingFrames();
}

void Velmora::slotEditAppendFrames() {
    showProgress("Adds a blank frame at the end...");
    m_view->_get_editprop_box()->hide();
    if (m_project.m_dwFrameCount == 0 && !m_bFramesReady) {
        enableObjects();
        slotEnableTool();
        slotEnableMenu();
        m_project.m_vEditInfo.clear();
        m_project.m_vPlayBackFrameInfo.clear();
        initializeForFrameAddition();
        qCDebug(lcProject, "initialized for Frame Addition");
    }
    if (!m_frameTable->appendFrame()) {
        VL_ErrMessage("The frame could not be added: the working frame file cannot be written.");
        showReady();
        return;
    }
    frameStrip()->resetFrameDetailsOnAppendFrame();
    m_pNavigationBar->getScrollNavigationBar()->resetResize(int(m_project.m_dwFrameCount), true);
    // The project's frames now fix the capture settings, until New or a Make.
    m_pCaptureSettings->setCaptureControlsEnabled(false);
    showReady();
}

void Velmora::slotEditInsertFrames() {
    showProgress("Inserts a blank frame at the current position...");
    m_view->_get_editprop_box()->hide();
    if (m_project.m_dwFrameCount == 0) {
        slotEditAppendFrames();
        return;
    }
    if (!m_frameTable->insertFrame()) {
        VL_ErrMessage("The frame could not be inserted: the working frame file cannot be written.");
        showReady();
        return;
    }
    frameStrip()->resetFrameDetailsOnInsertFrame();
    m_pNavigationBar->getScrollNavigationBar()->resetResize(int(m_project.m_dwFrameCount), true);
    m_pCaptureSettings->setCaptureControlsEnabled(false);
    showReady();
}

void Velmora::slotDeleteFrame(int first, int last) {
    if (first < 0 || last < first)
        return;
    m_frameTable->toggleDeleted(uint32_t(first), uint32_t(last));
    changePurgeStatus(m_project.m_deletedCount > 0);
}

void Velmora::slotEditDeleteFrames() {
    showProgress("Marks the current frame as deleted...");
    frameStrip()->mark_frame_delete();
    showReady();
}

void Velmora::slotEditPurgeFrames() {
    showProgress("Permanently removes all deleted frames...");
    for (int i = int(m_project.m_dwFrameCount) - 1; i >= 0; --i)
        if (m_project.m_vEditInfo[size_t(i)].deletedFlag)
            m_frameTable->purgeFrame(uint32_t(i));
    frameStrip()->reset_frame_details(0, 0, nullptr);
    m_pNavigationBar->getScrollNavigationBar()->scrollToStart();
    if (m_project.m_dwFrameCount > 0) {
        rebuildStripAfterMove(true);
        if (m_project.m_vUserActionFrames.empty())
            setItemEnabled(EDIT_SELECT_UA_FRAMES, false);
    } else {
        CFrameObject::resetBackColor();
    }
    changePurgeStatus(false);
    if (m_project.m_dwFrameCount == 0) {
        // The project keeps one blank frame.
        m_project.m_vUserActionFrames.clear();
        m_project.m_dwUserActionFrame = 0;
        setItemEnabled(EDIT_SELECT_UA_FRAMES, false);
        m_project.m_currentFrame = 0;
        if (m_frameTable->appendFrame()) {
            frameStrip()->resetFrameDetailsOnAppendFrame();
            m_pNavigationBar->getScrollNavigationBar()->resetResize(int(m_project.m_dwFrameCount), true);
        } else {
            VL_ErrMessage("The frame could not be added: the working frame file cannot be written.");
        }
    }
    showReady();
}

// The sound-or-action frames over the frames as they are now, kept as the
// project's list; the strip is rebuilt from it and the delete marks set again.
void Velmora::rebuildStripAfterMove(bool toFirst) {
    const std::vector<uint32_t> marked = m_frameTable->markedFrames();
    m_project.m_vUserActionFrames.assign(marked.begin(), marked.end());
    m_project.m_dwUserActionFrame = uint32_t(marked.size());
    std::vector<int> list(marked.begin(), marked.end());
    NavigationBarBase* strip = frameStrip();
    strip->resetFrameDetailsOnPasteFrame(int(m_project.m_dwFrameCount), int(list.size()), list.data(),
                                         toFirst);
    m_pNavigationBar->getScrollNavigationBar()->resetResize(int(m_project.m_dwFrameCount), true);
    for (uint32_t i = 0; i < m_project.m_dwFrameCount; ++i)
        if (m_project.m_vEditInfo[i].deletedFlag)
            strip->mark_frame_delete(int(i));
    // The rebuild chose the current frame before its mark was set again.
    const int current = strip->get_current_frame() - 1;
    if (current >= 0 && uint32_t(current) < m_project.m_dwFrameCount)
        slotCheckCurrentFrameStatus(m_project.m_vEditInfo[size_t(current)].deletedFlag != 0);
}

void Velmora::slotPasteFrames(int current, int first, int last) {
    if (first < 0 || last < first || current < 0)
        return;
    if (m_frameTable->copyRangeFrames(uint32_t(first), uint32_t(last), uint32_t(current)) <= 0)
        return;
    rebuildStripAfterMove(false);
}

void Velmora::slotPasteAfterCut(int current, int first, int last) {
    if (first < 0 || last < first || current < 0)
        return;
    if (!m_frameTable->cutPasteRangeFrames(uint32_t(first), uint32_t(last), uint32_t(current)))
        return;
    m_frameTable->fileHeaderWrite();
    rebuildStripAfterMove(false);
}

// ---- Output file ---------------------------------------------------------------------

int Velmora::makeBuilderVLM(const std::string& path, std::string* cause) {
    VLImageHolder* holder = imageHolder();
    // The frames are written between the progress steps: the bar is repainted
    // and events are let through only as often as the eye and the hand need.
    ProgressPacer pacer = progressPacer(m_project.m_dwFrameCount);
    OutputFileServices services(
        m_pResourceEditor.get(),
        [holder](uint32_t frame) {
            std::vector<sAllObjects> records;
            holder->getVectorRef(records, int(frame));
            return records;
        },
        {}, [this, &pacer](uint32_t frame) { pacedStep(m_pProgressBar, pacer, int(frame) + 1); });
    MakeInput in;
    in.workingPath = path;
    in.outputPath = path.size() >= 4 ? path.substr(0, path.size() - 4) + ".vlm" : path + ".vlm";
    in.soundPath = m_soundWorkingFile->path();
    in.project = &m_project;
    in.depth = m_depth;
    in.screenWidth = m_screenWidth;
    in.screenHeight = m_screenHeight;
    in.bytesPerPixel = m_screenBytesPerPixel;
    in.redMask = m_redMask;
    in.greenMask = m_greenMask;
    in.blueMask = m_blueMask;
    in.backgroundSound = m_backgroundSound;
    OutputFileMaker maker(in, services);
    const int result = maker.make();
    if (result != 0 && cause)
        *cause = maker.error();
    if (!maker.missingResources().empty())
        m_pStatusBar->showMessage(QString("%1 resource(s) are not in the media library and were not written")
                                      .arg(maker.missingResources().size()),
                                  4000);
    return result;
}

int Velmora::makeBuilderScratch(const std::string& path, std::string* cause) {
    VLImageHolder* holder = imageHolder();
    holder->getNoFramesOnFileOpen(0);
    // The resources the imported records use, as the make writes them.
    std::vector<uint32_t> used;
    // The progress bar counts the frames, then the object stream's entries,
    // each at the pacer's pace.
    uint32_t frames = 0, objectEntries = 0;
    ProgressPacer framePacer = progressPacer(0), objectPacer = progressPacer(0);
    bool objectPhase = false;
    OutputFileServices services(
        m_pResourceEditor.get(), {},
        [this, holder, &used, &objectEntries, &objectPhase,
         &objectPacer](uint32_t frame, std::vector<sAllObjects>&& records) {
            if (!objectPhase) {
                objectPhase = true;
                m_pProgressBar->setRange(0, int(objectEntries));
                m_pStatusBar->showMessage(" Uncompressing Objects ... ");
                objectPacer = progressPacer(objectEntries);
            }
            pacedStep(m_pProgressBar, objectPacer, int(frame) + 1);
            for (const sAllObjects& r : records)
                for (uint32_t id : OutputFileServices::resourceIdsOf(r))
                    used.push_back(id);
            holder->setVectorRef(records, int(frame));
        },
        [this, &frames, &framePacer](uint32_t frame) {
            if (frame == 0) {
                m_pProgressBar->setRange(0, int(frames));
                framePacer = progressPacer(frames);
            }
            m_pStatusBar->showMessage("Uncompressing Frames...");
            pacedStep(m_pProgressBar, framePacer, int(frame) + 1);
        });
    OutputFileImporter::Screen screen{m_screenWidth, m_screenHeight, m_depth, m_screenBytesPerPixel};
    ImportResult r;
    {
        // Size the holder's store before the objects arrive.
        VlmFile probe;
        OutputFileImporter::limitFramesToPlaybackRecords(probe);
        if (probe.openToRead(path) == 0) {
            frames = probe.vlmStreamLength(vlm::CHUNK_VIDEO);
            if (probe.hasStream(vlm::CHUNK_OBJECT))
                objectEntries = probe.vlmStreamLength(vlm::CHUNK_OBJECT);
        }
        probe.vlmFileClose();
        holder->getNoFramesOnFileOpen(int(frames));
    }
    OutputFileImporter importer(path, screen, datfile::dataDirectory(m_homeDir), m_soundWorkingFile->path(),
                                services);
    r = importer.run();
    if (cause)
        *cause = r.error;
    if (r.code == OutputFileImporter::IMPORT_RESOLUTION) {
        QMessageBox box(QMessageBox::Information, "Velmora 1.0",
                        QString("Resolution conflict error\nVLM captured in %1x%2 %3bpp")
                            .arg(r.fileWidth)
                            .arg(r.fileHeight)
                            .arg(r.fileBitsPerPixel),
                        QMessageBox::Ok, this);
        box.exec();
    }
    if (r.code != OutputFileImporter::IMPORT_OK)
        return r.code;
    m_vlmFileName = r.workingPath;
    m_madeWorkingFile = r.workingPath;
    // The frame name counter and the current frame stay as they were.
    const int nameCounter = m_project.m_frameNameCounter, current = m_project.m_currentFrame;
    m_project = std::move(r.project);
    m_project.m_frameNameCounter = nameCounter;
    m_project.m_currentFrame = current;
    m_captureRect = r.captureRect;
    m_backgroundSoundId = r.backgroundSoundId;
    m_backgroundSoundFile = r.backgroundSoundFile;
    OutputFileServices::renumberResources(m_project.m_vPlayBackFrameInfo, m_backgroundSoundId,
                                          services.renumbered());
    restoreBackgroundSound(r.backgroundSound, m_backgroundSoundId);
    if (r.soundWritten)
        m_soundWorkingFile->adoptImported();
    // One use per reference of the opened project.
    for (const SPlayBackFrameInfo& p : m_project.m_vPlayBackFrameInfo)
        used.push_back(p.cursorImage);
    used.push_back(m_backgroundSoundId);
    for (uint32_t id : used)
        if (id != 0)
            m_pResourceEditor->slotAddIDOnCopy(id);
    m_bFramesReady = true;
    return 0;
}

// ---- File commands ---------------------------------------------------------------------

// The window's size and the bars shown, for the next start.
void Velmora::saveUserSettings() {
    auto shown = [](QWidget* widget) { return widget && widget->isVisible(); };
    uint8_t bits = 0;
    if (shown(m_pFileToolBar))
        bits |= SWindowSettings::TOOL_BAR;
    if (shown(m_pStatusBar))
        bits |= SWindowSettings::STATUS_BAR;
    if (shown(m_pNavigationBar))
        bits |= SWindowSettings::NAVIGATION_BAR;
    if (shown(m_pDrawToolBar))
        bits |= SWindowSettings::DRAW_PALETTE;
    if (shown(m_pEditToolBar))
        bits |= SWindowSettings::EDIT_PALETTE;
    if (shown(m_pColorToolBar))
        bits |= SWindowSettings::COLOR_BAR;
    if (!SessionFiles::saveSettings(datfile::dataDirectory(m_homeDir),
                                    SessionFiles::makeSettings(geometry(), m_bFullScreen, isMinimized(), bits,
                                                               m_screenWidth, m_screenHeight)))
        diag::print("the window settings could not be written\n");
}

int Velmora::saveFramesPrompt() {
    if (m_project.m_dwFrameCount == 0)
        return 1;
    QMessageBox box(QMessageBox::Information, "Velmora 1.0", "Save Frames?", QMessageBox::NoButton, this);
    QPushButton* yes = box.addButton("&Yes ", QMessageBox::YesRole);
    QPushButton* no = box.addButton("&No ", QMessageBox::NoRole);
    QPushButton* cancel = box.addButton("&Cancel", QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes)
        return 0;
    if (box.clickedButton() == no)
        return 1;
    return 2;
}

// Make for the Yes of the prompt: false when it failed, and the project must stay.
bool Velmora::makeForPrompt() {
    const uint32_t before = m_project.m_dwFrameCount;
    slotFileMake();
    return before == 0 || m_project.m_dwFrameCount == 0;
}

void Velmora::resetProject(bool keepPath) {
    m_project.m_vEditInfo.clear();
    m_project.m_vPlayBackFrameInfo.clear();
    m_project.m_dwFrameCount = 0;
    m_project.m_dwUserActionFrame = 0;
    m_project.m_appendedCount = m_project.m_insertedCount = m_project.m_frameNameCounter =
        m_project.m_deletedCount = 0;
    m_project.m_vUserActionFrames.clear();
    frameStrip()->reset_frame_details(0, 0, nullptr);
    m_pNavigationBar->getScrollNavigationBar()->scrollToStart();
    if (!keepPath) {
        m_vlmFileName = datfile::untitledPath(m_homeDir);
        setBuilderCaption();
    }
    m_recording->setSharedData(HOOK_IDLE);
    imageHolder()->getNoFramesOnFileOpen(0);
    setBuilderSplash();
    disableObjects();
    slotDisableMenu();
    slotDisableTools();
    m_pCaptureSettings->setFrameRate(m_frameRate);
    m_bActionCaptureSuspended = m_bUserActionsOnly = m_bNoRecordExtension = m_bFramesReady = false;
    m_pFrameLabel->setText(" ");
    m_pActionLabel->setText(" ");
    m_pActionIconLabel->setText(" ");
    CFrameObject::resetBackColor();
    m_pCaptureSettings->setCaptureControlsEnabled(true);
    // No object of the closed project uses a resource any more.
    ResourceUseTable::instance().clear();
}

void Velmora::slotFileNew() {
    m_view->_get_editprop_box()->hide();
    hideSoundItems();
    CleanUpAudio();
    showProgress("Creating new file...");
    if (m_project.m_dwFrameCount != 0) {
        const int answer = saveFramesPrompt();
        if (answer == 2 || (answer == 0 && !makeForPrompt())) {
            showReady();
            return;
        }
        resetProject(false);
    }
    m_doc->newDoc();
    showReady();
}

void Velmora::slotFileMake() {
    // Not inside a running make or sound transfer: both read the working files.
    if (m_project.m_dwFrameCount == 0 || m_bTransferLock)
        return;
    showProgress("Making VLM ...");
    hideSoundItems();
    frameStrip()->disableButtonsOnMakeAndOpen();
    slotDrawToolsSelect();
    imageHolder()->updateObjects();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_view->_get_editprop_box()->hide();
    disableObjects();
    slotDisableMenu();
    slotDisableTools();
    // The make lets events through per frame: nothing may change the project meanwhile.
    lockForTransfer();
    m_bMaking = true;
    m_pProgressBar->setRange(0, int(m_project.m_dwFrameCount));
    // The make reads the sound working file by its path; the next clip reopens it.
    m_soundWorkingFile->close();
    std::string cause;
    const int result = makeBuilderVLM(m_vlmFileName, &cause);
    m_bMaking = false;
    m_pProgressBar->reset();
    QApplication::restoreOverrideCursor();
    if (result != 0) {
        QMessageBox box(QMessageBox::Critical, "Velmora 1.0",
                        withCause("Make VLM... process exited with errors", cause), QMessageBox::Ok);
        box.exec();
        // The project is kept: give the author the commands back to try again.
        unlockAfterTransfer();
        frameStrip()->enableButtonsAfterMakeAndOpen();
        enableObjects();
        slotEnableMenu();
        slotEnableTool();
        showReady();
        exitIfAskedMeanwhile();
        return;
    }
    resetProject(true);
    unlockAfterTransfer();
    const QString made =
        QString::fromLocal8Bit(
            m_vlmFileName.substr(0, m_vlmFileName.size() >= 4 ? m_vlmFileName.size() - 4 : 0).c_str()) +
        ".vlm";
    if (SessionFiles::updateRecentFileList(m_recentFiles, made))
        addRecentFileItem(made);
    frameStrip()->enableButtonsAfterMakeAndOpen();
    setItemEnabled(FILE_SAVE_AS, true);
    if (m_pSaveAsButton)
        m_pSaveAsButton->setEnabled(true);
    m_pStatusBar->showMessage("Done", 2000);
    exitIfAskedMeanwhile();
}

void Velmora::openCompletion() {
    m_pProgressBar->reset();
    frameStrip()->enableButtonsAfterMakeAndOpen();
    setItemEnabled(FILE_NEW, true);
    if (m_pNewButton)
        m_pNewButton->setEnabled(true);
    enableObjects();
    slotEnableMenu();
    slotEnableTool();
    initEditingFrames();
    setBuilderCaption();
    rebuildStrip(true);
    diag::print("m_dwUserActionFrame == %u\n", m_project.m_dwUserActionFrame);
    diag::print("m_dwFrameCount == %u\n", m_project.m_dwFrameCount);
    imageHolder()->getMouseActionFrames(m_project.m_vPlayBackFrameInfo);
    for (uint32_t i = 0; i < m_project.m_dwFrameCount; ++i)
        if (m_project.m_vEditInfo[i].deletedFlag)
            frameStrip()->mark_frame_delete(int(i));
    changePurgeStatus(m_project.m_deletedCount > 0);
    m_pCaptureSettings->setCaptureControlsEnabled(false);
    if (m_project.m_dwFrameCount > 0)
        frameStrip()->set_current_frame(1);
    showReady();
}

void Velmora::openPath(const QString& path, bool fromCommandLine) {
    m_view->_get_editprop_box()->hide();
    if (path.isEmpty() || !QFile::exists(path)) {
        frameStrip()->enableButtonsAfterMakeAndOpen();
        showReady();
        return;
    }
    if (regularfile::existsButNotRegular(path.toLocal8Bit().toStdString())) {
        VL_ErrMessage("VLM File Error\n" + path + " is not a regular file.");
        frameStrip()->enableButtonsAfterMakeAndOpen();
        showReady();
        return;
    }
    showProgress("Opening file...");
    m_project.m_appendedCount = m_project.m_insertedCount = 0;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The import renames a new sound working file over this one.
    m_soundWorkingFile->close();
    std::string cause;
    const int result = makeBuilderScratch(path.toLocal8Bit().toStdString(), &cause);
    QApplication::restoreOverrideCursor();
    QString message;
    switch (result) {
    case OutputFileImporter::IMPORT_OK:
        break;
    case OutputFileImporter::IMPORT_MEMORY:
        message = fromCommandLine ? "VLM Memoer Error" : "VLM File Error";
        break;
    case OutputFileImporter::IMPORT_NO_ADDITIONAL_DATA:
        message = "VLM File Wrong Signature, File Corrupt";
        break;
    case OutputFileImporter::IMPORT_BAD_SIGNATURE:
        message = fromCommandLine ? "VLM File Wrong Sign" : "VLM File Wrong Signature";
        break;
    case OutputFileImporter::IMPORT_RESOLUTION:
        break; // makeBuilderScratch has told the author
    case OutputFileImporter::IMPORT_OPEN:
        message = "The working frame file beside the output file cannot be made:";
        if (cause.empty())
            cause = datfile::workingPathFor(path.toLocal8Bit().toStdString());
        break;
    default:
        message = "VLM File Error";
        break;
    }
    if (result != OutputFileImporter::IMPORT_OK) {
        m_vlmFileName = datfile::untitledPath(m_homeDir);
        if (!message.isEmpty())
            VL_ErrMessage(withCause(message, cause));
        m_pProgressBar->reset();
        frameStrip()->enableButtonsAfterMakeAndOpen();
        showReady();
        return;
    }
    openCompletion();
    if (!fromCommandLine && SessionFiles::updateRecentFileList(m_recentFiles, path))
        addRecentFileItem(path);
}

void Velmora::slotFileOpen() {
    const QString start = QString::fromLocal8Bit((m_homeDir + "/zedaro").c_str());
    if (m_project.m_dwFrameCount != 0) {
        diag::print("already opened\n");
        const int answer = saveFramesPrompt();
        if (answer == 2 || (answer == 0 && !makeForPrompt())) {
            showReady();
            return;
        }
        if (m_project.m_dwFrameCount != 0)
            resetProject(false);
    }
    frameStrip()->disableButtonsOnMakeAndOpen();
    m_view->_get_editprop_box()->hide();
    showProgress("Opening file...");
    const QString path = QFileDialog::getOpenFileName(this, QString(), start, "VLM Files (*.vlm)");
    openPath(path, false);
}

void Velmora::openFromArgv(const char* path) {
    openPath(QString::fromLocal8Bit(path ? path : ""), true);
}

void Velmora::slotFileSaveAs() {
    EditPropertyBox* box = m_view->_get_editprop_box();
    if (box->isVisible()) {
        box->hide();
        box->tabWidget->setCurrentIndex(0); // the property list, not the event list
    }
    showProgress("Saving file...");
    const QString start = QString::fromLocal8Bit((m_homeDir + "/zedaro").c_str());
    QFileDialog dialog(this, "Save As", start, "VLM Files (*.vlm)");
    dialog.setObjectName("Open");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    std::string target = dialog.selectedFiles().first().toLocal8Bit().toStdString();
    if (target.size() < 4 || target.substr(target.size() - 4) != ".vlm")
        target += ".vlm";
    const std::string source =
        (m_vlmFileName.size() >= 4 ? m_vlmFileName.substr(0, m_vlmFileName.size() - 4) : m_vlmFileName) +
        ".vlm";

    struct stat s {
    }, t{};
    if (stat(source.c_str(), &s) != 0) {
        VL_ErrMessage("There is no output file to save yet: make it first.");
        showReady();
        return;
    }
    if (stat(target.c_str(), &t) == 0) {
        if (s.st_dev == t.st_dev && s.st_ino == t.st_ino) {
            VL_ErrMessage("Both are same file");
            return;
        }
        if (S_ISDIR(t.st_mode)) {
            VL_ErrMessage("File specified is a Directory\n");
            return;
        }
        QMessageBox box(QMessageBox::Information, "Velmora 1.0", "File Exists OverWrite?",
                        QMessageBox::NoButton, this);
        QPushButton* yes = box.addButton("&Yes ", QMessageBox::YesRole);
        box.addButton("&No ", QMessageBox::NoRole);
        QPushButton* cancel = box.addButton("&Cancel", QMessageBox::RejectRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(cancel);
        box.exec();
        if (box.clickedButton() != yes) {
            showReady();
            return;
        }
    }
    // Copy beside the target and move it into place only when the copy is whole.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    int err = 0;
    const bool ok = copyFileWhole(source, target, err);
    QApplication::restoreOverrideCursor();
    if (!ok) {
        if (err == EACCES || err == EROFS)
            VL_ErrMessage(
                "pathname refers to a file on a  read-only  filesystem\n       select a different path");
        else
            VL_ErrMessage(QString("The file could not be saved: %1").arg(strerror(err)));
        showReady();
        return;
    }
    m_pStatusBar->showMessage("Ready...");
}

// Exit and close: keeps the recent files, the custom colours and the window
// settings, asks about the frames and removes the working frame file this run
// made or imported (one already gone is no error). False when the author
// cancelled, or the make asked for failed: the program goes on. Runs once:
// the toolkit's quit after Exit closes the window, which finds it done.
bool Velmora::finishSession() {
    if (m_bSessionFinished)
        return true;
    SessionFiles::writeRecentFiles(datfile::dataDirectory(m_homeDir), m_recentFiles);
    showProgress("Exiting application...");
    if (m_pColorBar)
        m_pColorBar->write();
    m_view->_get_editprop_box()->hide();
    hideSoundItems();
    saveUserSettings();
    if (m_project.m_dwFrameCount != 0) {
        const int answer = saveFramesPrompt();
        if (answer == 2 || (answer == 0 && !makeForPrompt())) {
            showReady();
            return false;
        }
        if (m_project.m_dwFrameCount != 0)
            resetProject(true);
    }
    qCDebug(lcProject, "m_vlmFileName %s", m_vlmFileName.c_str());
    if (!m_madeWorkingFile.empty() && m_vlmFileName == m_madeWorkingFile)
        if (unlink(m_vlmFileName.c_str()) != 0 && errno != ENOENT)
            diag::error("unlink ");
    m_madeWorkingFile.clear();
    m_bSessionFinished = true;
    return true;
}

void Velmora::slotFileQuit() {
    if (deferUntilTransferEnds(true))
        return;
    if (finishSession())
        QApplication::quit();
}

void Velmora::closeEvent(QCloseEvent* event) {
    if (deferUntilTransferEnds(false) || !finishSession()) {
        event->ignore();
        return;
    }
    event->accept();
    QMainWindow::closeEvent(event);
}
