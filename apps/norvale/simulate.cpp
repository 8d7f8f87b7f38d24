#include "apps/norvale/simulate.h"

#include <cstdlib>

#include <algorithm>
#include <iterator>

#include "apps/norvale/program.h"
#include "platform/headless/fake_activity.h"
#include "platform/headless/fake_load.h"
#include "platform/path.h"
#include "ui/main/quick_delay.h"
#include "ui/shown_names.h"
#include "platform/headless/headless_toolkit.h"
#include "platform/headless/memory_file_system.h"
#include "platform/headless/memory_registry.h"

namespace norvale {
namespace {

using namespace std::chrono;

// YYYY-MM-DDTHH:MM[:SS], two digits each, and nothing else: no signs, blanks
// or short fields. Years before 1970 or after 9999 would make a run without end.
std::optional<LocalTime> ParseMoment(const std::string& text) {
  if (text.size() != 16 && text.size() != 19) return std::nullopt;
  const std::string_view shape = "dddd-dd-ddTdd:dd:dd";
  for (size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (shape[i] == 'd' ? !digit : text[i] != shape[i]) return std::nullopt;
  }
  const auto number = [&](size_t at, size_t width) {
    int n = 0;
    for (size_t i = at; i < at + width; ++i) n = n * 10 + (text[i] - '0');
    return n;
  };
  const int y = number(0, 4), mo = number(5, 2), d = number(8, 2), h = number(11, 2),
            mi = number(14, 2), s = text.size() == 19 ? number(17, 2) : 0;
  const year_month_day day{year{y}, month{static_cast<unsigned>(mo)},
                           std::chrono::day{static_cast<unsigned>(d)}};
  if (y < 1970 || !day.ok() || h > 23 || mi > 59 || s > 59) return std::nullopt;
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
  PowerOutcome Perform(const PowerRequest& r) override {
    out(IsoMoment(clock_.Now()) + "\t" + performing + "\t" + r.action);
    return {};
  }
  bool HibernateAvailable() const override { return true; }
  // A computer that can do everything, with fast startup off.
  PowerCapabilities Capabilities() const override {
    PowerCapabilities c;
    c.hiberfile = true;
    return c;
  }
  // Keep-awake hours are printed where they begin and end, with their schedule;
  // the hold is what keeps a computer woken by the timer awake.
  void HoldOffIdleSleep(bool system, bool) override { held = system; }
  void WakeAt(std::optional<UtcTime> at) override { wake_at = at; }
  bool held = false;
  std::optional<UtcTime> wake_at;

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

// Follows the wall clock through the events: each must come while it runs.
bool CheckOrder(const SimulationPlan& plan, std::string& error) {
  LocalTime wall = plan.from;
  for (const SimulationEvent& e : plan.events) {
    if (e.at < wall) {
      error = "events must be given in the order the wall clock meets them, from --from on";
      return false;
    }
    wall = e.kind == SimulationEvent::kSleep || e.kind == SimulationEvent::kSetClock ? e.until : e.at;
  }
  if (plan.to < wall) {
    error = "--to comes before the wall clock gets there";
    return false;
  }
  return true;
}

}  // namespace

std::optional<SimulationPlan> ParseSimulationArgs(const std::vector<std::string>& args,
                                                  std::string& error) {
  SimulationPlan plan;
  bool from = false, to = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.empty()) {
      error = "an empty argument";
      return std::nullopt;
    }
    if (i + 1 >= args.size() || args[i + 1].empty()) {
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
    } else if (a == "--events") {
      plan.events_file = v;
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
          {a == "--sleep" ? SimulationEvent::kSleep : SimulationEvent::kSetClock, *at, *until, "", "", 0});
    } else {
      error = "unknown argument " + a;
      return std::nullopt;
    }
  }
  if (plan.data_folder.empty() || !from || !to) {
    error = "--data, --from and --to are required";
    return std::nullopt;
  }
  if (!plan.events_file.empty() && !plan.events.empty()) {
    error = "--events cannot be combined with --sleep or --set-clock";
    return std::nullopt;
  }
  if (!CheckOrder(plan, error)) return std::nullopt;
  return plan;
}

bool ParseSimulationEvents(std::string_view text, SimulationPlan& plan, std::string& error) {
  using Kind = SimulationEvent::Kind;
  struct Shape {
    const char* word;
    Kind kind;
    int fields;  // after the word
  };
  static constexpr Shape kShapes[] = {
      {"sleep", Kind::kSleep, 1},         {"set-clock", Kind::kSetClock, 1},
      {"go", Kind::kGo, 2},               {"in", Kind::kIn, 2},
      {"at", Kind::kAt, 2},               {"when-idle", Kind::kWhenIdle, 2},
      {"when-ends", Kind::kWhenEnds, 2},  {"start", Kind::kStart, 1},
      {"end", Kind::kEnd, 1},             {"input", Kind::kInput, 0},
      {"cancel", Kind::kCancel, 0},       {"postpone", Kind::kPostpone, 1},
      {"cancel-warning", Kind::kCancelWarning, 0}, {"perform-now", Kind::kPerformNow, 0},
      {"prevent", Kind::kPrevent, 1},     {"reload", Kind::kReload, 0},
      {"when-quiet", Kind::kWhenQuiet, 2}, {"load", Kind::kLoad, 2},
      {"postpone-when-used", Kind::kPostponeWhenUsed, 1},
  };
  int number = 0;
  while (!text.empty()) {
    ++number;
    const size_t end = text.find('\n');
    std::string line(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f;
    for (size_t at = 0;;) {
      const size_t tab = line.find('\t', at);
      f.push_back(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
      if (tab == std::string::npos) break;
      at = tab + 1;
    }
    const auto fail = [&](const std::string& why) {
      error = "--events line " + std::to_string(number) + ": " + why;
      return false;
    };
    const auto at = ParseMoment(f[0]);
    if (!at) return fail("\"" + f[0] + "\" is not a time of the form YYYY-MM-DDTHH:MM[:SS]");
    if (f.size() < 2) return fail("no event after the time");
    const Shape* shape = nullptr;
    for (const Shape& s : kShapes) {
      if (f[1] == s.word) shape = &s;
    }
    if (!shape) return fail("unknown event \"" + f[1] + "\"");
    if (static_cast<int>(f.size()) - 2 != shape->fields) {
      return fail(f[1] + " takes " + std::to_string(shape->fields) + " field(s) after it");
    }
    SimulationEvent e{shape->kind, *at, *at, "", "", 0};
    const auto count = [&](const std::string& v, int low, int high) -> std::optional<int> {
      char* stop = nullptr;
      const long n = std::strtol(v.c_str(), &stop, 10);
      if (v.empty() || *stop != '\0' || n < low || n > high) return std::nullopt;
      return static_cast<int>(n);
    };
    switch (shape->kind) {
      case Kind::kSleep:
      case Kind::kSetClock: {
        const auto until = ParseMoment(f[2]);
        if (!until) return fail("\"" + f[2] + "\" is not a time of the form YYYY-MM-DDTHH:MM[:SS]");
        if (shape->kind == Kind::kSleep && *until <= *at) {
          return fail("the computer wakes after it falls asleep");
        }
        e.until = *until;
        break;
      }
      case Kind::kGo:
      case Kind::kIn:
      case Kind::kAt:
      case Kind::kWhenIdle:
      case Kind::kWhenEnds: {
        e.action = StoredActionName(f[2]);
        if (e.action.empty()) return fail("unknown action \"" + f[2] + "\"");
        e.text = f[3];
        if (shape->kind == Kind::kIn || shape->kind == Kind::kWhenIdle) {
          const auto n = count(f[3], 1, shape->kind == Kind::kIn ? 44640 : 1440);
          if (!n) return fail("\"" + f[3] + "\" is no number of minutes for " + f[1]);
          e.number = *n;
        }
        if (shape->kind == Kind::kGo) {
          const auto delays = QuickDelayCaptions();
          if (std::find(delays.begin(), delays.end(), f[3]) == delays.end()) {
            return fail("unknown delay \"" + f[3] + "\"");
          }
        }
        break;
      }
      case Kind::kWhenQuiet:
        e.action = StoredActionName(f[2]);
        if (e.action.empty()) return fail("unknown action \"" + f[2] + "\"");
        if (!ParseQuietLimits(f[3])) {
          return fail("\"" + f[3] + "\" is not MINUTES[,CPU%[,KBPS]] for when-quiet");
        }
        e.text = f[3];
        break;
      case Kind::kLoad: {
        const auto amount = [](const std::string& v, double high) -> std::optional<double> {
          char* stop = nullptr;
          const double n = std::strtod(v.c_str(), &stop);
          if (v.empty() || *stop != '\0' || !(n >= 0 && n <= high)) return std::nullopt;
          return n;
        };
        const auto cpu = amount(f[2], 100);
        const auto kbps = amount(f[3], 1e12);
        if (!cpu || !kbps) return fail("load takes a processor use from 0 to 100 and a rate in KB/s");
        e.cpu_percent = *cpu;
        e.kilobytes_per_second = *kbps;
        break;
      }
      case Kind::kStart:
      case Kind::kEnd:
        if (f[2].empty()) return fail("a process needs a name");
        e.text = f[2];
        break;
      case Kind::kPostpone: {
        const auto n = count(f[2], 1, 60);
        if (!n || std::find(std::begin(kPostponeMinutes), std::end(kPostponeMinutes), *n) ==
                      std::end(kPostponeMinutes)) {
          return fail("postpone takes one of the warning's choices: 5, 10, 15, 30 or 60");
        }
        e.number = *n;
        break;
      }
      case Kind::kPrevent:
      case Kind::kPostponeWhenUsed:
        if (f[2] != "on" && f[2] != "off") return fail(f[1] + " takes on or off");
        e.number = f[2] == "on" ? 1 : 0;
        break;
      default:
        break;
    }
    plan.events.push_back(std::move(e));
  }
  return CheckOrder(plan, error);
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
    // No splash: the main window is there at --from, for an event at that moment.
    settings.WriteSetting("Norvale", "Settings", "chkSplash", "1");
  }
  PrintedPower power(clock);
  power.out = request;
  NoShell shell;
  SimulatedSystem system;
  NoNetwork http;
  NorvaleProgram program(PlatformServices{kit, fs, codec, locale, registry, power, shell, system,
                                          http, [] { return false; }},
                         CommandLine{});
  FakeActivity activity(clock);
  program.App().activity = &activity;
  FakeLoad load(clock);
  program.App().load = &load;
  program.Main().Performing = [&](const std::string& name, const std::string&) {
    power.performing = name;
  };
  program.Main().KeptAwake = [&](const AwakeChange& change) {
    const std::string now = IsoMoment(clock.Now());
    for (const std::string& name : change.began) request(now + "\t" + name + "\tKeep Awake");
    if (!change.allowed.empty()) request(now + "\t" + change.allowed + "\tAllow Sleep");
  };
  program.Start();

  const auto advance_to = [&](LocalTime wall) {
    const UtcTime target = clock.ToUtc(wall);
    if (target > clock.UtcNow()) kit.Advance(target - clock.UtcNow());
  };
  frmMain& main = program.Main();
  const auto ask = [&](std::vector<std::string> args) {
    const Reply reply = program.Handle(args);
    if (note && !reply.text.empty()) {
      std::string text = reply.text;
      if (text.back() == '\n') text.pop_back();
      note(IsoMoment(clock.Now()) + " " + args[0] + ": " + text);
    }
  };
  uint32_t next_pid = 1000;
  std::map<uint32_t, std::string> processes;
  for (const SimulationEvent& e : plan.events) {
    advance_to(e.at);
    frmCountdown* warning = main.HasRuns() && main.Pending().Flow().Shown() ? &main.Countdown() : nullptr;
    switch (e.kind) {
      case SimulationEvent::kSleep: {
        // The wake timer ends a sleep early; the computer stays up while the
        // program holds it, then sleeps again until the planned wake.
        const UtcTime end = clock.ToUtc(e.until);
        while (power.wake_at && *power.wake_at > clock.UtcNow() && *power.wake_at < end) {
          kit.SleepUntil(clock.ToLocal(*power.wake_at));
          if (note) note(IsoMoment(clock.Now()) + " woken by the wake timer");
          while (power.held && clock.UtcNow() < end) kit.Advance(std::chrono::seconds{1});
        }
        if (clock.UtcNow() < end) kit.SleepUntil(e.until);
        break;
      }
      case SimulationEvent::kSetClock:
        kit.SetWallClock(e.until);
        break;
      case SimulationEvent::kGo: {
        const auto pick = [&](ComboBox& box, const std::string& stored) {
          for (int i = 0; i < box.ListCount(); ++i) {
            if (box.List(i) == Shown(program.App(), stored)) box.SetListIndex(i);
          }
        };
        pick(*main.cbShutdown, e.action);
        pick(*main.cmbTime, e.text);
        main.cmdGo_Click();
        break;
      }
      case SimulationEvent::kIn:
        ask({"/quick:" + e.action, "/in:" + std::to_string(e.number)});
        break;
      case SimulationEvent::kAt:
        ask({"/quick:" + e.action, "/at:" + e.text});
        break;
      case SimulationEvent::kWhenIdle:
        ask({"/quick:" + e.action, "/when-idle:" + std::to_string(e.number)});
        break;
      case SimulationEvent::kWhenEnds:
        ask({"/quick:" + e.action, "/when-ends:" + e.text});
        break;
      case SimulationEvent::kWhenQuiet:
        ask({"/quick:" + e.action, "/when-quiet:" + e.text});
        break;
      case SimulationEvent::kLoad:
        load.Set(e.cpu_percent, e.kilobytes_per_second);
        break;
      case SimulationEvent::kStart:
        processes[next_pid] = e.text;
        activity.Start({next_pid++, e.text, ""});
        break;
      case SimulationEvent::kEnd:
        for (auto it = processes.begin(); it != processes.end(); ++it) {
          if (EqualsIgnoringCase(it->second, e.text)) {
            activity.End(it->first);
            processes.erase(it);
            break;
          }
        }
        break;
      case SimulationEvent::kInput:
        activity.Input();
        break;
      case SimulationEvent::kCancel:
        ask({"/cancel"});
        break;
      case SimulationEvent::kPostpone:
        if (warning) {
          const auto* choice = std::find(std::begin(kPostponeMinutes), std::end(kPostponeMinutes), e.number);
          warning->cmbPostpone->SetListIndex(static_cast<int>(choice - std::begin(kPostponeMinutes)));
          warning->cmdPostpone->UserClick();
        }
        break;
      case SimulationEvent::kCancelWarning:
        if (warning) warning->cmdCancel->UserClick();
        break;
      case SimulationEvent::kPerformNow:
        if (warning) warning->cmdNow->UserClick();
        break;
      case SimulationEvent::kPrevent:
        main.chkPrevent->SetValue(e.number);
        break;
      case SimulationEvent::kReload:
        main.loadData();
        break;
      case SimulationEvent::kPostponeWhenUsed:
        program.App().settings.WriteSetting("Norvale", "Settings", "chkPostponeUsed",
                                            e.number ? "1" : "0");
        break;
    }
  }
  advance_to(plan.to);
}

}  // namespace norvale
