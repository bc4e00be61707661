// The AVI file interface's calls over our container reader and decoders.
// Handles are reference-counted objects; a stream keeps its file's contents
// alive, and a frame decoder its stream. No failure leaves a call as an
// exception: each becomes its result code (or a null result).
#include "platform/vfw.h"

#ifndef _WIN32
#include "platform/avi_container.h"
#include "platform/avi_decoder.h"
#include "tarvo/imageio/byte_order.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

struct IAVIFile {
    ULONG references = 1;
    std::shared_ptr<avi_container> container;
};

struct IAVIStream {
    ULONG references = 1;
    std::shared_ptr<avi_container> container;
    int number = 0;
    const avi_stream& stream() const { return container->streams()[static_cast<std::size_t>(number)]; }
};

struct IGetFrame {
    PAVISTREAM stream = nullptr;
    std::unique_ptr<avi_frame_decoder> decoder;
};

namespace {

int initialised = 0;

template <class Body>
HRESULT guarded(Body body)
{
    try {
        return body();
    } catch (const avi_error& e) {
        return e.code;
    } catch (const std::bad_alloc&) {
        return AVIERR_MEMORY;
    } catch (...) {
        return AVIERR_INTERNAL;
    }
}

LONG clampToLong(__int128 value)
{
    if (value > std::numeric_limits<LONG>::max())
        return std::numeric_limits<LONG>::max();
    if (value < std::numeric_limits<LONG>::min())
        return std::numeric_limits<LONG>::min();
    return static_cast<LONG>(value);
}

// a * b / c rounded to the nearest, halves away from zero; c > 0.
__int128 mulDivRound(__int128 a, __int128 b, __int128 c)
{
    const __int128 product = a * b;
    return product >= 0 ? (product + c / 2) / c : -((-product + c / 2) / c);
}

// floor(a / c); c > 0.
__int128 floorDiv(__int128 a, __int128 c) { return a >= 0 ? a / c : -((-a + c - 1) / c); }

LONG sampleToTime(const avi_stream& s, __int128 sample)
{
    return clampToLong(mulDivRound(sample, __int128(s.scale) * 1000, s.rate));
}

} // namespace

extern "C" {

void AVIFileInit(void) { ++initialised; }

void AVIFileExit(void)
{
    if (initialised > 0)
        --initialised;
}

HRESULT AVIFileOpenA(PAVIFILE* ppfile, LPCSTR szFile, UINT uMode, LPCLSID /*lpHandler*/)
{
    if (!ppfile)
        return AVIERR_BADPARAM;
    *ppfile = nullptr;
    if (!szFile)
        return AVIERR_BADPARAM;
    if (!initialised)
        return CO_E_NOTINITIALIZED;
    if (uMode & (OF_WRITE | OF_READWRITE | OF_CREATE))
        return AVIERR_READONLY;
    return guarded([&] {
        std::unique_ptr<IAVIFile> file(new IAVIFile);
        file->container = std::make_shared<avi_container>(szFile);
        *ppfile = file.release();
        return AVIERR_OK;
    });
}

ULONG AVIFileRelease(PAVIFILE pfile)
{
    if (!pfile)
        return 0;
    const ULONG left = --pfile->references;
    if (left == 0)
        delete pfile;
    return left;
}

HRESULT AVIFileGetStream(PAVIFILE pfile, PAVISTREAM* ppavi, DWORD fccType, LONG lParam)
{
    if (!ppavi)
        return AVIERR_BADPARAM;
    *ppavi = nullptr;
    if (!pfile)
        return AVIERR_BADHANDLE;
    if (lParam < 0)
        return AVIERR_BADPARAM;
    return guarded([&] {
        LONG wanted = lParam;
        const std::vector<avi_stream>& streams = pfile->container->streams();
        for (const avi_stream& s : streams) {
            if (fccType != 0 && s.fccType != fccType)
                continue;
            if (wanted-- > 0)
                continue;
            std::unique_ptr<IAVIStream> stream(new IAVIStream);
            stream->container = pfile->container;
            stream->number = s.number;
            *ppavi = stream.release();
            return AVIERR_OK;
        }
        return AVIERR_NODATA;
    });
}

ULONG AVIStreamRelease(PAVISTREAM pavi)
{
    if (!pavi)
        return 0;
    const ULONG left = --pavi->references;
    if (left == 0)
        delete pavi;
    return left;
}

HRESULT AVIStreamInfoA(PAVISTREAM pavi, LPAVISTREAMINFOA psi, LONG lSize)
{
    if (!pavi)
        return AVIERR_BADHANDLE;
    if (!psi || lSize < 0)
        return AVIERR_BADPARAM;
    const avi_stream& s = pavi->stream();
    AVISTREAMINFOA info;
    std::memset(&info, 0, sizeof info);
    info.fccType = s.fccType;
    info.fccHandler = s.fccHandler;
    info.dwFlags = s.flags;
    info.wPriority = s.priority;
    info.wLanguage = s.language;
    info.dwScale = s.scale;
    info.dwRate = s.rate;
    info.dwStart = s.start;
    info.dwLength = static_cast<DWORD>(AVIStreamLength(pavi));
    info.dwInitialFrames = s.initialFrames;
    info.dwSuggestedBufferSize = s.suggestedBufferSize;
    info.dwQuality = s.quality;
    info.dwSampleSize = s.sampleSize;
    info.rcFrame.left = s.frame[0];
    info.rcFrame.top = s.frame[1];
    info.rcFrame.right = s.frame[2];
    info.rcFrame.bottom = s.frame[3];
    info.dwEditCount = 0;
    info.dwFormatChangeCount = 0;
    std::strncpy(info.szName, s.name.c_str(), sizeof info.szName - 1);
    std::memcpy(psi, &info, std::min<std::size_t>(sizeof info, static_cast<std::size_t>(lSize)));
    return AVIERR_OK;
}

LONG AVIStreamStart(PAVISTREAM pavi) { return pavi ? static_cast<LONG>(pavi->stream().start) : -1; }

LONG AVIStreamLength(PAVISTREAM pavi)
{
    if (!pavi)
        return -1;
    const avi_stream& s = pavi->stream();
    // A video stream has as many samples as its index has chunks, whatever
    // the header claims; other streams are taken at their header's word.
    if (s.fccType == streamtypeVIDEO)
        return clampToLong(s.index.size());
    return static_cast<LONG>(std::min<DWORD>(s.length, std::numeric_limits<LONG>::max()));
}

LONG AVIStreamSampleToTime(PAVISTREAM pavi, LONG lSample)
{
    if (!pavi || pavi->stream().rate == 0 || pavi->stream().scale == 0)
        return -1;
    return sampleToTime(pavi->stream(), lSample);
}

LONG AVIStreamTimeToSample(PAVISTREAM pavi, LONG lTime)
{
    if (!pavi || pavi->stream().rate == 0 || pavi->stream().scale == 0)
        return -1;
    const avi_stream& s = pavi->stream();
    // Estimate, then settle on the last sample whose (rounded) time is at or
    // before lTime, so that converting a sample's time back gives the sample.
    __int128 sample = floorDiv(__int128(lTime) * s.rate, __int128(s.scale) * 1000);
    while (sampleToTime(s, sample + 1) <= lTime && sample < std::numeric_limits<LONG>::max())
        ++sample;
    while (sampleToTime(s, sample) > lTime && sample > std::numeric_limits<LONG>::min())
        --sample;
    return clampToLong(sample);
}

HRESULT AVIStreamReadFormat(PAVISTREAM pavi, LONG /*lPos: formats do not change*/, LPVOID lpFormat, LONG* lpcbFormat)
{
    if (!pavi)
        return AVIERR_BADHANDLE;
    if (!lpcbFormat)
        return AVIERR_BADPARAM;
    const std::vector<unsigned char>& format = pavi->stream().format;
    if (!lpFormat) {
        *lpcbFormat = clampToLong(format.size());
        return AVIERR_OK;
    }
    if (*lpcbFormat < 0)
        return AVIERR_BADPARAM;
    const std::size_t copied = std::min<std::size_t>(format.size(), static_cast<std::size_t>(*lpcbFormat));
    std::memcpy(lpFormat, format.data(), copied);
    *lpcbFormat = static_cast<LONG>(copied);
    return AVIERR_OK;
}

PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM pavi, LPBITMAPINFOHEADER lpbiWanted)
{
    if (!pavi)
        return nullptr;
    try {
        std::unique_ptr<IGetFrame> frame(new IGetFrame);
        frame->decoder = avi_frame_decoder::open(pavi->container, pavi->number);
        if (lpbiWanted) {
            // Only the stream's own layout can be had.
            const std::vector<unsigned char>& f = pavi->stream().format;
            BITMAPINFOHEADER own;
            own.biWidth = readLE32(&f[4]);
            own.biHeight = readLE32(&f[8]);
            own.biBitCount = static_cast<WORD>(readLE16(&f[14]));
            if ((lpbiWanted->biWidth != 0 && lpbiWanted->biWidth != own.biWidth) ||
                (lpbiWanted->biHeight != 0 && lpbiWanted->biHeight != own.biHeight) ||
                (lpbiWanted->biBitCount != 0 && lpbiWanted->biBitCount != own.biBitCount) ||
                (lpbiWanted->biCompression != BI_RGB && lpbiWanted->biCompression != BI_BITFIELDS))
                return nullptr;
        }
        ++pavi->references;
        frame->stream = pavi;
        return frame.release();
    } catch (...) {
        return nullptr;
    }
}

LPVOID AVIStreamGetFrame(PGETFRAME pg, LONG lPos)
{
    if (!pg)
        return nullptr;
    try {
        const std::int64_t sample = std::int64_t(lPos) - AVIStreamStart(pg->stream);
        return const_cast<unsigned char*>(pg->decoder->frame(sample));
    } catch (...) {
        return nullptr;
    }
}

HRESULT AVIStreamGetFrameClose(PGETFRAME pg)
{
    if (!pg)
        return AVIERR_BADHANDLE;
    pg->decoder.reset();
    AVIStreamRelease(pg->stream);
    delete pg;
    return AVIERR_OK;
}

} // extern "C"
#endif
