// Copying one decoded bitmap row into an image row, blue-first pixels turned
// red-first on the way: bytes 0 and 2 of every pixel exchanged, the fourth
// byte of a 4-byte pixel left in place. The same result as a plain copy
// followed by img_util::flipEndian3 / flipEndian4, in one pass over the bytes.
#pragma once

#include <cstddef>

namespace util_avi_rows {

// `to` and `from` hold `pixels` pixels each and must not overlap.
void copyRedFirst3(unsigned char* to, const unsigned char* from, std::size_t pixels);
void copyRedFirst4(unsigned char* to, const unsigned char* from, std::size_t pixels);

} // namespace util_avi_rows
