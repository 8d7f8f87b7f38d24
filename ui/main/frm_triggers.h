#pragma once
// The questions behind "When Idle…", "When a Program Ends…" and "When Quiet…":
// how many idle minutes, which running program to wait for, and how quiet for how long.
#include <optional>

#include "engine/run_list.h"
#include "platform/activity.h"
#include "platform/forms/form.h"
#include "ui/app_context.h"

namespace norvale {

inline constexpr int kMinIdleMinutes = 1;
inline constexpr int kMaxIdleMinutes = 1440;
inline constexpr int kDefaultIdleMinutes = 30;

class frmWhenIdle : public Form {
 public:
  explicit frmWhenIdle(AppContext& app) : Form(app.kit, "frmWhenIdle"), app_(app) {}

  Label* lblAsk = nullptr;
  TextBox* txtMinutes = nullptr;
  Label* lblMinutes = nullptr;
  CommandButton* cmdOK = nullptr;
  CommandButton* cmdCancel = nullptr;

  // Asks modally; the minutes, or nullopt when the user cancels.
  std::optional<int> Ask();
  void cmdOK_Click();

 protected:
  void BuildLayout() override;
  void Form_Load() override;

 private:
  // Every text of the window in the language in effect.
  void ShowTexts();
  AppContext& app_;
  std::optional<int> answer_;
};

class frmWhenEnds : public Form {
 public:
  explicit frmWhenEnds(AppContext& app) : Form(app.kit, "frmWhenEnds"), app_(app) {}

  Label* lblAsk = nullptr;
  ListView* lstPrograms = nullptr;
  CommandButton* cmdRefresh = nullptr;
  CommandButton* cmdOK = nullptr;
  CommandButton* cmdCancel = nullptr;

  // Asks modally; the chosen program, or nullopt when the user cancels.
  std::optional<RunningProcess> Ask();
  void cmdRefresh_Click();
  void cmdOK_Click();

 protected:
  void BuildLayout() override;
  void Form_Load() override;

 private:
  // Every text of the window in the language in effect.
  void ShowTexts();
  AppContext& app_;
  std::vector<RunningProcess> shown_;
  std::optional<RunningProcess> answer_;
};

class frmWhenQuiet : public Form {
 public:
  explicit frmWhenQuiet(AppContext& app) : Form(app.kit, "frmWhenQuiet"), app_(app) {}

  Label* lblAsk = nullptr;
  Label* lblMinutes = nullptr;
  TextBox* txtMinutes = nullptr;
  Label* lblMinutesUnit = nullptr;
  Label* lblCpu = nullptr;
  TextBox* txtCpu = nullptr;
  Label* lblCpuUnit = nullptr;
  Label* lblNetwork = nullptr;
  TextBox* txtNetwork = nullptr;
  Label* lblNetworkUnit = nullptr;
  CommandButton* cmdOK = nullptr;
  CommandButton* cmdCancel = nullptr;

  // Asks modally; the limits, or nullopt when the user cancels.
  std::optional<QuietLimits> Ask();
  void cmdOK_Click();

 protected:
  void BuildLayout() override;
  void Form_Load() override;

 private:
  void ShowTexts();
  AppContext& app_;
  std::optional<QuietLimits> answer_;
};

// A whole number from `low` to `high`, blanks around it allowed; nullopt for anything else.
std::optional<int> ParseCount(std::string_view text, int low, int high);
// "30" for 1 to 1440 minutes; nullopt for anything else.
std::optional<int> ParseIdleMinutes(std::string_view text);

}  // namespace norvale
