// In-place rearrangements applied to freshly read pixels: byte-order flips
// (blue-first file data to red-first), the vertical flip (top-row-first files
// to bottom-row-first buffers) and palette expansion.
#pragma once

#include "tarvo/image/img_wrap.h"

namespace img_util {

// By szPixel: 1 nothing, 2/3/4 the worker below, anything else throws.
void flipEndian(img_wrap& image);
// Workers; they do not look at szPixel, the caller picks the right one.
void flipEndian2(img_wrap& image);  // bytes 0 and 1 of every pixel
void flipEndian3(img_wrap& image);  // bytes 0 and 2 of every pixel
void flipEndian3(const img_fmt& format, unsigned char* bits);
void flipEndian4(img_wrap& image);  // bytes 0 and 2; bytes 1 and 3 stay

void flipVertical(img_wrap& image);

// Every byte of a one-byte image replaced by table[byte].
void depaletise(img_wrap& image, const unsigned char table[256]);
// One packed index per pixel (width per row) expanded into (third[k], second[k], first[k]).
// The entry count is not consulted: every index selects one of 256 entries.
void depaletise(const unsigned char* indices, const unsigned char first[256], const unsigned char second[256],
                const unsigned char third[256], int count, img_wrap& target);

} // namespace img_util
