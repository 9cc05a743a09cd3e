// Move-only owners for Win32 handles, and guards that undo a selection.
#pragma once
#include <windows.h>

#include <utility>

namespace win {

template <class Traits>
class Owner {
 public:
  using Handle = typename Traits::Handle;
  Owner() = default;
  explicit Owner(Handle h) : handle_(h) {}
  Owner(Owner&& other) noexcept : handle_(other.Release()) {}
  Owner& operator=(Owner&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  Owner(const Owner&) = delete;
  Owner& operator=(const Owner&) = delete;
  ~Owner() { Reset(); }

  Handle Get() const { return handle_; }
  explicit operator bool() const { return Traits::Valid(handle_); }
  // Gives up ownership, e.g. when the system takes the handle over.
  Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
  void Reset(Handle h = Traits::Invalid()) {
    if (Traits::Valid(handle_)) Traits::Close(handle_);
    handle_ = h;
  }

 private:
  Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::CloseHandle(h); }
};
using UniqueHandle = Owner<KernelHandleTraits>;

struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool Valid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
  static void Close(Handle h) { ::FindClose(h); }
};
using UniqueFind = Owner<FindHandleTraits>;

template <class T>
struct GdiTraits {
  using Handle = T;
  static Handle Invalid() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DeleteObject(h); }
};
template <class T>
using GdiObject = Owner<GdiTraits<T>>;
using UniqueBrush = GdiObject<HBRUSH>;
using UniqueFont = GdiObject<HFONT>;
using UniqueBitmap = GdiObject<HBITMAP>;
using UniqueRegion = GdiObject<HRGN>;
using UniquePen = GdiObject<HPEN>;

struct MemoryDcTraits {
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DeleteDC(h); }
};
using UniqueDC = Owner<MemoryDcTraits>;

struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DestroyWindow(h); }
};
using UniqueWindow = Owner<WindowTraits>;

// A window's DC from GetDC, released on scope exit.
class WindowDC {
 public:
  explicit WindowDC(HWND wnd) : wnd_(wnd), dc_(::GetDC(wnd)) {}
  ~WindowDC() { if (dc_) ::ReleaseDC(wnd_, dc_); }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND wnd_;
  HDC dc_;
};

// BeginPaint / EndPaint.
class PaintDC {
 public:
  explicit PaintDC(HWND wnd) : wnd_(wnd) { dc_ = ::BeginPaint(wnd, &ps_); }
  ~PaintDC() { ::EndPaint(wnd_, &ps_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  HDC Get() const { return dc_; }
  const RECT& Dirty() const { return ps_.rcPaint; }

 private:
  HWND wnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// Selects a GDI object into a DC and puts the previous one back.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(::SelectObject(dc, obj)) {}
  ~SelectGuard() { ::SelectObject(dc_, old_); }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Saves a DC's state (clip, mapping, colours) and restores it.
class SavedDC {
 public:
  explicit SavedDC(HDC dc) : dc_(dc), id_(::SaveDC(dc)) {}
  ~SavedDC() { ::RestoreDC(dc_, id_); }
  SavedDC(const SavedDC&) = delete;
  SavedDC& operator=(const SavedDC&) = delete;

 private:
  HDC dc_;
  int id_;
};

}  // namespace win
