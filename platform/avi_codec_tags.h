// Which libavcodec decoder reads a video stream, by the four-character code
// of its format block (biCompression), case-insensitively.
#pragma once

#include "platform/vfw.h"

extern "C" {
#include <libavcodec/codec_id.h>
}

// AV_CODEC_ID_NONE when no decoder is known for the code.
AVCodecID avi_codec_for(DWORD compression);
