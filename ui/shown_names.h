#pragma once
// What the action and delay lists show: catalogue texts in the language in
// effect, while files and comparisons keep the stored English names.
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/control.h"
#include "ui/app_context.h"

namespace norvale {

// The shown text of a stored action name ("Stand by" shows as "Stand By" in
// English), delay caption ("Now", "In 1 Minute", ...) or the list's "Yes" and
// "No"; any other text shows as it is.
std::string Shown(const AppContext& app, std::string_view stored);

// Fills a list box with the shown texts of `stored`, keeping the entry that
// was selected; StoredChoice maps the selection back.
void FillShown(ComboBox& box, const std::vector<std::string>& stored, const AppContext& app);
// The stored name of the box's entry; for a text typed into an editable box,
// the stored name it shows, or the text itself.
std::string StoredChoice(const ComboBox& box, const std::vector<std::string>& stored,
                         const AppContext& app);

// The catalogue keys and English texts of these lists, for the default messages.
struct ShownName {
  std::string_view stored;
  const char* key;
  const char* text;
};
const std::vector<ShownName>& ShownNames();

// What the editor and the warning say of Stand By on a Modern Standby computer,
// where it is not a sleep but the display going off.
inline constexpr const char* kModernStandbyKey = "MSG_MODERNSTANDBY";
inline constexpr const char* kModernStandbyText =
    "This computer stands by on low power with the display off (Modern Standby)";
// That text when `action` (a stored name) is Stand By and this is such a computer; else "".
std::string ModernStandbyNote(const AppContext& app, std::string_view action);

}  // namespace norvale
