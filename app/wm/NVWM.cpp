#include "app/wm/NVWM.h"

#include <QBitmap>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QStringList>
#include <QThread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

bool nvwm_error = false;

namespace {

Display* dpy() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

::Window root() {
    return DefaultRootWindow(dpy());
}

// Atoms are asked of the server each time: a test run may talk to several
// servers in turn, whose atom numbers differ.
Atom atom(const char* name) {
    return XInternAtom(dpy(), name, False);
}

// The items of a 32-bit property of the given type, or nothing when it is
// missing, of another format or empty.
bool getLongs(::Window w, Atom property, Atom type, long count, std::vector<long>& out) {
    Atom actualType = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(dpy(), w, property, 0, count, False, type, &actualType, &format, &items, &after,
                           &data) != Success ||
        !data) {
        return false;
    }
    bool ok = format == 32 && actualType == type && items >= (unsigned long)count;
    if (ok)
        out.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
    XFree(data);
    return ok;
}

void setLongs(::Window w, Atom property, const std::vector<long>& values) {
    XChangeProperty(dpy(), w, property, property, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values.data()), int(values.size()));
}

bool getSimpleProperty(::Window w, const char* name, long& value) {
    std::vector<long> v;
    const Atom a = atom(name);
    nvwm_error = !getLongs(w, a, a, 1, v);
    if (!nvwm_error)
        value = v[0];
    return !nvwm_error;
}

void setSimpleProperty(::Window w, const char* name, long value) {
    setLongs(w, atom(name), {value});
}

bool getDoubleProperty(::Window w, const char* name, long& a1, long& a2) {
    std::vector<long> v;
    const Atom a = atom(name);
    nvwm_error = !getLongs(w, a, a, 2, v);
    if (!nvwm_error) {
        a1 = v[0];
        a2 = v[1];
    }
    return !nvwm_error;
}

void setDoubleProperty(::Window w, const char* name, long a1, long a2) {
    setLongs(w, atom(name), {a1, a2});
}

bool getQRectProperty(::Window w, const char* name, QRect& r) {
    std::vector<long> v;
    const Atom a = atom(name);
    nvwm_error = !getLongs(w, a, a, 4, v);
    if (!nvwm_error)
        r = QRect(int(v[0]), int(v[1]), int(v[2]), int(v[3]));
    return !nvwm_error;
}

void setQRectProperty(::Window w, const char* name, const QRect& r) {
    setLongs(w, atom(name), {r.x(), r.y(), r.width(), r.height()});
}

bool getQStringProperty(::Window w, Atom property, QString& s) {
    Atom actualType = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    nvwm_error = true;
    if (XGetWindowProperty(dpy(), w, property, 0, 100, False, XA_STRING, &actualType, &format, &items, &after,
                           &data) != Success ||
        !data)
        return false;
    if (format == 8 && actualType == XA_STRING && items > 0) {
        s = QString::fromLatin1(reinterpret_cast<const char*>(data), int(strnlen((const char*)data, items)));
        nvwm_error = false;
    }
    XFree(data);
    return !nvwm_error;
}

bool getQStringProperty(::Window w, const char* name, QString& s) {
    return getQStringProperty(w, atom(name), s);
}

void setQStringProperty(::Window w, Atom property, const QString& s) {
    QByteArray bytes = s.toLatin1();
    bytes.append('\0');
    XChangeProperty(dpy(), w, property, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(bytes.constData()), int(bytes.size()));
}

void sendClientMessage(::Window w, Atom type, long value) {
    XEvent ev;
    std::memset(&ev, 0, sizeof ev);
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = type;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = value;
    const long mask = w == root() ? SubstructureRedirectMask : 0;
    XSendEvent(dpy(), w, False, mask, &ev);
    XFlush(dpy());
}

void sendTextMessage(const char* type, const QString& text) {
    XEvent ev;
    std::memset(&ev, 0, sizeof ev);
    ev.xclient.type = ClientMessage;
    ev.xclient.window = root();
    ev.xclient.message_type = atom(type);
    ev.xclient.format = 8;
    const QByteArray data = NVWM::messageText(text);
    std::memcpy(ev.xclient.data.b, data.constData(), 20);
    XSendEvent(dpy(), root(), False, SubstructureRedirectMask, &ev);
}

bool validDesktop(int n) {
    if (n >= 1 && n <= 32)
        return true;
    nvwm_error = true;
    return false;
}

std::string numbered(const char* prefix, int n) {
    return prefix + std::to_string(n);
}

// Server pixmap contents as an image; depth 1 reads as black on white.
QImage imageOfPixmap(Pixmap pm, unsigned* widthOut = nullptr, unsigned* heightOut = nullptr) {
    ::Window r;
    int x, y;
    unsigned w = 0, h = 0, border, depth;
    if (!pm || !XGetGeometry(dpy(), pm, &r, &x, &y, &w, &h, &border, &depth) || w == 0 || h == 0)
        return {};
    if (widthOut)
        *widthOut = w;
    if (heightOut)
        *heightOut = h;
    XImage* xi = XGetImage(dpy(), pm, 0, 0, w, h, AllPlanes, ZPixmap);
    if (!xi)
        return {};
    QImage img(int(w), int(h), QImage::Format_ARGB32);
    for (unsigned row = 0; row < h; ++row) {
        for (unsigned col = 0; col < w; ++col) {
            unsigned long p = XGetPixel(xi, int(col), int(row));
            QRgb rgb;
            if (depth == 1)
                rgb = p ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
            else
                rgb = qRgb(int((p >> 16) & 0xff), int((p >> 8) & 0xff), int(p & 0xff));
            img.setPixel(int(col), int(row), rgb);
        }
    }
    XDestroyImage(xi);
    return img;
}

void applyMask(QImage& img, Pixmap mask) {
    QImage m = imageOfPixmap(mask);
    if (m.isNull() || m.size() != img.size())
        return;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qRed(m.pixel(x, y)) != 0)
                img.setPixel(x, y, img.pixel(x, y) & 0x00ffffff);
}

QPixmap scaledIcon(Pixmap pm, Pixmap mask, int width, int height) {
    unsigned w = 0, h = 0;
    QImage img = imageOfPixmap(pm, &w, &h);
    if (img.isNull())
        return {};
    applyMask(img, mask);
    QPixmap out = QPixmap::fromImage(img);
    if (width < 1 || height < 1 || (width >= int(w) && height >= int(h)))
        return out;
    return out.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// A server pixmap of the default depth with the image, and a 1-bit mask (set
// where opaque) when the image has transparency.
Pixmap serverPixmap(const QPixmap& pixmap, Pixmap* maskOut) {
    *maskOut = 0;
    if (pixmap.isNull())
        return 0;
    const QImage img = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    const int screen = DefaultScreen(dpy());
    const unsigned depth = unsigned(DefaultDepth(dpy(), screen));
    Pixmap pm = XCreatePixmap(dpy(), root(), unsigned(img.width()), unsigned(img.height()), depth);
    GC gc = XCreateGC(dpy(), pm, 0, nullptr);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            XColor xc;
            xc.red = quint16(qRed(c) * 257);
            xc.green = quint16(qGreen(c) * 257);
            xc.blue = quint16(qBlue(c) * 257);
            xc.flags = DoRed | DoGreen | DoBlue;
            unsigned long pixel = (unsigned long)((qRed(c) << 16) | (qGreen(c) << 8) | qBlue(c));
            if (depth != 24 && depth != 32 && XAllocColor(dpy(), DefaultColormap(dpy(), screen), &xc))
                pixel = xc.pixel;
            XSetForeground(dpy(), gc, pixel);
            XDrawPoint(dpy(), pm, gc, x, y);
        }
    XFreeGC(dpy(), gc);
    if (img.hasAlphaChannel()) {
        Pixmap mask = XCreatePixmap(dpy(), root(), unsigned(img.width()), unsigned(img.height()), 1);
        GC mgc = XCreateGC(dpy(), mask, 0, nullptr);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                XSetForeground(dpy(), mgc, qAlpha(img.pixel(x, y)) >= 128 ? 1 : 0);
                XDrawPoint(dpy(), mask, mgc, x, y);
            }
        XFreeGC(dpy(), mgc);
        *maskOut = mask;
    }
    return pm;
}

QPixmap miniIconOf(::Window w, int width, int height, std::set<::Window>& visited) {
    // Window groups and transient-for links of foreign windows may form a cycle.
    if (!visited.insert(w).second)
        return {};
    long pm = 0, mask = 0;
    if (!getDoubleProperty(w, "KWM_WIN_ICON", pm, mask)) {
        pm = mask = 0;
        if (XWMHints* hints = XGetWMHints(dpy(), w)) {
            if (hints->flags & IconPixmapHint)
                pm = long(hints->icon_pixmap);
            if (hints->flags & IconMaskHint)
                mask = long(hints->icon_mask);
            XFree(hints);
        }
    }
    if (pm)
        return scaledIcon(Pixmap(pm), Pixmap(mask), width, height);
    ::Window group = 0;
    if (XWMHints* hints = XGetWMHints(dpy(), w)) {
        if (hints->flags & WindowGroupHint)
            group = hints->window_group;
        XFree(hints);
    }
    if (group && group != w)
        return miniIconOf(group, width, height, visited);
    ::Window transient = 0;
    if (XGetTransientForHint(dpy(), w, &transient) && transient)
        return miniIconOf(transient, width, height, visited);
    return {};
}

QString rootString(const char* name) {
    QString s;
    getQStringProperty(root(), name, s);
    return s;
}

bool hasProtocol(::Window w, Atom protocol, bool* readable = nullptr) {
    Atom* protocols = nullptr;
    int n = 0;
    const bool ok = XGetWMProtocols(dpy(), w, &protocols, &n) != 0;
    if (readable)
        *readable = ok;
    bool found = false;
    for (int i = 0; ok && i < n; ++i)
        found = found || protocols[i] == protocol;
    if (protocols)
        XFree(protocols);
    return found;
}

} // namespace

QByteArray NVWM::messageText(const QString& text) {
    QByteArray out(20, '\0');
    const QByteArray latin = text.toLatin1();
    for (int i = 0; i < 19 && i < latin.size() && latin[i] != '\0'; ++i)
        out[i] = latin[i];
    return out;
}

int NVWM::desktop(Window w) {
    if (isSticky(w))
        return currentDesktop();
    long d = 0;
    if (getSimpleProperty(w, "KWM_WIN_DESKTOP", d) && d > 0)
        return int(d);
    const int current = currentDesktop();
    moveToDesktop(w, current);
    nvwm_error = true;
    return current;
}

void NVWM::moveToDesktop(Window w, int d) {
    setSimpleProperty(w, "KWM_WIN_DESKTOP", d);
}

int NVWM::currentDesktop() {
    long d = 1;
    if (!getSimpleProperty(root(), "KWM_CURRENT_DESKTOP", d)) {
        d = 1;
        switchToDesktop(1);
    }
    return int(d);
}

void NVWM::switchToDesktop(int d) {
    setSimpleProperty(root(), "KWM_CURRENT_DESKTOP", d);
}

int NVWM::numberOfDesktops() {
    long n = 1;
    return getSimpleProperty(root(), "KWM_NUMBER_OF_DESKTOPS", n) ? int(n) : 1;
}

void NVWM::setNumberOfDesktops(int n) {
    setSimpleProperty(root(), "KWM_NUMBER_OF_DESKTOPS", n);
}

QRect NVWM::geometry(Window w, bool frame) {
    QRect frameRect;
    const bool hasFrame = getQRectProperty(w, "KWM_WIN_FRAME_GEOMETRY", frameRect);
    if (frame && hasFrame)
        return frameRect;
    XWindowAttributes attr;
    if (!XGetWindowAttributes(dpy(), w, &attr))
        return QRect();
    if (hasFrame)
        return QRect(frameRect.x(), frameRect.y(), attr.width, attr.height);
    int x = 0, y = 0;
    ::Window child;
    XTranslateCoordinates(dpy(), w, root(), 0, 0, &x, &y, &child);
    return QRect(x, y, attr.width, attr.height);
}

void NVWM::setGeometry(Window w, const QRect& r) {
    XMoveResizeWindow(dpy(), w, r.x(), r.y(), unsigned(qMax(1, r.width())), unsigned(qMax(1, r.height())));
}

void NVWM::move(Window w, const QPoint& p) {
    XMoveWindow(dpy(), w, p.x(), p.y());
}

QRect NVWM::geometryRestore(Window w) {
    QRect r;
    if (getQRectProperty(w, "KWM_WIN_GEOMETRY_RESTORE", r))
        return r;
    r = geometry(w, false);
    setGeometryRestore(w, r);
    return r;
}

void NVWM::setGeometryRestore(Window w, const QRect& r) {
    setQRectProperty(w, "KWM_WIN_GEOMETRY_RESTORE", r);
}

QRect NVWM::iconGeometry(Window w) {
    QRect r;
    if (getQRectProperty(w, "KWM_WIN_ICON_GEOMETRY", r) && !r.isEmpty())
        return r;
    const QRect g = geometry(w, false);
    return QRect(g.x() + g.width() / 2, g.y() + g.height() / 2, 0, 0);
}

void NVWM::setIconGeometry(Window w, const QRect& r) {
    setQRectProperty(w, "KWM_WIN_ICON_GEOMETRY", r);
}

bool NVWM::isIconified(Window w) {
    long v = 0;
    if (getSimpleProperty(w, "KWM_WIN_ICONIFIED", v))
        return v != 0;
    setIconify(w, false);
    return false;
}

void NVWM::setIconify(Window w, bool iconify) {
    setSimpleProperty(w, "KWM_WIN_ICONIFIED", iconify ? 1 : 0);
}

bool NVWM::isMaximized(Window w) {
    long v = 0;
    if (getSimpleProperty(w, "KWM_WIN_MAXIMIZED", v))
        return v != 0;
    setSimpleProperty(w, "KWM_WIN_MAXIMIZED", 0);
    return false;
}

int NVWM::maximizeMode(Window w) {
    long v = 0;
    return getSimpleProperty(w, "KWM_WIN_MAXIMIZED", v) && v != 0 ? int(v) : 3;
}

void NVWM::setMaximize(Window w, bool maximize) {
    setMaximize(w, maximize, 3);
}

void NVWM::setMaximize(Window w, bool maximize, int mode) {
    setSimpleProperty(w, "KWM_WIN_MAXIMIZED", maximize ? mode : 0);
}

bool NVWM::isDoMaximize(Window w) {
    long v = 0;
    if (getSimpleProperty(w, "KWM_MAXIMIZE_WINDOW", v))
        return v != 0;
    setSimpleProperty(w, "KWM_MAXIMIZE_WINDOW", 0);
    return false;
}

int NVWM::doMaximizeMode(Window w) {
    long v = 0;
    return getSimpleProperty(w, "KWM_MAXIMIZE_WINDOW", v) && v != 0 ? int(v) : 3;
}

void NVWM::doMaximize(Window w, bool maximize) {
    doMaximize(w, maximize, 3);
}

void NVWM::doMaximize(Window w, bool maximize, int mode) {
    setSimpleProperty(w, "KWM_MAXIMIZE_WINDOW", maximize ? mode : 0);
}

bool NVWM::isSticky(Window w) {
    long v = 0;
    if (getSimpleProperty(w, "KWM_WIN_STICKY", v))
        return v != 0;
    setSticky(w, false);
    return false;
}

void NVWM::setSticky(Window w, bool sticky) {
    setSimpleProperty(w, "KWM_WIN_STICKY", sticky ? 1 : 0);
}

long NVWM::getDecoration(Window w) {
    long v = 1;
    if (getSimpleProperty(w, "KWM_WIN_DECORATION", v))
        return v;
    setDecoration(w, 1);
    return 1;
}

void NVWM::setDecoration(Window w, long decoration) {
    setSimpleProperty(w, "KWM_WIN_DECORATION", decoration);
}

bool NVWM::containsUnsavedData(Window w) {
    long v = 0;
    return getSimpleProperty(w, "KWM_WIN_UNSAVED_DATA", v) && v != 0;
}

bool NVWM::unsavedDataHintDefined(Window w) {
    long v = 0;
    return getSimpleProperty(w, "KWM_WIN_UNSAVED_DATA", v);
}

void NVWM::setUnsavedDataHint(Window w, bool unsaved) {
    setSimpleProperty(w, "KWM_WIN_UNSAVED_DATA", unsaved ? 1 : 0);
}

bool NVWM::isDockWindow(Window w) {
    long v = 0;
    return getSimpleProperty(w, "KWM_DOCKWINDOW", v) && v != 0;
}

void NVWM::setDockWindow(Window w) {
    setSimpleProperty(w, "KWM_DOCKWINDOW", 1);
}

bool NVWM::isNVWMModule(Window w) {
    long v = 0;
    return getSimpleProperty(w, "KWM_MODULE", v) && v != 0;
}

bool NVWM::isNVWMDockModule(Window w) {
    long v = 0;
    return getSimpleProperty(w, "KWM_MODULE", v) && v == 2;
}

void NVWM::setNVWMModule(Window w) {
    setSimpleProperty(w, "KWM_MODULE", 1);
    sendClientMessage(root(), atom("KWM_MODULE"), long(w));
}

void NVWM::setNVWMDockModule(Window w) {
    setSimpleProperty(w, "KWM_MODULE", 2);
    sendClientMessage(root(), atom("KWM_MODULE"), long(w));
}

int NVWM::getWindowState(Window w) {
    std::vector<long> v;
    const Atom a = atom("WM_STATE");
    nvwm_error = !getLongs(w, a, a, 1, v);
    return nvwm_error ? 0 : int(v[0]);
}

QPixmap NVWM::miniIcon(Window w, int width, int height) {
    std::set<::Window> visited;
    return miniIconOf(w, width, height, visited);
}

QPixmap NVWM::icon(Window w, int width, int height) {
    Pixmap pm = 0, mask = 0;
    if (XWMHints* hints = XGetWMHints(dpy(), w)) {
        if (hints->flags & IconPixmapHint)
            pm = hints->icon_pixmap;
        if (hints->flags & IconMaskHint)
            mask = hints->icon_mask;
        XFree(hints);
    }
    return pm ? scaledIcon(pm, mask, width, height) : QPixmap();
}

void NVWM::setMiniIcon(Window w, const QPixmap& pixmap) {
    Pixmap mask = 0;
    const Pixmap pm = serverPixmap(pixmap, &mask);
    setMiniIcon(w, pm, mask);
}

void NVWM::setMiniIcon(Window w, XPixmap pixmap, XPixmap mask) {
    setDoubleProperty(w, "KWM_WIN_ICON", long(pixmap), long(mask));
}

void NVWM::setIcon(Window w, const QPixmap& pixmap) {
    Pixmap mask = 0;
    const Pixmap pm = serverPixmap(pixmap, &mask);
    XWMHints* hints = XGetWMHints(dpy(), w);
    if (!hints)
        hints = XAllocWMHints();
    if (!hints)
        return;
    hints->icon_pixmap = pm;
    hints->flags |= IconPixmapHint;
    if (mask) {
        hints->icon_mask = mask;
        hints->flags |= IconMaskHint;
    } else {
        hints->flags &= ~IconMaskHint;
    }
    XSetWMHints(dpy(), w, hints);
    XFree(hints);
}

QString NVWM::title(Window w) {
    QString s;
    if (getQStringProperty(w, "KWM_WIN_TITLE", s))
        return s;
    char* name = nullptr;
    if (XFetchName(dpy(), w, &name) && name) {
        s = QString::fromLatin1(name);
        XFree(name);
    }
    return s;
}

QString NVWM::titleWithState(Window w) {
    const QString t = title(w);
    return isIconified(w) ? "(" + t + ")" : t;
}

void NVWM::enableSessionManagement(Window w) {
    const Atom saveYourself = atom("WM_SAVE_YOURSELF");
    Atom* protocols = nullptr;
    int n = 0;
    std::vector<Atom> list;
    if (XGetWMProtocols(dpy(), w, &protocols, &n)) {
        list.assign(protocols, protocols + n);
        XFree(protocols);
        for (Atom a : list)
            if (a == saveYourself)
                return;
    }
    list.push_back(saveYourself);
    XSetWMProtocols(dpy(), w, list.data(), int(list.size()));
    setSimpleProperty(w, "KWM_SAVE_YOURSELF", 1);
}

void NVWM::setWmCommand(Window w, const QString& command) {
    setQStringProperty(w, atom("WM_COMMAND"), command);
    // Sized by the system's own limit on host names.
    long limit = sysconf(_SC_HOST_NAME_MAX);
    if (limit < 64)
        limit = 255;
    std::vector<char> host(size_t(limit) + 1, '\0');
    gethostname(host.data(), host.size() - 1);
    QString machine = QString::fromLatin1(host.data());
    std::vector<char> domain(size_t(limit) + 1, '\0');
    if (getdomainname(domain.data(), domain.size() - 1) == 0) {
        const QString d = QString::fromLatin1(domain.data());
        if (!d.isEmpty() && d != "(none)")
            machine += "." + d;
    }
    setQStringProperty(w, atom("WM_CLIENT_MACHINE"), machine);
}

void NVWM::close(Window w) {
    const Atom deleteWindow = atom("WM_DELETE_WINDOW");
    if (hasProtocol(w, deleteWindow)) {
        XEvent ev;
        std::memset(&ev, 0, sizeof ev);
        ev.xclient.type = ClientMessage;
        ev.xclient.window = w;
        ev.xclient.message_type = atom("WM_PROTOCOLS");
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = long(deleteWindow);
        ev.xclient.data.l[1] = 0;
        XSendEvent(dpy(), w, False, 0, &ev);
    } else {
        XKillClient(dpy(), w);
    }
    XFlush(dpy());
}

NVWM::Window NVWM::activeWindow() {
    long v = 0;
    return getSimpleProperty(root(), "KWM_ACTIVE_WINDOW", v) ? Window(v) : 0;
}

bool NVWM::isActive(Window w) {
    return w == activeWindow();
}

bool NVWM::isNVWMInitialized() {
    long v = 0;
    return getSimpleProperty(root(), "KWM_RUNNING", v) && v != 0;
}

QRect NVWM::getWindowRegion(int d) {
    const QRect screen =
        QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->virtualGeometry() : QRect();
    if (!validDesktop(d))
        return screen;
    QRect r;
    return getQRectProperty(root(), numbered("KWM_WINDOW_REGION_", d).c_str(), r) ? r : screen;
}

void NVWM::setWindowRegion(int d, const QRect& r) {
    if (!validDesktop(d))
        return;
    setQRectProperty(root(), numbered("KWM_WINDOW_REGION_", d).c_str(), r);
    sendClientMessage(root(), atom("KWM_WINDOW_REGION_CHANGED"), d);
}

QString NVWM::getDesktopName(int d) {
    if (!validDesktop(d))
        return {};
    return rootString(numbered("KWM_DESKTOP_NAME_", d).c_str());
}

void NVWM::setDesktopName(int d, const QString& name) {
    if (!validDesktop(d))
        return;
    setQStringProperty(root(), atom(numbered("KWM_DESKTOP_NAME_", d).c_str()), name);
}

QString NVWM::getMaximizeString() {
    return rootString("KWM_STRING_MAXIMIZE");
}
QString NVWM::getUnMaximizeString() {
    return rootString("KWM_STRING_UNMAXIMIZE");
}
QString NVWM::getIconifyString() {
    return rootString("KWM_STRING_ICONIFY");
}
QString NVWM::getUnIconifyString() {
    return rootString("KWM_STRING_UNICONIFY");
}
QString NVWM::getStickyString() {
    return rootString("KWM_STRING_STICKY");
}
QString NVWM::getUnStickyString() {
    return rootString("KWM_STRING_UNSTICKY");
}
QString NVWM::getMoveString() {
    return rootString("KWM_STRING_MOVE");
}
QString NVWM::getResizeString() {
    return rootString("KWM_STRING_RESIZE");
}
QString NVWM::getCloseString() {
    return rootString("KWM_STRING_CLOSE");
}
QString NVWM::getToDesktopString() {
    return rootString("KWM_STRING_TODESKTOP");
}
QString NVWM::getOntoCurrentDesktopString() {
    return rootString("KWM_STRING_ONTOCURRENTDESKTOP");
}

void NVWM::sendNVWMCommand(const QString& command) {
    sendTextMessage("KWM_COMMAND", command);
    XFlush(dpy());
}

void NVWM::logout() {
    sendNVWMCommand("logout");
}
void NVWM::refreshScreen() {
    sendNVWMCommand("refreshScreen");
}
void NVWM::darkenScreen() {
    sendNVWMCommand("darkenScreen");
}
void NVWM::configureWm() {
    sendNVWMCommand("configure");
}

void NVWM::raiseSoundEvent(const QString& event) {
    sendTextMessage("KDE_SOUND_EVENT", event);
    XFlush(dpy());
}

void NVWM::registerSoundEvent(const QString& event) {
    sendTextMessage("KDE_REGISTER_SOUND_EVENT", event);
    XFlush(dpy());
}

void NVWM::unregisterSoundEvent(const QString& event) {
    sendTextMessage("KDE_UNREGISTER_SOUND_EVENT", event);
    XFlush(dpy());
}

void NVWM::doNotManage(const QString& title) {
    sendTextMessage("KWM_DO_NOT_MANAGE", title);
    XFlush(dpy());
}

void NVWM::raise(Window w) {
    XRaiseWindow(dpy(), w);
}

void NVWM::lower(Window w) {
    XLowerWindow(dpy(), w);
}

void NVWM::activateInternal(Window w) {
    sendClientMessage(root(), atom("KWM_ACTIVATE_WINDOW"), long(w));
    XFlush(dpy());
}

void NVWM::activate(Window w) {
    const int d = desktop(w);
    if (d != currentDesktop())
        switchToDesktop(d);
    if (isIconified(w))
        setIconify(w, false);
    raise(w);
    activateInternal(w);
}

bool NVWM::prepareForSwallowing(Window w, int timeoutMs) {
    XWithdrawWindow(dpy(), w, DefaultScreen(dpy()));
    XSync(dpy(), False);
    // The window manager answers by clearing WM_STATE; one that never does
    // must not hang the caller.
    QElapsedTimer timer;
    timer.start();
    while (getWindowState(w) != 0) {
        if (timer.elapsed() >= timeoutMs)
            return false;
        QThread::msleep(10);
    }
    return true;
}

bool NVWM::fixedSize(Window w) {
    XSizeHints hints;
    long supplied = 0;
    if (!XGetWMNormalHints(dpy(), w, &hints, &supplied))
        return false;
    if (!(hints.flags & PMinSize) || !(hints.flags & PMaxSize))
        return false;
    return hints.max_width <= hints.min_width && hints.max_height <= hints.min_height;
}

QString NVWM::getProperties(Window w) {
    const QRect g = geometry(w, false);
    const QRect r = geometryRestore(w);
    const int maxMode = isMaximized(w) ? maximizeMode(w) : 0;
    const QList<long> values = {desktop(w),      g.x(),
                                g.y(),           g.width(),
                                g.height(),      r.x(),
                                r.y(),           r.width(),
                                r.height(),      isIconified(w) ? 1 : 0,
                                maxMode,         isSticky(w) ? 1 : 0,
                                getDecoration(w)};
    QStringList parts;
    for (long v : values)
        parts << QString::number(v);
    return parts.join('+');
}

QRect NVWM::setProperties(Window w, const QString& text) {
    const QStringList parts = text.split('+');
    if (parts.size() < 13)
        return QRect();
    int n[13];
    for (int i = 0; i < 13; ++i)
        n[i] = parts[i].toInt(); // an invalid part gives 0
    const QRect g(n[1], n[2], n[3], n[4]);
    moveToDesktop(w, n[0]);
    setGeometry(w, g);
    setGeometryRestore(w, QRect(n[5], n[6], n[7], n[8]));
    setIconify(w, n[9] != 0);
    setMaximize(w, n[10] != 0, n[10]);
    setSticky(w, n[11] != 0);
    setDecoration(w, n[12]);
    return g;
}
