#include "apps/norvale/remote.h"

#include "apps/norvale/check.h"
#include "apps/norvale/listing.h"
#include "platform/path.h"
#include "schedule/schedule_list.h"
#include "settings/frm_options.h"
#include "ui/main/frm_countdown.h"

namespace norvale {
namespace {

// The process the request names: its id, or the first of that name ("render" or "render.exe").
std::optional<RunningProcess> FindProgram(const Activity& activity, const std::string& wanted) {
  const std::vector<RunningProcess> running = activity.Processes();
  const bool digits = wanted.find_first_not_of("0123456789") == std::string::npos;
  for (const RunningProcess& p : running) {
    if (digits
            ? std::to_string(p.pid) == wanted
            : EqualsIgnoringCase(p.name, wanted) || EqualsIgnoringCase(p.name, wanted + ".exe")) {
      return p;
    }
  }
  return std::nullopt;
}

}  // namespace

std::string CancelledText(const CatalogueText& text, int count) {
  if (count == 1) return Say(text, "MSG_CLCANCELLED1") + "\n";
  return FillIn(Say(text, "MSG_CLCANCELLED"), {{"count", std::to_string(count)}}) + "\n";
}

Reply ApplyRequest(Runs& runs, AppContext& app, const std::string& data_folder,
                   const Request& request, const CatalogueText& text) {
  const Clock& clock = app.kit.Time();
  switch (request.kind) {
    case Request::Kind::Quick:
      break;
    case Request::Kind::Cancel:
      return {0, CancelledText(text, runs.CancelQuickRows())};
    case Request::Kind::List:
      return {0, FormatListing(data_folder, app.locale.GeneralDate(clock.Now()), runs.Items(), {},
                               text)};
    case Request::Kind::Usage:
      return {0, UsageText(text)};
    case Request::Kind::Check:
      return {0, CheckText(app.power.Capabilities(),
                           FullShutdownChosen(app.settings, app.product_name), text)};
    case Request::Kind::None:
      return {0, ""};
  }
  if (runs.QuickRowsFull()) {
    return {2, FillIn(Say(text, "MSG_CLTOOMANY"),
                      {{"count", std::to_string(Runs::kMostQuickRows)}}) + "\n"};
  }
  std::string name = runs.QuickName();
  switch (request.when) {
    case Request::When::In:
      runs.AddQuick(DelayRow(clock, name, request.action, std::chrono::minutes{request.minutes}));
      break;
    case Request::When::At:
      // Local time, by the rules of a schedule: daylight saving moves it with the clock.
      runs.AddQuick(
          LocalTimeRow(name, request.action, NextTimeOfDay(clock, request.at_minute)));
      break;
    case Request::When::Idle:
      runs.AddQuick(IdleRow(clock, name, request.action, request.minutes));
      break;
    case Request::When::Quiet:
      runs.AddQuick(QuietRow(clock, name, request.action, request.quiet));
      break;
    case Request::When::Ends: {
      const auto program = FindProgram(*app.activity, request.program);
      auto watch = program ? app.activity->Watch(program->pid) : nullptr;
      if (!watch) {
        return {2, FillIn(Say(text, "MSG_CLNOSUCHPROGRAM"),
                          {{"text", QuotedArgument(request.program)}}) + "\n"};
      }
      runs.AddQuick(ProgramEndsRow(name, request.action, *program, std::move(watch)));
      break;
    }
  }
  // The row may already be warned of, or even done with when there is no warning.
  const RunRow* row = runs.List().FindNamed(name);
  const std::string next = row ? runs.Item(*row).SubItem(kColumnNextRun) : "";
  return {0, FillIn(Say(text, next.empty() ? "MSG_CLADDEDDONE" : "MSG_CLADDED"),
                    {{"action", ShownText(text, request.action)}, {"next", next}, {"name", name}}) +
                 "\n"};
}

std::string EncodeArguments(const std::vector<std::string>& args) {
  std::string out;
  for (const std::string& a : args) out += a + '\n';
  return out;
}

std::vector<std::string> DecodeArguments(std::string_view text) {
  std::vector<std::string> out;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    out.emplace_back(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
  }
  return out;
}

std::string EncodeReply(const Reply& reply) {
  return std::to_string(reply.code) + '\n' + reply.text;
}

Reply DecodeReply(std::string_view text) {
  const size_t end = text.find('\n');
  if (end == std::string_view::npos || end == 0 || end > 3) return {3, ""};
  int code = 0;
  for (char c : text.substr(0, end)) {
    if (c < '0' || c > '9') return {3, ""};
    code = code * 10 + (c - '0');
  }
  return {code, std::string(text.substr(end + 1))};
}

}  // namespace norvale
