#include "platform/avi_container.h"

#include "tarvo/imageio/byte_order.h"

#include <algorithm>

namespace {

constexpr int maxStreams = 100;  // stream numbers are two decimal digits

DWORD le32(const unsigned char* p) { return static_cast<DWORD>(readLE32(p)); }

[[noreturn]] void badFormat(const std::string& what) { throw avi_error(AVIERR_BADFORMAT, what); }

} // namespace

bool avi_stream::ownsChunk(DWORD id) const
{
    const char c0 = static_cast<char>(id), c1 = static_cast<char>(id >> 8);
    const char c2 = static_cast<char>(id >> 16), c3 = static_cast<char>(id >> 24);
    if (c0 < '0' || c0 > '9' || c1 < '0' || c1 > '9' || (c0 - '0') * 10 + (c1 - '0') != number)
        return false;
    return !(c2 == 'p' && c3 == 'c');  // palette changes carry no picture
}

avi_container::avi_container(const char* name) : file_(name)
{
    avi_chunk riff;
    if (!avi_read_chunk(file_, 0, file_.size(), riff))
        badFormat("file too short for a RIFF header");
    if (riff.id != avi_fourcc("RIFF"))
        badFormat("not a RIFF file");
    if (riff.form != avi_fourcc("AVI "))
        throw avi_error(REGDB_E_CLASSNOTREG, "RIFF form " + avi_fourcc_text(riff.form) + " has no handler");
    const std::int64_t riffEnd = std::min<std::int64_t>(riff.next, file_.size());

    bool haveHeaders = false;
    avi_chunk chunk;
    for (std::int64_t at = 12; avi_read_chunk(file_, at, riffEnd, chunk); at = chunk.next) {
        if (chunk.id == avi_fourcc("LIST") && chunk.form == avi_fourcc("hdrl") && !haveHeaders) {
            parseHeaderList(chunk);
            haveHeaders = true;
        } else if (chunk.id == avi_fourcc("LIST") && chunk.form == avi_fourcc("movi")) {
            movi_.push_back({chunk.data, std::min<std::int64_t>(chunk.data + chunk.size, file_.size())});
        } else if (chunk.id == avi_fourcc("idx1") && !haveIdx1_) {
            haveIdx1_ = true;
            idx1_ = chunk;
        }
    }
    if (!haveHeaders)
        badFormat("no header list (hdrl)");
    if (streams_.empty())
        badFormat("no stream header list (strl)");

    // OpenDML extensions: further RIFF 'AVIX' lists, each with a movi list.
    for (std::int64_t at = riff.next; avi_read_chunk(file_, at, file_.size(), chunk); at = chunk.next) {
        if (chunk.id != avi_fourcc("RIFF") || chunk.form != avi_fourcc("AVIX"))
            continue;
        const std::int64_t end = std::min<std::int64_t>(chunk.next, file_.size());
        avi_chunk inner;
        for (std::int64_t in = chunk.data + 4; avi_read_chunk(file_, in, end, inner); in = inner.next)
            if (inner.id == avi_fourcc("LIST") && inner.form == avi_fourcc("movi"))
                movi_.push_back({inner.data, std::min<std::int64_t>(inner.data + inner.size, file_.size())});
    }
    buildIndexes();
}

std::vector<unsigned char> avi_container::readData(const avi_chunk& chunk, const char* what)
{
    if (chunk.data + chunk.size > file_.size())
        badFormat(std::string("truncated ") + what + " chunk");
    std::vector<unsigned char> data(chunk.size);
    file_.read(chunk.data, data.data(), data.size());
    return data;
}

void avi_container::parseHeaderList(const avi_chunk& hdrl)
{
    const std::int64_t end = std::min<std::int64_t>(hdrl.data + hdrl.size, file_.size());
    avi_chunk chunk;
    for (std::int64_t at = hdrl.data + 4; avi_read_chunk(file_, at, end, chunk); at = chunk.next) {
        if (chunk.id == avi_fourcc("avih") && chunk.size >= 4) {
            unsigned char period[4];
            file_.read(chunk.data, period, 4);
            microSecPerFrame_ = le32(period);  // dwMicroSecPerFrame; the rest is not needed
        } else if (chunk.id == avi_fourcc("LIST") && chunk.form == avi_fourcc("strl")) {
            if (streams_.size() >= maxStreams)
                badFormat("more than " + std::to_string(maxStreams) + " streams");
            avi_stream stream;
            stream.number = static_cast<int>(streams_.size());
            indx_.emplace_back();
            parseStreamList(chunk, stream, indx_.back());
            streams_.push_back(std::move(stream));
        }
    }
}

void avi_container::parseStreamList(const avi_chunk& strl, avi_stream& stream, std::vector<unsigned char>& indx)
{
    const std::int64_t end = std::min<std::int64_t>(strl.data + strl.size, file_.size());
    bool haveHeader = false;
    avi_chunk chunk;
    for (std::int64_t at = strl.data + 4; avi_read_chunk(file_, at, end, chunk); at = chunk.next) {
        if (chunk.id == avi_fourcc("strh")) {
            if (chunk.size < 48)
                badFormat("stream header of " + std::to_string(chunk.size) + " bytes");
            const std::vector<unsigned char> h = readData(chunk, "stream header");
            stream.fccType = le32(&h[0]);
            stream.fccHandler = le32(&h[4]);
            stream.flags = le32(&h[8]);
            stream.priority = static_cast<WORD>(readLE16(&h[12]));
            stream.language = static_cast<WORD>(readLE16(&h[14]));
            stream.initialFrames = le32(&h[16]);
            stream.scale = le32(&h[20]);
            stream.rate = le32(&h[24]);
            stream.start = le32(&h[28]);
            stream.length = le32(&h[32]);
            stream.suggestedBufferSize = le32(&h[36]);
            stream.quality = le32(&h[40]);
            stream.sampleSize = le32(&h[44]);
            if (h.size() >= 56)  // rcFrame: four 16-bit values, absent in old files
                for (int i = 0; i < 4; ++i)
                    stream.frame[i] = static_cast<std::int16_t>(readLE16(&h[48 + 2 * i]));
            haveHeader = true;
        } else if (chunk.id == avi_fourcc("strf")) {
            stream.format = readData(chunk, "stream format");
        } else if (chunk.id == avi_fourcc("strn")) {
            const std::vector<unsigned char> text = readData(chunk, "stream name");
            stream.name.assign(text.begin(), std::find(text.begin(), text.end(), 0));
        } else if (chunk.id == avi_fourcc("indx")) {
            indx = readData(chunk, "OpenDML index");
        }
    }
    if (!haveHeader)
        badFormat("stream list without stream header (strh)");
}
