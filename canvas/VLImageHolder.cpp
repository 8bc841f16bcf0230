#include "canvas/VLImageHolder.h"
#include "store/Diagnostics.h"

#include "canvas/DrawTools.h"
#include "capture/XErrorHandlers.h"
#include "store/CValidationData.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPaintEvent>
#include <QPixmap>
#include <QSocketNotifier>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>

namespace {
Q_LOGGING_CATEGORY(lcHolder, "velmora.canvas.holder", QtWarningMsg)

// Qt's own X connection, to push the creation of the widget's window to the
// server before the holder's connection names it.
Display* toolkitDisplay() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

unsigned long pixelOf(Display* dpy, int screen, const QColor& c) {
    XColor xc{};
    xc.red = static_cast<unsigned short>(c.red() * 257);
    xc.green = static_cast<unsigned short>(c.green() * 257);
    xc.blue = static_cast<unsigned short>(c.blue() * 257);
    xc.flags = DoRed | DoGreen | DoBlue;
    if (!XAllocColor(dpy, DefaultColormap(dpy, screen), &xc))
        return 0;
    return xc.pixel;
}
} // namespace

int VLImageHolder::numLines = 0;
int VLImageHolder::numRects = 0;
int VLImageHolder::numRoundRects = 0;
int VLImageHolder::numEllipses = 0;
int VLImageHolder::numPolylines = 0;
int VLImageHolder::numBitmapObjects = 0;
int VLImageHolder::numTextFields = 0;
int VLImageHolder::numInstructionBoxes = 0;
int VLImageHolder::numValidationFields = 0;
int VLImageHolder::numHyperlinks = 0;
int VLImageHolder::snCountPaste = 0;
QPoint VLImageHolder::sqpPos{0, 0};

VLImageHolder::VLImageHolder(VelmoraView* v, QWidget* parent) : QFrame(parent), view(v) {
    // A native window that Qt never paints into: every pixel comes from the
    // holder's pixmap through its own connection.
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);

    holderDisplay = XOpenDisplay(nullptr);
    if (!holderDisplay) {
        diag::print("VLImageHolder: cannot open the display; the canvas stays empty\n");
        return;
    }
    if (xerrors::handlersInstalled())
        xerrors::watchConnection(holderDisplay);
    holderScreen = DefaultScreen(holderDisplay);
    const Window root = RootWindow(holderDisplay, holderScreen);
    m_screenWidth = DisplayWidth(holderDisplay, holderScreen);
    m_screenHeight = DisplayHeight(holderDisplay, holderScreen);
    m_pixmapDepth = DefaultDepth(holderDisplay, holderScreen);
    offscreenPixmap = XCreatePixmap(holderDisplay, root, unsigned(m_screenWidth), unsigned(m_screenHeight),
                                    unsigned(m_pixmapDepth));
    XGCValues values{};
    values.graphics_exposures = False;
    values.foreground = BlackPixel(holderDisplay, holderScreen);
    values.background = BlackPixel(holderDisplay, holderScreen);
    pixmapGC =
        XCreateGC(holderDisplay, offscreenPixmap, GCGraphicsExposures | GCForeground | GCBackground, &values);
    // The pixmap starts undefined; show black until a frame arrives.
    XFillRectangle(holderDisplay, offscreenPixmap, pixmapGC, 0, 0, unsigned(m_screenWidth),
                   unsigned(m_screenHeight));
    XFlush(holderDisplay);

    m_notifier = new QSocketNotifier(ConnectionNumber(holderDisplay), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { processHolderEvents(); });
}

VLImageHolder::~VLImageHolder() {
    delete m_notifier;
    m_notifier = nullptr;
    if (holderDisplay && offscreenPixmap)
        XFreePixmap(holderDisplay, offscreenPixmap);
    offscreenPixmap = 0;
    // Objects parked for undo are out of every list; nothing else frees them now.
    while (!stRemovedObjects.empty()) {
        DrawTools* removed = stRemovedObjects.top();
        stRemovedObjects.pop();
        if (std::find(vObjectList.begin(), vObjectList.end(), removed) == vObjectList.end())
            delete removed;
    }
    // frameImage belongs to its owner (the main window's edit image), never to the holder.
    frameImage = nullptr;
    stActionCounts = {};
    stGeometryCounts = {};
    stObjectIndexes = {};
    stUndoCodes = {};
    stRects = {};
    stPointArrays = {};
    stObjectClipboard = {};
    vLastObjectNumber.clear();
    for (DrawTools* object : vObjectList)
        delete object;
    vObjectList.clear();
    vAllObjects.clear();
    vStoredObjects.clear();
    delete validationData;
    validationData = nullptr;
    if (holderDisplay) {
        if (gcCreated && xorGC)
            XFreeGC(holderDisplay, xorGC);
        if (pixmapGC)
            XFreeGC(holderDisplay, pixmapGC);
        XSync(holderDisplay, False);
        if (xerrors::handlersInstalled())
            xerrors::forgetConnection(holderDisplay);
        XCloseDisplay(holderDisplay);
    }
    xorGC = nullptr;
    pixmapGC = nullptr;
    holderDisplay = nullptr;
}

VLImageHolder::XDrawable VLImageHolder::ensureHolderWindow() {
    if (!holderDisplay)
        return 0;
    const XDrawable id = XDrawable(winId());
    if (id == holderWindow)
        return holderWindow;
    if (Display* qtDisplay = toolkitDisplay())
        XSync(qtDisplay, False);
    holderWindow = id;
    if (!holderWindow)
        return 0;
    XSelectInput(holderDisplay, holderWindow, ExposureMask);
    if (!m_windowDepthChecked) {
        m_windowDepthChecked = true;
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(holderDisplay, holderWindow, &attributes) &&
            attributes.depth != m_pixmapDepth)
            diag::print("VLImageHolder: window depth %d differs from the screen depth %d\n", attributes.depth,
                        m_pixmapDepth);
    }
    XFlush(holderDisplay);
    return holderWindow;
}

void VLImageHolder::initGC() {
    if (gcCreated || !holderDisplay)
        return;
    xorColor = QColor(199, 201, 214);
    const XDrawable window = ensureHolderWindow();
    const unsigned long black = BlackPixel(holderDisplay, holderScreen);
    m_xorForeground = pixelOf(holderDisplay, holderScreen, xorColor) ^ black;
    XGCValues values{};
    values.function = GXxor;
    values.foreground = m_xorForeground;
    values.background = black;
    values.line_width = 1;
    values.line_style = LineSolid;
    values.graphics_exposures = False;
    xorGC = XCreateGC(
        holderDisplay, window ? window : offscreenPixmap,
        GCFunction | GCForeground | GCBackground | GCLineWidth | GCLineStyle | GCGraphicsExposures, &values);
    gcCreated = xorGC != nullptr;
}

VLImageHolder::DrawTarget VLImageHolder::drawTarget() const {
    return DrawTarget{holderDisplay, holderWindow, offscreenPixmap, xorGC, pixmapGC};
}

void VLImageHolder::putFrameImage(const QRect* painted) {
    if (!frameImage || !holderDisplay || !offscreenPixmap)
        return;
    if (frameImage->depth != m_pixmapDepth) {
        diag::print("VLImageHolder: frame image depth %d does not match the screen depth %d\n",
                    frameImage->depth, m_pixmapDepth);
        return;
    }
    // The image's own size, within the pixmap.
    const int w = std::min(frameImage->width, m_screenWidth);
    const int h = std::min(frameImage->height, m_screenHeight);
    if (w <= 0 || h <= 0)
        return;
    if (!painted) {
        XPutImage(holderDisplay, offscreenPixmap, pixmapGC, frameImage, 0, 0, 0, 0, unsigned(w), unsigned(h));
        return;
    }
    // Pixel 0 but for the painted part, which alone goes to the server.
    XGCValues values{};
    values.foreground = 0;
    values.graphics_exposures = False;
    GC fill = XCreateGC(holderDisplay, offscreenPixmap, GCForeground | GCGraphicsExposures, &values);
    XFillRectangle(holderDisplay, offscreenPixmap, fill, 0, 0, unsigned(w), unsigned(h));
    XFreeGC(holderDisplay, fill);
    const QRect put = *painted & QRect(0, 0, w, h);
    if (!put.isEmpty())
        XPutImage(holderDisplay, offscreenPixmap, pixmapGC, frameImage, put.x(), put.y(), put.x(), put.y(),
                  unsigned(put.width()), unsigned(put.height()));
}

void VLImageHolder::set_image_pixmap(const QPixmap&, _XImage* image, short mode) {
    showImage(image, mode, nullptr);
}

void VLImageHolder::setBlankImage(_XImage* image, const QRect& painted) {
    showImage(image, 1, &painted);
}

void VLImageHolder::showImage(_XImage* image, short mode, const QRect* painted) {
    frameImage = image;
    if (frameImage)
        resize(frameImage->width, frameImage->height);
    vSelectedObjectIndex.clear();
    if (mode != 0) {
        putFrameImage(painted);
        if (mode == 1) {
            if (holderDisplay)
                XFlush(holderDisplay);
            update();
        } else {
            drawContents();
        }
    }
    screenRegion = std::make_unique<QRegion>(0, 0, m_screenWidth, m_screenHeight);
}

void VLImageHolder::forgetFrameImage(const _XImage* image) {
    if (image && frameImage == image)
        frameImage = nullptr;
}

void VLImageHolder::set_image_pixmap(const QPixmap&) {
    resize(0, 0);
}

void VLImageHolder::drawContents() {
    putFrameImage();
    if (holderDisplay) {
        for (size_t i = 1; i < vObjectList.size(); ++i) {
            DrawTools* object = vObjectList[i];
            if (!object)
                continue;
            switch (object->drawingObject) {
            case LINE:
            case RECTANGLE:
            case ROUNDRECT:
            case ELLIPSE:
            case HYPERLINK:
            case MOUSECLICK:
            case POLYLINE:
                object->draw(holderDisplay, pixmapGC, offscreenPixmap);
                break;
            case TEXTFIELD:
                object->draw(holderDisplay, pixmapGC, offscreenPixmap);
                if (object->isHidden())
                    object->show();
                break;
            case VALIDATIONFIELD:
            case INSTRUCTIONBOX:
            case BITMAP:
                if (object->isHidden())
                    object->show();
                break;
            default:
                break;
            }
        }
    }
    qCDebug(lcHolder, "   vSelectedObjectIndex.size() %d vObjectList.size() %d",
            int(vSelectedObjectIndex.size()), int(vObjectList.size()));
    if (!vSelectedObjectIndex.empty() && objectSelection) {
        for (int index : vSelectedObjectIndex) {
            qCDebug(lcHolder, "   vSelectedObjectIndex[i] %d", index);
            if (index < 0 || size_t(index) >= vObjectList.size() || !vObjectList[size_t(index)])
                continue;
            if (holderDisplay)
                vObjectList[size_t(index)]->select(holderDisplay, pixmapGC, offscreenPixmap);
        }
        emit signalEnableCutCopy();
    }
    if (isVisible())
        repaint();
    else if (holderDisplay)
        XFlush(holderDisplay);
}

void VLImageHolder::copyToWindow(const QRect& r) {
    if (!holderDisplay || !offscreenPixmap)
        return;
    const XDrawable window = ensureHolderWindow();
    if (!window)
        return;
    const QRect area = r.intersected(QRect(0, 0, m_screenWidth, m_screenHeight));
    if (!area.isEmpty())
        XCopyArea(holderDisplay, offscreenPixmap, window, pixmapGC, area.x(), area.y(),
                  unsigned(area.width()), unsigned(area.height()), area.x(), area.y());
    XSync(holderDisplay, False);
    // XSync may have read Expose events into Xlib's queue, where the socket
    // notifier no longer sees them.
    processHolderEvents();
}

void VLImageHolder::processHolderEvents() {
    if (!holderDisplay)
        return;
    bool copied = false;
    while (XPending(holderDisplay) > 0) {
        XEvent event;
        XNextEvent(holderDisplay, &event);
        if (event.type != Expose || event.xexpose.window != holderWindow || !offscreenPixmap)
            continue;
        const XExposeEvent& e = event.xexpose;
        XCopyArea(holderDisplay, offscreenPixmap, holderWindow, pixmapGC, e.x, e.y, unsigned(e.width),
                  unsigned(e.height), e.x, e.y);
        copied = true;
    }
    if (copied)
        XFlush(holderDisplay);
}

void VLImageHolder::drawXorBand(const QRect& band) {
    initGC();
    if (!holderDisplay || !xorGC || !holderWindow)
        return;
    XDrawRectangle(holderDisplay, holderWindow, xorGC, band.x(), band.y(),
                   unsigned(std::max(0, band.width())), unsigned(std::max(0, band.height())));
    XFlush(holderDisplay);
}

void VLImageHolder::paintEvent(QPaintEvent* event) {
    copyToWindow(event->rect());
}

void VLImageHolder::resizeEvent(QResizeEvent*) {}
