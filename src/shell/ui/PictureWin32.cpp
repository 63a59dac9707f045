// Pictures from bytes (the banner's JPEGs), decoded with GDI+.
#include "shell/ui/Win32Window.h"

#include <shlwapi.h>

#include <gdiplus.h>

namespace ui::win32 {

ULONG_PTR startPictures() {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return 0;
  return token;
}

void stopPictures(ULONG_PTR token) {
  if (token) Gdiplus::GdiplusShutdown(token);
}

HBITMAP decodePicture(const ByteBlob& bytes) {
  if (bytes.empty()) return nullptr;
  IStream* stream = SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
  if (!stream) return nullptr;
  HBITMAP result = nullptr;
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (Gdiplus::DllExports::GdipCreateBitmapFromStream(stream, &bitmap) == Gdiplus::Ok) {
    if (Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap(bitmap, &result, 0xFFFFFFFF) !=
        Gdiplus::Ok)
      result = nullptr;
    Gdiplus::DllExports::GdipDisposeImage(bitmap);
  }
  stream->Release();
  return result;
}

}  // namespace ui::win32
