#pragma once
// No C++ exception may unwind through USER32's frames: every entry from a window
// procedure into portable code runs under Guarded, which keeps the exception for
// the message loop to rethrow once the system call has returned.
#include <exception>
#include <utility>

namespace norvale::win32 {

class ErrorSink {
 public:
  // The first exception wins; later ones are usually its consequences.
  void Keep(std::exception_ptr e) {
    if (!pending_) pending_ = std::move(e);
  }
  void RethrowPending() {
    if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
  }

 private:
  std::exception_ptr pending_;
};

template <typename R, typename F>
R Guarded(ErrorSink& sink, R fallback, F&& f) noexcept {
  try {
    return std::forward<F>(f)();
  } catch (...) {
    sink.Keep(std::current_exception());
    return fallback;
  }
}

template <typename F>
void Guarded(ErrorSink& sink, F&& f) noexcept {
  try {
    std::forward<F>(f)();
  } catch (...) {
    sink.Keep(std::current_exception());
  }
}

}  // namespace norvale::win32
