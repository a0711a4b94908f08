#include "resource_ids.h"
#include "win32_controls.h"

namespace rastrex::win32 {

namespace {

// Pictures drawn from the program's resources; without them (a test
// program) they stay empty.
class W32Picture final : public Dispatch {
public:
    W32Picture(W32Window& w, const ControlLayout& l) : window_(w) { layout = &l; }
    void drawItem(const DRAWITEMSTRUCT& d) override
    {
        const RECT& r = d.rcItem;
        FillRect(d.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
        const int width = r.right - r.left, height = r.bottom - r.top;
        switch (layout->picture) {
        case Picture::AboutIcon: {
            // Stretched to the control's size.
            HICON icon = static_cast<HICON>(
                LoadImageW(window_.instance(), MAKEINTRESOURCEW(kAboutIconId), IMAGE_ICON, 32, 32, 0));
            if (icon != nullptr) {
                DrawIconEx(d.hDC, r.left, r.top, icon, width, height, 0, nullptr, DI_NORMAL);
                DestroyIcon(icon);
            }
            break;
        }
        case Picture::Arrow:
        case Picture::Banner: {
            const int resource = layout->picture == Picture::Arrow ? kArrowBitmapId : kBannerBitmapId;
            HBITMAP bitmap = static_cast<HBITMAP>(
                LoadImageW(window_.instance(), MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, 0));
            if (bitmap == nullptr)
                break;
            BITMAP info{};
            GetObjectW(bitmap, sizeof info, &info);
            HDC source = CreateCompatibleDC(d.hDC);
            HGDIOBJ old = SelectObject(source, bitmap);
            // The arrow fills its box; the banner keeps its own size.
            if (layout->picture == Picture::Arrow)
                StretchBlt(d.hDC, r.left, r.top, width, height, source, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
            else
                BitBlt(d.hDC, r.left, r.top, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
            SelectObject(source, old);
            DeleteDC(source);
            DeleteObject(bitmap);
            break;
        }
        case Picture::None:
            break;
        }
    }

private:
    W32Window& window_;
};

}  // namespace

std::unique_ptr<Dispatch> makePicture(W32Window& window, const ControlLayout& layout)
{
    auto picture = std::make_unique<W32Picture>(window, layout);
    picture->native = {.windowClass = L"STATIC", .style = SS_OWNERDRAW | SS_NOTIFY, .showsCaption = false};
    return picture;
}

}  // namespace rastrex::win32
