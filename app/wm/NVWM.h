// Window-manager hints: static operations that read and write, for any X
// window, the hint properties and client messages of a window manager that
// follows the KWM protocol ("KWM_" and "KDE_" names), with a few ICCCM
// properties. They work on the toolkit's display connection and the root
// window of its default screen. What the window manager does with the hints
// is its own affair.
#pragma once

#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>

// Set by every read that finds its property missing and cleared by every read
// that succeeds; also set by a desktop or region number outside 1 to 32 and by
// desktop() when it had to supply a default.
extern bool nvwm_error;

class NVWM {
  public:
    using Window = unsigned long;
    using XPixmap = unsigned long;

    NVWM() = delete;

    // Desktops.
    static int desktop(Window w);
    static void moveToDesktop(Window w, int desktop);
    static int currentDesktop();
    static void switchToDesktop(int desktop);
    static int numberOfDesktops();
    static void setNumberOfDesktops(int n);

    // Geometry.
    static QRect geometry(Window w, bool frame = false);
    static void setGeometry(Window w, const QRect& r);
    static void move(Window w, const QPoint& p);
    static QRect geometryRestore(Window w);
    static void setGeometryRestore(Window w, const QRect& r);
    static QRect iconGeometry(Window w);
    static void setIconGeometry(Window w, const QRect& r);

    // Window state hints.
    static bool isIconified(Window w);
    static void setIconify(Window w, bool iconify);
    static bool isMaximized(Window w);
    static int maximizeMode(Window w);
    static void setMaximize(Window w, bool maximize);
    static void setMaximize(Window w, bool maximize, int mode);
    static bool isDoMaximize(Window w);
    static int doMaximizeMode(Window w);
    static void doMaximize(Window w, bool maximize);
    static void doMaximize(Window w, bool maximize, int mode);
    static bool isSticky(Window w);
    static void setSticky(Window w, bool sticky);
    static long getDecoration(Window w);
    static void setDecoration(Window w, long decoration);
    static bool containsUnsavedData(Window w);
    static bool unsavedDataHintDefined(Window w);
    static void setUnsavedDataHint(Window w, bool unsaved);
    static bool isDockWindow(Window w);
    static void setDockWindow(Window w);
    static bool isNVWMModule(Window w);
    static bool isNVWMDockModule(Window w);
    static void setNVWMModule(Window w);
    static void setNVWMDockModule(Window w);
    // 0 when WM_STATE is missing (withdrawn).
    static int getWindowState(Window w);

    // Icons. The QPixmap setters make server pixmaps of the default depth
    // (and a 1-bit mask for a pixmap with transparency) that live as long
    // as the toolkit's display connection.
    static QPixmap miniIcon(Window w, int width = 0, int height = 0);
    static QPixmap icon(Window w, int width = 0, int height = 0);
    static void setMiniIcon(Window w, const QPixmap& pixmap);
    static void setMiniIcon(Window w, XPixmap pixmap, XPixmap mask);
    static void setIcon(Window w, const QPixmap& pixmap);

    // Titles and session.
    static QString title(Window w);
    static QString titleWithState(Window w);
    static void enableSessionManagement(Window w);
    static void setWmCommand(Window w, const QString& command);
    static void close(Window w);

    // Root window.
    static Window activeWindow();
    static bool isActive(Window w);
    static bool isNVWMInitialized();
    static QRect getWindowRegion(int desktop);
    static void setWindowRegion(int desktop, const QRect& r);
    static QString getDesktopName(int desktop);
    static void setDesktopName(int desktop, const QString& name);
    static QString getMaximizeString();
    static QString getUnMaximizeString();
    static QString getIconifyString();
    static QString getUnIconifyString();
    static QString getStickyString();
    static QString getUnStickyString();
    static QString getMoveString();
    static QString getResizeString();
    static QString getCloseString();
    static QString getToDesktopString();
    static QString getOntoCurrentDesktopString();

    // Messages to the window manager.
    static void sendNVWMCommand(const QString& command);
    static void logout();
    static void refreshScreen();
    static void darkenScreen();
    static void configureWm();
    static void raiseSoundEvent(const QString& event);
    static void registerSoundEvent(const QString& event);
    static void unregisterSoundEvent(const QString& event);
    static void doNotManage(const QString& title);

    // Stacking and activation.
    static void raise(Window w);
    static void lower(Window w);
    static void activate(Window w);
    static void activateInternal(Window w);
    // Withdraws the window and waits, at most `timeoutMs`, until its WM_STATE
    // reads 0. False when it did not within that time.
    static bool prepareForSwallowing(Window w, int timeoutMs = 2000);
    static bool fixedSize(Window w);

    // The 13 numbers desktop + geometry + restore geometry + iconified +
    // maximize mode + sticky + decoration, joined by "+".
    static QString getProperties(Window w);
    // Applies such a text when it has 13 or more numbers (the rest ignored)
    // and returns its geometry; otherwise applies nothing and returns an
    // empty rectangle.
    static QRect setProperties(Window w, const QString& text);

    // The 20 data bytes of a text message: the Latin-1 text up to its NUL or
    // 19 bytes, zero after.
    static QByteArray messageText(const QString& text);
};
