#pragma once
// The form runtime in memory: windows without a screen, timers on a fake clock,
// message boxes and modal windows answered by the test's script.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/forms/toolkit.h"
#include "tests/fakes/fakes.h"

namespace norvale::fakes {

class FakeToolkit;

class FakeTray final : public TrayIcon {
 public:
  struct Call {
    std::string op;  // "add", "modify", "delete"
    std::string tip;
    bool result;
  };
  bool Add(Form& owner, const std::string& tip) override;
  bool Modify(const std::string& tip) override;
  bool Delete() override;
  bool ShowBalloon(const std::string& title, const std::string& text) override {
    balloons.push_back(title + ": " + text);
    return shown_;
  }
  std::vector<std::string> balloons;

  // Adds (and so modifies) fail until told otherwise, as when Explorer is not up.
  void FailAdds(bool fail) { fail_adds_ = fail; }
  bool Shown() const { return shown_; }
  const std::string& Tip() const { return tip_; }
  const std::vector<Call>& Calls() const { return calls_; }
  void Send(TrayEvent e) {
    if (OnEvent) OnEvent(e);
  }

 private:
  bool fail_adds_ = false;
  bool shown_ = false;
  std::string tip_;
  std::vector<Call> calls_;
};

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

class FakeToolkit final : public Toolkit {
 public:
  explicit FakeToolkit(FakeClock& clock) : clock_(clock) {}
  ~FakeToolkit() override;

  std::unique_ptr<FormPeer> CreatePeer(Form& form) override;
  void RunModal(Form& form) override;
  void DoEvents() override;
  MessageBoxes& Boxes() override { return boxes_; }
  TrayIcon& Tray() override { return tray_; }
  void PopupMenu(Form& owner, Menu& menu) override;
  bool ActivateByTitle(const std::string& title) override;
  void Quit() override { quit_ = true; }
  const Clock& Time() const override { return clock_; }
  void FormDestroyed(Form& form) override { Forget(form); }

  // --- what a test drives and reads
  StrictMessageBoxes& Script() { return boxes_; }
  FakeTray& FakeTrayIcon() { return tray_; }
  // What the user does while `form_name` is shown modally; without one, showing
  // it modally fails the test. The window closes afterwards if still shown.
  void OnModal(std::string form_name, std::function<void(Form&)> user);
  // Runs inside every DoEvents, to interleave the user with a running step.
  void OnDoEvents(std::function<void()> user) { on_do_events_ = std::move(user); }
  int DoEventsCount() const { return do_events_; }
  // The item the user picks from the next pop-up menu (by name and index).
  void ChooseFromPopup(std::string name, int index = -1);
  const std::vector<std::string>& PopupsShown() const { return popups_; }
  const std::vector<std::string>& Activations() const { return activations_; }
  bool QuitRequested() const { return quit_; }

  // Moves the clock forward, firing every armed timer when its time comes, in
  // order of due time; timers due together fire in the order they were armed.
  void Advance(std::chrono::milliseconds by);
  // Sends a message to a loaded window as the system would; the answer of its
  // hook, or nullopt when nothing answered.
  std::optional<intptr_t> SendMessage(Form& form, WindowMessage m);

  // --- used by the fake peers
  void ArmTimer(Timer& timer);
  void DisarmTimer(const Timer& timer);
  void Forget(Form& form);

 private:
  struct Armed {
    Timer* timer;
    LocalTime due;
    uint64_t order;
  };
  FakeClock& clock_;
  StrictMessageBoxes boxes_;
  FakeTray tray_;
  std::map<std::string, std::function<void(Form&)>> modal_users_;
  std::function<void()> on_do_events_;
  bool in_do_events_ = false;
  int do_events_ = 0;
  std::deque<std::pair<std::string, int>> popup_choices_;
  std::vector<std::string> popups_;
  std::vector<std::string> activations_;
  std::vector<Form*> forms_;
  std::vector<Armed> timers_;
  uint64_t next_order_ = 0;
  bool quit_ = false;
};

}  // namespace norvale::fakes
