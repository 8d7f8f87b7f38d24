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
// runs. The exit code of this copy is the request's.
int Forward(Win32Platform& p, const std::vector<std::string>& args, const CommandLine& cl) {
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
      p.Print(ScheduleListing(store, p.Kit().Time(), p.UserLocale()), false, "Norvale");
      return 0;
    }
    if (cl.request.kind == Request::Kind::Cancel) {
      p.Print("Cancelled 0 quick rows.\n", false, "Norvale");
      return 0;
    }
    std::vector<std::string> start{kTraySwitch};
    if (cl.dry_run) start.emplace_back(kDryRunSwitch);
    if (!p.StartAgain(start)) {
      p.Print("Norvale: Norvale could not be started\n", true, "Norvale");
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
  if (!reply) {
    p.Print("Norvale: the running Norvale could not be reached\n", true, "Norvale");
    return 3;
  }
  const Reply answer = DecodeReply(*reply);
  p.Print(answer.code == 0 ? answer.text : "Norvale: " + answer.text, answer.code != 0, "Norvale");
  return answer.code;
}

}  // namespace

int ProgramMain(Win32Platform& p) {
  const std::vector<std::string> args = p.Arguments();
  const CommandLine cl = ParseCommandLine(args);
  if (!cl.usage_error.empty()) {
    p.Print("Norvale: " + cl.usage_error + "\n", true, "Norvale");
    return 2;
  }
  if (cl.request.kind == Request::Kind::Usage) {
    p.Print(kUsage, false, "Norvale");
    return 0;
  }
  if (cl.request.kind != Request::Kind::None) return Forward(p, args, cl);
  const Win32SecretProtector secrets;
  NorvaleProgram program(
      {p.Kit(), p.Files(), p.Codec(), p.UserLocale(), p.Reg(), p.Power(), p.Desktop(), p.System(),
       p.Http(), [&p] { return p.AnotherInstance(kInstanceLock); }, &secrets},
      cl);
  program.App().activity = &p.Activities();
  program.Start();
  return p.Run();
}

}  // namespace norvale
