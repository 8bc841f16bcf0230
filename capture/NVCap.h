/* Public interface of the screen capture library libNVCap. */
#ifndef NVCAP_H
#define NVCAP_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A rectangle in screen pixels. */
typedef struct SRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
} SRect;

/* Initialisation record: capture rectangle (inclusive), bytes per line
   returned by the library, capture type. */
typedef struct NVCapInit {
    SRect rect;
    int32_t bytesPerLine;
    int32_t captureType;
} NVCapInit;

/* Results of NV_CapInit, NV_CapCmpCpy and NV_CleanUpCapture. */
enum {
    NVCAP_OK = 0,
    NVCAP_E_PARAM = -1,           /* null record or buffer, rectangle not on the screen */
    NVCAP_E_DISPLAY = -2,         /* the display cannot be opened */
    NVCAP_E_GRAB = -3,            /* the server refused the grab (the screen may have changed) */
    NVCAP_E_NOT_INITIALISED = -4, /* NV_CapCmpCpy before a successful NV_CapInit */
    NVCAP_E_CONNECTION_LOST = -5  /* the library's display connection is gone */
};

/* Opens the library's own display connection (DISPLAY), records the capture
   rectangle and type and learns the screen image format. A second call first
   releases everything the first one took.

   On success rect must lie on the screen (inclusive; the whole screen is
   0, 0, width - 1, height - 1) and bytesPerLine receives the length of one
   unpadded screen row: bytes per pixel x screen width. The caller's
   previous-frame buffer holds rows of bytes per pixel x (right - left + 1)
   bytes, top to bottom, with no padding, and is zero before the first
   compare. Returns NVCAP_OK or a negative NVCAP_E_ code. */
int NV_CapInit(NVCapInit* init);

/* Grabs the capture rectangle, finds the band of rows that differ from the
   caller's previous frame, writes it to *band (left, top, right, bottom;
   screen rows, inclusive; an unchanged screen gives its bottom row) and
   copies the band's rows into the buffer. The grab always covers exactly the
   rectangle given to NV_CapInit, so a screen whose size changed makes the
   grab fail rather than overrun the buffer. The third argument is unused.
   Returns NVCAP_OK or a negative NVCAP_E_ code; on error neither the band
   nor the buffer is touched. */
int NV_CapCmpCpy(unsigned char* previousFrame, SRect* band, unsigned long unused);

/* Releases the display connection and the grab resources. Safe to call at
   any time, also more than once. Returns NVCAP_OK. */
int NV_CleanUpCapture(void);

#ifdef __cplusplus
}
#endif

#endif
