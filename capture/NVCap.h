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

#ifdef __cplusplus
}
#endif

#endif
