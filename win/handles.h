// handles.h: move-only owners for Win32 handles, GDI objects and COM pointers.
//
//   UniqueAny<Traits>   the generic owner: one close function, one invalid value
//   UniqueHandle        kernel handle, null when invalid (threads, processes, events)
//   UniqueFile          kernel handle, INVALID_HANDLE_VALUE when invalid (CreateFileW)
//   UniqueSnapshot      Tool Help snapshot (INVALID_HANDLE_VALUE when invalid)
//   UniqueFind          FindFirstFileW handle
//   UniqueHkey          registry key (never wrap a predefined root such as HKEY_LOCAL_MACHINE)
//   UniqueModule        LoadLibraryExW module
//   UniqueFont/Bitmap/Brush/Pen/Region   GDI objects, DeleteObject
//   UniqueDc            memory or created DC, DeleteDC
//   WindowDc            GetDC/GetWindowDC result, ReleaseDC with its window
//   PaintScope          BeginPaint/EndPaint
//   SelectScope         SelectObject, restoring the previous object at scope end
//   UniqueIcon          DestroyIcon;  UniqueMenu  DestroyMenu;  UniqueWindow  DestroyWindow
//   UniqueCoTaskMem<T>  CoTaskMemFree (PIDLs, shell strings);  UniqueLocal  LocalFree
//   ComPtr<T>           AddRef/Release owner of a COM interface pointer
//   CoInitScope         CoInitialize, balanced with CoUninitialize only when it succeeded
//   TimerScope          SetTimer id, KillTimer with its window
//
// All owners are move-only: a copy would close the same handle twice.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <tlhelp32.h>

#include <cstddef>
#include <utility>

namespace setup::win {

template <typename Traits>
class UniqueAny {
public:
    using pointer = typename Traits::type;

    UniqueAny() noexcept = default;
    explicit UniqueAny(pointer value) noexcept : value_(value) {}
    ~UniqueAny() { reset(); }

    UniqueAny(UniqueAny&& other) noexcept : value_(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;

    pointer get() const noexcept { return value_; }
    bool valid() const noexcept { return value_ != Traits::invalid(); }
    explicit operator bool() const noexcept { return valid(); }

    void reset(pointer value = Traits::invalid()) noexcept {
        pointer old = std::exchange(value_, value);
        if (old != Traits::invalid()) Traits::close(old);
    }
    [[nodiscard]] pointer release() noexcept { return std::exchange(value_, Traits::invalid()); }
    // For out parameters: closes what is held and hands out the slot.
    pointer* put() noexcept {
        reset();
        return &value_;
    }

private:
    pointer value_ = Traits::invalid();
};

// Traits for handle types whose invalid value is null.
template <typename T, auto Close>
struct NullTraits {
    using type = T;
    static constexpr T invalid() noexcept { return nullptr; }
    static void close(T value) noexcept { Close(value); }
};

// Close functions as plain C++ functions, so the same template works with the __stdcall
// API on 32-bit builds.
namespace detail {
inline void CloseKernel(HANDLE h) noexcept { ::CloseHandle(h); }
inline void CloseKey(HKEY h) noexcept { ::RegCloseKey(h); }
inline void CloseModule(HMODULE h) noexcept { ::FreeLibrary(h); }
template <typename T>
inline void DeleteGdi(T h) noexcept { ::DeleteObject(h); }
inline void DeleteDc(HDC h) noexcept { ::DeleteDC(h); }
inline void DestroyIconHandle(HICON h) noexcept { ::DestroyIcon(h); }
inline void DestroyMenuHandle(HMENU h) noexcept { ::DestroyMenu(h); }
inline void DestroyWindowHandle(HWND h) noexcept { ::DestroyWindow(h); }
inline void FreeCoTaskMem(void* p) noexcept { ::CoTaskMemFree(p); }
inline void FreeLocal(HLOCAL p) noexcept { ::LocalFree(p); }

struct InvalidValueTraits {
    using type = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
};
}  // namespace detail

struct FileTraits : detail::InvalidValueTraits {
    static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};
struct FindTraits : detail::InvalidValueTraits {
    static void close(HANDLE h) noexcept { ::FindClose(h); }
};

using UniqueHandle = UniqueAny<NullTraits<HANDLE, detail::CloseKernel>>;
using UniqueFile = UniqueAny<FileTraits>;
using UniqueSnapshot = UniqueAny<FileTraits>;
using UniqueFind = UniqueAny<FindTraits>;
using UniqueHkey = UniqueAny<NullTraits<HKEY, detail::CloseKey>>;
using UniqueModule = UniqueAny<NullTraits<HMODULE, detail::CloseModule>>;
using UniqueFont = UniqueAny<NullTraits<HFONT, detail::DeleteGdi<HFONT>>>;
using UniqueBitmap = UniqueAny<NullTraits<HBITMAP, detail::DeleteGdi<HBITMAP>>>;
using UniqueBrush = UniqueAny<NullTraits<HBRUSH, detail::DeleteGdi<HBRUSH>>>;
using UniquePen = UniqueAny<NullTraits<HPEN, detail::DeleteGdi<HPEN>>>;
using UniqueRegion = UniqueAny<NullTraits<HRGN, detail::DeleteGdi<HRGN>>>;
using UniqueDc = UniqueAny<NullTraits<HDC, detail::DeleteDc>>;
using UniqueIcon = UniqueAny<NullTraits<HICON, detail::DestroyIconHandle>>;
using UniqueMenu = UniqueAny<NullTraits<HMENU, detail::DestroyMenuHandle>>;
using UniqueWindow = UniqueAny<NullTraits<HWND, detail::DestroyWindowHandle>>;
using UniqueLocal = UniqueAny<NullTraits<HLOCAL, detail::FreeLocal>>;

// Memory from CoTaskMemAlloc (PIDLs from the shell, strings from shell interfaces).
template <typename T>
using UniqueCoTaskMem = UniqueAny<NullTraits<T*, detail::FreeCoTaskMem>>;

// A DC from GetDC/GetWindowDC: released with the window it came from.
class WindowDc {
public:
    explicit WindowDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint/EndPaint for a WM_PAINT handler.
class PaintScope {
public:
    explicit PaintScope(HWND window) noexcept : window_(window) { dc_ = ::BeginPaint(window, &ps_); }
    ~PaintScope() { ::EndPaint(window_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC get() const noexcept { return dc_; }
    const RECT& area() const noexcept { return ps_.rcPaint; }
    bool erase() const noexcept { return ps_.fErase != FALSE; }

private:
    HWND window_;
    PAINTSTRUCT ps_{};
    HDC dc_ = nullptr;
};

// Selects a GDI object into a DC and puts the previous one back, so the object can be
// deleted afterwards (a selected object must not be deleted).
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(object ? ::SelectObject(dc, object) : nullptr) {}
    ~SelectScope() {
        if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
    }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A timer of a window: KillTimer at scope end. Set() replaces a running timer of the same id.
class TimerScope {
public:
    TimerScope() noexcept = default;
    ~TimerScope() { Kill(); }
    TimerScope(TimerScope&& other) noexcept
        : window_(std::exchange(other.window_, nullptr)), id_(std::exchange(other.id_, 0)) {}
    TimerScope& operator=(TimerScope&& other) noexcept {
        if (this != &other) {
            Kill();
            window_ = std::exchange(other.window_, nullptr);
            id_ = std::exchange(other.id_, 0);
        }
        return *this;
    }
    TimerScope(const TimerScope&) = delete;
    TimerScope& operator=(const TimerScope&) = delete;

    // Starts (or restarts) the timer; false when the system refused it.
    bool Set(HWND window, UINT_PTR id, UINT interval_ms) noexcept {
        if (window_ && (window_ != window || id_ != id)) Kill();
        if (::SetTimer(window, id, interval_ms, nullptr) == 0) return false;
        window_ = window;
        id_ = id;
        return true;
    }
    void Kill() noexcept {
        if (window_) ::KillTimer(window_, id_);
        window_ = nullptr;
        id_ = 0;
    }
    bool running() const noexcept { return window_ != nullptr; }
    UINT_PTR id() const noexcept { return id_; }

private:
    HWND window_ = nullptr;
    UINT_PTR id_ = 0;
};

// Owner of one reference to a COM interface.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    void reset() noexcept {
        if (T* old = std::exchange(p_, nullptr)) old->Release();
    }
    // For out parameters (CoCreateInstance, QueryInterface): releases what is held.
    T** put() noexcept {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    // QueryInterface for another interface of the same object.
    template <typename U>
    HRESULT As(ComPtr<U>& out) const noexcept {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(__uuidof(U), out.put_void());
    }

    HRESULT CreateInstance(REFCLSID clsid, DWORD context = CLSCTX_INPROC_SERVER) noexcept {
        return ::CoCreateInstance(clsid, nullptr, context, __uuidof(T), put_void());
    }

private:
    T* p_ = nullptr;
};

// CoInitialize for the current thread. CoUninitialize balances only a successful call
// (S_OK or S_FALSE); after RPC_E_CHANGED_MODE the thread's existing apartment is left alone.
class CoInitScope {
public:
    CoInitScope() noexcept : hr_(::CoInitialize(nullptr)) {}
    ~CoInitScope() {
        if (hr_ == S_OK || hr_ == S_FALSE) ::CoUninitialize();
    }
    CoInitScope(const CoInitScope&) = delete;
    CoInitScope& operator=(const CoInitScope&) = delete;

    HRESULT result() const noexcept { return hr_; }
    bool ok() const noexcept { return hr_ == S_OK || hr_ == S_FALSE; }

private:
    HRESULT hr_;
};

}  // namespace setup::win
