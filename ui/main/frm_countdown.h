#pragma once
// The warning before an action: floats over every window without taking the
// keyboard focus, counts the seconds down and then performs; the user may
// postpone the run, cancel it (this occurrence only) or perform it at once.
#include <functional>
#include <optional>
#include <string>

#include "platform/forms/form.h"
#include "ui/app_context.h"

namespace norvale {

// The choices of the postpone list, in minutes; the default is 10.
inline constexpr int kPostponeMinutes[] = {5, 10, 15, 30, 60};
inline constexpr int kDefaultPostponeIndex = 1;

class frmCountdown : public Form {
 public:
  struct Run {
    std::string name;    // the schedule or quick row, as listed
    std::string action;  // the PowerAction name
    std::string origin;  // the schedule whose Last Run Time it sets; "" for none
  };
  enum class Outcome { Performed, Postponed, Cancelled };

  explicit frmCountdown(AppContext& app) : Form(app.kit, "frmCountdown"), app_(app) {}

  IconBox* imgIcon = nullptr;
  Label* lblWhat = nullptr;
  Label* lblLeft = nullptr;
  Label* lblPostpone = nullptr;
  ComboBox* cmbPostpone = nullptr;
  CommandButton* cmdPostpone = nullptr;
  CommandButton* cmdCancel = nullptr;
  CommandButton* cmdNow = nullptr;
  Timer* tmrCount = nullptr;

  // Shows the warning for `run`, `seconds` before it is performed.
  void Begin(Run run, int seconds);
  // Shows the warning standing still, for a look at it: nothing it offers acts.
  void Preview(Run run, int seconds);
  // The run being warned of, if any.
  const std::optional<Run>& Current() const { return run_; }
  int SecondsLeft() const;
  // How the warning ended; `minutes` for a postponement. The window is hidden first.
  std::function<void(const Run& run, Outcome outcome, int minutes)> Decided;

  void cmdPostpone_Click();
  void cmdCancel_Click();
  void cmdNow_Click();
  void tmrCount_Timer();

 protected:
  void BuildLayout() override;
  void Form_Load() override;
  void Form_QueryUnload(int& cancel, int unload_mode) override;

 private:
  void ShowSecondsLeft();
  void End(Outcome outcome, int minutes);

  AppContext& app_;
  std::optional<Run> run_;
  LocalTime ends_{};
  int shown_seconds_ = -1;
  bool preview_ = false;
};

// "{name}" style placeholders of a message replaced by their values.
std::string FillIn(std::string text,
                   std::initializer_list<std::pair<const char*, std::string>> values);

}  // namespace norvale
