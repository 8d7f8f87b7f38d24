#include "platform/win32/forms/dpi.h"

namespace norvale::win32 {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using SetCoalescableTimerFn = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC, ULONG);

template <typename Fn>
Fn Lookup(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return nullptr;
  // Through void(*)(): GCC accepts that cast to and from any function type.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name)));
}

struct User32Api {
  GetDpiForWindowFn get_dpi_for_window = Lookup<GetDpiForWindowFn>("GetDpiForWindow");
  GetDpiForSystemFn get_dpi_for_system = Lookup<GetDpiForSystemFn>("GetDpiForSystem");
  SystemParametersInfoForDpiFn spi_for_dpi =
      Lookup<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
  GetSystemMetricsForDpiFn metrics_for_dpi =
      Lookup<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  SetCoalescableTimerFn set_coalescable_timer =
      Lookup<SetCoalescableTimerFn>("SetCoalescableTimer");
};

const User32Api& Api() {
  static const User32Api api;
  return api;
}

}  // namespace

int SystemDpi() {
  if (Api().get_dpi_for_system) return static_cast<int>(Api().get_dpi_for_system());
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : USER_DEFAULT_SCREEN_DPI;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int WindowDpi(HWND hwnd) {
  if (hwnd && Api().get_dpi_for_window) {
    const UINT dpi = Api().get_dpi_for_window(hwnd);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  return SystemDpi();
}

int MetricForDpi(int index, int dpi) {
  if (Api().metrics_for_dpi) return Api().metrics_for_dpi(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

namespace {

// One of the desktop's fonts, at `dpi`.
UniqueFont NonClientFont(int dpi, LOGFONTW NONCLIENTMETRICSW::*which) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (Api().spi_for_dpi && Api().spi_for_dpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                             static_cast<UINT>(dpi))) {
    return UniqueFont(CreateFontIndirectW(&(metrics.*which)));
  }
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    return UniqueFont();  // the controls keep their own font
  }
  (metrics.*which).lfHeight = MulDiv((metrics.*which).lfHeight, dpi, SystemDpi());
  return UniqueFont(CreateFontIndirectW(&(metrics.*which)));
}

}  // namespace

UniqueFont MessageFont(int dpi) {
  return NonClientFont(dpi, &NONCLIENTMETRICSW::lfMessageFont);
}

UniqueFont MenuFont(int dpi) {
  return NonClientFont(dpi, &NONCLIENTMETRICSW::lfMenuFont);
}

bool StartCoalescableTimer(HWND hwnd, UINT_PTR id, UINT ms) {
  if (Api().set_coalescable_timer) {
    constexpr ULONG kDefaultCoalescing = 0;  // TIMERV_DEFAULT_COALESCING
    return Api().set_coalescable_timer(hwnd, id, ms, nullptr, kDefaultCoalescing) != 0;
  }
  return SetTimer(hwnd, id, ms, nullptr) != 0;
}

}  // namespace norvale::win32
