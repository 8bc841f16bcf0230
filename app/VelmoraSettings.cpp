// The window settings kept between runs: size and the bars shown.
#include "app/CSoundClip.h"
#include "app/MenuIds.h"
#include "app/SessionFiles.h"
#include "app/Velmora.h"
#include "objects/draw/CColorBar.h"

#include <QAction>
#include <QStatusBar>
#include <QToolBar>

using namespace menuid;

namespace {
// The window's frame, not its client area, goes to the geometry's corner,
// so that under a window manager the title bar stays on the screen.
void placeFrame(QWidget* window, const QRect& geometry) {
    window->resize(geometry.size());
    window->move(geometry.topLeft());
}
} // namespace

void Velmora::loadSettings() {
    const std::string dataDir = datfile::dataDirectory(m_homeDir);
    SWindowSettings stored;
    switch (SessionFiles::loadSettings(dataDir, stored)) {
    case SessionFiles::LoadResult::NoFile:
        placeFrame(this, SessionFiles::defaultGeometry(m_screenWidth, m_screenHeight));
        break;
    case SessionFiles::LoadResult::Unreadable:
        break;
    case SessionFiles::LoadResult::Loaded:
        restoreUserSettings(stored);
        placeFrame(this, SessionFiles::startGeometry(&stored, m_screenWidth, m_screenHeight));
        break;
    }
}

void Velmora::restoreUserSettings(SWindowSettings& settings) {
    auto apply = [&](uint8_t bit, int item, QWidget* window) {
        const bool show = settings.flags & bit;
        // The navigation bar's dock is built later and follows the check mark then.
        if (window)
            window->setVisible(show);
        setItemChecked(item, show);
    };
    apply(SWindowSettings::TOOL_BAR, VIEW_TOOL_BAR, m_pFileToolBar);
    apply(SWindowSettings::STATUS_BAR, VIEW_STATUS_BAR, m_pStatusBar);
    apply(SWindowSettings::NAVIGATION_BAR, VIEW_NAVIGATION_BAR, navigationDock());
    apply(SWindowSettings::SOUND_CLIP, VIEW_RECORD_SOUND_CLIP, m_pSoundClip);
    apply(SWindowSettings::DRAW_PALETTE, VIEW_DRAW_PALETTE, m_pDrawToolBar);
    apply(SWindowSettings::EDIT_PALETTE, VIEW_EDIT_PALETTE, m_pEditToolBar);
    if (!(settings.flags & SWindowSettings::COLOR_BAR))
        m_pColorBar->write();
    apply(SWindowSettings::COLOR_BAR, VIEW_COLOR_BAR, m_pColorToolBar);
    // The full-screen bit is not applied: the program starts in a normal window.
}
