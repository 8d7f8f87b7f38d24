#include "appearance/info_windows.h"

#include <cctype>

#include "platform/path.h"
#include "schedule/schedule_file.h"

namespace norvale {

std::string WebsiteAddress(const std::string& website) {
  std::string lower = website;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower.find("https://") != std::string::npos || lower.find("http://") != std::string::npos) {
    return website;
  }
  return "http://" + website;
}

void Form8::BuildLayout() {
  Move(0, 0, 0, 0);
}

void Form8::Form_Load() {
  Hide();
  const std::string path = JoinPath(app_.fs.ProgramFolder(), kHelpFile);
  if (!FileExists(app_.fs, path)) return;
  app_.shell.OpenDocument(path);
  // Per user, where the start-up reads it; a standard user cannot write machine-wide.
  app_.settings.SaveUserSetting(app_.product_name, "Settings", "showHelp", "0");
}

void frmAbout::BuildLayout() {
  SetDialog(true);
  SetCaption("About");
  Move(0, 0, 6000, 3930);
  SetClientSize(6000, 3465);  // the OK button ends at 3345
  Add<PictureBox>("Picture1", -1, "", nullptr, 240, 240, 720, 720);
  Label1 = &Add<SkinLabel>("Label1", -1, "YourProgramName", nullptr, 1200, 240, 4560, 435);
  Add<Label>("Label2", -1, "Version:", nullptr, 1200, 840, 1200, 255);
  lblVersion = &Add<SkinLabel>("lblVersion", -1, "", nullptr, 2460, 840, 3300, 255);
  Add<Label>("Label3", -1, "Owned By:", nullptr, 1200, 1170, 1200, 255);
  lblCompany = &Add<SkinLabel>("lblCompany", -1, "", nullptr, 2460, 1170, 3300, 255);
  Add<Label>("Label4", -1, "Website:", nullptr, 1200, 1500, 1200, 255);
  lblWebsite = &Add<SkinLabel>("lblWebsite", -1, "", nullptr, 2460, 1500, 3300, 255);
  Add<Label>("Label5", -1,
             "This program shuts down, restarts, logs off, suspends or hibernates the computer "
             "only when one of your schedules or your own command asks for it.",
             nullptr, 240, 2040, 5520, 855);
  Add<SkinLabel>("SkinLabel1", 0, "Windowed Label", nullptr, 0, 0, 0, 0).SetVisible(false);
  cmdOK = &Add<CommandButton>("cmdOK", -1, "OK", nullptr, 4560, 2970, 1200, 375);
  cmdOK->Default = true;
  cmdOK->Cancel = true;
  cmdOK->Click = [this] { Unload(); };
}

void frmAbout::Form_Load() {
  app_.ChangeLanguage(*this);
  SetCaption(app_.Message("MSG_TITLEABOUT", "About [ProgramName]"));
  const VersionInfo v = app_.system.ProgramVersion();
  Label1->SetCaption(app_.product_name);
  lblCompany->SetCaption(app_.company_name);
  lblVersion->SetCaption(std::to_string(v.major) + "." + std::to_string(v.minor));
  lblWebsite->SetCaption(app_.website);
  app_.Skin(*this, AppContext::Overlay::kLabels);
}

void frmWebsite::BuildLayout() {
  Move(0, 0, 0, 0);
  Timer1 = &Add<Timer>("Timer1");
  Timer1->SetInterval(10000);
  Timer1->Tick = [this] { Unload(); };
}

void frmWebsite::Form_Load() {
  if (WebsiteRequest != "Website") return;
  app_.shell.OpenDocument(WebsiteAddress(app_.website));
  WebsiteRequest.clear();
}

}  // namespace norvale
