#pragma once
// Owners for GDI handles and the GDI+ session: every handle has exactly one owner, so no path leaks.
#include "win32/Windows_win.h"

#include <utility>

namespace plumwick::win {

template <typename Handle, typename Traits> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle{}; }
    Handle release() { return std::exchange(handle_, Handle{}); }
    void reset(Handle handle = Handle{}) {
        if (handle_ != Handle{}) {
            Traits::Close(handle_);
        }
        handle_ = handle;
    }

private:
    Handle handle_{};
};

struct DcTraits {
    static void Close(HDC dc) { DeleteDC(dc); }
};
struct GdiObjectTraits {
    static void Close(HGDIOBJ object) { DeleteObject(object); }
};
struct KernelHandleTraits {
    static void Close(HANDLE handle) { CloseHandle(handle); }
};

using UniqueDc = UniqueHandle<HDC, DcTraits>;
using UniqueBitmap = UniqueHandle<HBITMAP, struct BitmapTraits>;
struct BitmapTraits {
    static void Close(HBITMAP bitmap) { DeleteObject(bitmap); }
};
struct FontTraits {
    static void Close(HFONT font) { DeleteObject(font); }
};
using UniqueFont = UniqueHandle<HFONT, FontTraits>;
struct BrushTraits {
    static void Close(HBRUSH brush) { DeleteObject(brush); }
};
using UniqueBrush = UniqueHandle<HBRUSH, BrushTraits>;

struct FileHandleTraits {
    static void Close(HANDLE handle) {
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
};

// A window's DC from GetDC, released with ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back when it goes.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectGuard() {
        if (dc_ && previous_) {
            SelectObject(dc_, previous_);
        }
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

} // namespace plumwick::win
