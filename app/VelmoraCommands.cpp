// The main window's command state, status texts, tool choice and the small
// edit, view, help and password commands.
#include "app/ChangePassword.h"
#include "app/ClearPassword.h"
#include "app/CommandTexts.h"
#include "app/HelpWindow.h"
#include "app/MenuIds.h"
#include "app/SetPassword.h"
#include "app/Velmora.h"
#include "media/CBackgroundSound.h"
#include "store/Diagnostics.h"

#include "app/aboutVl.h"
#include "canvas/FrameLoader.h"
#include "canvas/VLImageHolder.h"
#include "canvas/strip/NavigationBarBase.h"
#include "objects/draw/CColorBar.h"
#include "record/CaptureSettings.h"

#include <QAction>
#include <QApplication>
#include <QDebug>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

#include <QLoggingCategory>
#include <cstdio>

Q_LOGGING_CATEGORY(lcCommands, "velmora.app.commands", QtWarningMsg)

using namespace menuid;

namespace {

// Object kinds the tools send to the canvas.
enum DrawingObjectType {
    OBJ_SELECTION = 0,
    OBJ_LINE = 1,
    OBJ_RECTANGLE = 2,
    OBJ_ROUND_RECTANGLE = 3,
    OBJ_ELLIPSE = 4,
    OBJ_PENCIL = 5,
    OBJ_VALIDATION_FIELD = 6,
    OBJ_AIRBRUSH = 7,
    OBJ_INSTRUCTION_BOX = 14,
    OBJ_HYPERLINK = 17,
    OBJ_TEXT_FIELD = 19,
    OBJ_BITMAP = 20,
    OBJ_PAINT_BRUSH = 23,
    OBJ_POLYLINE = 25,
};

const int kDrawPaletteItems[] = {DRAW_SELECT,  DRAW_LINE,      DRAW_ROUND_RECT,
                                 DRAW_ELLIPSE, DRAW_RECTANGLE, DRAW_POLYLINE};
const int kEditPaletteItems[] = {EDIT_HYPERLINK, EDIT_VALIDATION, EDIT_INSTRUCTION, EDIT_TEXT_FIELD,
                                 EDIT_BITMAP};

} // namespace

void Velmora::showProgress(const QString& text) {
    m_pStatusBar->showMessage(text);
}

void Velmora::showReady() {
    m_pStatusBar->showMessage("Ready.");
}

// ---- Status texts ---------------------------------------------------------

void Velmora::slotStatusHelpMsg(const QString& text) {
    m_pStatusBar->showMessage(text, 2000);
}

void Velmora::statusCallback(int id) {
    const QString text = commandtexts::helpText(id);
    if (!text.isNull())
        slotStatusHelpMsg(text);
}

void Velmora::slotLoadFrame(int frame) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_project.m_currentFrame = frame;
    if (frame >= 0 && uint32_t(frame) < m_project.m_dwFrameCount && m_frameLoader) {
        // The Sound menu for the frame: Play, Rewind and Forward when it has sound.
        const bool sound = size_t(frame) < m_project.m_vPlayBackFrameInfo.size() &&
                           (m_project.m_vPlayBackFrameInfo[size_t(frame)].frameFlags & PBF_AUDIO);
        for (int id : {RECORD_SOUND, SOUND_RECORD})
            setItemEnabled(id, true);
        setItemEnabled(SOUND_STOP, false);
        for (int id : {SOUND_PLAY, SOUND_REWIND, SOUND_FORWARD})
            setItemEnabled(id, sound);
        emit NewFrameSignal(frame);
        if (m_frameLoader->loadFrame(size_t(frame), m_project.m_vEditInfo, m_project.m_vPlayBackFrameInfo,
                                     nullptr, m_depth <= 15 ? &m_project.m_vColormaps : nullptr,
                                     &m_nCurrentPalette) == FrameLoader::LoadResult::Failed)
            m_pStatusBar->showMessage(QString::fromStdString(m_frameLoader->lastError()), 4000);
    }
    m_pFrameLabel->setText(commandtexts::frameLabel(frame, m_project.m_dwFrameCount));

    if (frame >= 0 && size_t(frame) < m_project.m_vPlayBackFrameInfo.size()) {
        const commandtexts::ActionDisplay d =
            commandtexts::actionDisplay(m_project.m_vPlayBackFrameInfo[size_t(frame)]);
        if (d.changesText) {
            m_pActionLabel->setText(d.text);
            const QPixmap* icon = nullptr;
            switch (d.icon) {
            case commandtexts::ActionDisplay::LeftClick:
                icon = m_pLeftClickPixmap.get();
                break;
            case commandtexts::ActionDisplay::RightClick:
                icon = m_pRightClickPixmap.get();
                break;
            case commandtexts::ActionDisplay::KeyClick:
                icon = m_pKeyClickPixmap.get();
                break;
            case commandtexts::ActionDisplay::NoUserAction:
                icon = m_pNoUserActionPixmap.get();
                break;
            case commandtexts::ActionDisplay::KeepIcon:
                break;
            }
            if (icon)
                m_pActionIconLabel->setPixmap(*icon);
        }
    }
    QApplication::restoreOverrideCursor();
}

void Velmora::slotMouseMovePositions(QPoint position) {
    if (position.x() >= 0 && position.y() >= 0)
        m_pPointerLabel->setText(QStringLiteral(" %1,%2").arg(position.x()).arg(position.y()));
}

// ---- Command state --------------------------------------------------------

void Velmora::slotEnableMenu() {
    for (int id :
         {FILE_OPEN, FILE_MAKE, EDIT_APPEND_FRAME, EDIT_INSERT_FRAME, EDIT_DELETE_FRAME,
          EDIT_SELECT_ALL_FRAMES, SOUND_RECORD, RECORD_SOUND, PREFERENCES_AUDIO, PREFERENCES_BACKGROUND})
        setItemEnabled(id, true);
    for (int id : {RECORD_START, EDIT_SELECT_ALL, EDIT_PURGE_FRAMES})
        setItemEnabled(id, false);
    setItemEnabled(EDIT_SELECT_UA_FRAMES, m_project.m_dwUserActionFrame != 0);
    for (int id : kDrawPaletteItems)
        setItemEnabled(id, true);
    for (int id : kEditPaletteItems)
        setItemEnabled(id, true);
    setItemChecked(VIEW_RECORD_SOUND_CLIP, false);
    setItemEnabled(VIEW_RECORD_SOUND_CLIP, true);
}

void Velmora::slotDisableMenu() {
    for (int id :
         {FILE_MAKE, FILE_SAVE_AS, EDIT_UNDO, EDIT_CUT, EDIT_COPY, EDIT_DELETE, EDIT_PASTE, EDIT_SELECT_ALL,
          EDIT_DELETE_FRAME, EDIT_PURGE_FRAMES, EDIT_DELETE_SOUND, EDIT_SELECT_ALL_FRAMES,
          EDIT_SELECT_UA_FRAMES, VIEW_RECORD_SOUND_CLIP, PREFERENCES_AUDIO, PREFERENCES_BACKGROUND})
        setItemEnabled(id, false);
    for (int id : kDrawPaletteItems)
        setItemEnabled(id, false);
    for (int id : kEditPaletteItems)
        setItemEnabled(id, false);
    setItemEnabled(RECORD_START, true);
}

void Velmora::slotEnableTool() {
    for (QToolButton* b :
         {m_pMakeButton, m_pDeleteFrameButton, m_pAudioSettingsButton, m_pAppendButton, m_pInsertButton})
        b->setEnabled(true);
    m_pRecordButton->setEnabled(false);
}

void Velmora::slotDisableTools() {
    for (QToolButton* b :
         {m_pMakeButton, m_pDeleteFrameButton, m_pAudioSettingsButton, m_pSaveAsButton, m_pUndoButton})
        b->setEnabled(false);
    m_pRecordButton->setEnabled(true);
}

void Velmora::enableObjects() {
    for (int id : kDrawPaletteItems)
        setItemEnabled(id, true);
    for (int id : kEditPaletteItems)
        setItemEnabled(id, true);
    for (QToolButton* b : toolButtons())
        b->setEnabled(true);
    emit signalFrameStatus(false);
}

void Velmora::disableObjects() {
    for (int id : kDrawPaletteItems)
        setItemEnabled(id, false);
    for (int id : kEditPaletteItems)
        setItemEnabled(id, false);
    for (QToolButton* b : toolButtons())
        b->setEnabled(false);
    emit signalFrameStatus(true);
}

void Velmora::slotDisableAudioMenuItems(bool disable) {
    for (int id : {RECORD_SOUND, PREFERENCES_BACKGROUND, PREFERENCES_AUDIO, VIEW_RECORD_SOUND_CLIP})
        setItemEnabled(id, !disable);
}

void Velmora::slotCheckCurrentFrameStatus(bool deleted) {
    if (deleted)
        disableObjects();
    else
        enableObjects();
}

void Velmora::changePurgeStatus(bool enable) {
    setItemEnabled(EDIT_PURGE_FRAMES, enable);
}

void Velmora::slotEnableCutCopy() {
    for (int id : {EDIT_CUT, EDIT_COPY, EDIT_DELETE})
        setItemEnabled(id, true);
}

void Velmora::slotDisableCutCopy() {
    for (int id : {EDIT_CUT, EDIT_COPY, EDIT_DELETE})
        setItemEnabled(id, false);
}

void Velmora::slotEnablePaste() {
    setItemEnabled(EDIT_PASTE, true);
}
void Velmora::slotDisablePaste() {
    setItemEnabled(EDIT_PASTE, false);
}
void Velmora::slotEnableSelectAll() {
    setItemEnabled(EDIT_SELECT_ALL, true);
}
void Velmora::slotDisableSelectAll() {
    setItemEnabled(EDIT_SELECT_ALL, false);
}

// ---- Tools ----------------------------------------------------------------
//
// The eleven buttons are switched by hand rather than by an exclusive group:
// some tools leave every button off, and the rectangle and paint-brush tools
// have their own rules.

void Velmora::chooseTool(QToolButton* on, Qt::CursorShape cursor, int kind) {
    for (QToolButton* b : toolButtons())
        b->setChecked(b == on);
    m_toolCursor = cursor;
    if (VLImageHolder* holder = imageHolder())
        holder->setCursor(cursor);
    emit signal_draw_object(kind);
}

void Velmora::slotDrawToolsSelect() {
    if (m_pSelectButton->isDown())
        return;
    chooseTool(m_pSelectButton, Qt::ArrowCursor, OBJ_SELECTION);
}

void Velmora::slotDrawToolsLine() {
    chooseTool(m_pLineButton, Qt::CrossCursor, OBJ_LINE);
}

void Velmora::slotDrawToolsRectangle() {
    chooseTool(m_pRectangleButton, Qt::CrossCursor, OBJ_RECTANGLE);
    m_pHyperlinkButton->setEnabled(true);
}

void Velmora::slotDrawToolsRound() {
    chooseTool(m_pRoundRectButton, Qt::CrossCursor, OBJ_ROUND_RECTANGLE);
}
void Velmora::slotDrawToolsEllipse() {
    chooseTool(m_pEllipseButton, Qt::CrossCursor, OBJ_ELLIPSE);
}
void Velmora::slotDrawToolsPolyline() {
    chooseTool(m_pPolylineButton, Qt::CrossCursor, OBJ_POLYLINE);
}
void Velmora::slotEditToolsValidation() {
    chooseTool(m_pValidationButton, Qt::CrossCursor, OBJ_VALIDATION_FIELD);
}
void Velmora::slotEditToolsInstruction() {
    chooseTool(m_pInstructionBoxButton, Qt::CrossCursor, OBJ_INSTRUCTION_BOX);
}
void Velmora::slotEditToolsHyperlink() {
    chooseTool(m_pHyperlinkButton, Qt::CrossCursor, OBJ_HYPERLINK);
}
void Velmora::slotEditToolsTextBox() {
    chooseTool(m_pTextFieldButton, Qt::CrossCursor, OBJ_TEXT_FIELD);
}
void Velmora::slotEditToolsBitmap() {
    chooseTool(m_pBitmapButton, Qt::CrossCursor, OBJ_BITMAP);
}

// Tools without an object: the draw buttons and the Validation Field button
// go off, the others and the cursor stay as they were.
void Velmora::slotDrawToolsPencil() {
    for (QToolButton* b : {m_pSelectButton, m_pLineButton, m_pRectangleButton, m_pEllipseButton,
                           m_pRoundRectButton, m_pPolylineButton, m_pValidationButton})
        b->setChecked(false);
    emit signal_draw_object(OBJ_PENCIL);
}

void Velmora::slotDrawToolsAirBrush() {
    for (QToolButton* b : {m_pSelectButton, m_pLineButton, m_pRectangleButton, m_pEllipseButton,
                           m_pRoundRectButton, m_pPolylineButton, m_pValidationButton})
        b->setChecked(false);
    emit signal_draw_object(OBJ_AIRBRUSH);
}

void Velmora::slotDrawToolsPaintBrush() {
    for (QToolButton* b : {m_pSelectButton, m_pLineButton, m_pEllipseButton, m_pRoundRectButton,
                           m_pPolylineButton, m_pValidationButton})
        b->setChecked(false);
    m_pRectangleButton->setChecked(true);
    emit signal_draw_object(OBJ_PAINT_BRUSH);
}

// ---- Edit commands --------------------------------------------------------

void Velmora::slotEditCut() {
    showProgress("Cutting selection...");
    emit signalCutCopyObjects(1);
    showReady();
}

void Velmora::slotEditCopy() {
    showProgress("Copying selection to clipboard...");
    emit signalCutCopyObjects(0);
    showReady();
}

void Velmora::slotEditPaste() {
    showProgress("Inserting clipboard contents...");
    emit signalPasteObjects();
    showReady();
}

void Velmora::slotEditDelete() {
    showProgress("Delete one or more selected objects from a frame...");
    if (VLImageHolder* holder = imageHolder())
        holder->deleteObjectOnKeyPress();
    showReady();
}

// Frame and object commands whose work comes with the frame store, the canvas
// and the frame strip.
void Velmora::slotEditUndo() {
    showProgress("Undo the list of action in this frame...");
    emit signalUndoDeletion();
    showReady();
}

void Velmora::slotEnableUndo() {
    setItemEnabled(EDIT_UNDO, true);
    m_pUndoButton->setEnabled(true);
}

void Velmora::slotDisableUndo() {
    setItemEnabled(EDIT_UNDO, false);
    m_pUndoButton->setEnabled(false);
}

void Velmora::slotEditSelectAll() {
    showProgress("Selects All the objects on the current frame...");
    emit signalSelectAllObjects();
    showReady();
}

void Velmora::slotSelectAllFrames() {
    showProgress("Selects All the frames...");
    if (NavigationBarBase* strip = frameStrip())
        strip->slot_select_all_frames();
    showReady();
}

void Velmora::slotSelectAllUaFrames() {
    if (NavigationBarBase* strip = frameStrip())
        strip->slot_select_all_ua_frames();
}

// File commands, with the file-command work.

void Velmora::slotRecentFileSelected(int id) {
    QAction* a = actionById(id);
    if (!a)
        return;
    const QString path = a->property("recentPath").toString();
    if (path.isEmpty() || !m_recentFiles.contains(path))
        return;
    if (m_project.m_dwFrameCount != 0) {
        const int answer = saveFramesPrompt();
        if (answer == 2 || (answer == 0 && !makeForPrompt()))
            return;
        if (m_project.m_dwFrameCount != 0)
            resetProject(false);
    }
    frameStrip()->disableButtonsOnMakeAndOpen();
    openPath(path, false);
}

// The other sound commands are in VelmoraSound.cpp.
void Velmora::slotPerferencesBackground() {
    if (m_pBackgroundSound)
        m_pBackgroundSound->show();
}

void Velmora::slotPerferencesCapture() {
    m_pCaptureSettings->setFrameRate(m_frameRate);
    m_pCaptureSettings->exec();
    const int mode = m_pCaptureSettings->slotOKButtonClicked();
    m_frameRate = m_pCaptureSettings->frameRate();
    m_bUserActionsOnly = mode == CaptureSettings::CAPTURE_USER_ACTIONS_ONLY;
    m_bActionCaptureSuspended = mode == CaptureSettings::CAPTURE_NO_ACTIONS;
}

// ---- View commands --------------------------------------------------------

void Velmora::slotViewToolBar() {
    showProgress("Toggle toolbar...");
    const bool show = !m_pFileToolBar->isVisible();
    m_pFileToolBar->setVisible(show);
    setItemChecked(VIEW_TOOL_BAR, show);
    showReady();
}

void Velmora::slotViewStatusBar() {
    showProgress("Toggle statusbar...");
    const bool show = !m_pStatusBar->isVisible();
    m_pStatusBar->setVisible(show);
    setItemChecked(VIEW_STATUS_BAR, show);
    showReady();
}

void Velmora::slotViewNavigationBar() {
    showProgress("Toggle Navigationbar...");
    if (QWidget* dock = navigationDock()) {
        const bool show = dock->isHidden();
        dock->setVisible(show);
        setItemChecked(VIEW_NAVIGATION_BAR, show);
    }
    showReady();
}

void Velmora::slotViewDrawTool() {
    showProgress("Toggle Drawtool...");
    const bool show = !m_pDrawToolBar->isVisible();
    m_pDrawToolBar->setVisible(show);
    setItemChecked(VIEW_DRAW_PALETTE, show);
    showReady();
}

void Velmora::slotViewEditTool() {
    showProgress("Toggle Edittool...");
    const bool show = !m_pEditToolBar->isVisible();
    m_pEditToolBar->setVisible(show);
    setItemChecked(VIEW_EDIT_PALETTE, show);
    showReady();
}

void Velmora::slotViewColorBar() {
    const bool show = !m_pColorToolBar->isVisible();
    if (!show)
        m_pColorBar->write();
    m_pColorToolBar->setVisible(show);
    setItemChecked(VIEW_COLOR_BAR, show);
}

void Velmora::slotViewFullScreen() {
    showProgress("Toggle Full Screen...");
    if (!m_bFullScreen) {
        showFullScreen();
        m_pStatusBar->hide();
        setItemChecked(VIEW_STATUS_BAR, false);
        setItemChecked(VIEW_FULL_SCREEN, true);
        m_bFullScreen = true;
    } else {
        m_pStatusBar->show();
        showNormal();
        setWindowIcon(m_iconPixmap);
        setItemChecked(VIEW_STATUS_BAR, true);
        setItemChecked(VIEW_FULL_SCREEN, false);
        m_bFullScreen = false;
    }
    showReady();
}

// ---- Help, about and passwords --------------------------------------------

void Velmora::slotHelp() {
    m_pHelpWindow = HelpWindow::showHelp(m_pHelpWindow, this, m_screenWidth, m_screenHeight);
}

void Velmora::slotHelpAbout() {
    m_pAboutDialog->setWindowTitle("About Velmora");
    m_pAboutDialog->show();
    qCDebug(lcCommands, "#####-- m_dwFrameNumber -- %d\n", int(m_project.m_dwFrameCount));
    for (uint32_t i = 0; i < m_project.m_dwFrameCount && i < m_project.m_vPlayBackFrameInfo.size(); ++i)
        qCDebug(lcCommands, "m_vPlayBackFrameInfo[%d].vType %d", int(i),
                int(m_project.m_vPlayBackFrameInfo[i].vType));
    const QStringList args = QApplication::arguments();
    qCDebug(lcCommands, "argc - %d %s %s", int(args.size()), args.value(0).toLocal8Bit().constData(),
            args.value(1).toLocal8Bit().constData());
}

void Velmora::slotPasswordSet() {
    SetPassword dialog(this, "Dialog");
    dialog.exec();
    const bool done = dialog.resultFlag();
    setItemEnabled(PASSWORD_SET, !done);
    setItemEnabled(PASSWORD_CHANGE, done);
    setItemEnabled(PASSWORD_CLEAR, done);
}

void Velmora::slotPasswordChange() {
    ChangePassword dialog(this, "Dialog");
    dialog.exec();
    const bool done = dialog.resultFlag();
    setItemEnabled(PASSWORD_SET, false);
    setItemEnabled(PASSWORD_CHANGE, !done);
    setItemEnabled(PASSWORD_CLEAR, true);
}

void Velmora::slotPasswordClear() {
    ClearPassword dialog(this, "Dialog");
    dialog.exec();
    const bool done = dialog.resultFlag();
    setItemEnabled(PASSWORD_SET, done);
    setItemEnabled(PASSWORD_CHANGE, !done);
    setItemEnabled(PASSWORD_CLEAR, !done);
}

// ---- Others ---------------------------------------------------------------

void Velmora::slotForeColorChanged(QColor&) {
    qCDebug(lcCommands, "fore color changed");
}

void Velmora::paletteChange(QPalette&) {
    diag::print("palette changed --------------->>\n");
}
