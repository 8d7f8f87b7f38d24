// Shows the schedule list of the program's data folder with every next run.
#include <windows.h>

#include "apps/norvale/listing.h"
#include "platform/win32/win32_services.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace norvale;
  Win32FileSystem fs;
  Win32Clock clock;
  AnsiCodec codec;
  Win32Locale locale;
  Win32MessageBoxes boxes;
  const ScheduleStore store{fs, codec, DataFolder(fs.ProgramFolder())};
  boxes.MsgBox(ScheduleListing(store, clock, locale), MsgBoxButtons::OK, MsgBoxIcon::Information,
               "Norvale");
  return 0;
}
