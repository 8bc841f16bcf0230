#include "canvas/FrameLoader.h"
#include "store/Diagnostics.h"

#include "canvas/ProductBanner.h"

#include "canvas/VLCanvas.h"
#include "canvas/VLImageHolder.h"

#include <QPixmap>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <utility>

FrameLoader::FrameLoader(VLCanvas* canvas, _XDisplay* display) : m_canvas(canvas), m_display(display) {}

FrameLoader::~FrameLoader() {
    VLImageHolder* holder = m_canvas ? m_canvas->get_image_holder() : nullptr;
    if (holder && m_image)
        holder->forgetFrameImage(m_image.get());
}

_XDisplay* FrameLoader::display() const {
    if (m_display)
        return m_display;
    if (m_canvas && m_canvas->get_image_holder())
        return m_canvas->get_image_holder()->drawTarget().display;
    return nullptr;
}

bool FrameLoader::ensureImage() {
    const FrameGeometry& g = m_store.geometry();
    if (m_image && m_image.width() == int(g.width) && m_image.height() == int(g.height) &&
        m_image.bitsPerPixel() == int(g.bytesPerPixel * 8))
        return true;
    FrameImage grabbed = FrameImage::grabRoot(display());
    if (!grabbed || grabbed.width() != int(g.width) || grabbed.height() != int(g.height) ||
        grabbed.bitsPerPixel() != int(g.bytesPerPixel * 8)) {
        m_lastError = "Cannot read the screen for the edit image";
        diag::print("%s\n", m_lastError.c_str());
        return false;
    }
    // The canvas may still point at the old image: hand it the new one first.
    std::swap(m_image, grabbed);
    if (m_canvas)
        m_canvas->setImageClient(QPixmap(), m_image.get(), 0);
    return true;
}

bool FrameLoader::initEditingFrames(const std::string& path, const FrameGeometry& geometry) {
    m_lastError.clear();
    if (!m_store.open(path, geometry)) {
        m_lastError = m_store.lastError();
        return false;
    }
    return ensureImage();
}

void FrameLoader::showImage(short mode) {
    if (m_canvas)
        m_canvas->setImageClient(QPixmap(), m_image.get(), mode);
}

FrameLoader::LoadResult FrameLoader::loadFrame(size_t n, const std::vector<SEditInfo>& edit,
                                               const std::vector<SPlayBackFrameInfo>& playback,
                                               SDatFrameHeader* header,
                                               const std::vector<stdColormapArray>* palettes,
                                               int* currentPalette) {
    m_lastError.clear();
    if (edit.empty() || n >= edit.size())
        return LoadResult::NoFrames;

    if (n < playback.size() && (playback[n].frameFlags & (PBF_INSERTED | PBF_APPENDED))) {
        VLImageHolder* holder = m_canvas ? m_canvas->get_image_holder() : nullptr;
        const NVFrame* frame = holder ? holder->frameRecord(int(n)) : nullptr;
        if (!frame)
            return LoadResult::BlankWithoutRecords;
        fillFrameColor(pixelForColorRef(frame->fillColor()));
        return LoadResult::BlankShown;
    }

    SDatFrameHeader h;
    const FrameStore::Result r = m_store.getEditFrame(edit, n, h);
    const FrameGeometry& g = m_store.geometry();
    if (m_image)
        m_image.copyFromBuffer(m_store.workBuffer().data(), g.rowBytes(), g.height);
    showImage(0);
    if (r != FrameStore::Result::Ok) {
        m_lastError = m_store.lastError();
        return LoadResult::Failed;
    }
    if (header)
        *header = h;

    if (palettes && currentPalette && m_image && m_image.depth() <= 15) {
        const int index = int(h.paletteIndex);
        if (index != *currentPalette && *currentPalette != -1 && *currentPalette >= 0 &&
            size_t(*currentPalette) < palettes->size() && index >= 0 && size_t(index) < palettes->size()) {
            for (int entry :
                 changedPaletteEntries((*palettes)[size_t(*currentPalette)], (*palettes)[size_t(index)]))
                diag::print("change in palette - %d\n", entry);
        }
        *currentPalette = index;
    }
    return LoadResult::Shown;
}

unsigned long FrameLoader::pixelForColorRef(uint32_t colorRef) {
    Display* dpy = display();
    if (!dpy)
        return 0;
    const int screen = DefaultScreen(dpy);
    XColor c{};
    c.red = static_cast<unsigned short>((colorRef & 0xFF) * 257);
    c.green = static_cast<unsigned short>(((colorRef >> 8) & 0xFF) * 257);
    c.blue = static_cast<unsigned short>(((colorRef >> 16) & 0xFF) * 257);
    c.flags = DoRed | DoGreen | DoBlue;
    if (!XAllocColor(dpy, DefaultColormap(dpy, screen), &c))
        return BlackPixel(dpy, screen);
    return c.pixel;
}

bool FrameLoader::fillThroughPixmap(unsigned long pixel, const PaintStep& step) {
    Display* dpy = display();
    const FrameGeometry& g = m_store.geometry();
    std::vector<uint8_t>& work = m_store.workBuffer();
    if (!dpy || !g.valid() || work.size() < g.frameBytes())
        return false;
    const int screen = DefaultScreen(dpy);
    const int width = int(g.width), height = int(g.height);
    Pixmap pixmap =
        XCreatePixmap(dpy, RootWindow(dpy, screen), g.width, g.height, unsigned(DefaultDepth(dpy, screen)));
    GC gc = XCreateGC(dpy, pixmap, 0, nullptr);
    XSetForeground(dpy, gc, pixel);
    XFillRectangle(dpy, pixmap, gc, 0, 0, g.width, g.height);
    step(dpy, pixmap, gc, width, height);
    const FrameImage painted = FrameImage::fromDrawable(dpy, pixmap, width, height);
    const bool read = painted && painted.bitsPerPixel() == int(g.bytesPerPixel * 8) &&
                      painted.copyToBuffer(work.data(), g.rowBytes(), g.height);
    XFreeGC(dpy, gc);
    XFreePixmap(dpy, pixmap);
    if (!read)
        diag::print("Cannot read the frame fill back\n");
    return read;
}

void FrameLoader::fillFrameColor(unsigned long pixel, const PaintStep& step) {
    if (!step || !fillThroughPixmap(pixel, step))
        m_store.fillPixel(uint32_t(pixel));
    const FrameGeometry& g = m_store.geometry();
    if (m_image)
        m_image.copyFromBuffer(m_store.workBuffer().data(), g.rowBytes(), g.height);
    showImage(2);
}

int FrameLoader::setBuilderSplash(int width, int height, int depth) {
    QRect painted;
    FrameImage banner = ProductBanner::make(display(), width, height, depth, nullptr, &painted);
    if (!banner) {
        diag::print("Cannot make the product banner\n");
        return 0;
    }
    // The canvas takes the new image before the old one is destroyed.
    std::swap(m_image, banner);
    // Only the text needs to go to the server.
    if (VLImageHolder* holder = m_canvas ? m_canvas->get_image_holder() : nullptr)
        holder->setBlankImage(m_image.get(), painted);
    return 0;
}
