// Files dropped from the shell onto a file list, through OLE.
#pragma once

#include <ole2.h>

#include "win32_window.h"

namespace rastrex::win32 {

// The OLE drop target of a file list that accepts drops: it hands every
// drag event to the list's handlers and answers with the effect they set.
// COM objects are destroyed by their own Release(), never through an
// interface pointer: the interfaces need no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class DropTarget final : public IDropTarget {
public:
    // `list` is told the drag events of the native control `control` of
    // `window`.
    DropTarget(FileList& list, const Dispatch& control, const W32Window& window)
        : list_(list), control_(control), window_(window)
    {
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (riid == IID_IUnknown || riid == IID_IDropTarget) {
            *out = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG n = InterlockedDecrement(&refs_);
        if (n == 0)
            delete this;
        return static_cast<ULONG>(n);
    }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override;

private:
    ~DropTarget() { setData(nullptr); }
    void setData(IDataObject* data)
    {
        if (data != nullptr)
            data->AddRef();
        if (data_ != nullptr)
            data_->Release();
        data_ = data;
    }
    DWORD over(DWORD keys, POINTL pt, DragState state, DWORD allowed);

    LONG refs_ = 1;
    FileList& list_;
    const Dispatch& control_;
    const W32Window& window_;
    IDataObject* data_ = nullptr;
    DWORD lastEffect_ = DROPEFFECT_NONE;
};
#pragma GCC diagnostic pop

}  // namespace rastrex::win32
