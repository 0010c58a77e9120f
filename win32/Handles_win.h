#pragma once
// One owner template for every handle the program holds (on the model of WIL's unique_any): a handle
// kind is its type, the function that gives it back and the value meaning "none". Every handle has
// exactly one owner, so no path leaks one; owners move, never copy.
#include "win32/Windows_win.h"

#include <utility>

namespace plumwick::win {

// "None" is the type's zero value (null handles and pointers).
template <typename T> struct ZeroIsEmpty {
    static T Value() { return T{}; }
};
// "None" is INVALID_HANDLE_VALUE (files and find handles).
struct InvalidHandleIsEmpty {
    static HANDLE Value() { return INVALID_HANDLE_VALUE; }
};

template <typename T, auto Close, typename Empty = ZeroIsEmpty<T>> class UniqueAny {
  public:
    UniqueAny() = default;
    explicit UniqueAny(T value) : value_(value) {}
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    UniqueAny(UniqueAny&& other) noexcept : value_(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~UniqueAny() { reset(); }

    const T& get() const { return value_; }
    explicit operator bool() const { return !(value_ == Empty::Value()); }
    T release() { return std::exchange(value_, Empty::Value()); }
    void reset(T value = Empty::Value()) {
        T old = std::exchange(value_, value);
        if (!(old == Empty::Value())) {
            Close(old);
        }
    }
    // For calls that hand a new handle back through a pointer: the old one is given back first.
    T* put() {
        reset();
        return &value_;
    }

  private:
    T value_ = Empty::Value();
};

template <typename Interface> void ReleaseInterface(Interface* p) {
    p->Release();
}
// Memory the system allocated for the caller with LocalAlloc (FormatMessage, CommandLineToArgvW, SDDL).
template <typename T> void FreeLocal(T p) {
    LocalFree(reinterpret_cast<HLOCAL>(p));
}

using UniqueDc = UniqueAny<HDC, &DeleteDC>;
using UniqueBitmap = UniqueAny<HBITMAP, &DeleteObject>;
using UniqueFont = UniqueAny<HFONT, &DeleteObject>;
using UniqueBrush = UniqueAny<HBRUSH, &DeleteObject>;
using UniqueKernelHandle = UniqueAny<HANDLE, &CloseHandle>;
using UniqueFile = UniqueAny<HANDLE, &CloseHandle, InvalidHandleIsEmpty>;
using UniqueFind = UniqueAny<HANDLE, &FindClose, InvalidHandleIsEmpty>;
using UniqueKey = UniqueAny<HKEY, &RegCloseKey>;
template <typename T> using UniqueLocal = UniqueAny<T, &FreeLocal<T>>;
// A window destroyed by its owner; windows the system destroys with their parent or owner need none.
using UniqueWindow = UniqueAny<HWND, &DestroyWindow>;
template <typename Interface> using ComPtr = UniqueAny<Interface*, &ReleaseInterface<Interface>>;

// A window's DC from GetDC, released with ReleaseDC.
struct WindowDcValue {
    HWND window = nullptr;
    HDC dc = nullptr;
    bool operator==(const WindowDcValue&) const = default;
};
inline void ReleaseWindowDc(const WindowDcValue& value) {
    ReleaseDC(value.window, value.dc);
}
class WindowDc : public UniqueAny<WindowDcValue, &ReleaseWindowDc> {
  public:
    explicit WindowDc(HWND window) : UniqueAny(Acquire(window)) {}
    HDC get() const { return UniqueAny::get().dc; }

  private:
    static WindowDcValue Acquire(HWND window) {
        HDC dc = GetDC(window);
        return dc ? WindowDcValue{window, dc} : WindowDcValue{};
    }
};

// An object selected into a DC; the previous one is put back when the owner goes.
struct SelectionValue {
    HDC dc = nullptr;
    HGDIOBJ previous = nullptr;
    bool operator==(const SelectionValue&) const = default;
};
inline void RestoreSelection(const SelectionValue& value) {
    SelectObject(value.dc, value.previous);
}
class SelectGuard : public UniqueAny<SelectionValue, &RestoreSelection> {
  public:
    SelectGuard() = default;
    SelectGuard(HDC dc, HGDIOBJ object) : UniqueAny(Select(dc, object)) {}

  private:
    static SelectionValue Select(HDC dc, HGDIOBJ object) {
        HGDIOBJ previous = dc ? SelectObject(dc, object) : nullptr;
        return previous && previous != HGDI_ERROR ? SelectionValue{dc, previous} : SelectionValue{};
    }
};

} // namespace plumwick::win
