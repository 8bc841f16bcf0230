// The frame strip: one 9-pixel cell per frame in the top band, a ruler in the
// middle band and the user-action frames packed in the bottom band. The author
// picks the current frame and selects frame ranges here; the strip tells the
// rest of the program through its signals and keeps its own bookkeeping in
// step with the frame table through the rebuild operations.
//
// Frame and user-action numbers are 1-based here (0 = none); every signal
// carries 0-based indexes.
#pragma once

#include "canvas/strip/FrameDetails.h"

#include <QPoint>
#include <QVector>
#include <QWidget>

class FrameStripHost;
class QMenu;
class QAction;

class NavigationBarBase : public QWidget {
    Q_OBJECT

  public:
    // Context menu ids; they equal the items' positions.
    enum MenuId {
        MenuCut = 0,
        MenuCopy,
        MenuPaste,
        MenuDeleteFrame,
        MenuUndeleteFrame,
        MenuUserAction,
        MenuMouseMovement
    };

    // Codes of signal_change_button_state: which of the previous and next
    // buttons (frames, user-action frames) the navigation bar enables.
    enum ButtonState : int {
        ButtonsFirstFrame = 0,       // frame 1 of several
        ButtonsOnlyFrame = 1,        // frame 1 of one; also while a make or open runs
        ButtonsFirstUserAction = 2,  // user-action frame 1 of several
        ButtonsOnlyUserAction = 3,   // user-action frame 1 of one
        ButtonsMiddleFrame = 4,      // a frame between the first and the last
        ButtonsMiddleUserAction = 5, // a user-action frame between the first and the last
        ButtonsLastFrame = 6,        // the last of several frames
        ButtonsLastUserAction = 7,   // the last of several user-action frames
        ButtonsStripEmpty = 8,       // the strip was emptied: the go-to fields go off too
    };

    NavigationBarBase(QWidget* parent, const char* name, int frames, int userActionFrames, bool recorded);
    ~NavigationBarBase() override;

    void setHost(FrameStripHost* host) { m_host = host; }
    FrameStripHost* host() const { return m_host; }

    void set_current_frame(int frame);
    void set_current_user_action_frame(int userActionFrame);
    void set_recorded(bool recorded);
    bool isRecorded() const { return m_recorded != 0; }
    void disableButtonsOnMakeAndOpen();
    void enableButtonsAfterMakeAndOpen();

    // Frame and user-action counts; 0 while the strip is blank.
    int get_total_no_frames() const { return int(m_frameDetails.size()); }
    int get_total_no_user_action_frames() const { return int(m_uFrameDetails.size()); }
    int get_current_frame() const { return m_currentFrame; }
    int get_current_user_action_frame() const { return m_currentUserActionFrame; }
    int* get_selected_frames(int* buffer) const;
    int* get_drag_selected_frames(int* buffer) const;

    // Rebuilds after a change of the frame table. The list holds the 0-based
    // indexes of the user-action frames, the count giving its length.
    void reset_frame_details(int frames, int userActionFrames, const int* list);
    void resetFrameDetailsOnFileOpen(int frames, int userActionFrames, const int* list);
    void resetFrameDetailsOnPasteFrame(int frames, int userActionFrames, const int* list, bool toFirst);
    void resetFrameDetailsOnAppendFrame();
    void resetFrameDetailsOnInsertFrame();

    // Delete marks: one 0-based frame from its playback record, or the toggle
    // over the selection.
    void mark_frame_delete(int frame);
    void mark_frame_delete();
    // The same toggle over the 0-based frames first..last, whatever the
    // selection is now: the undo of a deletion gives back the frames marked.
    void toggleFrameDeletion(int first, int last);
    // Toggles the user action of every user-action frame of the selection.
    void changeUserActionStatus();
    // Sets the user action of every user-action frame among the 0-based
    // frames first..last to the given state.
    void setUserActionStatus(int first, int last, bool enabled);
    bool soundAddedOrRemovedInFrame(bool added);

    void copy_frames();
    void cut_frames();
    void paste_frames();

    // Sets the context menu's item states for a right press in the frame band
    // or in the user-action band.
    void prepareMenu(bool inFrameBand);
    QMenu* contextMenu() const { return m_menu; }
    QAction* menuAction(int id) const;

    // Read access for the painting helpers, the navigation bar and tests.
    const QVector<FrameDetails>& frameDetails() const { return m_frameDetails; }
    const QVector<UFrameDetails>& uFrameDetails() const { return m_uFrameDetails; }
    int frameRangeStart() const { return m_frameRangeStart; }
    int frameRangeEnd() const { return m_frameRangeEnd; }
    int userActionRangeStart() const { return m_uaRangeStart; }
    int userActionRangeEnd() const { return m_uaRangeEnd; }
    bool clipboardFull() const { return m_clipboardFull != 0; }
    int clipboardFirstFrame() const { return m_clipFirstFrame; }
    int clipboardLastFrame() const { return m_clipLastFrame; }
    int rightClickedFrame() const { return m_rightClickedFrame; }
    // Width the strip takes for its frame count.
    int stripWidth() const;

    static bool in(int frame, const int* list, int count);
    static void swap(int& a, int& b);
    static bool between(int n, int a, int b);

    // The last cell reached by the running drag.
    static int temp_end_frame;

  public slots:
    void slot_select_all_frames();
    void slot_select_all_ua_frames();
    void slot_set_selected_frames_to_left();
    void slot_set_selected_frames_to_right();
    void slot_manage_menu(int id);
    void slotCopyFrames();
    void slotCutFrames();
    void slotPasteFrames();
    void slotSoundDeletedFromFrame(int frame);
    void slot_purge_frames();

  signals:
    void signal_current_frame_is(int frame);
    void signal_current_user_action_frame_is(int userActionFrame);
    void signal_change_button_state(int state);
    void signalCurrentFrameStatus(bool deleted);
    void signal_on_delete_frame(int first, int last);
    void signal_on_undelete_frame(int frame);
    void signal_on_paste_frames(int current, int first, int last);
    void signal_on_paste_after_cut(int current, int first, int last);
    void signal_on_record_frames();
    // Declared for the frame table; nothing emits them.
    void signal_on_append_frame();
    void signal_on_insert_frame(int frame);
    void signal_on_cut_frames(int first, int last);
    void signal_on_copy_frames(int first, int last);
    void signal_on_enable_user_action(int first, int last);
    void signal_on_disable_user_action(int first, int last);
    void signal_on_enable_mouse_movement(int first, int last);
    void signal_on_disable_mouse_movement(int first, int last);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    bool inFrameBand(const QPoint& p) const;
    bool inUserActionBand(const QPoint& p) const;
    void emitFrameButtonState(int frame);
    void emitUserActionButtonState(int userActionFrame);
    // Rebuilds both tables from the list; takes each action's enabled state
    // from the frame object records when asked to.
    void rebuildTables(int frames, const int* list, int count, bool actionFromRecords);
    // Follows a frame range from p to e with the user-action range.
    void followFrameRange(int p, int e);
    void applyStripSize();
    void clearRanges();
    bool selectionHasUnmarkedFrame() const;
    bool anyFrameMarkedDeleted() const;
    // The end of every delete toggle: objects, undelete signal, Purge, repaint.
    void finishDeleteToggle(int current);
    void toggleUserAction(int frame);
    void setUserAction(int frame, bool enabled);
    void toggleMouseMovement();
    bool clipboardFits() const;

    QVector<FrameDetails> m_frameDetails;
    QVector<UFrameDetails> m_uFrameDetails;
    QMenu* m_menu = nullptr;
    QAction* m_menuActions[6] = {};
    int m_frameCount = 0;
    int m_userActionCount = 0;
    int m_currentFrame = 0;
    int m_currentUserActionFrame = 0;
    int m_frameRangeStart = 0;
    int m_frameRangeEnd = 0;
    int m_uaRangeStart = 0;
    int m_uaRangeEnd = 0;
    int m_clipFirstFrame = 0;
    int m_clipFirstUserActionFrame = 0;
    int m_clipLastFrame = 0;
    int m_clipLastUserActionFrame = 0;
    uint8_t m_clipFromCut = 0;
    uint8_t m_clipboardFull = 0;
    int m_rightClickedFrame = 0;
    QPoint m_pressPos;
    QPoint m_lastDragPos;
    uint8_t m_pressInFrameBand = 0;
    uint8_t m_pressInUserActionBand = 0;
    uint8_t m_recorded = 0;
    FrameStripHost* m_host = nullptr;
};
