// The structure of an AVI file: its streams with their headers, formats and
// chunk indexes.
//
//   RIFF 'AVI '
//     LIST 'hdrl'
//       avih                      main header (frame period, flags, counts)
//       LIST 'strl'               one per stream, in stream-number order
//         strh                    stream header (type, handler, scale, rate, start, length, ...)
//         strf                    format: BITMAPINFOHEADER (+ palette or codec data) for video
//         strn                    optional name
//         indx                    optional OpenDML super index (or a standard index)
//       LIST 'odml'               OpenDML extended header
//     LIST 'movi'                 the data: '##dc'/'##db' (video), '##wb' (audio), '##pc'
//                                 (palette change), 'ix##' (OpenDML standard index),
//                                 LIST 'rec ' groups, JUNK
//     idx1                        optional: ckid, flags, offset, size per chunk
//   RIFF 'AVIX'                   OpenDML extensions, each with its own LIST 'movi'
//
// The index of a stream comes from the OpenDML indexes when they are there,
// else from idx1, else (missing or damaged) from a scan of every movi list.
#pragma once

#include "platform/avi_riff.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct avi_index_entry {
    std::int64_t data;   // offset of the chunk's data (just after its 8-byte header)
    std::uint32_t size;  // bytes of data; 0 means "repeat the previous picture"
    bool key;            // decoding may start here
};

struct avi_stream {
    int number;  // the '##' of its chunk ids
    // strh fields
    DWORD fccType = 0, fccHandler = 0, flags = 0;
    WORD priority = 0, language = 0;
    DWORD initialFrames = 0, scale = 0, rate = 0, start = 0, length = 0;
    DWORD suggestedBufferSize = 0, quality = 0, sampleSize = 0;
    std::int16_t frame[4] = {0, 0, 0, 0};  // left, top, right, bottom
    std::vector<unsigned char> format;      // the strf chunk's bytes
    std::string name;                       // strn
    std::vector<avi_index_entry> index;
    bool keyFlagsKnown = true;  // false for an index found by scanning movi
    // Where the index came from: "indx", "idx1" or "scan".
    const char* indexSource = "";

    // The chunk header ids that carry this stream's data ('##dc', '##db', '##wb', ...).
    bool ownsChunk(DWORD id) const;
};

class avi_container {
public:
    // Reads headers and indexes; throws avi_error (AVIERR_FILEOPEN, AVIERR_FILEREAD,
    // AVIERR_BADFORMAT, REGDB_E_CLASSNOTREG).
    explicit avi_container(const char* name);

    const std::vector<avi_stream>& streams() const { return streams_; }
    avi_file& file() { return file_; }
    DWORD microSecPerFrame() const { return microSecPerFrame_; }

    // Reads the first `bytes` (at most entry.size) of one chunk's data into
    // `buffer`, checking that the chunk header at that place belongs to
    // `stream` and holds entry.size bytes. Throws avi_error.
    void readChunk(const avi_stream& stream, const avi_index_entry& entry, unsigned char* buffer, std::size_t bytes);

private:
    struct movi_list {
        std::int64_t idPos;  // offset of the 'movi' fourcc (idx1 offsets may count from here)
        std::int64_t end;
    };

    void parseHeaderList(const avi_chunk& hdrl);
    void parseStreamList(const avi_chunk& strl, avi_stream& stream, std::vector<unsigned char>& indx);
    void buildIndexes();
    bool indexFromOpenDml(avi_stream& stream, const std::vector<unsigned char>& indx);
    bool readStandardIndex(avi_stream& stream, const unsigned char* data, std::size_t bytes);
    bool indexFromIdx1(const std::vector<avi_stream*>& targets);
    void indexByScan(const std::vector<avi_stream*>& targets);
    bool scanList(std::int64_t begin, std::int64_t end, const std::vector<avi_stream*>& targets, int depth);
    std::vector<unsigned char> readData(const avi_chunk& chunk, const char* what);

    avi_file file_;
    DWORD microSecPerFrame_ = 0;
    std::vector<avi_stream> streams_;
    std::vector<std::vector<unsigned char>> indx_;  // the indx chunk of each stream, if any
    std::vector<movi_list> movi_;
    bool haveIdx1_ = false;
    avi_chunk idx1_{};
};
