#include "win32_drops.h"

#include <shellapi.h>

#include <string>
#include <vector>

namespace rastrex::win32 {

namespace {

// ------------------------------------------------------------ dropped data

class DroppedData final : public DragData {
public:
    explicit DroppedData(IDataObject* data) : data_(data) {}
    bool getFormat(int format) const override
    {
        if (data_ == nullptr)
            return false;
        FORMATETC fe{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return data_->QueryGetData(&fe) == S_OK;
    }
    std::vector<std::string> files() const override
    {
        std::vector<std::string> out;
        if (!getFormat(kClipboardFormatFiles))
            return out;
        FORMATETC fe{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (data_->GetData(&fe, &medium) != S_OK)
            return out;
        HDROP drop = static_cast<HDROP>(medium.hGlobal);
        const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            const UINT length = DragQueryFileA(drop, i, nullptr, 0);
            std::string name(length + 1, '\0');
            DragQueryFileA(drop, i, name.data(), length + 1);
            name.resize(length);
            out.push_back(std::move(name));
        }
        ReleaseStgMedium(&medium);
        return out;
    }

private:
    IDataObject* data_;
};

}  // namespace

DWORD DropTarget::over(DWORD keys, POINTL pt, DragState state, DWORD allowed)
{
    int effect = kDropEffectNone;
    // A batch takes no drop.
    if (list_.oleDragOver && !window_.inBatch()) {
        DroppedData data(data_);
        POINT p{pt.x, pt.y};
        if (control_.hwnd != nullptr)
            ScreenToClient(control_.hwnd, &p);
        int button = 0;
        if (keys & MK_LBUTTON)
            button |= kLeftButton;
        if (keys & MK_RBUTTON)
            button |= kRightButton;
        if (keys & MK_MBUTTON)
            button |= kMiddleButton;
        int shift = 0;
        if (keys & MK_SHIFT)
            shift |= kShiftMask;
        if (keys & MK_CONTROL)
            shift |= kCtrlMask;
        if (keys & MK_ALT)
            shift |= kAltMask;
        list_.oleDragOver(data, effect, button, shift, p.x, p.y, state);
    }
    lastEffect_ = effect == kDropEffectCopy && (allowed & DROPEFFECT_COPY) != 0 ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return lastEffect_;
}

HRESULT DropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect)
{
    setData(data);
    *effect = over(keys, pt, DragState::Enter, *effect);
    return S_OK;
}

HRESULT DropTarget::DragOver(DWORD keys, POINTL pt, DWORD* effect)
{
    *effect = over(keys, pt, DragState::Over, *effect);
    return S_OK;
}

HRESULT DropTarget::DragLeave()
{
    over(0, POINTL{0, 0}, DragState::Leave, DROPEFFECT_NONE);
    setData(nullptr);
    return S_OK;
}

HRESULT DropTarget::Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect)
{
    setData(data);
    // The effect the last drag event reported: a drop the handlers refused
    // never reaches them.
    const DWORD accepted = over(keys, pt, DragState::Over, *effect);
    if (accepted != DROPEFFECT_NONE && list_.oleDragDrop) {
        DroppedData dropped(data_);
        int e = kDropEffectCopy;
        POINT p{pt.x, pt.y};
        if (control_.hwnd != nullptr)
            ScreenToClient(control_.hwnd, &p);
        list_.oleDragDrop(dropped, e, kLeftButton, 0, p.x, p.y);
    }
    *effect = accepted;
    setData(nullptr);
    return S_OK;
}

}  // namespace rastrex::win32
