// Kestrup.exe: the startup tool over the real Windows services.
#include "platform/win32/win32_accounts.h"
#include "platform/win32/win32_app.h"
#include "startup_tool/form1.h"

int norvale::ProgramMain(Win32Platform& p) {
  const Win32Accounts accounts;
  KestrupContext context{p.Kit(),    p.Files(),
                         p.Reg(),    p.Launcher(),
                         p.System(), p.System().ProgramVersion().CompanyName,
                         accounts};
  Form1 form(context);
  form.Show();
  return p.Run();
}
