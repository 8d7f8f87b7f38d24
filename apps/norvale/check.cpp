#include "apps/norvale/check.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "apps/norvale/listing.h"
#include "power/power.h"

namespace norvale {
namespace {

// What the request does and the reasons that decide it, as catalogue keys.
struct Finding {
  const char* does;
  std::vector<const char*> why;
};

Finding Find(const PowerAction& a, const PowerCapabilities& caps, bool full_shutdown) {
  // The same request the action makes when performed: what is printed is what happens.
  const PowerRequest r = RequestFor(a, false, caps, full_shutdown);
  const char* privilege = caps.shutdown_privilege ? "MSG_CKPRIVILEGE" : "MSG_CKNOPRIVILEGE";
  const char* wake = caps.wake_timers_allowed ? "MSG_CKWAKE" : "MSG_CKNOWAKE";
  if (a.needs_hibernation && !caps.hiberfile) {
    return {"MSG_CKNOTOFFERED", {caps.s4 ? "MSG_CKNOHIBERFILE" : "MSG_CKNOS4"}};
  }
  if (a.stored == kHibernate) return {"MSG_CKHIBERNATE", {"MSG_CKHIBERFILE", privilege, wake}};
  if (a.stored == kShutDown) {
    const bool hybrid = (r.flags & modPower::EWX_HYBRID_SHUTDOWN_) != 0;
    const char* fast = !caps.fast_startup ? "MSG_CKFASTOFF"
                       : full_shutdown    ? "MSG_CKFASTFULL"
                                          : "MSG_CKFASTON";
    return {hybrid ? "MSG_CKHYBRID" : "MSG_CKSHUTDOWN", {fast, privilege}};
  }
  if (a.stored == kReboot) return {"MSG_CKREBOOT", {privilege}};
  if (a.stored == kStandBy) {
    if (r.kind == PowerRequest::kDisplayOff) return {"MSG_CKMODERN", {"MSG_CKAOAC", wake}};
    if (caps.s3) return {"MSG_CKSLEEPS", {"MSG_CKS3", privilege, wake}};
    return {"MSG_CKNOSLEEP", {"MSG_CKNOS3", privilege}};
  }
  if (a.stored == kLogOff) return {"MSG_CKLOGOFF", {"MSG_CKNOPRIVNEEDED"}};
  if (a.stored == kLock) return {"MSG_CKLOCK", {"MSG_CKNOPRIVNEEDED"}};
  if (a.stored == kTurnOffDisplay) return {"MSG_CKDISPLAYOFF", {"MSG_CKNOPRIVNEEDED"}};
  return {"MSG_CKKEEPAWAKE", {"MSG_CKNOPRIVNEEDED"}};
}

}  // namespace

std::string CheckText(const PowerCapabilities& caps, bool full_shutdown, const CatalogueText& text) {
  std::vector<std::pair<std::string, std::string>> rows;
  for (const PowerAction& a : PowerActions()) {
    const Finding f = Find(a, caps, full_shutdown);
    // Each text is a sentence of its own: a copy that only speaks capitalizes them all.
    std::string line = Say(text, f.does);
    for (const char* key : f.why) line += " " + Say(text, key);
    rows.emplace_back(text(a.key, a.caption) + ":", line);
  }
  size_t width = 0;
  for (const auto& [caption, _] : rows) width = std::max(width, DisplayWidth(caption));
  std::string out = Say(text, "MSG_CKHEAD") + "\n";
  for (const auto& [caption, line] : rows) {
    out += "  " + caption;
    out.append(width - DisplayWidth(caption) + 2, ' ');
    out += line + "\n";
  }
  return out;
}

}  // namespace norvale
