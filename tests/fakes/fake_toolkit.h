#pragma once
// The in-memory form runtime with a test's script: message boxes that must be
// expected, and modal windows or pop-up choices nobody planned fail the test.
#include <deque>
#include <string>
#include <vector>

#include "platform/headless/headless_toolkit.h"
#include "tests/fakes/fakes.h"

namespace norvale::fakes {

using FakeTray = headless::HeadlessTray;

// A message box the script did not expect fails the test.
class StrictMessageBoxes final : public MessageBoxes {
 public:
  MsgBoxResult MsgBox(const std::string& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                      const std::string& title) override;
  // The next box must show this text (empty: any text) and gets this answer.
  void Expect(std::string text, MsgBoxResult answer);
  bool AllAnswered() const { return expected_.empty(); }
  const std::vector<ScriptedMessageBoxes::Shown>& shown() const { return shown_; }

 private:
  std::deque<std::pair<std::string, MsgBoxResult>> expected_;
  std::vector<ScriptedMessageBoxes::Shown> shown_;
};

class FakeToolkit final : public headless::HeadlessToolkit {
 public:
  explicit FakeToolkit(FakeClock& clock) : HeadlessToolkit(clock) {}
  MessageBoxes& Boxes() override { return boxes_; }
  StrictMessageBoxes& Script() { return boxes_; }

 protected:
  void Unexpected(const std::string& what) override;

 private:
  StrictMessageBoxes boxes_;
};

}  // namespace norvale::fakes
