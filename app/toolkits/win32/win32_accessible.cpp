// What the controls tell assistive technology: a name given to a control
// by dynamic annotation, which leaves the control where the focus order
// put it, and the name read back as a screen reader reads it.
#include "win32_window.h"

#include <commctrl.h>
#include <oleacc.h>

namespace rastrex::win32 {

namespace {

// The identifiers of the accessibility runtime (oleacc), held here so that
// no import library has to define them.
constexpr CLSID kAccPropServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr IID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
constexpr GUID kNameProperty = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

IAccPropServices* propertyServices()
{
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                                reinterpret_cast<void**>(&services))))
        return nullptr;
    return services;
}

void clearAnnotatedName(HWND control)
{
    if (IAccPropServices* services = propertyServices()) {
        services->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), static_cast<DWORD>(CHILDID_SELF), &kNameProperty, 1);
        services->Release();
    }
}

// The name goes with the control's window, however that goes: the window
// closed, the window object destroyed, a text box made again. A handle
// the system gives out again later must not read a name it never had.
constexpr UINT_PTR kNameSubclass = 0x4e414d45;

LRESULT CALLBACK clearNameOnDestroy(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR)
{
    if (msg == WM_NCDESTROY) {
        clearAnnotatedName(h);
        RemoveWindowSubclass(h, &clearNameOnDestroy, kNameSubclass);
    }
    return DefSubclassProc(h, msg, wp, lp);
}

}  // namespace

void annotateName(HWND control, const std::string& name)
{
    IAccPropServices* services = propertyServices();
    if (services == nullptr)
        return;
    // Cleared at the end even where the runtime refused the name: clearing
    // a name never given succeeds, and the same path runs everywhere.
    services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), static_cast<DWORD>(CHILDID_SELF), kNameProperty,
                             widen(name).c_str());
    services->Release();
    SetWindowSubclass(control, &clearNameOnDestroy, kNameSubclass, 0);
}

std::string readAccessibleName(HWND control)
{
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), kIAccessible,
                                          reinterpret_cast<void**>(&accessible))) ||
        accessible == nullptr)
        return {};
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string out;
    if (SUCCEEDED(accessible->get_accName(self, &name)) && name != nullptr) {
        out = narrow(std::wstring(name, SysStringLen(name)));
        SysFreeString(name);
    }
    accessible->Release();
    return out;
}

}  // namespace rastrex::win32
