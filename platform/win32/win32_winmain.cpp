// The entry point of the Windows programs: their services, then ProgramMain.
#include <windows.h>

#include "platform/win32/system_library.h"
#include "platform/win32/win32_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before any service exists, so that nothing is ever loaded from the program folder.
  norvale::SearchSystemFolderOnly();
  norvale::Win32Platform platform;
  return norvale::ProgramMain(platform);
}
