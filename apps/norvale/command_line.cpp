#include "apps/norvale/command_line.h"

#include <optional>

#include "platform/path.h"
#include "power/power.h"

namespace norvale {

namespace {

constexpr std::string_view kActions[] = {kShutDown, kReboot, kLogOff, kStandBy, kHibernate};
constexpr int kMaxDelayMinutes = 44640;  // 31 days

// The value of "/name:value" when `arg` is that switch, ignoring case.
std::optional<std::string> ValueOf(const std::string& arg, std::string_view name) {
  if (arg.size() < name.size() + 2 || arg[0] != '/' || arg[name.size() + 1] != ':' ||
      !EqualsIgnoringCase(std::string_view(arg).substr(1, name.size()), name)) {
    return std::nullopt;
  }
  return arg.substr(name.size() + 2);
}

std::optional<int> Number(std::string_view text, int low, int high) {
  if (text.empty() || text.size() > 6) return std::nullopt;
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  if (n < low || n > high) return std::nullopt;
  return n;
}

// Reads one request switch into `r`; false when `a` is none, else sets `error` when bad.
bool ReadRequest(const std::string& a, Request& r, int& waits, int& kinds, std::string& error) {
  const auto fail = [&](std::string why) {
    if (error.empty()) error = std::move(why);
    return true;
  };
  if (const auto action = ValueOf(a, "quick")) {
    ++kinds;
    r.kind = Request::Kind::Quick;
    r.action = StoredActionName(*action);
    if (r.action.empty()) {
      return fail("unknown action \"" + *action +
                  "\"; use Shut Down, Reboot, Log Off, Stand By or Hibernate");
    }
    return true;
  }
  if (const auto in = ValueOf(a, "in")) {
    ++waits;
    r.when = Request::When::In;
    const auto n = Number(*in, 1, kMaxDelayMinutes);
    if (!n) return fail("/in: needs a number of minutes from 1 to 44640, not \"" + *in + "\"");
    r.minutes = *n;
    return true;
  }
  if (const auto at = ValueOf(a, "at")) {
    ++waits;
    r.when = Request::When::At;
    const size_t colon = at->find(':');
    const auto h = colon == std::string::npos ? std::nullopt : Number(at->substr(0, colon), 0, 23);
    const auto m = colon == std::string::npos ? std::nullopt : Number(at->substr(colon + 1), 0, 59);
    if (!h || !m || at->size() - colon != 3) {
      return fail("/at: needs a time HH:MM on the 24-hour clock, not \"" + *at + "\"");
    }
    r.at_minute = *h * 60 + *m;
    return true;
  }
  if (const auto idle = ValueOf(a, "when-idle")) {
    ++waits;
    r.when = Request::When::Idle;
    const auto n = Number(*idle, 1, 1440);
    if (!n)
      return fail("/when-idle: needs a number of minutes from 1 to 1440, not \"" + *idle + "\"");
    r.minutes = *n;
    return true;
  }
  if (const auto ends = ValueOf(a, "when-ends")) {
    ++waits;
    r.when = Request::When::Ends;
    if (ends->empty()) return fail("/when-ends: needs a process id or a program name");
    r.program = *ends;
    return true;
  }
  if (EqualsIgnoringCase(a, "/cancel")) {
    ++kinds;
    r.kind = Request::Kind::Cancel;
    return true;
  }
  if (EqualsIgnoringCase(a, "/list")) {
    ++kinds;
    r.kind = Request::Kind::List;
    return true;
  }
  if (a == "/?" || a == "-?" || EqualsIgnoringCase(a, "/help") || EqualsIgnoringCase(a, "--help")) {
    ++kinds;
    r.kind = Request::Kind::Usage;
    return true;
  }
  return false;
}

}  // namespace

std::string StoredActionName(std::string_view name) {
  for (std::string_view known : kActions) {
    if (EqualsIgnoringCase(name, known)) return std::string(known);
  }
  return {};
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine cl;
  int waits = 0, kinds = 0;
  for (const std::string& a : args) {
    if (ReadRequest(a, cl.request, waits, kinds, cl.usage_error)) continue;
    if (EqualsIgnoringCase(a, kTraySwitch)) {
      cl.tray = true;
    } else if (EqualsIgnoringCase(a, "/dryrun") || EqualsIgnoringCase(a, "-dryrun") ||
               EqualsIgnoringCase(a, "--dry-run")) {
      cl.dry_run = true;
    } else if (EqualsIgnoringCase(a, "/writelocalization") ||
               EqualsIgnoringCase(a, "-writelocalization") ||
               EqualsIgnoringCase(a, "--write-localization")) {
      cl.write_localization = true;
    } else if (a.size() > 6 && EqualsIgnoringCase(std::string_view(a).substr(0, 6), "/show:")) {
      cl.show_window = a.substr(6);
    } else if (!a.empty()) {
      cl.unknown.push_back(a);
    }
  }
  if (!cl.usage_error.empty()) return cl;
  if (!cl.unknown.empty()) {
    cl.usage_error = "unknown switch \"" + cl.unknown.front() + "\"; Norvale.exe /? lists them";
  } else if (kinds > 1) {
    cl.usage_error = "give one of /quick:, /cancel, /list and /? at a time";
  } else if (cl.request.kind == Request::Kind::Quick && waits == 0) {
    cl.usage_error = "/quick: needs one of /in:, /at:, /when-idle: and /when-ends:";
  } else if (waits > 1) {
    cl.usage_error = "give only one of /in:, /at:, /when-idle: and /when-ends:";
  } else if (waits == 1 && cl.request.kind != Request::Kind::Quick) {
    cl.usage_error = "/in:, /at:, /when-idle: and /when-ends: go with /quick:ACTION";
  }
  return cl;
}

std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> out;
  std::string current;
  bool quoted = false, any = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) out.push_back(current);
      current.clear();
      any = false;
    } else {
      current += c;
      any = true;
    }
  }
  if (any) out.push_back(current);
  return out;
}

}  // namespace norvale
