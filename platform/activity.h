#pragma once
// What the user and their programs are doing: how long the keyboard and mouse
// have been idle, and which programs run. Behind an interface so that tests can
// play weeks of input and programs that end.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace norvale {

struct RunningProcess {
  uint32_t pid = 0;
  std::string name;   // the executable's file name, "render.exe"
  std::string title;  // its main window's title; empty without one
};

// One process watched from when it was found: its id may be reused once it ends.
class WatchedProcess {
 public:
  virtual ~WatchedProcess() = default;
  virtual bool Ended() = 0;
};

class Activity {
 public:
  virtual ~Activity() = default;
  // Time since the last keyboard or mouse input of the session, as Windows
  // counts it for its own idle timers.
  virtual std::chrono::milliseconds SinceLastInput() const = 0;
  // The running programs of the user's session, by name.
  virtual std::vector<RunningProcess> Processes() const = 0;
  // A watch of the process with that id; nullptr when none runs.
  virtual std::unique_ptr<WatchedProcess> Watch(uint32_t pid) = 0;
};

// Nobody idle, nothing running: where no real source is given.
Activity& NoActivity();

}  // namespace norvale
