/* tarvo: frames from video files, image sequences and still images.
 *
 * Open a source by name, ask for its format, count, rate and position, seek,
 * and copy frames into your own buffer. Every function reports a failure on
 * the standard error stream and returns its failure value: -1, 0, 0.0 or
 * the text "<none>". Calls must not overlap: serialise them.
 */
#ifndef TARVO_H
#define TARVO_H

#include <stdint.h>

#if defined(_WIN32)
#  if defined(TARVO_BUILDING)
#    define TARVO_API __declspec(dllexport)
#  else
#    define TARVO_API __declspec(dllimport)
#  endif
#else
#  define TARVO_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Format of the frames of a source. */
typedef struct ext_tarvo_fmt {
    int32_t width;    /* pixels per row */
    int32_t height;   /* rows */
    int32_t szPixel;  /* bytes per pixel: 1 grey, 3 red-green-blue, ... */
    int32_t szLine;   /* bytes per row: szPixel * width, no padding */
} ext_tarvo_fmt;

/* One frame: rows packed, bottom row first. */
typedef struct ext_tarvo_frame {
    unsigned char* bits; /* your buffer of at least szLine * height bytes */
    int32_t msDayUtc;    /* receives the time stamp in milliseconds */
} ext_tarvo_frame;

/* A new handle (0, 1, 2, ...) for a file, list or directory name; -1 on failure. */
TARVO_API int32_t ext_tarvo_createVSFile(const char* name);
/* Live sources cannot be opened here: always -1. */
TARVO_API int32_t ext_tarvo_createVSGrab(const char* name);
/* 0; an unknown handle is ignored. */
TARVO_API int32_t ext_tarvo_destroy(int32_t handle);
/* Fetches the frame at the position and reports its format; 0 or -1. */
TARVO_API int32_t ext_tarvo_getFmt(int32_t handle, ext_tarvo_fmt* format);
/* Copies the frame at the position (the one getFmt fetched, if any); 0 or -1. */
TARVO_API int32_t ext_tarvo_getFrame(int32_t handle, ext_tarvo_frame* frame);
/* Moves to position modulo the frame count (-1 is the last frame); 0 or -1. */
TARVO_API int32_t ext_tarvo_seek(int32_t handle, int32_t position);
/* The position, or -1. */
TARVO_API int32_t ext_tarvo_tell(int32_t handle);
/* Frames per second; 0.0 for sources without a rate, and on failure. */
TARVO_API double ext_tarvo_fps(int32_t handle);
/* Frame count, or 0. */
TARVO_API int32_t ext_tarvo_size(int32_t handle);
/* Type name ("avi", "txt", "srs", "null", ...), or "<none>". Copy it before destroying the handle. */
TARVO_API const char* ext_tarvo_type(int32_t handle);
/* The name the source was opened with, or "<none>". Copy it before destroying the handle. */
TARVO_API const char* ext_tarvo_asciiDescriptor(int32_t handle);

#ifdef __cplusplus
}
#endif

#endif /* TARVO_H */
