#pragma once
// The form runtime in memory: windows without a screen, timers on a virtual
// clock, message boxes answered with their default, modal windows that return at
// once unless someone acts in them. Headless runs of the whole program use it,
// and so do the tests, which add their scripts on top.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/forms/toolkit.h"
#include "platform/headless/virtual_clock.h"

namespace norvale::headless {

class HeadlessTray final : public TrayIcon {
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
  // The latest calls, oldest first: the tip is set every few seconds, and a
  // simulation of years must not keep each.
  static constexpr size_t kKeptCalls = 100;
  const std::deque<Call>& Calls() const { return calls_; }
  void Send(TrayEvent e) {
    if (OnEvent) OnEvent(e);
  }
  // Explorer restarts: the icon is gone and "TaskbarCreated" goes round, as the
  // Win32 toolkit passes it on.
  void RestartShell();

 private:
  bool fail_adds_ = false;
  bool shown_ = false;
  bool wanted_ = false;  // added by the program and not deleted by it
  void Record(Call call);

  std::string tip_;
  std::deque<Call> calls_;
};

// Every box gets its default answer (OK, Cancel, No, Abort): nothing is
// confirmed behind the user's back. Each box is reported to `Shown`.
class DefaultAnswers final : public MessageBoxes {
 public:
  MsgBoxResult MsgBox(const std::string& text, MsgBoxButtons buttons, MsgBoxIcon icon,
                      const std::string& title) override;
  std::function<void(const std::string& title, const std::string& text)> Shown;
};

class HeadlessToolkit : public Toolkit {
 public:
  explicit HeadlessToolkit(VirtualClock& clock) : clock_(clock) {}
  ~HeadlessToolkit() override;

  std::unique_ptr<FormPeer> CreatePeer(Form& form) override;
  void RunModal(Form& form) override;
  void DoEvents() override;
  MessageBoxes& Boxes() override { return boxes_; }
  TrayIcon& Tray() override { return tray_; }
  void PopupMenu(Form& owner, Menu& menu) override;
  void ClosePopupMenu() override { ++popups_closed_; }
  // Texts measure this many twips a character; 0 (the default): not measured.
  void MeasureTexts(int twips_per_character) { twips_per_char_ = twips_per_character; }
  int TwipsPerCharacter() const { return twips_per_char_; }
  size_t PopupsClosed() const { return popups_closed_; }
  bool ActivateByTitle(const std::string& title) override;
  void Quit() override { quit_ = true; }
  const Clock& Time() const override { return clock_; }
  void FormDestroyed(Form& form) override { Forget(form); }

  VirtualClock& WallClock() { return clock_; }
  DefaultAnswers& Answers() { return boxes_; }
  HeadlessTray& FakeTrayIcon() { return tray_; }
  // What the user does while `form_name` is shown modally.
  void OnModal(std::string form_name, std::function<void(Form&)> user);
  // Runs inside every DoEvents, to interleave the user with a running step.
  void OnDoEvents(std::function<void()> user) { on_do_events_ = std::move(user); }
  int DoEventsCount() const { return do_events_; }
  // The item the user picks from the next pop-up menu (by name and index).
  void ChooseFromPopup(std::string name, int index = -1);
  const std::vector<std::string>& PopupsShown() const { return popups_; }
  const std::vector<std::string>& Activations() const { return activations_; }
  bool QuitRequested() const { return quit_; }

  // Real time passes: every armed timer fires when its time comes, in order of
  // due time; timers due together fire in the order they were armed.
  void Advance(std::chrono::milliseconds by);
  // The computer sleeps until the wall clock shows `wake`: no timer runs, and each
  // armed timer goes on where it stood, as Windows' timers do after a resume.
  // Every loaded window then gets the resume notification.
  void SleepUntil(LocalTime wake);
  // The user sets the wall clock; every loaded window hears of it.
  void SetWallClock(LocalTime now);
  // Sends a message to a loaded window as the system would; the answer of its
  // hook, or nullopt when nothing answered.
  std::optional<intptr_t> SendMessage(Form& form, WindowMessage m);

  // --- used by the peers
  void ArmTimer(Timer& timer);
  void DisarmTimer(const Timer& timer);
  void Forget(Form& form);

 protected:
  // Something the script did not foresee: a modal window nobody acts in, or a
  // pop-up menu item that does not exist. Tests turn it into a failure.
  virtual void Unexpected(const std::string& /*what*/) {}

 private:
  void Broadcast(SystemChange change);

  struct Armed {
    Timer* timer;
    std::chrono::milliseconds due;  // on the clock's real time
    uint64_t order;
  };
  VirtualClock& clock_;
  DefaultAnswers boxes_;
  HeadlessTray tray_;
  std::map<std::string, std::function<void(Form&)>> modal_users_;
  std::function<void()> on_do_events_;
  bool in_do_events_ = false;
  int do_events_ = 0;
  std::deque<std::pair<std::string, int>> popup_choices_;
  std::vector<std::string> popups_;
  size_t popups_closed_ = 0;
  int twips_per_char_ = 0;
  std::vector<std::string> activations_;
  std::vector<Form*> forms_;
  std::vector<Armed> timers_;
  uint64_t next_order_ = 0;
  bool quit_ = false;
};

}  // namespace norvale::headless
