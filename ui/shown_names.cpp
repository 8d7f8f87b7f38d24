#include "ui/shown_names.h"

#include "platform/path.h"
#include "power/power.h"

namespace norvale {
namespace {

// The delays, then the list's Yes and No; the actions come from their table.
const ShownName kOthers[] = {
    {"Now", "MSG_NOW", "Now"},
    {"In 1 Minute", "MSG_IN1MINUTE", "In 1 Minute"},
    {"In 5 Minutes", "MSG_IN5MINUTES", "In 5 Minutes"},
    {"in 15 Minutes", "MSG_IN15MINUTES", "In 15 Minutes"},
    {"in 30 Minutes", "MSG_IN30MINUTES", "In 30 Minutes"},
    {"In 1 Hour", "MSG_IN1HOUR", "In 1 Hour"},
    {"In 2 Hours", "MSG_IN2HOURS", "In 2 Hours"},
    {"In 6 Hours", "MSG_IN6HOURS", "In 6 Hours"},
    {"In 12 Hours", "MSG_IN12HOURS", "In 12 Hours"},
    {"In 1 Day", "MSG_IN1DAY", "In 1 Day"},
    {"In 2 Days", "MSG_IN2DAYS", "In 2 Days"},
    {"In 5 Days", "MSG_IN5DAYS", "In 5 Days"},
    {"In 1 Week", "MSG_IN1WEEK", "In 1 Week"},
    {"In 2 Weeks", "MSG_IN2WEEKS", "In 2 Weeks"},
    {"In 3 Weeks", "MSG_IN3WEEKS", "In 3 Weeks"},
    {"In 1 Month", "MSG_IN1MONTH", "In 1 Month"},
    {"When Idle…", "MSG_WHENIDLE", "When Idle…"},
    {"When a Program Ends…", "MSG_WHENENDS", "When a Program Ends…"},
    {"When Quiet…", "MSG_WHENQUIET", "When Quiet…"},
    // The list's Enabled column.
    {"Yes", "MSG_YES", "Yes"},
    {"No", "MSG_NO", "No"},
};

}  // namespace

const std::vector<ShownName>& ShownNames() {
  static const std::vector<ShownName> names = [] {
    std::vector<ShownName> out;
    for (const PowerAction& a : PowerActions()) out.push_back({a.stored, a.key, a.caption});
    out.insert(out.end(), std::begin(kOthers), std::end(kOthers));
    return out;
  }();
  return names;
}

std::string Shown(const AppContext& app, std::string_view stored) {
  for (const ShownName& n : ShownNames()) {
    if (n.stored == stored) return app.Message(n.key, n.text);
  }
  return std::string(stored);
}

void FillShown(ComboBox& box, const std::vector<std::string>& stored, const AppContext& app) {
  const int selected = box.ListIndex();
  box.Clear();
  for (const std::string& name : stored) box.AddItem(Shown(app, name));
  if (selected >= 0 && selected < box.ListCount()) box.SetListIndex(selected);
}

std::string StoredChoice(const ComboBox& box, const std::vector<std::string>& stored,
                         const AppContext& app) {
  const int i = box.ListIndex();
  if (i >= 0 && static_cast<size_t>(i) < stored.size() && box.List(i) == box.Text()) {
    return stored[static_cast<size_t>(i)];
  }
  for (const std::string& name : stored) {
    if (EqualsIgnoringCase(box.Text(), Shown(app, name)) || box.Text() == name) return name;
  }
  return box.Text();
}

std::string ModernStandbyNote(const AppContext& app, std::string_view action) {
  if (action != kStandBy || !StandsByWithDisplayOff(app.power.Capabilities())) return {};
  return app.Message(kModernStandbyKey, kModernStandbyText);
}

}  // namespace norvale
