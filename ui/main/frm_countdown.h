#pragma once
// The warning before an action: floats over every window without taking the
// keyboard focus, counts the seconds down and then performs; the user may
// postpone the run, cancel it (this occurrence only) or perform it at once.
#include <functional>
#include <optional>
#include <string>

#include "engine/run_flow.h"
#include "platform/forms/form.h"
#include "ui/app_context.h"

namespace norvale {

// The choices of the postpone list, in minutes; the default is 10.
inline constexpr int kPostponeMinutes[] = {5, 10, 15, 30, 60};
inline constexpr int kDefaultPostponeIndex = 1;
static_assert(kPostponeMinutes[kDefaultPostponeIndex] == kDefaultPostponeMinutes);

class frmCountdown : public Form {
 public:
  explicit frmCountdown(AppContext& app) : Form(app.kit, "frmCountdown"), app_(app) {}

  IconBox* imgIcon = nullptr;
  Label* lblWhat = nullptr;
  Label* lblLeft = nullptr;
  // Stand By on a Modern Standby computer: what it does there.
  Label* lblNote = nullptr;
  Label* lblPostpone = nullptr;
  ComboBox* cmbPostpone = nullptr;
  CommandButton* cmdPostpone = nullptr;
  CommandButton* cmdCancel = nullptr;
  CommandButton* cmdNow = nullptr;
  Timer* tmrCount = nullptr;

  // Shows what `flow` warns of, or hides the window when it warns of nothing.
  void ShowFlow(RunFlow& flow);
  // Shows a warning standing still, for a look at it: nothing it offers acts.
  void Preview(const std::string& name, const std::string& action, int seconds);
  int SecondsLeft() const;

  void cmdPostpone_Click();
  void cmdCancel_Click();
  void cmdNow_Click();
  void tmrCount_Timer();

 protected:
  void BuildLayout() override;
  void Form_Load() override;
  void Form_QueryUnload(int& cancel, int unload_mode) override;

 private:
  void Present(const std::string& name, const std::string& action);
  // The fixed texts and the postpone list, in the language in effect.
  void ShowTexts(int postpone_index);
  // The title and what is warned of, in the language in effect.
  void ShowWhat();
  void ShowSecondsLeft();
  // The buttons move down by the note's room while it shows.
  // Moves the controls only when the note comes or goes: a window resized under
  // the pointer makes the system see input, which ends an idle row's countdown.
  void Arrange(bool note);
  bool arranged_for_note_ = false;
  // The minutes the postpone list chooses.
  int ChosenMinutes() const;

  AppContext& app_;
  RunFlow* flow_ = nullptr;  // none: a preview
  uint64_t shown_row_ = 0;
  std::string shown_name_;
  // What the window shows: the occurrence's name and stored action.
  std::string shown_what_;
  std::string shown_action_;
  int preview_seconds_ = 0;
  int shown_seconds_ = -1;
  bool shown_waits_ = false;
};

// "{name}" style placeholders of a message replaced by their values.
std::string FillIn(std::string text,
                   std::initializer_list<std::pair<const char*, std::string>> values);

}  // namespace norvale
