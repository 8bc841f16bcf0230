// The X side of frame loading, for the main window: the working frame file's
// edit stream and work buffer (FrameStore), the one edit image (FrameImage),
// and the hand-over of frames, blank-frame colours and the product banner to
// the canvas. The main window keeps one loader for its life and keeps its
// own menu, sound and signal steps around these calls.
#pragma once

#include "canvas/FrameImage.h"
#include "store/DatRecords.h"
#include "store/FrameStore.h"

#include <QPointer>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class VLCanvas;
struct _XDisplay;
struct _XGC;

class FrameLoader {
  public:
    enum class LoadResult {
        NoFrames,            // nothing to show
        Shown,               // the frame's image is in the canvas (mode 0: stored, drawn by the next redraw)
        BlankShown,          // a blank frame painted in its frame object's colour
        BlankWithoutRecords, // a blank frame with no records yet: nothing painted
        Failed,              // the frame cannot be read: a black image is in the canvas, see lastError()
    };

    // X requests go through `display` (the holder's connection when null).
    explicit FrameLoader(VLCanvas* canvas, _XDisplay* display = nullptr);
    // Takes the edit image back from the canvas before freeing it.
    ~FrameLoader();
    FrameLoader(const FrameLoader&) = delete;
    FrameLoader& operator=(const FrameLoader&) = delete;

    FrameStore& store() { return m_store; }
    FrameImage& image() { return m_image; }
    // The edit image (Velmora::m_pFrameImage); owned by the loader.
    _XImage* frameImage() const { return m_image.get(); }
    const std::string& lastError() const { return m_lastError; }

    // Opens the working frame file for editing (closing an earlier project's
    // stream), sizes the work buffer once and makes sure the edit image is a
    // screen-sized image (kept when it already is one). False with the reason
    // in lastError() when the file cannot be opened or the screen cannot be
    // read; the working frame file itself is left as it is.
    bool initEditingFrames(const std::string& path, const FrameGeometry& geometry);

    // Shows frame n: a blank frame (flags inserted or appended) in its frame
    // object's colour, any other frame rebuilt from the working frame file
    // and handed to the canvas with mode 0. `header` receives the frame's
    // header. On screens of 15 bits or fewer, pass the palette list and the
    // current palette index: a palette change is reported on standard error
    // ("change in palette - %d" per changed entry) and the index follows the
    // frame's.
    LoadResult loadFrame(size_t n, const std::vector<SEditInfo>& edit,
                         const std::vector<SPlayBackFrameInfo>& playback, SDatFrameHeader* header = nullptr,
                         const std::vector<stdColormapArray>* palettes = nullptr,
                         int* currentPalette = nullptr);

    // Paints over a frame-sized pixmap already filled with the frame's pixel:
    // display, pixmap, a graphics context, width, height.
    using PaintStep = std::function<void(_XDisplay*, unsigned long, _XGC*, int, int)>;

    // Paints the whole frame in one pixel value into the work buffer and the
    // edit image and hands it to the canvas with mode 2 (drawn at once).
    // With a step, the plain fill goes through a frame-sized pixmap on the
    // loader's display, the step paints over it and the result is read back.
    void fillFrameColor(unsigned long pixel, const PaintStep& step = {});
    // The screen pixel of a 0x00BBGGRR colour, allocated in the default colormap.
    unsigned long pixelForColorRef(uint32_t colorRef);

    // Makes the product banner of the given size and depth the edit image and
    // hands it to the canvas with mode 1. Returns 0.
    int setBuilderSplash(int width, int height, int depth);

    // The raw record of frame n for the make (see FrameStore::getFrame).
    int getFrame(const std::vector<SEditInfo>& edit, size_t n, SDatFrameHeader& header,
                 std::vector<uint8_t>& data, bool packTo3Bytes = false) {
        return m_store.getFrame(edit, n, header, data, packTo3Bytes);
    }

  private:
    _XDisplay* display() const;
    bool ensureImage();
    bool fillThroughPixmap(unsigned long pixel, const PaintStep& step);
    void showImage(short mode);

    QPointer<VLCanvas> m_canvas;
    _XDisplay* m_display = nullptr;
    FrameStore m_store;
    FrameImage m_image;
    std::string m_lastError;
};
