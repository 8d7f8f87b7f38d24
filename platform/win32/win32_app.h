#pragma once
// The real Windows services of a program, made once at start. Programs use it
// without <windows.h>: the entry point in win32_winmain.cpp calls ProgramMain.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/activity.h"
#include "platform/file_system.h"
#include "platform/forms/toolkit.h"
#include "platform/http_client.h"
#include "platform/load.h"
#include "platform/locale.h"
#include "platform/power_control.h"
#include "platform/process_launcher.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system_info.h"
#include "platform/text_codec.h"

namespace norvale {

class Win32Platform {
 public:
  Win32Platform();
  ~Win32Platform();
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  Toolkit& Kit();
  FileSystem& Files();
  const TextCodec& Codec();
  const Locale& UserLocale();
  // Machine-wide values in the 32-bit view, where programs of this kind have
  // always kept them, whichever build runs.
  Registry& Reg();
  PowerControl& Power();
  Shell& Desktop();
  const SystemInfo& System();
  HttpClient& Http();
  ProcessLauncher& Launcher();

  // True when another copy of the program holds the named lock; this copy then
  // keeps nothing. The lock is held until the program ends.
  bool AnotherInstance(const std::string& name);
  // True while a copy of the program holds the named lock; takes nothing.
  bool InstanceRunning(const std::string& name) const;
  // Hands `request` to the running copy's toolkit window and returns its reply;
  // nullopt when no copy takes it.
  std::optional<std::string> SendRequest(const std::string& request);
  // Starts this program again with these arguments, detached; false when it cannot.
  bool StartAgain(const std::vector<std::string>& args);
  // Prints to the console or the file the program was started from (attaching
  // to the parent's console); without either, shows it in a message box.
  void Print(const std::string& text, bool error, const std::string& title);
  // The activity of the session: input idle time and running programs.
  Activity& Activities();
  // The processor's and the network's load.
  LoadMonitor& Load();
  // The arguments after the program name.
  std::vector<std::string> Arguments() const;
  // Runs the message loop until the program asks to end; the exit code.
  int Run();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Defined by each program.
int ProgramMain(Win32Platform& platform);

}  // namespace norvale
