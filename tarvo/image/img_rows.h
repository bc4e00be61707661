// Copying one row of pixels with blue-first pixels turned red-first on the
// way (and back): bytes 0 and 2 of every pixel exchanged, the fourth byte of
// a 4-byte pixel left in place. Readers and sources use it to place file rows
// into images in one pass; img_util's flips use it in place through a row.
#pragma once

#include <cstddef>

namespace img_rows {

// `to` and `from` hold `pixels` pixels each and must not overlap.
void copyRedFirst3(unsigned char* to, const unsigned char* from, std::size_t pixels);
void copyRedFirst4(unsigned char* to, const unsigned char* from, std::size_t pixels);

} // namespace img_rows
