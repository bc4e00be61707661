// A small AVI writer for fixtures that Debian's tools do not make at a small
// size: OpenDML files (indx super index, ix## standard indexes, AVIX lists,
// offsets past 4 GB through a sparse gap), idx1 with absolute offsets, empty
// chunks, odd stream headers and format blocks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

struct avi_fixture {
    enum index_kind { idx1_relative, idx1_absolute, no_index, opendml };

    std::int32_t width = 5, height = 3;  // biHeight as stored (negative: top row first)
    int bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t biSize = 40;
    std::uint16_t planes = 1;
    std::string formatExtra;              // bytes after the 40-byte header (palette, codec data)
    std::uint32_t rate = 25, scale = 1, start = 0;
    std::int64_t length = -1;             // strh dwLength; -1: the number of frames
    const char* streamType = "vids";
    std::vector<std::string> frames;      // chunk data, one per sample
    std::vector<bool> keys;               // per frame; empty: all key frames
    index_kind index = idx1_relative;
    int framesPerRiff = 0;                // opendml: frames per RIFF list (0: all in the first)
    std::int64_t gapBeforeLastRiff = 0;   // opendml: sparse JUNK bytes before the last AVIX

    bool key(std::size_t i) const { return keys.empty() || keys[i]; }
    void write(const std::string& path) const;
};

namespace avi_fixture_detail {

class writer {
public:
    explicit writer(const std::string& path) : file_(std::fopen(path.c_str(), "wb+"))
    {
        if (!file_)
            throw std::runtime_error("avi_fixture - can't write " + path);
    }
    ~writer() { std::fclose(file_); }

    std::int64_t pos() { return ftello(file_); }
    void bytes(const std::string& b) { std::fwrite(b.data(), 1, b.size(), file_); }
    void u16(unsigned v) { bytes(std::string{char(v), char(v >> 8)}); }
    void u32(std::uint32_t v) { bytes(std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}); }
    void u64(std::uint64_t v) { u32(std::uint32_t(v)); u32(std::uint32_t(v >> 32)); }
    void fourcc(const char* c) { bytes(std::string(c, 4)); }
    void begin(const char* id) { fourcc(id); open_.push_back(pos()); u32(0); }
    void beginList(const char* id, const char* form) { begin(id); fourcc(form); }
    void end()
    {
        const std::int64_t sizeAt = open_.back();
        open_.pop_back();
        const std::int64_t endAt = pos();
        const std::uint32_t size = static_cast<std::uint32_t>(endAt - sizeAt - 4);
        patch32(sizeAt, size);
        if (size & 1)
            bytes(std::string(1, '\0'));
    }
    void patch32(std::int64_t at, std::uint32_t v)
    {
        const std::int64_t back = pos();
        fseeko(file_, at, SEEK_SET);
        u32(v);
        fseeko(file_, back, SEEK_SET);
    }
    void patch64(std::int64_t at, std::uint64_t v) { patch32(at, std::uint32_t(v)); patch32(at + 4, std::uint32_t(v >> 32)); }
    // A chunk of `size` zero bytes that takes no disk space.
    void sparseChunk(const char* id, std::uint32_t size)
    {
        fourcc(id);
        u32(size);
        fseeko(file_, size, SEEK_CUR);
    }

private:
    std::FILE* file_;
    std::vector<std::int64_t> open_;
};

} // namespace avi_fixture_detail

inline void avi_fixture::write(const std::string& path) const
{
    using avi_fixture_detail::writer;
    writer w(path);
    const std::size_t n = frames.size();
    const std::size_t perRiff = index == opendml && framesPerRiff > 0 ? framesPerRiff : (n ? n : 1);
    const std::size_t parts = n ? (n + perRiff - 1) / perRiff : 1;

    w.beginList("RIFF", "AVI ");
    w.beginList("LIST", "hdrl");
    w.begin("avih");
    w.u32(rate ? std::uint32_t(1000000ull * scale / rate) : 0);  // dwMicroSecPerFrame
    w.u32(0); w.u32(0); w.u32(0x10);                              // max bytes/s, padding, flags (has index)
    w.u32(std::uint32_t(n)); w.u32(0); w.u32(1); w.u32(0);        // frames, initial, streams, buffer
    w.u32(std::uint32_t(width)); w.u32(std::uint32_t(height < 0 ? -height : height));
    w.u32(0); w.u32(0); w.u32(0); w.u32(0);
    w.end();
    w.beginList("LIST", "strl");
    w.begin("strh");
    w.fourcc(streamType);
    w.u32(compression);                               // fccHandler
    w.u32(0); w.u16(0); w.u16(0); w.u32(0);           // flags, priority, language, initial frames
    w.u32(scale); w.u32(rate); w.u32(start);
    w.u32(std::uint32_t(length < 0 ? n : length));
    w.u32(0); w.u32(0xFFFFFFFF); w.u32(0);            // buffer size, quality, sample size
    w.u16(0); w.u16(0); w.u16(unsigned(width)); w.u16(unsigned(height < 0 ? -height : height));
    w.end();
    w.begin("strf");
    w.u32(biSize); w.u32(std::uint32_t(width)); w.u32(std::uint32_t(height));
    w.u16(planes); w.u16(unsigned(bitCount)); w.u32(compression);
    w.u32(0); w.u32(0); w.u32(0); w.u32(0); w.u32(0);
    w.bytes(formatExtra);
    w.end();
    std::int64_t superEntries = 0;
    if (index == opendml) {
        w.begin("indx");
        w.u16(4); w.bytes(std::string(1, '\0')); w.bytes(std::string(1, '\0'));  // 4 longs, index of indexes
        w.u32(std::uint32_t(parts)); w.fourcc("00dc"); w.u32(0); w.u32(0); w.u32(0);
        superEntries = w.pos();
        for (std::size_t p = 0; p < parts; ++p) { w.u64(0); w.u32(0); w.u32(0); }
        w.end();
    }
    w.end();  // strl
    w.end();  // hdrl

    std::vector<std::int64_t> chunkAt(n);  // header offsets
    std::int64_t moviFourcc = 0;
    for (std::size_t p = 0; p < parts; ++p) {
        if (p > 0) {
            w.beginList("RIFF", "AVIX");
            if (p + 1 == parts && gapBeforeLastRiff > 0)
                w.sparseChunk("JUNK", std::uint32_t(gapBeforeLastRiff));
        }
        w.beginList("LIST", "movi");
        const std::int64_t listFourcc = w.pos() - 4;
        if (p == 0)
            moviFourcc = listFourcc;
        const std::size_t first = p * perRiff, last = std::min(n, first + perRiff);
        for (std::size_t i = first; i < last; ++i) {
            chunkAt[i] = w.pos();
            w.begin("00dc");
            w.bytes(frames[i]);
            w.end();
        }
        if (index == opendml) {
            const std::int64_t ixAt = w.pos();
            w.begin("ix00");
            w.u16(2); w.bytes(std::string(1, '\0')); w.bytes(std::string(1, '\1'));  // 2 longs, index of chunks
            w.u32(std::uint32_t(last - first)); w.fourcc("00dc");
            w.u64(std::uint64_t(listFourcc)); w.u32(0);
            for (std::size_t i = first; i < last; ++i) {
                w.u32(std::uint32_t(chunkAt[i] + 8 - listFourcc));
                w.u32(std::uint32_t(frames[i].size()) | (key(i) ? 0 : 0x80000000u));
            }
            w.end();
            w.patch64(superEntries + 16 * std::int64_t(p), std::uint64_t(ixAt));
            w.patch32(superEntries + 16 * std::int64_t(p) + 8, std::uint32_t(w.pos() - ixAt));
            w.patch32(superEntries + 16 * std::int64_t(p) + 12, std::uint32_t(last - first));
        }
        w.end();  // movi
        if (p == 0 && (index == idx1_relative || index == idx1_absolute || index == opendml)) {
            w.begin("idx1");
            for (std::size_t i = first; i < last; ++i) {
                w.fourcc("00dc");
                w.u32(key(i) ? 0x10 : 0);
                w.u32(std::uint32_t(index == idx1_absolute ? chunkAt[i] : chunkAt[i] - moviFourcc));
                w.u32(std::uint32_t(frames[i].size()));
            }
            w.end();
        }
        w.end();  // RIFF
    }
}
