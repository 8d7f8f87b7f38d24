#include "apps/norvale/simulate.h"

#include <cstdio>
#include <cstdlib>

#include "apps/norvale/program.h"
#include "platform/headless/headless_toolkit.h"
#include "platform/headless/memory_file_system.h"
#include "platform/headless/memory_registry.h"

namespace norvale {
namespace {

using namespace std::chrono;

std::optional<LocalTime> ParseMoment(const std::string& text) {
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  char tail = 0;
  const int n =
      std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail);
  const bool shape = text.size() == 16 || text.size() == 19;
  if (!shape || (n != 5 && n != 6) || text[4] != '-' || text[7] != '-' || text[10] != 'T') {
    return std::nullopt;
  }
  const year_month_day day{year{y}, month{static_cast<unsigned>(mo)},
                           std::chrono::day{static_cast<unsigned>(d)}};
  if (!day.ok() || h > 23 || mi > 59 || s > 59 || h < 0 || mi < 0 || s < 0) return std::nullopt;
  return LocalTime{local_days{day}} + hours{h} + minutes{mi} + seconds{s};
}

// Prints each request under the name of the row that asked for it.
class PrintedPower final : public PowerControl {
 public:
  explicit PrintedPower(const Clock& clock) : clock_(clock) {}
  std::function<void(const std::string&)> out;
  std::string performing;  // the row being performed

  bool IsWinNT() const override { return true; }
  void EnableShutdownPrivilege() override {}
  void Perform(const PowerRequest& r) override {
    out(IsoMoment(clock_.Now()) + "\t" + performing + "\t" + r.action);
  }
  bool HibernateAvailable() const override { return true; }
  void HoldOffIdleSleep(bool) override {}

 private:
  const Clock& clock_;
};

class NoShell final : public Shell {
 public:
  bool OpenDocument(const std::string&) override { return false; }
  bool StartCommand(const std::string&) override { return false; }
  std::string BrowseForFolder(const std::string&) override { return {}; }
};

class NoNetwork final : public HttpClient {
 public:
  std::optional<std::string> Get(const std::string&, const std::function<void()>&) override {
    return std::nullopt;
  }
};

class SimulatedSystem final : public SystemInfo {
 public:
  std::optional<OsVersion> Version() const override { return OsVersion{2, 10, 0}; }
  VersionInfo ProgramVersion() const override {
    return {"Norvale", "Norvale Labs", "https://norvale.example/", 1, 0};
  }
  std::string ExeName() const override { return "Norvale"; }
};

}  // namespace

std::optional<SimulationPlan> ParseSimulationArgs(const std::vector<std::string>& args,
                                                  std::string& error) {
  SimulationPlan plan;
  bool from = false, to = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (i + 1 >= args.size()) {
      error = a.rfind("--", 0) == 0 ? a + " needs a value" : "unexpected argument " + a;
      return std::nullopt;
    }
    const std::string& v = args[++i];
    if (a == "--data") {
      plan.data_folder = v;
    } else if (a == "--from" || a == "--to") {
      const auto t = ParseMoment(v);
      if (!t) {
        error = a + " " + v + ": not a time of the form YYYY-MM-DDTHH:MM[:SS]";
        return std::nullopt;
      }
      (a == "--from" ? plan.from : plan.to) = *t;
      (a == "--from" ? from : to) = true;
    } else if (a == "--tz") {
      plan.zone = v;
    } else if (a == "--date-form") {
      if (v != "iso" && v != "us" && v != "de") {
        error = "--date-form " + v + ": use iso, us or de";
        return std::nullopt;
      }
      plan.date_form = v;
    } else if (a == "--warning") {
      char* end = nullptr;
      const long seconds = std::strtol(v.c_str(), &end, 10);
      if (v.empty() || *end != '\0' || seconds < 0 || seconds > 3600) {
        error = "--warning " + v + ": a number of seconds from 0 to 3600";
        return std::nullopt;
      }
      plan.warning = static_cast<int>(seconds);
    } else if (a == "--sleep" || a == "--set-clock") {
      const size_t slash = v.find('/');
      const auto at = ParseMoment(v.substr(0, slash));
      const auto until =
          slash == std::string::npos ? std::nullopt : ParseMoment(v.substr(slash + 1));
      if (!at || !until) {
        error = a + " " + v + ": expected two times A/B of the form YYYY-MM-DDTHH:MM[:SS]";
        return std::nullopt;
      }
      if (a == "--sleep" && *until <= *at) {
        error = a + " " + v + ": the computer wakes after it falls asleep";
        return std::nullopt;
      }
      plan.events.push_back(
          {a == "--sleep" ? SimulationEvent::kSleep : SimulationEvent::kSetClock, *at, *until});
    } else {
      error = "unknown argument " + a;
      return std::nullopt;
    }
  }
  if (plan.data_folder.empty() || !from || !to) {
    error = "--data, --from and --to are required";
    return std::nullopt;
  }
  // Follow the wall clock through the events: each must come while it runs.
  LocalTime wall = plan.from;
  for (const SimulationEvent& e : plan.events) {
    if (e.at < wall) {
      error = "events must be given in the order the wall clock meets them, from --from on";
      return std::nullopt;
    }
    wall = e.until;
  }
  if (plan.to < wall) {
    error = "--to comes before the wall clock gets there";
    return std::nullopt;
  }
  return plan;
}

void RunSimulation(const SimulationPlan& plan, const ScheduleFiles& files,
                   const headless::TimeZone* zone,
                   const std::function<void(const std::string& line)>& request,
                   const std::function<void(const std::string& note)>& note) {
  headless::VirtualClock clock(plan.from, zone);
  headless::HeadlessToolkit kit(clock);
  kit.Answers().Shown = [&](const std::string& title, const std::string& text) {
    if (note) note(IsoMoment(clock.Now()) + " " + title + ": " + text);
  };
  const std::string program_folder = "/Norvale";
  headless::MemoryFileSystem fs(program_folder);
  const std::string data = DataFolder(program_folder);
  fs.CreateFolder(data);
  for (const auto& [name, bytes] : files) fs.Put(data + name, bytes);
  Cp1252Codec codec;
  const PatternLocale locale = plan.date_form == "us"   ? PatternLocale::Us()
                               : plan.date_form == "de" ? PatternLocale::German()
                                                        : PatternLocale::Iso();
  headless::MemoryRegistry registry;
  {
    // Not a first start: no language question, no help.
    SettingsStore settings(registry, kit.Boxes(), "Norvale Labs", "Norvale");
    settings.SaveUserSetting("Norvale", "Settings", "Language", "English");
    settings.SaveUserSetting("Norvale", "Settings", "showHelp", "0");
    settings.WriteSetting("Norvale", "Settings", "txtWarn", std::to_string(plan.warning));
  }
  PrintedPower power(clock);
  power.out = request;
  NoShell shell;
  SimulatedSystem system;
  NoNetwork http;
  NorvaleProgram program(PlatformServices{kit, fs, codec, locale, registry, power, shell, system,
                                          http, [] { return false; }},
                         CommandLine{});
  program.Main().Performing = [&](const std::string& name, const std::string&) {
    power.performing = name;
  };
  program.Start();

  const auto advance_to = [&](LocalTime wall) {
    const UtcTime target = clock.ToUtc(wall);
    if (target > clock.UtcNow()) kit.Advance(target - clock.UtcNow());
  };
  for (const SimulationEvent& e : plan.events) {
    advance_to(e.at);
    if (e.kind == SimulationEvent::kSleep) {
      kit.SleepUntil(e.until);
    } else {
      kit.SetWallClock(e.until);
    }
  }
  advance_to(plan.to);
}

}  // namespace norvale
