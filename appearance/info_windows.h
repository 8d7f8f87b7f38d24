#pragma once
// The help launcher, the about window and the website launcher.
#include <functional>
#include <string>

#include "platform/forms/form.h"
#include "ui/app_context.h"

namespace norvale {

inline constexpr const char* kHelpFile = "Help.chm";

// "http://" in front unless the address already names either scheme, in any case.
std::string WebsiteAddress(const std::string& website);

// Invisible: loading it opens the help file, when there is one.
class Form8 : public Form {
 public:
  explicit Form8(AppContext& app) : Form(app.kit, "Form8"), app_(app) {}

 protected:
  void BuildLayout() override;
  void Form_Load() override;

 private:
  AppContext& app_;
};

class frmAbout : public Form {
 public:
  explicit frmAbout(AppContext& app) : Form(app.kit, "frmAbout"), app_(app) {}
  SkinLabel* Label1 = nullptr;
  SkinLabel* lblVersion = nullptr;
  SkinLabel* lblCompany = nullptr;
  SkinLabel* lblWebsite = nullptr;
  CommandButton* cmdOK = nullptr;

 protected:
  void BuildLayout() override;
  void Form_Load() override;

 private:
  AppContext& app_;
};

// Invisible: opens the requested address and unloads itself ten seconds later,
// so a second request within that time opens nothing.
class frmWebsite : public Form {
 public:
  frmWebsite(AppContext& app, std::string& website_request)
      : Form(app.kit, "frmWebsite"), app_(app), WebsiteRequest(website_request) {}
  Timer* Timer1 = nullptr;

 protected:
  void BuildLayout() override;
  void Form_Load() override;

 private:
  AppContext& app_;
  std::string& WebsiteRequest;
};

}  // namespace norvale
