#pragma once
// Move-only owners for the handle kinds the form runtime creates, so a handle is
// released exactly once whatever path the code takes.
#include <windows.h>

#include <memory>
#include <utility>

namespace norvale::win32 {

template <typename Handle, typename Traits>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : h_(h) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Handle get() const { return h_; }
  Handle release() { return std::exchange(h_, nullptr); }
  void reset(Handle h = nullptr) {
    if (h_ && h_ != h) Traits::Close(h_);
    h_ = h;
  }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  Handle h_ = nullptr;
};

struct GdiTraits {
  static void Close(HGDIOBJ h) { DeleteObject(h); }
};
struct MenuTraits {
  static void Close(HMENU h) { DestroyMenu(h); }
};
struct IconTraits {
  static void Close(HICON h) { DestroyIcon(h); }
};
struct WindowTraits {
  static void Close(HWND h) {
    if (IsWindow(h)) DestroyWindow(h);
  }
};
struct KernelTraits {
  static void Close(HANDLE h) { CloseHandle(h); }
};

using UniqueFont = UniqueHandle<HFONT, GdiTraits>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiTraits>;
using UniqueRegion = UniqueHandle<HRGN, GdiTraits>;
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;
using UniqueIcon = UniqueHandle<HICON, IconTraits>;
using UniqueWindow = UniqueHandle<HWND, WindowTraits>;
// Processes, tokens and the like, which give nullptr when they cannot be had.
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelTraits>;

// Calls into the program may destroy the object that made them (a handler that
// unloads its own window); code that continues afterwards checks its watch.
class LifeToken {
 public:
  std::weak_ptr<int> Watch() const { return alive_; }

 private:
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace norvale::win32
