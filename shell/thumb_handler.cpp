// The thumbnail handler: IInitializeWithStream takes the dump's stream,
// IThumbnailProvider gives its thumbnail as a 32-bit top-down DIB section.
// The stream is read by offset as the library reads a file: the header and
// colour map from the front, the pixel rows in bands, so memory does not
// grow with the dump. A stream that cannot seek is read from the front,
// row by row; only a planar dump is held, up to the thumbnail code's limit.
#include <objidl.h>
#include <propsys.h>
#include <shlwapi.h>
#include <thumbcache.h>

#include <atomic>
#include <new>

#include "dump_texts.h"
#include "shell_thumb.h"
#include "thumbnail.h"
#include "rastrex.h"

// COM objects are destroyed by their own Release(), never through an
// interface pointer: the interfaces need no virtual destructor.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace rastrex::shell {

namespace {

// The dump's bytes through the stream Explorer handed over.
class StreamSource : public ByteSource {
public:
    explicit StreamSource(IStream* stream) : stream_(stream) {}

    std::size_t read(unsigned char* into, std::size_t n) override
    {
        std::size_t done = 0;
        while (done < n) {
            const ULONG want = static_cast<ULONG>(std::min<std::size_t>(n - done, 1u << 30));
            ULONG got = 0;
            if (FAILED(stream_->Read(into + done, want, &got)) || got == 0)
                break;
            done += got;
        }
        return done;
    }

    std::optional<std::uint64_t> size() override
    {
        STATSTG stat{};
        if (FAILED(stream_->Stat(&stat, STATFLAG_NONAME)))
            return std::nullopt;
        LARGE_INTEGER zero{};
        if (FAILED(stream_->Seek(zero, STREAM_SEEK_CUR, nullptr)))
            return std::nullopt;  // no seeking: only from the front
        return stat.cbSize.QuadPart;
    }

    std::uint64_t readAt(std::uint64_t offset, unsigned char* into, std::uint64_t n) override
    {
        LARGE_INTEGER at{};
        at.QuadPart = static_cast<LONGLONG>(offset);
        if (offset > static_cast<std::uint64_t>(INT64_MAX) || FAILED(stream_->Seek(at, STREAM_SEEK_SET, nullptr)))
            return 0;
        return read(into, static_cast<std::size_t>(n));
    }

private:
    IStream* stream_;
};

// A 32-bit top-down DIB section of the thumbnail, opaque.
HBITMAP dibOf(const Thumbnail& t)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(t.width);
    info.bmiHeader.biHeight = -static_cast<LONG>(t.height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr)
        return nullptr;
    auto* out = static_cast<unsigned char*>(bits);
    const std::size_t pixels = std::size_t{t.width} * t.height;
    for (std::size_t i = 0; i < pixels; ++i) {
        out[4 * i] = t.bgr[3 * i];
        out[4 * i + 1] = t.bgr[3 * i + 1];
        out[4 * i + 2] = t.bgr[3 * i + 2];
        out[4 * i + 3] = 0xFF;
    }
    return bitmap;
}

class ThumbnailHandler final : public IInitializeWithStream, public IThumbnailProvider {
public:
    ThumbnailHandler() { addReference(); }
    ThumbnailHandler(const ThumbnailHandler&) = delete;
    ThumbnailHandler& operator=(const ThumbnailHandler&) = delete;

    // IUnknown
    IFACEMETHODIMP QueryInterface(REFIID riid, void** object) override
    {
        static const QITAB table[] = {
            QITABENT(ThumbnailHandler, IInitializeWithStream),
            QITABENT(ThumbnailHandler, IThumbnailProvider),
            {nullptr, 0},
        };
        return QISearch(this, table, riid, object);
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    IFACEMETHODIMP_(ULONG) Release() override
    {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

    // IInitializeWithStream: the shell calls it once, before GetThumbnail.
    IFACEMETHODIMP Initialize(IStream* stream, DWORD) override
    {
        if (stream == nullptr)
            return E_INVALIDARG;
        if (stream_ != nullptr)
            return HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED);
        stream_ = stream;
        stream_->AddRef();
        return S_OK;
    }

    // IThumbnailProvider
    IFACEMETHODIMP GetThumbnail(UINT cx, HBITMAP* bitmap, WTS_ALPHATYPE* alpha) override
    {
        if (bitmap == nullptr || alpha == nullptr || cx == 0)
            return E_INVALIDARG;
        *bitmap = nullptr;
        *alpha = WTSAT_RGB;
        if (stream_ == nullptr)
            return E_UNEXPECTED;
        try {
            StreamSource source(stream_);
            InputFile in(source);
            Thumbnail t;
            switch (resultOf(makeThumbnail(in, cx, t))) {
            case ConversionResult::Ok:
                break;
            case ConversionResult::NoMemory:
                return E_OUTOFMEMORY;
            case ConversionResult::OpenInput:  // not from a stream
            case ConversionResult::WriteOutput:
            case ConversionResult::ReadInput:  // no dump, or cut short before a pixel
            case ConversionResult::Unexpected:  // kThumbnailTooLittle: under 1% of the pixels
                // Explorer keeps the plain icon.
                return HRESULT_FROM_WIN32(ERROR_BAD_FORMAT);
            }
            *bitmap = dibOf(t);
            return *bitmap != nullptr ? S_OK : E_OUTOFMEMORY;
        } catch (...) {
            return E_FAIL;
        }
    }

private:
    ~ThumbnailHandler()
    {
        if (stream_ != nullptr)
            stream_->Release();
        releaseReference();
    }

    std::atomic<ULONG> references_{1};
    IStream* stream_ = nullptr;
};

}  // namespace

HRESULT createThumbnailHandler(REFIID riid, void** object)
{
    auto* handler = new (std::nothrow) ThumbnailHandler();
    if (handler == nullptr)
        return E_OUTOFMEMORY;
    const HRESULT result = handler->QueryInterface(riid, object);
    handler->Release();
    return result;
}

}  // namespace rastrex::shell
