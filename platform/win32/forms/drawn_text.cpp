#include "platform/win32/forms/drawn_text.h"

#include <algorithm>
#include <cstdint>

namespace norvale::win32 {

std::wstring WithoutAccessMarks(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

int DrawnTextWidth(HDC dc, const std::wstring& text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  if (text.empty()) return 0;
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  // Room past the advance for any letter's overhang.
  const int width = static_cast<int>(size.cx) + 2 * metrics.tmMaxCharWidth + 4;
  const int height = std::max<int>(1, metrics.tmHeight);
  HDC memory = CreateCompatibleDC(dc);
  if (!memory) return size.cx;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  int ink = 0;
  if (bitmap && bits) {
    HGDIOBJ old_bitmap = SelectObject(memory, bitmap);
    HGDIOBJ old_font = SelectObject(memory, GetCurrentObject(dc, OBJ_FONT));
    auto* pixels = static_cast<uint32_t*>(bits);
    std::fill(pixels, pixels + static_cast<size_t>(width) * height, 0x00FFFFFFu);
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, RGB(0, 0, 0));
    ExtTextOutW(memory, 0, 0, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    GdiFlush();
    for (int x = width - 1; x >= 0 && ink == 0; --x) {
      for (int y = 0; y < height; ++y) {
        if ((pixels[static_cast<size_t>(y) * width + x] & 0x00FFFFFFu) != 0x00FFFFFFu) {
          ink = x + 1;
          break;
        }
      }
    }
    SelectObject(memory, old_font);
    SelectObject(memory, old_bitmap);
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  return std::max<int>(static_cast<int>(size.cx), ink);
}

}  // namespace norvale::win32
