#include "Picture.h"

#include <ole2.h>
#include <olectl.h>

#include <stdexcept>

#include "AdList.h"
#include "Application.h"
#include "PictureCheck.h"
#include "Safety.h"

namespace win {
namespace {

template <class T>
struct ComPtr {
  T* p = nullptr;
  ~ComPtr() { if (p) p->Release(); }
  T** operator&() { return &p; }
  T* operator->() const { return p; }
};

}  // namespace

Picture Picture::FromResource(int id) {
  Picture pic;
  pic.bitmap_.Reset(static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                      MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0,
                                                      LR_CREATEDIBSECTION)));
  if (!pic.bitmap_) throw std::runtime_error("missing bitmap resource");
  BITMAP bm{};
  ::GetObjectW(pic.bitmap_.Get(), sizeof(bm), &bm);
  pic.width_ = bm.bmWidth;
  pic.height_ = bm.bmHeight;
  return pic;
}

Picture Picture::LoadFromFile(const std::wstring& path) {
  if (!core::HasPictureReader(path)) throw std::runtime_error("Unknown picture file extension");
  UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw std::runtime_error("Cannot open picture file");
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 ||
      static_cast<std::uint64_t>(size.QuadPart) > core::kMaxPictureBytes)
    throw std::runtime_error("Bad picture file size");

  HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(size.QuadPart));
  if (!mem) throw std::bad_alloc();
  auto* bytes = static_cast<char*>(::GlobalLock(mem));
  DWORD read = 0;
  BOOL ok = ::ReadFile(file.Get(), bytes, static_cast<DWORD>(size.QuadPart), &read, nullptr);
  // A picture cut short must fail here: some decoders show what they can.
  bool complete = ok && read == size.QuadPart && core::BitmapDataComplete(std::string_view(bytes, read));
  ::GlobalUnlock(mem);
  if (!complete) {
    ::GlobalFree(mem);
    throw std::runtime_error("Cannot read picture file");
  }
  App().EnsureCom();
  ComPtr<IStream> stream;
  if (FAILED(::CreateStreamOnHGlobal(mem, TRUE, &stream))) {  // the stream frees mem
    ::GlobalFree(mem);
    throw std::runtime_error("Cannot read picture file");
  }
  ComPtr<IPicture> ole;
  if (FAILED(::OleLoadPicture(stream.p, static_cast<LONG>(read), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(&ole))))
    throw std::runtime_error("Invalid picture");

  OLE_XSIZE_HIMETRIC hmWidth = 0;
  OLE_YSIZE_HIMETRIC hmHeight = 0;
  ole->get_Width(&hmWidth);
  ole->get_Height(&hmHeight);
  WindowDC screen(nullptr);
  int w = ::MulDiv(hmWidth, ::GetDeviceCaps(screen.Get(), LOGPIXELSX), 2540);
  int h = ::MulDiv(hmHeight, ::GetDeviceCaps(screen.Get(), LOGPIXELSY), 2540);
  if (w <= 0 || h <= 0) throw std::runtime_error("Invalid picture");

  Picture pic;
  pic.bitmap_.Reset(::CreateCompatibleBitmap(screen.Get(), w, h));
  if (!pic.bitmap_) throw std::bad_alloc();
  pic.width_ = w;
  pic.height_ = h;
  UniqueDC dc(::CreateCompatibleDC(screen.Get()));
  SelectGuard sel(dc.Get(), pic.bitmap_.Get());
  RECT all{0, 0, w, h};
  ::FillRect(dc.Get(), &all, ::GetSysColorBrush(COLOR_BTNFACE));
  // Metafile and icon pictures are drawn upside down from their HIMETRIC frame.
  ole->Render(dc.Get(), 0, 0, w, h, 0, hmHeight, hmWidth, -hmHeight, nullptr);
  return pic;
}

void Picture::Draw(HDC dc, int x, int y) const {
  if (!bitmap_) return;
  UniqueDC mem(::CreateCompatibleDC(dc));
  SelectGuard sel(mem.Get(), bitmap_.Get());
  ::BitBlt(dc, x, y, width_, height_, mem.Get(), 0, 0, SRCCOPY);
}

void Picture::DrawTransparent(HDC dc, int x, int y, COLORREF transparent) const {
  if (!bitmap_) return;
  UniqueDC mem(::CreateCompatibleDC(dc));
  SelectGuard sel(mem.Get(), bitmap_.Get());
  ::TransparentBlt(dc, x, y, width_, height_, mem.Get(), 0, 0, width_, height_, transparent);
}

}  // namespace win
