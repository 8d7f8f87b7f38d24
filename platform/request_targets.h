#pragma once
// Which running copy a command-line request goes to, and whose reply counts. A
// request can shut the computer down and its reply is printed as the program's
// answer: the sending copy speaks only with a copy of its own user in its own
// session, and hears only the window it asked.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace norvale {

// A window of the running program's toolkit class, as the desktop lists it.
struct CandidateWindow {
  uintptr_t handle = 0;
  uint32_t process = 0;
};

// Who runs a process, as the system tells it.
class ProcessOwners {
 public:
  virtual ~ProcessOwners() = default;
  // True when `process` runs as this process's user in this process's session;
  // false too when that cannot be told.
  virtual bool SameUserAndSession(uint32_t process) const = 0;
};

// The windows to ask, in the order found, each once: other processes' of this
// user and session. Kestrup's toolkit window has the class too; it declines.
inline std::vector<uintptr_t> RequestTargets(const std::vector<CandidateWindow>& found,
                                             uint32_t self, const ProcessOwners& owners) {
  std::vector<uintptr_t> targets;
  for (const CandidateWindow& w : found) {
    if (w.handle == 0 || w.process == 0 || w.process == self) continue;
    if (std::find(targets.begin(), targets.end(), w.handle) != targets.end()) continue;
    if (owners.SameUserAndSession(w.process)) targets.push_back(w.handle);
  }
  return targets;
}

// The reply of one request: taken only from the window being asked, once.
class ReplyGate {
 public:
  void Asking(uintptr_t window) {
    asked_ = window;
    reply_.reset();
  }
  void Done() { asked_ = 0; }
  // A reply that names `from` as its sender; true when it was taken.
  bool Offer(uintptr_t from, std::string text) {
    if (asked_ == 0 || from != asked_ || reply_) return false;
    reply_ = std::move(text);
    return true;
  }
  const std::optional<std::string>& Reply() const { return reply_; }

 private:
  uintptr_t asked_ = 0;
  std::optional<std::string> reply_;
};

}  // namespace norvale
