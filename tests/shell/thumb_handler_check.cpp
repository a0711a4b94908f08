// The thumbnail handler as Explorer uses it: the class registered for .xwd
// files created by its CLSID, IInitializeWithStream given a stream on the
// dump, GetThumbnail(SIZE). Its bitmap must be a 32-bit top-down DIB no
// larger than asked, equal within 1 to the library's own bitmap (RASTREX.DLL
// beside this program) shrunk by area, read top row first. A file that is no dump must give a
// failure and no bitmap.
// usage: thumb_handler_check SIZE DUMP... [--not-a-dump FILE]
// Exit status 0 when every file gives what it should; one line each.
#include <objidl.h>
#include <propsys.h>
#include <shlwapi.h>
#include <thumbcache.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "area_average.h"
#include "rastrex.h"
#include "xwd_recipe.h"

using namespace rastrex::test;
namespace fs = std::filesystem;

namespace {

const CLSID kHandler = {0xd7839819, 0x2297, 0x4521, {0x88, 0xf6, 0x4c, 0xb5, 0xf9, 0x3f, 0x13, 0x37}};

// The handler's thumbnail of `path`, or why there is none.
HRESULT thumbnailOf(const fs::path& path, UINT size, Bitmap& out)
{
    IThumbnailProvider* provider = nullptr;
    HRESULT hr = CoCreateInstance(kHandler, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IThumbnailProvider),
                                  reinterpret_cast<void**>(&provider));
    if (FAILED(hr))
        return hr;
    IInitializeWithStream* init = nullptr;
    IStream* stream = nullptr;
    HBITMAP bitmap = nullptr;
    WTS_ALPHATYPE alpha = WTSAT_UNKNOWN;
    hr = provider->QueryInterface(__uuidof(IInitializeWithStream), reinterpret_cast<void**>(&init));
    if (SUCCEEDED(hr))
        hr = SHCreateStreamOnFileEx(path.c_str(), STGM_READ | STGM_SHARE_DENY_WRITE, 0, FALSE, nullptr, &stream);
    if (SUCCEEDED(hr))
        hr = init->Initialize(stream, STGM_READ);
    if (SUCCEEDED(hr))
        hr = provider->GetThumbnail(size, &bitmap, &alpha);
    if (SUCCEEDED(hr)) {
        // A 32-bit DIB section of opaque pixels; that its rows go top down
        // shows in the comparison of the pictures.
        DIBSECTION dib{};
        if (GetObjectW(bitmap, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBitsPixel != 32 ||
            dib.dsBm.bmBits == nullptr || alpha != WTSAT_RGB) {
            std::printf("GetObject %d, %d bits, alpha %d\n", GetObjectW(bitmap, sizeof dib, &dib),
                        dib.dsBm.bmBitsPixel, static_cast<int>(alpha));
            hr = E_UNEXPECTED;
        } else {
            out.width = static_cast<std::uint32_t>(dib.dsBm.bmWidth);
            out.height = static_cast<std::uint32_t>(dib.dsBm.bmHeight);
            const auto* bits = static_cast<const unsigned char*>(dib.dsBm.bmBits);
            for (std::size_t i = 0; i < std::size_t{out.width} * out.height; ++i)
                out.pixels.push_back({bits[4 * i + 2], bits[4 * i + 1], bits[4 * i]});
        }
    }
    if (bitmap != nullptr)
        DeleteObject(bitmap);
    if (stream != nullptr)
        stream->Release();
    if (init != nullptr)
        init->Release();
    provider->Release();
    return hr;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return std::fputs("usage: thumb_handler_check SIZE DUMP... [--not-a-dump FILE]\n", stderr), 2;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const UINT size = static_cast<UINT>(std::wcstoul(argv[1], nullptr, 10));
    int failed = 0;
    for (int i = 2; i < argc; ++i) {
        const bool notADump = std::wstring(argv[i]) == L"--not-a-dump" && i + 1 < argc;
        const fs::path dump = argv[notADump ? ++i : i];
        Bitmap got;
        const HRESULT hr = thumbnailOf(dump, size, got);
        std::string verdict;
        if (notADump) {
            verdict = FAILED(hr) && got.pixels.empty() ? "" : "a thumbnail of what is no dump";
        } else if (FAILED(hr)) {
            verdict = "no thumbnail, HRESULT " + std::to_string(static_cast<unsigned long>(hr));
        } else {
            const fs::path bmp = fs::temp_directory_path() / "rastrex-thumb-check.bmp";
            if (fnRastrex(nativePath(dump).c_str(), nativePath(bmp).c_str()) != RASTREX_OK)
                verdict = "the library did not convert it";
            else
                verdict = compareWithin(areaAverage(parseBmp(readFile(bmp)), size), got, 1);
            fs::remove(bmp);
        }
        std::printf("%s: %s\n", dump.filename().string().c_str(), verdict.empty() ? "ok" : verdict.c_str());
        failed += verdict.empty() ? 0 : 1;
    }
    CoUninitialize();
    return failed == 0 ? 0 : 1;
}
