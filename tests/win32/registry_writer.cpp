// Helper of registry_visible_test.sh: writes (or removes) settings and Run
// entries through the real store classes, so the script can look for them with
// the system's own reg.exe.
//   registry_writer write TAG   company "NorvaleVisibleCo-TAG", product "NorvaleVisible-TAG"
//   registry_writer clean TAG   removes all of it again
#include <cstdio>
#include <string>

#include "platform/win32/win32_registry.h"
#include "settings/add_remove.h"
#include "settings/settings_store.h"

namespace {

using namespace norvale;

// A write that needs the "Permission Denied" dialog is a failure here.
class RefusingBoxes final : public MessageBoxes {
 public:
  MsgBoxResult MsgBox(const std::string& text, MsgBoxButtons, MsgBoxIcon,
                      const std::string& title) override {
    std::fprintf(stderr, "unexpected message box %s: %s\n", title.c_str(), text.c_str());
    shown = true;
    return MsgBoxResult::Abort;
  }
  bool shown = false;
};

int Write(const std::string& company, const std::string& product) {
  Win32Registry registry;
  Win32Registry registry32(MachineView::k32Bit);
  RefusingBoxes boxes;
  SettingsStore store(registry, boxes, company, product);
  store.WriteSetting(product, "Settings", "txtport", "1025");
  store.WriteSetting(product, "Settings", "txtFTPfolder", "/backup/daily set");
  store.SaveUserSetting(product, "Settings", "Language", "English");
  SettingsStore(registry32, boxes, company, product)
      .WriteSetting(product, "Settings", "chkMin", "1");
  const std::string exe = RunValueData("C:\\Program Files\\" + product, "Norvale");
  AddRemove(registry, company).AddToRun(product, exe);
  AddRemove(registry, company).AddToRun2(product, exe);
  AddRemove(registry32, company).AddToRun2(product + "-32", exe);
  return boxes.shown ? 3 : 0;
}

void RemoveKeys(Registry& registry, RegRoot root, const std::string& parent,
                const std::string& product) {
  registry.DeleteKey(root, parent + "\\" + product + "\\Settings");
  registry.DeleteKey(root, parent + "\\" + product);
}

int Clean(const std::string& company, const std::string& product) {
  Win32Registry registry;
  Win32Registry registry32(MachineView::k32Bit);
  AddRemove(registry, company).RemoveFromRun(product);
  AddRemove(registry, company).RemoveFromRun2(product);
  AddRemove(registry32, company).RemoveFromRun2(product + "-32");
  for (Registry* r : {static_cast<Registry*>(&registry), static_cast<Registry*>(&registry32)}) {
    RemoveKeys(*r, RegRoot::LocalMachine, "SOFTWARE\\" + company, product);
    r->DeleteKey(RegRoot::LocalMachine, "SOFTWARE\\" + company);
  }
  RemoveKeys(registry, RegRoot::CurrentUser, kPerUserRoot, product);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: registry_writer write|clean TAG\n");
    return 2;
  }
  const std::string mode = argv[1];
  const std::string company = std::string("NorvaleVisibleCo-") + argv[2];
  const std::string product = std::string("NorvaleVisible-") + argv[2];
  if (mode == "write") return Write(company, product);
  if (mode == "clean") return Clean(company, product);
  return 2;
}
