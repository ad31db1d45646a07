// Move-only owners for every kind of handle the program holds.
//
// Each handle has exactly one owner; the owner's destructor gives it back to the system with the call that matches
// how it was obtained. Scoped selections put the previous object back into the DC when they end, so a GDI object is
// never deleted while a DC still holds it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace fw {

template <typename Handle, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return Traits::IsValid(handle_); }

    Handle release() { return std::exchange(handle_, Traits::Invalid()); }
    void reset(Handle handle = Traits::Invalid()) {
        Handle old = std::exchange(handle_, handle);
        if (Traits::IsValid(old)) Traits::Close(old);
    }

private:
    Handle handle_ = Traits::Invalid();
};

template <typename Handle, auto CloseFn>
struct NullTraits {
    static constexpr Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { CloseFn(h); }
};

inline void CloseGdiObject(HGDIOBJ h) { DeleteObject(h); }
inline void CloseDc(HDC h) { DeleteDC(h); }
inline void CloseIcon(HICON h) { DestroyIcon(h); }
inline void CloseCursor(HCURSOR h) { DestroyCursor(h); }
inline void CloseMenu(HMENU h) { DestroyMenu(h); }
inline void CloseImageList(HIMAGELIST h) { ImageList_Destroy(h); }
inline void CloseKernelHandle(HANDLE h) { CloseHandle(h); }
inline void CloseGlobal(HGLOBAL h) { GlobalFree(h); }
inline void CloseRegKey(HKEY h) { RegCloseKey(h); }

template <typename Gdi>
using UniqueGdi = UniqueHandle<Gdi, NullTraits<Gdi, CloseGdiObject>>;
using UniqueBrush = UniqueGdi<HBRUSH>;
using UniquePen = UniqueGdi<HPEN>;
using UniqueFont = UniqueGdi<HFONT>;
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniqueRegion = UniqueGdi<HRGN>;
using UniqueMemoryDc = UniqueHandle<HDC, NullTraits<HDC, CloseDc>>;
using UniqueIcon = UniqueHandle<HICON, NullTraits<HICON, CloseIcon>>;
using UniqueCursor = UniqueHandle<HCURSOR, NullTraits<HCURSOR, CloseCursor>>;
using UniqueMenu = UniqueHandle<HMENU, NullTraits<HMENU, CloseMenu>>;
using UniqueImageList = UniqueHandle<HIMAGELIST, NullTraits<HIMAGELIST, CloseImageList>>;
using UniqueKernelHandle = UniqueHandle<HANDLE, NullTraits<HANDLE, CloseKernelHandle>>;
using UniqueGlobal = UniqueHandle<HGLOBAL, NullTraits<HGLOBAL, CloseGlobal>>;
using UniqueRegKey = UniqueHandle<HKEY, NullTraits<HKEY, CloseRegKey>>;

struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
using UniqueFile = UniqueHandle<HANDLE, FileHandleTraits>;

// A window's DC from GetDC, released to the same window.
class ClientDc {
public:
    explicit ClientDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~ClientDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    ClientDc(const ClientDc&) = delete;
    ClientDc& operator=(const ClientDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint / EndPaint for one WM_PAINT.
class PaintDc {
public:
    explicit PaintDc(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &paint_); }
    ~PaintDc() { EndPaint(hwnd_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return dc_; }
    const PAINTSTRUCT& paint() const { return paint_; }

private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// SelectObject for a scope: the object that was selected before comes back when the scope ends.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelect() {
        if (previous_) SelectObject(dc_, previous_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ScopedSelect(ScopedSelect&& other) noexcept
        : dc_(other.dc_), previous_(std::exchange(other.previous_, nullptr)) {}
    HGDIOBJ previous() const { return previous_; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace fw
