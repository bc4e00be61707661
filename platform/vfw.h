// The AVI file interface: open an AVI file, find its streams, read their
// headers and formats, and decode video frames into packed device-independent
// bitmaps. On Windows this is the system's own interface; elsewhere our layer
// (platform/avi_*.cpp, platform/vfw.cpp) gives the same calls, records and
// result codes.
//
// Samples are numbered from AVIStreamStart; AVIStreamGetFrame of sample p
// gives exactly the p-th picture of the stream (after a seek the decoder
// restarts at the key frame before p). Its bitmap is the stream's format
// block (with a plain RGB compression field), then the rows, each padded to
// a multiple of 4 bytes, bottom row first unless the format block announces
// a negative height. The bitmap stays valid until the next call on the same
// decoder.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <vfw.h>
#else
#include <cstdint>

typedef std::uint8_t BYTE;
typedef std::uint16_t WORD;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef std::uint32_t ULONG;
typedef unsigned int UINT;
typedef std::int32_t HRESULT;
typedef void* LPVOID;
typedef const char* LPCSTR;

struct _GUID;
typedef const struct _GUID* LPCLSID;

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT;

typedef struct tagBITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
} BITMAPINFOHEADER, *LPBITMAPINFOHEADER;

#define BI_RGB 0L
#define BI_RLE8 1L
#define BI_RLE4 2L
#define BI_BITFIELDS 3L

#define mmioFOURCC(ch0, ch1, ch2, ch3)                                                                      \
    ((DWORD)(BYTE)(ch0) | ((DWORD)(BYTE)(ch1) << 8) | ((DWORD)(BYTE)(ch2) << 16) | ((DWORD)(BYTE)(ch3) << 24))

#define streamtypeVIDEO mmioFOURCC('v', 'i', 'd', 's')
#define streamtypeAUDIO mmioFOURCC('a', 'u', 'd', 's')
#define streamtypeMIDI mmioFOURCC('m', 'i', 'd', 's')
#define streamtypeTEXT mmioFOURCC('t', 'x', 't', 's')

// Index entry flags (idx1).
#define AVIIF_LIST 0x00000001L
#define AVIIF_KEYFRAME 0x00000010L
#define AVIIF_NO_TIME 0x00000100L

// File open modes; only reading is supported.
#define OF_READ 0x00000000
#define OF_WRITE 0x00000001
#define OF_READWRITE 0x00000002
#define OF_CREATE 0x00001000

#define MAKE_AVIERR(error) ((HRESULT)(0x80040000UL | (0x4000UL + (error))))
#define AVIERR_OK ((HRESULT)0L)
#define AVIERR_UNSUPPORTED MAKE_AVIERR(101)
#define AVIERR_BADFORMAT MAKE_AVIERR(102)
#define AVIERR_MEMORY MAKE_AVIERR(103)
#define AVIERR_INTERNAL MAKE_AVIERR(104)
#define AVIERR_BADFLAGS MAKE_AVIERR(105)
#define AVIERR_BADPARAM MAKE_AVIERR(106)
#define AVIERR_BADSIZE MAKE_AVIERR(107)
#define AVIERR_BADHANDLE MAKE_AVIERR(108)
#define AVIERR_FILEREAD MAKE_AVIERR(109)
#define AVIERR_FILEWRITE MAKE_AVIERR(110)
#define AVIERR_FILEOPEN MAKE_AVIERR(111)
#define AVIERR_COMPRESSOR MAKE_AVIERR(112)
#define AVIERR_NOCOMPRESSOR MAKE_AVIERR(113)
#define AVIERR_READONLY MAKE_AVIERR(114)
#define AVIERR_NODATA MAKE_AVIERR(115)
#define AVIERR_BUFFERTOOSMALL MAKE_AVIERR(116)
#define AVIERR_CANTCOMPRESS MAKE_AVIERR(117)
#define AVIERR_USERABORT MAKE_AVIERR(198)
#define AVIERR_ERROR MAKE_AVIERR(199)

#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154UL)
#define CO_E_NOTINITIALIZED ((HRESULT)0x800401F0UL)

// The stream information record, 140 bytes.
typedef struct _AVISTREAMINFOA {
    DWORD fccType;
    DWORD fccHandler;
    DWORD dwFlags;
    DWORD dwCaps;
    WORD wPriority;
    WORD wLanguage;
    DWORD dwScale;
    DWORD dwRate;  // dwRate / dwScale samples per second
    DWORD dwStart;
    DWORD dwLength;
    DWORD dwInitialFrames;
    DWORD dwSuggestedBufferSize;
    DWORD dwQuality;
    DWORD dwSampleSize;
    RECT rcFrame;
    DWORD dwEditCount;
    DWORD dwFormatChangeCount;
    char szName[64];
} AVISTREAMINFOA, *LPAVISTREAMINFOA;

struct IAVIFile;
struct IAVIStream;
struct IGetFrame;
typedef struct IAVIFile* PAVIFILE;
typedef struct IAVIStream* PAVISTREAM;
typedef struct IGetFrame* PGETFRAME;

extern "C" {

// Reference-counted start and stop of the interface; every other call needs it started.
void AVIFileInit(void);
void AVIFileExit(void);

// uMode OF_READ; lpHandler is ignored (one handler: AVI). AVIERR_FILEOPEN when the
// file cannot be opened, AVIERR_BADFORMAT when it is no readable AVI file,
// REGDB_E_CLASSNOTREG for a RIFF file of another form.
HRESULT AVIFileOpenA(PAVIFILE* ppfile, LPCSTR szFile, UINT uMode, LPCLSID lpHandler);
ULONG AVIFileRelease(PAVIFILE pfile);
// The lParam-th stream of type fccType (0: of any type); AVIERR_NODATA if there is none.
HRESULT AVIFileGetStream(PAVIFILE pfile, PAVISTREAM* ppavi, DWORD fccType, LONG lParam);

ULONG AVIStreamRelease(PAVISTREAM pavi);
// Copies up to lSize bytes of the record.
HRESULT AVIStreamInfoA(PAVISTREAM pavi, LPAVISTREAMINFOA psi, LONG lSize);
LONG AVIStreamStart(PAVISTREAM pavi);
// Samples in the stream: the chunks its index holds; -1 for a bad handle.
LONG AVIStreamLength(PAVISTREAM pavi);
// Milliseconds of a sample, rounded to the nearest; -1 when the stream has no rate.
LONG AVIStreamSampleToTime(PAVISTREAM pavi, LONG lSample);
// The last sample whose time is at or before lTime; -1 when the stream has no rate.
LONG AVIStreamTimeToSample(PAVISTREAM pavi, LONG lTime);
// The format chunk, byte for byte. With lpFormat null only *lpcbFormat is set to
// its size; otherwise at most *lpcbFormat bytes are copied and it is set to the
// number copied.
HRESULT AVIStreamReadFormat(PAVISTREAM pavi, LONG lPos, LPVOID lpFormat, LONG* lpcbFormat);

// A decoder into the stream's own layout (lpbiWanted null, or a header asking
// for exactly that layout); null when the stream cannot be decoded into it.
PGETFRAME AVIStreamGetFrameOpen(PAVISTREAM pavi, LPBITMAPINFOHEADER lpbiWanted);
// The packed bitmap of sample lPos, or null when there is no picture for it.
LPVOID AVIStreamGetFrame(PGETFRAME pg, LONG lPos);
HRESULT AVIStreamGetFrameClose(PGETFRAME pg);

} // extern "C"
#endif
