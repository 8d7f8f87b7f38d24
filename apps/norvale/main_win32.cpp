// Norvale.exe: the program over the real Windows services.
#include <algorithm>
#include <thread>

#include "apps/norvale/listing.h"
#include "apps/norvale/program.h"
#include "apps/norvale/remote.h"
#include "platform/path.h"
#include "platform/win32/win32_app.h"
#include "platform/win32/win32_secret_protector.h"

namespace norvale {
namespace {

constexpr const char* kInstanceLock = "Norvale";

// A command-line request: to the running copy, which is started first when none
// runs. The exit code of this copy is the request's; what it prints is in the
// user's language.
int Forward(Win32Platform& p, const std::vector<std::string>& args, const CommandLine& cl,
            const CatalogueText& text) {
  const auto print_error = [&](const std::string& why) {
    p.Print("Norvale: " + why + (why.ends_with('\n') ? "" : "\n"), true, "Norvale");
  };
  // The running copy keeps its own mode: /dryrun only goes to a copy started here.
  std::vector<std::string> forwarded;
  for (const std::string& a : args) {
    if (!ParseCommandLine({a}).dry_run) forwarded.push_back(a);
  }
  const std::string request = EncodeArguments(forwarded);
  std::optional<std::string> reply = p.SendRequest(request);
  if (!reply && !p.InstanceRunning(kInstanceLock)) {
    if (cl.request.kind == Request::Kind::List) {
      // Nothing runs, so there are no quick rows: the schedule files are the list.
      const ScheduleStore store{p.Files(), p.Codec(), DataFolder(p.Files().ProgramFolder())};
      p.Print(ScheduleListing(store, p.Kit().Time(), p.UserLocale(), text), false, "Norvale");
      return 0;
    }
    if (cl.request.kind == Request::Kind::Cancel) {
      p.Print(CancelledText(text, 0), false, "Norvale");
      return 0;
    }
    std::vector<std::string> start{kTraySwitch};
    if (cl.dry_run) start.emplace_back(kDryRunSwitch);
    if (!p.StartAgain(start)) {
      print_error(Say(text, "MSG_CLNOTSTARTED"));
      return 3;
    }
  }
  // A copy that is starting takes requests once its list is loaded.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!reply || DecodeReply(*reply).code == 3) {
    if (std::chrono::steady_clock::now() > deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    reply = p.SendRequest(request);
  }
  const Reply answer = reply ? DecodeReply(*reply) : Reply{3, ""};
  if (answer.code == 3 && answer.text.empty()) {
    print_error(Say(text, "MSG_CLUNREACHABLE"));
    return 3;
  }
  if (answer.code == 0) {
    p.Print(answer.text, false, "Norvale");
  } else {
    print_error(answer.text);
  }
  return answer.code;
}

}  // namespace

int ProgramMain(Win32Platform& p) {
  const std::vector<std::string> args = p.Arguments();
  CommandLine cl = ParseCommandLine(args);
  if (!cl.usage_error.empty() || cl.request.kind != Request::Kind::None) {
    // This copy only speaks: its texts come from the catalogue alone, read once.
    const CatalogueText text =
        UserCommandLineTexts(p.Files(), p.Reg(), p.Kit().Boxes(), p.System());
    cl = ParseCommandLine(args, text);
    if (!cl.usage_error.empty()) {
      p.Print("Norvale: " + cl.usage_error + "\n", true, "Norvale");
      return 2;
    }
    if (cl.request.kind == Request::Kind::Usage) {
      p.Print(UsageText(text), false, "Norvale");
      return 0;
    }
    // Asked of this computer, not of a running copy: nothing needs to run for it.
    if (cl.request.kind == Request::Kind::Check) {
      p.Print(UserCheckText(p.Power(), p.Reg(), p.Kit().Boxes(), p.System(), text), false,
              "Norvale");
      return 0;
    }
    return Forward(p, args, cl, text);
  }
  const Win32SecretProtector secrets;
  NorvaleProgram program(
      {p.Kit(), p.Files(), p.Codec(), p.UserLocale(), p.Reg(), p.Power(), p.Desktop(), p.System(),
       p.Http(), [&p] { return p.AnotherInstance(kInstanceLock); }, &secrets},
      cl);
  program.App().activity = &p.Activities();
  program.App().load = &p.Load();
  program.Start();
  const int code = p.Run();
  if (program.ExitCode() != 0) {
    p.Print(program.ExitReason(), true, "Norvale");
    return program.ExitCode();
  }
  return code;
}

}  // namespace norvale
