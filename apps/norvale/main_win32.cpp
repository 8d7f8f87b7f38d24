// Norvale.exe: the program over the real Windows services.
#include "apps/norvale/program.h"
#include "platform/win32/win32_app.h"

int norvale::ProgramMain(Win32Platform& p) {
  NorvaleProgram program(
      {p.Kit(), p.Files(), p.Codec(), p.UserLocale(), p.Reg(), p.Power(), p.Desktop(), p.System(),
       p.Http(), [&p] { return p.AnotherInstance("Norvale"); }},
      ParseCommandLine(p.Arguments()));
  program.Start();
  return p.Run();
}
