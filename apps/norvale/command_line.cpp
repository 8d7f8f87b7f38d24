#include "apps/norvale/command_line.h"

#include <algorithm>
#include <optional>

#include "apps/norvale/listing.h"
#include "platform/path.h"
#include "platform/text_codec.h"
#include "power/power_actions.h"
#include "ui/main/frm_countdown.h"

namespace norvale {

namespace {

// The names a script may give, as typed: quoted where they hold a blank.
std::string ActionNames() {
  std::string out;
  for (const PowerAction& a : PowerActions()) {
    if (!a.momentary) continue;
    if (!out.empty()) out += ", ";
    const std::string_view name = a.caption;
    out += name.find(' ') == std::string_view::npos ? std::string(name) : "\"" + std::string(name) + "\"";
  }
  return out;
}
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
  if (text.empty() || text.size() > 7) return std::nullopt;
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
  }
  if (n < low || n > high) return std::nullopt;
  return n;
}

// Reads one request switch into `r`; false when `a` is none, else sets `error` when bad.
bool ReadRequest(const std::string& a, Request& r, int& waits, int& kinds, std::string& error,
                 const CatalogueText& text) {
  // The first reason counts; the argument is quoted as "{text}".
  const auto fail = [&](std::string_view key, std::string_view argument = {}) {
    if (error.empty()) {
      error = FillIn(Say(text, key), {{"text", QuotedArgument(argument)}, {"names", ActionNames()}});
    }
    return true;
  };
  if (const auto action = ValueOf(a, "quick")) {
    ++kinds;
    r.kind = Request::Kind::Quick;
    r.action = StoredActionName(*action);
    if (r.action.empty()) {
      return fail("MSG_CLBADACTION", *action);
    }
    return true;
  }
  if (const auto in = ValueOf(a, "in")) {
    ++waits;
    r.when = Request::When::In;
    const auto n = Number(*in, 1, kMaxDelayMinutes);
    if (!n) return fail("MSG_CLBADIN", *in);
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
      return fail("MSG_CLBADAT", *at);
    }
    r.at_minute = *h * 60 + *m;
    return true;
  }
  if (const auto idle = ValueOf(a, "when-idle")) {
    ++waits;
    r.when = Request::When::Idle;
    const auto n = Number(*idle, 1, 1440);
    if (!n) return fail("MSG_CLBADIDLE", *idle);
    r.minutes = *n;
    return true;
  }
  if (const auto quiet = ValueOf(a, "when-quiet")) {
    ++waits;
    r.when = Request::When::Quiet;
    const auto limits = ParseQuietLimits(*quiet);
    if (!limits) return fail("MSG_CLBADQUIET", *quiet);
    r.quiet = *limits;
    return true;
  }
  if (const auto ends = ValueOf(a, "when-ends")) {
    ++waits;
    r.when = Request::When::Ends;
    if (ends->empty()) return fail("MSG_CLBADENDS");
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
  if (EqualsIgnoringCase(a, "/check")) {
    ++kinds;
    r.kind = Request::Kind::Check;
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

std::optional<QuietLimits> ParseQuietLimits(std::string_view spec) {
  QuietLimits limits;
  int* parts[] = {&limits.minutes, &limits.cpu_percent, &limits.kilobytes_per_second};
  const int most[] = {kMostQuietLimits.minutes, kMostQuietLimits.cpu_percent,
                      kMostQuietLimits.kilobytes_per_second};
  for (size_t i = 0; i < 3; ++i) {
    const size_t comma = spec.find(',');
    const auto n = Number(spec.substr(0, comma), 1, most[i]);
    if (!n) return std::nullopt;
    *parts[i] = *n;
    if (comma == std::string_view::npos) return limits;
    spec.remove_prefix(comma + 1);
  }
  return std::nullopt;  // a fourth part
}

std::string EnglishText(std::string_view, std::string_view english) {
  std::string text(english);
  const std::string_view mark = "[ProgramName]", name = "Norvale";
  for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at)) {
    text.replace(at, mark.size(), name);
    at += name.size();
  }
  return text;
}

std::string Say(const CatalogueText& text, std::string_view key) {
  for (const CommandLineMessage& m : CommandLineMessages()) {
    if (m.key == key) return text(key, m.english);
  }
  return std::string(key);  // a key of no message: shown, so a test sees it
}

std::string UsageText(const CatalogueText& text) {
  const std::string action = Say(text, "MSG_CLACTION"), minutes = Say(text, "MSG_CLMINUTES"),
                    program = Say(text, "MSG_CLPROGRAM"), cpu = Say(text, "MSG_CLCPU"),
                    kbps = Say(text, "MSG_CLKBPS");
  const auto fill = [&](std::string_view key) {
    return FillIn(Say(text, key), {{"action", action},
                                   {"minutes", minutes},
                                   {"program", program},
                                   {"cpu", cpu},
                                   {"kbps", kbps},
                                   {"names", ActionNames()}});
  };
  const std::string quick = "/quick:" + action;
  const std::pair<std::string, std::string> rows[] = {
      {quick + " /in:" + minutes, fill("MSG_CLUSAGEIN")},
      {quick + " /at:HH:MM", fill("MSG_CLUSAGEAT")},
      {quick + " /when-idle:" + minutes, fill("MSG_CLUSAGEIDLE")},
      {quick + " /when-ends:" + program, fill("MSG_CLUSAGEENDS")},
      {quick + " /when-quiet:" + minutes + "[," + cpu + "[," + kbps + "]]", fill("MSG_CLUSAGEQUIET")},
      {"/cancel", fill("MSG_CLUSAGECANCEL")},
      {"/list", fill("MSG_CLUSAGELIST")},
      {"/check", fill("MSG_CLUSAGECHECK")},
      {"/tray", fill("MSG_CLUSAGETRAY")},
      {"/?", fill("MSG_CLUSAGEHELP")},
  };
  size_t width = 0;
  for (const auto& [switches, _] : rows) width = std::max(width, DisplayWidth(switches));
  std::string out = fill("MSG_CLUSAGE") + "\n";
  for (const auto& [switches, what] : rows) {
    out += "  " + switches;
    out.append(width - DisplayWidth(switches) + 2, ' ');
    out += what + "\n";
  }
  for (const char* key : {"MSG_CLUSAGEACTIONS", "MSG_CLUSAGEFORWARD", "MSG_CLUSAGEEXIT"}) {
    out += fill(key) + "\n";
  }
  return out;
}

std::string QuotedArgument(std::string_view argument) {
  constexpr size_t kMostCharacters = 40;
  size_t at = 0;
  for (size_t n = 0; n < kMostCharacters && at < argument.size(); ++n) {
    NextCodePoint(argument, at);
  }
  if (at >= argument.size()) return std::string(argument);
  return std::string(argument.substr(0, at)) + "\xE2\x80\xA6";  // "…"
}

std::string StoredActionName(std::string_view name) {
  return CommandLineActionName(name);
}

CommandLine ParseCommandLine(const std::vector<std::string>& args, const CatalogueText& text) {
  CommandLine cl;
  int waits = 0, kinds = 0;
  for (const std::string& a : args) {
    if (ReadRequest(a, cl.request, waits, kinds, cl.usage_error, text)) continue;
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
    cl.usage_error =
        FillIn(Say(text, "MSG_CLUNKNOWN"), {{"text", QuotedArgument(cl.unknown.front())}});
  } else if (kinds > 1) {
    cl.usage_error = Say(text, "MSG_CLONEKIND");
  } else if (cl.request.kind == Request::Kind::Quick && waits == 0) {
    cl.usage_error = Say(text, "MSG_CLNEEDSWAIT");
  } else if (waits > 1) {
    cl.usage_error = Say(text, "MSG_CLONEWAIT");
  } else if (waits == 1 && cl.request.kind != Request::Kind::Quick) {
    cl.usage_error = FillIn(Say(text, "MSG_CLWAITALONE"), {{"action", Say(text, "MSG_CLACTION")}});
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
