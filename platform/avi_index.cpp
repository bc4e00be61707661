// Where each chunk of a stream lies. Three sources, in order of preference:
//
//   indx (OpenDML super index, in the stream list)
//     WORD longsPerEntry (4), BYTE subType, BYTE type (0: of indexes, 1: of chunks),
//     DWORD entriesInUse, DWORD chunkId, DWORD reserved[3],
//     entries: QWORD offset of an ix## chunk, DWORD its size, DWORD duration
//   ix## (OpenDML standard index, anywhere in a movi list)
//     WORD longsPerEntry (2, or 3 for field indexes), BYTE subType, BYTE type (1),
//     DWORD entriesInUse, DWORD chunkId, QWORD baseOffset, DWORD reserved,
//     entries: DWORD offset of the data from baseOffset, DWORD size (bit 31: not a key frame)
//   idx1 (at the end of the first RIFF list; covers only it)
//     entries: DWORD ckid, DWORD flags, DWORD offset of the chunk header
//     (from the 'movi' fourcc, or from the file's start), DWORD size
//
// An index that points outside the file or at the wrong place is damaged and
// the next source is used; the last resort is a scan of every movi list.
#include "platform/avi_container.h"

#include "tarvo/imageio/byte_order.h"

#include <algorithm>

namespace {

constexpr std::uint8_t indexOfIndexes = 0x00;
constexpr std::uint8_t indexOfChunks = 0x01;
constexpr std::uint32_t notKeyFrame = 0x80000000u;
constexpr int maxListDepth = 4;  // movi holds 'rec ' lists; nothing nests deeper in sane files

std::uint32_t le32(const unsigned char* p) { return static_cast<std::uint32_t>(readLE32(p)); }
std::uint64_t le64(const unsigned char* p) { return std::uint64_t(le32(p)) | std::uint64_t(le32(p + 4)) << 32; }

} // namespace

void avi_container::buildIndexes()
{
    std::vector<avi_stream*> rest;
    for (std::size_t i = 0; i < streams_.size(); ++i) {
        streams_[i].index.clear();
        if (indexFromOpenDml(streams_[i], indx_[i]))
            streams_[i].indexSource = "indx";
        else
            rest.push_back(&streams_[i]);
    }
    if (rest.empty())
        return;
    if (indexFromIdx1(rest)) {
        // A video stream that idx1 leaves empty is scanned for: its chunks may still be there.
        std::vector<avi_stream*> empty;
        for (avi_stream* s : rest)
            if (s->index.empty() && s->fccType == streamtypeVIDEO)
                empty.push_back(s);
            else
                s->indexSource = "idx1";
        rest.swap(empty);
    }
    if (!rest.empty())
        indexByScan(rest);
}

bool avi_container::readStandardIndex(avi_stream& stream, const unsigned char* data, std::size_t bytes)
{
    if (bytes < 24)
        return false;
    const unsigned longs = static_cast<unsigned>(readLE16(data));
    const std::uint8_t type = data[3];
    const std::uint32_t entries = le32(data + 4);
    const DWORD chunkId = le32(data + 8);
    const std::uint64_t base = le64(data + 12);
    if (type != indexOfChunks || longs < 2 || !stream.ownsChunk(chunkId))
        return false;
    const std::size_t stride = 4u * longs;
    if (entries > (bytes - 24) / stride)
        return false;
    const std::uint64_t fileSize = static_cast<std::uint64_t>(file_.size());
    for (std::uint32_t i = 0; i < entries; ++i) {
        const unsigned char* e = data + 24 + i * stride;
        const std::uint64_t at = base + le32(e);
        const std::uint32_t raw = le32(e + 4);
        const std::uint32_t size = raw & ~notKeyFrame;
        if (at < 8 || at > fileSize || fileSize - at < size)
            return false;
        stream.index.push_back({static_cast<std::int64_t>(at), size, (raw & notKeyFrame) == 0});
    }
    return true;
}

bool avi_container::indexFromOpenDml(avi_stream& stream, const std::vector<unsigned char>& indx)
{
    if (indx.size() < 24)
        return false;
    const unsigned longs = static_cast<unsigned>(readLE16(indx.data()));
    const std::uint8_t type = indx[3];
    const std::uint32_t entries = le32(indx.data() + 4);
    if (entries == 0)
        return false;  // a placeholder the writer never filled in
    if (type == indexOfChunks) {
        if (readStandardIndex(stream, indx.data(), indx.size()))
            return true;
        stream.index.clear();
        return false;
    }
    if (type != indexOfIndexes || longs != 4 || entries > (indx.size() - 24) / 16)
        return false;
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::uint64_t at = le64(&indx[24 + 16 * i]);
        avi_chunk ix;
        if (at > static_cast<std::uint64_t>(file_.size()) ||
            !avi_read_chunk(file_, static_cast<std::int64_t>(at), file_.size(), ix) ||
            ix.data + ix.size > file_.size()) {
            stream.index.clear();
            return false;
        }
        std::vector<unsigned char> data(ix.size);
        file_.read(ix.data, data.data(), data.size());
        if (!readStandardIndex(stream, data.data(), data.size())) {
            stream.index.clear();
            return false;
        }
    }
    return true;
}

bool avi_container::indexFromIdx1(const std::vector<avi_stream*>& targets)
{
    if (!haveIdx1_ || movi_.empty() || idx1_.data + idx1_.size > file_.size())
        return false;
    std::vector<unsigned char> idx(idx1_.size - idx1_.size % 16);
    file_.read(idx1_.data, idx.data(), idx.size());

    // The offsets count from the 'movi' fourcc or from the start of the file:
    // the first data entry tells which, by the chunk id found there.
    std::int64_t base = -1;
    for (std::size_t at = 0; at < idx.size() && base < 0; at += 16) {
        if (le32(&idx[at + 4]) & AVIIF_LIST)
            continue;
        const DWORD id = le32(&idx[at]);
        const std::int64_t offset = le32(&idx[at + 8]);
        for (std::int64_t candidate : {movi_.front().idPos, std::int64_t(0)}) {
            unsigned char found[4];
            if (file_.tryRead(candidate + offset, found, 4) && le32(found) == id) {
                base = candidate;
                break;
            }
        }
        if (base < 0)
            return false;
    }
    if (base < 0)
        return idx.empty();  // an empty idx1 is an index of nothing

    std::vector<std::vector<avi_index_entry>> found(targets.size());
    for (std::size_t at = 0; at < idx.size(); at += 16) {
        const DWORD id = le32(&idx[at]);
        const std::uint32_t flags = le32(&idx[at + 4]);
        if (flags & (AVIIF_LIST | AVIIF_NO_TIME))
            continue;
        for (std::size_t t = 0; t < targets.size(); ++t) {
            if (!targets[t]->ownsChunk(id))
                continue;
            const std::int64_t data = base + le32(&idx[at + 8]) + 8;
            const std::uint32_t size = le32(&idx[at + 12]);
            if (data > file_.size() || static_cast<std::uint64_t>(file_.size() - data) < size)
                return false;
            found[t].push_back({data, size, (flags & AVIIF_KEYFRAME) != 0});
        }
    }
    for (std::size_t t = 0; t < targets.size(); ++t)
        targets[t]->index = std::move(found[t]);
    return true;
}

bool avi_container::scanList(std::int64_t begin, std::int64_t end, const std::vector<avi_stream*>& targets,
                             int depth)
{
    avi_chunk chunk;
    for (std::int64_t at = begin; avi_read_chunk(file_, at, end, chunk); at = chunk.next) {
        if (chunk.isList()) {
            if (depth < maxListDepth &&
                !scanList(chunk.data + 4, std::min<std::int64_t>(chunk.data + chunk.size, end), targets, depth + 1))
                return false;
            continue;
        }
        for (avi_stream* s : targets) {
            if (!s->ownsChunk(chunk.id))
                continue;
            if (chunk.data + chunk.size > end)
                return false;  // cut off: the file ends inside this chunk
            s->index.push_back({chunk.data, chunk.size, s->index.empty()});
        }
    }
    return true;
}

void avi_container::indexByScan(const std::vector<avi_stream*>& targets)
{
    for (avi_stream* s : targets) {
        s->index.clear();
        s->keyFlagsKnown = false;
        s->indexSource = "scan";
    }
    for (const movi_list& movi : movi_)
        if (!scanList(movi.idPos + 4, movi.end, targets, 0))
            break;
}

void avi_container::readChunk(const avi_stream& stream, const avi_index_entry& entry, unsigned char* buffer,
                              std::size_t bytes)
{
    unsigned char header[8];
    file_.read(entry.data - 8, header, 8);
    if (!stream.ownsChunk(le32(header)) || le32(header + 4) < entry.size)
        throw avi_error(AVIERR_FILEREAD, "the index points at offset " + std::to_string(entry.data - 8) +
                                             ", where no chunk of stream " + std::to_string(stream.number) +
                                             " with " + std::to_string(entry.size) + " bytes is");
    file_.read(entry.data, buffer, std::min<std::size_t>(bytes, entry.size));
}
