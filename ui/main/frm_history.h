#pragma once
// The list of what ran: the newest entries of the history first.
#include "platform/forms/form.h"
#include "ui/app_context.h"

namespace norvale {

inline constexpr size_t kHistoryShown = 500;

class frmHistory : public Form {
 public:
  frmHistory(AppContext& app, std::string path)
      : Form(app.kit, "frmHistory"), app_(app), path_(std::move(path)) {}
  Label* lblInfo = nullptr;
  ListView* lstHistory = nullptr;
  CommandButton* cmdClose = nullptr;

  // Reads the history again.
  void Refresh();

 protected:
  void BuildLayout() override;
  void Form_Load() override;
  void Form_Resize() override;

 private:
  // The title, the column headers and the button, in the language in effect.
  void ShowTexts();
  // A "not stored" line's outcome with what was not stored and why.
  std::string NotStoredText(const std::string& note) const;
  AppContext& app_;
  std::string path_;
};

}  // namespace norvale
